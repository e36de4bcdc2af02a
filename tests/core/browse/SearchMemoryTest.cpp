#include "browse/SearchMemory.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "browse/CatalogView.h"
#include "core/browse/BrowseRows.h"

namespace {

std::size_t Bytes(const std::string& query, std::size_t rows) {
    return query.size() + rows * sizeof(int);
}

// Random queries of random sizes against a plain model: the memory holds the newest queries
// that fit, as many as the count and the byte budget allow, and each gives back the rows it
// was last kept with.
TEST(SearchMemoryTest, HoldsTheNewestQueriesThatFitTheBudget) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const int storeRows = static_cast<int>(random() % 200'000);
        const std::size_t budget = SearchMemory::BudgetFor(storeRows);
        ASSERT_EQ(budget, std::max(SearchMemory::kLeastBytes, std::size_t{8} * storeRows));
        SearchMemory memory;
        std::vector<std::pair<std::string, std::vector<int>>> kept;  // oldest first, distinct
        for (int step = 0; step < 40; ++step) {
            const std::string query(1 + random() % 3, static_cast<char>('a' + random() % 6));
            std::vector<int> rows(random() % (budget / sizeof(int) / (1 + random() % 4) + 2));
            for (int& row : rows) {
                row = static_cast<int>(random());
            }
            memory.Keep(query, rows, SortClaim{static_cast<int>(step % 5), true}, storeRows);
            std::erase_if(kept, [&](const auto& entry) { return entry.first == query; });
            if (Bytes(query, rows.size()) <= budget) {
                kept.emplace_back(query, rows);
            }

            std::size_t bytes = 0;
            std::size_t held = 0;
            for (auto entry = kept.rbegin(); entry != kept.rend(); ++entry) {
                bytes += Bytes(entry->first, entry->second.size());
                if (bytes > budget || held == SearchMemory::kMostQueries) {
                    break;
                }
                ++held;
            }
            kept.erase(kept.begin(), kept.end() - static_cast<std::ptrdiff_t>(held));  // forgotten
            ASSERT_EQ(memory.QueriesHeld(), held);
            ASSERT_LE(memory.BytesHeld(), budget);
            for (const auto& [query, rows] : kept) {
                const SearchMemory::Found* found = memory.Recall(query);
                ASSERT_NE(found, nullptr);
                ASSERT_EQ(found->rows, rows);
            }
        }
    }
}

// Through the view: a store of many rows, every query found kept, yet never more than the
// budget, and a query recalled shows what testing it again would.
TEST(SearchMemoryTest, TheViewRecallsWithinTheBudget) {
    CatalogList list;
    std::vector<CatalogRow> rows;
    constexpr int kRows = 100'000;
    for (int row = 0; row < kRows; ++row) {
        const std::string artist = std::to_string(row % 97);
        RowCells cells{};
        cells[kArtist] = artist;
        rows.emplace_back(cells);
    }
    list.AppendRows(std::move(rows));
    CatalogView view(list);
    const auto search = [&view](const std::string& query, bool recall) {
        view.Search(
            [query](const CatalogRow& row) {
                return row.Cell(kArtist).find(query) != std::string_view::npos;
            },
            false, recall ? query : std::string());
        return ColumnTexts(view, kArtist);
    };
    std::map<std::string, std::vector<std::string>> fresh;
    for (const std::string query : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "1"}) {
        const std::vector<std::string> shown = search(query, true);
        EXPECT_LE(view.SearchMemoryBytes(), SearchMemory::BudgetFor(kRows));
        EXPECT_GT(view.SearchMemoryBytes(), 0U);
        fresh.try_emplace(query, search(query, false));
        EXPECT_EQ(shown, fresh[query]) << query;
    }
    EXPECT_EQ(search("9", true), fresh["9"]);  // recalled
    list.SetCell(0, kArtist, "x");             // a change forgets every query
    EXPECT_EQ(view.SearchMemoryBytes(), 0U);
}

}  // namespace

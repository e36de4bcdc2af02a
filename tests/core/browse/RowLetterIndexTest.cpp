#include "browse/RowLetterIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "browse/SearchQuery.h"
#include "catalog/RowFields.h"

// Whatever the store goes through, each row's bits are those of its texts now, and a query
// whose letters a row lacks never matches it; for one letter or digit the bits are the answer.
TEST(RowLetterIndexTest, FollowsTheStoreAndNeverHidesAMatch) {
    std::mt19937 random(1515);
    const std::vector<std::string> texts{"Abba", "Dvo\xC5\x99\xC3\xA1k", "Caf\xE9", "", "7 Seas",
                                         "x/y",  "\xC3\x86gir",          "Post"};
    const auto randomRow = [&] {
        RowCells cells;
        std::vector<std::string> owned(kColumnCount);
        for (int column = 0; column < kColumnCount; ++column) {
            owned[column] = texts[random() % texts.size()];
            cells[column] = owned[column];
        }
        FieldValues fields;
        fields[kAlbum - kColumnCount] = texts[random() % texts.size()];
        return CatalogRow(cells, JoinFields(fields));
    };
    CatalogList store;
    RowLetterIndex index(store);
    for (int step = 0; step < 400; ++step) {
        switch (random() % 5) {
            case 0: {
                std::vector<CatalogRow> rows;
                for (int i = random() % 4; i >= 0; --i) {
                    rows.push_back(randomRow());
                }
                store.AppendRows(std::move(rows));
                break;
            }
            case 1:
                if (store.RowCount() > 0) {
                    store.RemoveRow(static_cast<int>(random() % store.RowCount()));
                }
                break;
            case 2:
                if (store.RowCount() > 0) {
                    const int row = static_cast<int>(random() % store.RowCount());
                    const int column = random() % 2 == 0 ? kArtist : kAlbum;
                    store.SetCell(row, column, texts[random() % texts.size()]);
                }
                break;
            case 3: {
                std::vector<int> order(static_cast<std::size_t>(store.RowCount()));
                std::iota(order.begin(), order.end(), 0);
                std::shuffle(order.begin(), order.end(), random);
                store.ReorderRows(order);
                break;
            }
            default: {
                std::vector<int> gone;
                for (int row = 0; row < store.RowCount(); ++row) {
                    if (random() % 3 == 0) {
                        gone.push_back(row);
                    }
                }
                store.RemoveRows(gone);
                break;
            }
        }
        for (int row = 0; row < store.RowCount(); ++row) {
            ASSERT_EQ(index.Of(row), RowLetterIndex::OfRow(*store.RowRecord(row))) << step;
        }
    }
    for (const char* text : {"a", "v", "e", "7", "ae", "seas", "k", "z", "post x"}) {
        const SearchQuery query(text);
        const SearchHint hint = RowLetterIndex::HintFor(query);
        for (int row = 0; row < store.RowCount(); ++row) {
            const bool held = (index.Of(row) & hint.letters) == hint.letters;
            const bool matches = query.Matches(*store.RowRecord(row));
            EXPECT_TRUE(held || !matches) << text << " row " << row;
            if (hint.lettersDecide) {
                EXPECT_EQ(held, matches) << text << " row " << row;
            }
        }
    }
}

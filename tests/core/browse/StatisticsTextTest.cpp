#include "browse/StatisticsText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "browse/CatalogStatistics.h"

namespace {

constexpr std::uint64_t kKB = 1024;
constexpr std::uint64_t kMB = kKB * 1024;
constexpr std::uint64_t kGB = kMB * 1024;

}  // namespace

// Every number the statistics write, against the separators users have: none of them may read
// as "1.05e+04" or "0.0157".
TEST(StatisticsTextTest, NumbersAndSizesReadPlainInTheUsersGrouping) {
    const std::vector<std::tuple<std::uint64_t, std::string, std::string, std::string>> table{
        // value, separator, as a number, as a size
        {0, ",", "0", "0 bytes"},
        {1, ",", "1", "1 byte"},
        {999, ",", "999", "999 bytes"},
        {1023, ".", "1.023", "1023 bytes"},
        {1024, ",", "1,024", "1.0 KB"},
        {10'500, ",", "10,500", "10.3 KB"},
        {16'462, ",", "16,462", "16.1 KB"},
        {1023 * kKB + 1000, ",", "1,048,552", "1.0 MB"},  // rounds to 1,024 KB: one MB
        {15'700'000, "\xC2\xA0",
         "15\xC2\xA0"
         "700\xC2\xA0"
         "000",
         "15.0 MB"},
        {1234 * kGB + kGB / 2, ",", "1,325,534,281,728", "1.2 TB"},
        {1023 * kGB, ".", "1.098.437.885.952", "1.023,0 GB"},
        {UINT64_MAX, ",", "18,446,744,073,709,551,615", "16,384.0 PB"},
    };
    for (const auto& [value, separator, number, size] : table) {
        EXPECT_EQ(GroupedNumber(value, separator), number) << value;
        EXPECT_EQ(ReadableSize(value, separator), size) << value;
        EXPECT_EQ(CountOrUnknown(value, true, separator), number) << value;
        EXPECT_EQ(CountOrUnknown(value, false, separator), "unknown") << value;
    }

    // A chart takes its unit from its largest bar, and writes every bar in it.
    const std::vector<std::tuple<std::uint64_t, std::uint64_t, std::string, std::string>> scaled{
        // largest, value, unit, value as written
        {0, 0, "bytes", "0"},
        {1023, 1000, "bytes", "1,000"},
        {1024, 1000, "KB", "1.0"},
        {5 * kGB, 16 * kMB, "GB", "0.0"},
        {5 * kGB, 512 * kMB, "GB", "0.5"},
        {1020 * kMB, 1000 * kMB + 600 * kKB, "MB", "1,000.6"},
    };
    for (const auto& [largest, value, unit, text] : scaled) {
        const SizeScale scale = ScaleFor(largest);
        EXPECT_EQ(scale.unit, unit) << largest;
        EXPECT_EQ(ScaledText(value, scale, ","), text) << value;
    }
}

// Against a simple model: the bars kept are the first ones, and Other sums exactly the rest.
TEST(StatisticsTextTest, AtMostFifteenBarsTheRestSummedAsOther) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 200; ++round) {
        const std::size_t count = random() % 40;
        const std::size_t most = round % 5 == 0 ? kMostBars : 1 + random() % 20;
        std::vector<ChartBar> bars;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint64_t value = round % 7 == 0 ? UINT64_MAX / 3 : random() % 100'000;
            bars.push_back({"bar " + std::to_string(i), value});
        }
        const std::vector<ChartBar> shown = TopBarsWithOther(bars, most);
        const std::string what = "round " + std::to_string(round);
        if (count <= most) {
            ASSERT_EQ(shown.size(), count) << what;
        } else {
            ASSERT_EQ(shown.size(), most) << what;
            std::uint64_t rest = 0;
            bool passed = false;
            for (std::size_t i = most - 1; i < count; ++i) {
                passed = passed || bars[i].value > UINT64_MAX - rest;
                rest = passed ? UINT64_MAX : rest + bars[i].value;
            }
            EXPECT_TRUE(shown.back().other) << what;
            EXPECT_EQ(shown.back().name, "Other") << what;
            EXPECT_EQ(shown.back().value, rest) << what;
        }
        for (std::size_t i = 0; i + (count > most ? 1 : 0) < shown.size(); ++i) {
            EXPECT_EQ(shown[i].name, bars[i].name) << what;
            EXPECT_EQ(shown[i].value, bars[i].value) << what;
            EXPECT_FALSE(shown[i].other) << what;
        }
    }
}

// A count told to stop reads no further and gives no groups; the caller drops it.
TEST(StatisticsTextTest, AStoppedCountEndsWithoutGroups) {
    CatalogList list;
    std::vector<CatalogRow> rows;
    for (int i = 0; i < 5000; ++i) {
        rows.emplace_back(RowCells{"artist", "t", "CD" + std::to_string(i % 7), "1,000", "m", "p"});
    }
    list.AppendRows(std::move(rows));
    const CatalogView view(list);
    const std::vector<const CatalogRow*> shown = CatalogStatistics::RowsOf(view);
    std::atomic<bool> stop{false};
    const CatalogStatistics whole = CatalogStatistics::Of(shown, &stop, 100);
    EXPECT_EQ(whole.folders, 7);
    EXPECT_EQ(whole.sizeBytes, 5'000'000U);
    stop = true;
    const CatalogStatistics stopped = CatalogStatistics::Of(shown, &stop, 100);
    EXPECT_EQ(stopped.folders, 0);
    EXPECT_TRUE(stopped.byFolder.empty());
}

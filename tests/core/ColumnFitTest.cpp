#include "frame/ColumnFit.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

using ColumnFit::Want;

TEST(ColumnFitTest, Table) {
    const std::vector<Want> six{{130, 60}, {150, 70}, {120, 60}, {80, 50}, {110, 110}, {320, 100}};
    struct Case {
        int available;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {910, {130, 150, 120, 80, 110, 320}},   // exactly what they ask for
        {1260, {130, 150, 120, 80, 110, 670}},  // the rest to the filler
        // 140 short of the 460 to spare: each gives up about 30 % of its slack; the one at
        // its minimum (Modified) gives nothing.
        {770, {108, 125, 102, 71, 110, 254}},
        {450, {60, 70, 60, 50, 110, 100}},  // the minimums exactly
        {300, {60, 70, 60, 50, 110, 100}},  // below them: the list scrolls
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.available);
        EXPECT_EQ(ColumnFit::Widths(c.available, six, 5), c.widths);
    }
    EXPECT_TRUE(ColumnFit::Widths(500, {}, 0).empty());
    // Without a filler in range, spare room stays spare.
    EXPECT_EQ(ColumnFit::Widths(500, std::vector<Want>{{100, 50}}, -1), std::vector<int>{100});
}

TEST(ColumnFitTest, RandomColumnsAlwaysFillTheWidthAboveTheirMinimums) {
    std::mt19937 random(4);
    for (int round = 0; round < 3000; ++round) {
        const int count = std::uniform_int_distribution<int>(1, 14)(random);
        std::vector<Want> wants;
        int minimums = 0;
        for (int i = 0; i < count; ++i) {
            const int minimum = std::uniform_int_distribution<int>(0, 120)(random);
            const int preferred = minimum + std::uniform_int_distribution<int>(0, 300)(random);
            wants.push_back({preferred, minimum});
            minimums += minimum;
        }
        const int available = std::uniform_int_distribution<int>(0, 3000)(random);
        const int filler = std::uniform_int_distribution<int>(0, count - 1)(random);
        const std::vector<int> widths = ColumnFit::Widths(available, wants, filler);
        ASSERT_EQ(widths.size(), wants.size());
        const int total = std::accumulate(widths.begin(), widths.end(), 0);
        EXPECT_EQ(total, std::max(available, minimums));
        // One pixel more never narrows a column.
        const std::vector<int> wider = ColumnFit::Widths(available + 1, wants, filler);
        for (int i = 0; i < count; ++i) {
            EXPECT_GE(widths[i], wants[i].minimum);
            EXPECT_GE(wider[i] + 1, widths[i]);  // the remainder may move by a pixel
            if (i != filler) {
                EXPECT_LE(widths[i], wants[i].preferred);
            }
        }
    }
}

#include "frame/ColumnFit.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

using ColumnFit::Want;

// The six cells at three widths, then random columns: the widths fill the room exactly, never
// below a minimum, never above what a column prefers but for the filler, and a wider room
// never narrows a column by more than the pixel of a remainder.
TEST(ColumnFitTest, ColumnsFillTheWidthAboveTheirMinimums) {
    const std::vector<Want> six{{130, 60}, {150, 70}, {120, 60}, {80, 50}, {110, 110}, {320, 100}};
    EXPECT_EQ(ColumnFit::Widths(1260, six, 5), (std::vector<int>{130, 150, 120, 80, 110, 670}));
    EXPECT_EQ(ColumnFit::Widths(770, six, 5), (std::vector<int>{108, 125, 102, 71, 110, 254}));
    EXPECT_EQ(ColumnFit::Widths(300, six, 5), (std::vector<int>{60, 70, 60, 50, 110, 100}));
    std::mt19937 random(4);
    const auto draw = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<Want> wants(static_cast<std::size_t>(draw(1, 14)));
        int minimums = 0;
        for (Want& want : wants) {
            want.minimum = draw(0, 120);
            want.preferred = want.minimum + draw(0, 300);
            minimums += want.minimum;
        }
        const int available = draw(0, 3000);
        const int filler = draw(0, static_cast<int>(wants.size()) - 1);
        const std::vector<int> widths = ColumnFit::Widths(available, wants, filler);
        const std::vector<int> wider = ColumnFit::Widths(available + 1, wants, filler);
        ASSERT_EQ(std::accumulate(widths.begin(), widths.end(), 0), std::max(available, minimums));
        for (std::size_t i = 0; i < wants.size(); ++i) {
            ASSERT_GE(widths[i], wants[i].minimum);
            ASSERT_GE(wider[i] + 1, widths[i]);
            ASSERT_TRUE(static_cast<int>(i) == filler || widths[i] <= wants[i].preferred);
        }
    }
}

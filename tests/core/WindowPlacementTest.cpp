#include "frame/WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowPlacementTest, TextRoundTripsAndShortTextIsIgnored) {
    const std::optional<WindowPlacement> read =
        WindowPlacement::Parse("2,3,-1,-1,-8,-8,10,20,810,620");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->flags, 2u);
    EXPECT_EQ(read->showCommand, 3u);
    EXPECT_EQ(read->maxX, -8);
    EXPECT_EQ(read->Width(), 800);
    EXPECT_EQ(read->Height(), 600);
    EXPECT_EQ(read->Format(), "2,3,-1,-1,-8,-8,10,20,810,620");

    EXPECT_FALSE(WindowPlacement::Parse(""));
    EXPECT_FALSE(WindowPlacement::Parse("0,1,-1,-1,-1,-1,10,20,810"));
    EXPECT_FALSE(WindowPlacement::Parse("not numbers"));
}

TEST(WindowPlacementTest, FirstStartAndSavingRules) {
    const WindowPlacement first = WindowPlacement::Default(1024, 768);
    EXPECT_EQ(first.left, 154);
    EXPECT_EQ(first.top, 115);
    EXPECT_EQ(first.Width(), 716);
    EXPECT_EQ(first.Height(), 537);

    WindowPlacement minimized;
    minimized.showCommand = WindowPlacement::kShowMinimized;
    EXPECT_EQ(minimized.ForSaving(true).showCommand, WindowPlacement::kShow);
    minimized.flags = WindowPlacement::kRestoreToMaximized;
    EXPECT_EQ(minimized.ForSaving(true).showCommand, WindowPlacement::kShowMaximized);
    WindowPlacement normal;
    EXPECT_EQ(normal.ForSaving(false), normal);
}

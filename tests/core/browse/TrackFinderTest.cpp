#include "browse/TrackFinder.h"

#include <gtest/gtest.h>

#include "browse/CatalogView.h"
#include "core/browse/BrowseRows.h"
#include "support/FakeServices.h"

namespace {

// Find looks as the search box does (its rules are tested with SearchQuery); here the order.
TEST(TrackFinderTest, FindsTheNextRowHoldingTheTextAndWrapsAround) {
    CatalogList list;
    AppendRow(list, {"Abba", "Waterloo", "Pop", "", "", "/m/abba/waterloo.mp3"});
    AppendRow(list, {"Queen", "Bohemian Rhapsody", "Rock", "", "", "/m/queen/bo.mp3"});
    AppendRow(list, {"Miles Davis", "So What", "Jazz", "", "", "/m/JAZZ/miles.mp3"});
    AppendRow(list, {"Quincy", "Soul Bossa", "Rock", "", "", "/m/q/soul.mp3"});
    ScriptedUserInterface ui;
    const CatalogView view(list);
    TrackFinder finder(view, ui);

    EXPECT_EQ(finder.Find(-1, "WATERLOO"), 0);    // Track, any case
    EXPECT_EQ(finder.Find(0, "qu"), 1);           // Artist, after the current row
    EXPECT_EQ(finder.Find(1, "qu"), 3);           // the next one
    EXPECT_EQ(finder.Find(3, "qu"), 1);           // wraps to the top
    EXPECT_EQ(finder.Find(2, "jazz"), 2);         // Path; the current row comes last
    EXPECT_EQ(finder.Find(0, "rock"), 1);         // In Folder/Disk too
    EXPECT_EQ(finder.Find(0, "soul ROCK"), 3);    // every word, each in some column
    EXPECT_EQ(finder.Find(0, "\"so what\""), 2);  // a phrase
    EXPECT_EQ(finder.Find(-1, "\xc3\xa9t\xc3\xa9"), -1);
    EXPECT_EQ(finder.Find(-1, "rock jazz"), -1);
    EXPECT_EQ(ui.errors, (std::vector<std::string>(2, "Unable to find the folder")));

    CatalogList empty;
    const CatalogView emptyView(empty);
    TrackFinder nothing(emptyView, ui);
    EXPECT_EQ(nothing.Find(-1, ""), -1);
    EXPECT_EQ(ui.errors.size(), 3u);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace

#include "browse/ContextMenu.h"

#include <gtest/gtest.h>

#include "browse/CatalogView.h"
#include "core/browse/BrowseRows.h"

namespace {

using Items = std::vector<ContextMenu::Item>;

TEST(ContextMenuTest, ItemsFollowTheSelectionTheFilterAndThePlayer) {
    struct Case {
        int selected;
        bool filterOn;
        bool playerRunning;
        Items items;
    };
    const ContextMenu::Item filterOn{kFilterOn, "Filter On CD1"};
    const ContextMenu::Item showAll{kFilterOn, "Show All"};
    const ContextMenu::Item artist{kFilterOnArtist, "Filter On Artist"};
    const ContextMenu::Item edit{kEdit, "Edit"};
    const ContextMenu::Item editFolder{kEdit, "Edit Folder Name"};
    const ContextMenu::Item editArtist{kEditArtistName, "Edit Artist Name"};
    const ContextMenu::Item remove{kRemoveFromList, "Remove From List"};
    const ContextMenu::Item reread{kRereadNamesAndTags, "Re-read &Names and Tags"};
    const ContextMenu::Item update{kUpdate, "&Update"};
    const ContextMenu::Item play{kPlay, "Play"};
    const ContextMenu::Item enqueue{kEnqueueInWinamp, "Enqueue in Winamp"};
    const ContextMenu::Item folder{kOpenFolder, "Open Folder"};
    const ContextMenu::Item playlist{kExportSelectionToPlaylist, "Export To &Playlist..."};
    const Case cases[] = {
        {1,
         false,
         true,
         {filterOn, artist, edit, remove, reread, update, play, enqueue, folder, playlist}},
        {1, false, false, {filterOn, artist, edit, remove, reread, update, play, folder, playlist}},
        {1,
         true,
         true,
         {showAll, artist, edit, remove, reread, update, play, enqueue, folder, playlist}},
        {1, true, false, {showAll, artist, edit, remove, reread, update, play, folder, playlist}},
        {2,
         false,
         true,
         {artist, editFolder, editArtist, reread, update, play, enqueue, folder, playlist}},
        {5,
         false,
         false,
         {artist, editFolder, editArtist, reread, update, play, enqueue, folder, playlist}},
        {2,
         true,
         true,
         {artist, editFolder, editArtist, reread, update, play, enqueue, folder, playlist}},
        {3,
         true,
         false,
         {artist, editFolder, editArtist, reread, update, play, enqueue, folder, playlist}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ContextMenu::Build(10, c.selected, "CD1", c.filterOn, c.playerRunning), c.items)
            << c.selected << " selected, filter " << c.filterOn << ", player " << c.playerRunning;
    }
    EXPECT_TRUE(ContextMenu::Build(0, 0, "", false, true).empty());
    // Nothing selected, nothing to put in a playlist.
    EXPECT_NE(ContextMenu::Build(10, 0, "", false, false).back(), playlist);
}

TEST(ContextMenuTest, TheFilterItemNamesTheFirstSelectedRowsFolderLiterally) {
    CatalogList store;
    AppendColumn(store, kFolderDisk, {"Rock & Roll", "Jazz", "Blues"});
    const CatalogView list(store);
    EXPECT_EQ(ContextMenu::Build(list, RowSelection({0}), false, false).front().label,
              "Filter On Rock && Roll");
    EXPECT_EQ(ContextMenu::Build(list, RowSelection(), false, false).front(),
              (ContextMenu::Item{kFilterOn, "Filter On "}));
    EXPECT_EQ(ContextMenu::Build(list, RowSelection({2, 1}), false, false).front().id,
              kFilterOnArtist);
    EXPECT_EQ(ContextMenu::EscapeMnemonics("&&a&"), "&&&&a&&");
    CatalogList empty;
    EXPECT_TRUE(ContextMenu::Build(CatalogView(empty), RowSelection(), false, true).empty());
}

}  // namespace

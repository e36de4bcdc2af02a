#include "browse/ContextMenu.h"

#include "browse/CatalogView.h"

std::vector<ContextMenu::Item> ContextMenu::Build(const CatalogView& list,
                                                  const RowSelection& selection, bool filterOn,
                                                  bool playerRunning) {
    const std::string_view folder = list.CellText(selection.NextSelected(-1), kFolderDisk);
    return Build(list.RowCount(), selection.SelectedCount(), folder, filterOn, playerRunning);
}

std::vector<ContextMenu::Item> ContextMenu::Build(int rowCount, int selectedCount,
                                                  std::string_view folderText, bool filterOn,
                                                  bool playerRunning) {
    std::vector<Item> items;
    if (rowCount < 1) {
        return items;
    }
    const bool several = selectedCount >= 2;
    if (!several) {
        items.push_back({kFilterOn, filterOn ? std::string("Show All")
                                             : "Filter On " + EscapeMnemonics(folderText)});
    }
    items.push_back({kFilterOnArtist, "Filter On Artist"});
    // Edits are made to the catalog, so they are offered while filtered too.
    if (several) {
        items.push_back({kEdit, "Edit Folder Name"});
        items.push_back({kEditArtistName, "Edit Artist Name"});
    } else {
        items.push_back({kEdit, "Edit"});
    }
    if (!several) {
        items.push_back({kRemoveFromList, "Remove From List"});
    }
    items.push_back({kRereadNamesAndTags, "Re-read &Names and Tags"});
    items.push_back({kUpdate, "&Update"});
    items.push_back({kPlay, "Play"});
    // For several rows it is offered whether the player runs or not.
    if (several || playerRunning) {
        items.push_back({kEnqueueInWinamp, "Enqueue in Winamp"});
    }
    items.push_back({kOpenFolder, "Open Folder"});
    if (selectedCount > 0) {
        items.push_back({kExportSelectionToPlaylist, "Export To &Playlist..."});
    }
    return items;
}

std::string ContextMenu::EscapeMnemonics(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        if (c == '&') {
            escaped += '&';
        }
        escaped += c;
    }
    return escaped;
}

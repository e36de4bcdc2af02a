#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "browse/CatalogView.h"
#include "browse/EditItemForm.h"
#include "catalog/RowSelection.h"
#include "services.h"

class DiscWait;
class RowVolumeIndex;

// Editing and removing the selected rows of the view: the Edit Item dialog's rules, the
// rename of a file on disk to match its new Artist and Track, and Remove From List.
class RowEditor {
public:
    RowEditor(CatalogView& view, Files& files, UserInterface& ui)
        : view_(view), files_(files), ui_(ui) {}

    // A file is renamed where its file system is mounted now; one on a disc that is away
    // waits for the disc, and `renamedLater` runs when that rename changed a row. Without
    // this every Path is taken as where the file is.
    void SetDiscs(const RowVolumeIndex& volumes, DiscWait& wait,
                  std::function<void()> renamedLater) {
        volumes_ = &volumes;
        wait_ = &wait;
        renamedLater_ = std::move(renamedLater);
    }

    // The dialog as it opens for "Edit" (folderMode; offered as "Edit Folder Name" for several
    // rows) or "Edit Artist Name". It shows the last selected row. With several rows only the
    // In Folder edit (folder mode) or the emptied Artist edit can change, and "Save to Disk"
    // is off and disabled; with one row or none it starts checked. Album is the row's album
    // field, editable for one row only.
    EditItemForm OpenForm(const RowSelection& selection, bool folderMode) const;
    // OK with the dialog as the user left it; Cancel calls nothing. With one row, renames its
    // file first when asked and Artist or Track was changed (a failure is shown; the cells
    // are set anyway), then sets Artist, Track, Album and In Folder/Disk; an empty Album
    // removes the field, and Album never renames a file. With several, sets In Folder/Disk or
    // Artist of every one. True when a cell or a file changed, for the caller to
    // mark the catalog modified.
    bool ApplyEdit(const RowSelection& selection, bool folderMode, const EditItemForm& form);
    // "Remove From List": the selected rows leave the store. True when rows went.
    bool RemoveFromList(const RowSelection& selection);

    // The Path's folder, then "ARTIST - TRACK", then the extension of the file's name, if it
    // has one.
    static std::string RenamedPath(std::string_view path, std::string_view artist,
                                   std::string_view track);

private:
    bool Rename(int row, const std::string& artist, const std::string& track);
    // Renames the file of the store row `storeRow` where it is now and stores the new name.
    bool RenameStoreRow(int storeRow, const std::string& artist, const std::string& track);
    // The disc of `row` came: the rename asked for then is done, if the row is still there.
    void RenameWhenBack(const CatalogRow& row, const std::string& artist, const std::string& track);
    bool SetCellIfChanged(int row, int column, std::string_view text);

    CatalogView& view_;
    Files& files_;
    UserInterface& ui_;
    const RowVolumeIndex* volumes_ = nullptr;
    DiscWait* wait_ = nullptr;
    std::function<void()> renamedLater_;
};

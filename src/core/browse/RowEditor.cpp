#include "browse/RowEditor.h"

#include <vector>

#include "catalog/PathParts.h"
#include "catalog/UndoHistory.h"
#include "volumes/DiscWait.h"
#include "volumes/RowVolumeIndex.h"
#include "volumes/VolumePieces.h"

namespace {

// The rows of the selection that exist, in list order.
std::vector<int> ValidRows(const RowSelection& selection, int rowCount) {
    std::vector<int> rows;
    for (const int row : selection.Rows()) {
        if (row >= 0 && row < rowCount) {
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace

EditItemForm RowEditor::OpenForm(const RowSelection& selection, bool folderMode) const {
    const std::vector<int> rows = ValidRows(selection, view_.RowCount());
    EditItemForm form;
    if (!rows.empty()) {
        const int target = rows.back();
        form.artist = view_.CellText(target, kArtist);
        form.track = view_.CellText(target, kTrack);
        form.album = view_.CellText(target, kAlbum);
        form.folder = view_.CellText(target, kFolderDisk);
        form.size = view_.CellText(target, kSize);
    }
    form.saveToDisk = true;
    if (rows.size() > 1) {
        // One value for many rows: only the column being set can be typed, and no file is
        // renamed from emptied edits.
        form.artistEnabled = !folderMode;
        form.folderEnabled = folderMode;
        form.trackEnabled = false;
        form.albumEnabled = false;
        form.artist.clear();
        form.track.clear();
        form.album.clear();
        form.size.clear();
        form.saveToDisk = false;
        form.saveToDiskEnabled = false;
    }
    return form;
}

bool RowEditor::ApplyEdit(const RowSelection& selection, bool folderMode,
                          const EditItemForm& form) {
    const UndoHistory::Scope step(view_.store().history());
    const std::vector<int> rows = ValidRows(selection, view_.RowCount());
    if (rows.empty()) {
        return false;
    }
    bool changed = false;
    if (rows.size() > 1) {
        for (const int row : rows) {
            changed |= folderMode ? SetCellIfChanged(row, kFolderDisk, form.folder)
                                  : SetCellIfChanged(row, kArtist, form.artist);
        }
        return changed;
    }
    const int target = rows.back();
    // A rename names the file after Artist and Track, which may have been guessed from a
    // folder: only a new Artist or Track asks for it.
    const bool namesChanged = view_.CellText(target, kArtist) != form.artist ||
                              view_.CellText(target, kTrack) != form.track;
    if (form.saveToDisk && namesChanged) {
        changed |= Rename(target, form.artist, form.track);
    }
    changed |= SetCellIfChanged(target, kArtist, form.artist);
    changed |= SetCellIfChanged(target, kTrack, form.track);
    changed |= SetCellIfChanged(target, kAlbum, form.album);
    changed |= SetCellIfChanged(target, kFolderDisk, form.folder);
    return changed;
}

bool RowEditor::Rename(int row, const std::string& artist, const std::string& track) {
    const CatalogRow* record = view_.RowRecord(row);
    if (record == nullptr) {
        return false;
    }
    const bool away = volumes_ != nullptr &&
                      volumes_->mounted().PlaceOf(*record).state == MountedSet::Place::State::Away;
    if (!away) {
        return RenameStoreRow(view_.StoreRow(row), artist, track);
    }
    // The Path names where the disc was: renaming there could rename another disc's file.
    if (wait_ != nullptr) {
        const CatalogRow waiting = *record;
        wait_->WaitFor(std::string(RowVolume(waiting)),
                       DiscWait::RenameText(waiting.Cell(kFolderDisk), waiting.Cell(kTrack)),
                       [this, waiting, artist, track] { RenameWhenBack(waiting, artist, track); });
    }
    return false;
}

bool RowEditor::RenameStoreRow(int storeRow, const std::string& artist, const std::string& track) {
    CatalogList& store = view_.store();
    const CatalogRow* record = store.RowRecord(storeRow);
    if (record == nullptr) {
        return false;
    }
    const std::string path(record->Cell(kPath));
    if (artist.find_first_of(kFolderSeparators) != std::string::npos ||
        track.find_first_of(kFolderSeparators) != std::string::npos) {
        ui_.ShowError("Unable to rename " + path +
                      ": an artist or track name cannot contain \"/\".");
        return false;
    }
    const std::string renamed = RenamedPath(path, artist, track);
    if (renamed == path) {
        return false;  // already named so; the rename would only fail on the existing name
    }
    const std::string now = volumes_ != nullptr ? volumes_->mounted().PlaceOf(*record).path : path;
    const std::string renamedNow = RenamedPath(now, artist, track);
    const UndoHistory::Scope step(store.history());
    if (Result moved = files_.RenameWithoutReplacing(now, renamedNow); !moved) {
        ui_.ShowError(moved.error());
        return false;
    }
    if (UndoHistory* history = store.history(); history != nullptr) {
        history->FileRenamed(now, renamedNow);
    }
    // The Path keeps naming the file as it was stored, on the disc's own mount point.
    store.SetCell(storeRow, kPath, renamed);
    return true;
}

void RowEditor::RenameWhenBack(const CatalogRow& row, const std::string& artist,
                               const std::string& track) {
    const CatalogList& store = view_.store();
    for (int storeRow = 0; storeRow < store.RowCount(); ++storeRow) {
        const CatalogRow& record = *store.RowRecord(storeRow);
        if (record.Cell(kPath) == row.Cell(kPath) && RowVolume(record) == RowVolume(row)) {
            if (RenameStoreRow(storeRow, artist, track) && renamedLater_) {
                renamedLater_();
            }
            return;
        }
    }
}

bool RowEditor::SetCellIfChanged(int row, int column, std::string_view text) {
    const CatalogRow* record = view_.RowRecord(row);
    if (record == nullptr || record->Cell(column) == text) {
        return false;
    }
    // The cell is marked as the user's, so that an Update of its disc keeps it.
    CatalogRow edited = *record;
    edited.SetCell(column, text);
    edited.SetFields(WithEdited(edited, column));
    view_.store().ReplaceRow(view_.StoreRow(row), std::move(edited));
    return true;
}

bool RowEditor::RemoveFromList(const RowSelection& selection) {
    const std::vector<int> rows = ValidRows(selection, view_.RowCount());
    view_.RemoveRows(RowSelection(rows));
    return !rows.empty();
}

std::string RowEditor::RenamedPath(std::string_view path, std::string_view artist,
                                   std::string_view track) {
    const std::string_view name = FileNameOf(path);
    const std::size_t nameStart = path.size() - name.size();
    // A leading dot starts a hidden file's name, not an extension.
    const std::size_t dot = name.rfind('.');
    const std::string_view extension =
        dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot);
    std::string renamed(path.substr(0, nameStart));
    renamed.append(artist).append(" - ").append(track).append(extension);
    return renamed;
}

#include "playback/PlaybackCommands.h"

#include <ctime>
#include <filesystem>
#include <system_error>

#include "catalog/PathParts.h"
#include "volumes/DiscWait.h"
#include "volumes/RowVolumeIndex.h"
#include "volumes/VolumePieces.h"

namespace {

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(path), error);
}

}  // namespace

PlaybackCommands::PlaybackCommands(const CatalogView& view, Shell& shell, UserInterface& ui,
                                   std::function<std::uint32_t()> clock)
    : view_(view), shell_(shell), ui_(ui), clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [] { return static_cast<std::uint32_t>(std::time(nullptr)); };
    }
}

std::string PlaybackCommands::CellOfLastSelected(const RowSelection& selection, int column) const {
    // No selection reads row -1, whose cells are empty.
    return std::string(view_.CellText(selection.LastSelected(), column));
}

bool PlaybackCommands::PlayFile(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    if (!Exists(path)) {
        ui_.ShowMessage(kFileNotFound);
        return false;
    }
    if (!shell_.Open(path)) {
        ui_.ShowMessage(kCannotOpen);
        return false;
    }
    return true;
}

void PlaybackCommands::EnqueueFile(const std::string& path) {
    if (!path.empty() && Exists(path)) {
        shell_.Enqueue(path);  // a player that refuses is not the user's problem here
    }
}

std::vector<CatalogRow> PlaybackCommands::SelectedRows(const RowSelection& selection) const {
    // Copies: a command that waits for its disc must play these rows, whatever the view
    // shows by then.
    std::vector<CatalogRow> rows;
    for (int row = selection.NextSelected(-1); row >= 0; row = selection.NextSelected(row)) {
        if (const CatalogRow* record = view_.RowRecord(row)) {
            rows.push_back(*record);
        }
    }
    return rows;
}

std::vector<CatalogRow> PlaybackCommands::LastSelectedRow(const RowSelection& selection) const {
    const CatalogRow* record = view_.RowRecord(selection.LastSelected());
    return record == nullptr ? std::vector<CatalogRow>() : std::vector<CatalogRow>{*record};
}

void PlaybackCommands::WithPaths(std::vector<CatalogRow> rows, PathsAction action) {
    std::vector<std::string> paths;
    for (const CatalogRow& row : rows) {
        if (volumes_ == nullptr || discWait_ == nullptr) {
            paths.emplace_back(row.Cell(kPath));
            continue;
        }
        MountedSet::Place place = volumes_->mounted().PlaceOf(row);
        if (place.state == MountedSet::Place::State::Away) {
            const std::string text = DiscWait::PlayText(row.Cell(kFolderDisk), row.Cell(kTrack));
            std::string volume(RowVolume(row));
            discWait_->WaitFor(std::move(volume), text,
                               [this, rows = std::move(rows), action = std::move(action)] {
                                   WithPaths(rows, action);
                               });
            return;
        }
        paths.push_back(std::move(place.path));
    }
    action(paths);
}

void PlaybackCommands::EnqueuePendingPaths() {
    while (!pendingPaths_.empty()) {
        const std::string path = pendingPaths_.front();
        pendingPaths_.pop_front();
        EnqueueFile(path);
    }
}

void PlaybackCommands::OnPlay(const RowSelection& selection) {
    std::vector<CatalogRow> rows =
        selection.SelectedCount() < 2 ? LastSelectedRow(selection) : SelectedRows(selection);
    if (rows.empty()) {
        return;
    }
    WithPaths(std::move(rows), [this](const std::vector<std::string>& paths) {
        PlayFile(paths.front());
        pendingPaths_.insert(pendingPaths_.end(), paths.begin() + 1, paths.end());
        EnqueuePendingPaths();
    });
}

std::string PlaybackCommands::OnDblClick(const RowSelection& selection) {
    const std::string path = CellOfLastSelected(selection, kPath);
    if (std::vector<CatalogRow> rows = LastSelectedRow(selection); !rows.empty()) {
        WithPaths(std::move(rows),
                  [this](const std::vector<std::string>& paths) { PlayFile(paths.front()); });
    }
    return PlayingName(path);
}

std::optional<std::string> PlaybackCommands::OnRandomPlay() {
    const int rows = view_.RowCount();
    if (rows == 0) {
        ui_.Beep();
        return std::nullopt;
    }
    if (clockUnread_) {
        clockUnread_ = false;
        generator_.Restart(clock_());
    }
    const int row = generator_.PickRow(rows);
    if (const CatalogRow* record = view_.RowRecord(row)) {
        WithPaths({*record},
                  [this](const std::vector<std::string>& paths) { PlayFile(paths.front()); });
    }
    std::string pane = " ";
    pane.append(view_.CellText(row, kArtist)).append(" - ").append(view_.CellText(row, kTrack));
    return pane;
}

void PlaybackCommands::OnOpenFolder(const RowSelection& selection) {
    // In Folder/Disk may hold a disc's label; the Path always names the real folder.
    std::vector<CatalogRow> rows = LastSelectedRow(selection);
    if (rows.empty()) {
        rows.emplace_back();  // no row: no folder, said as before
    }
    WithPaths(std::move(rows), [this](const std::vector<std::string>& paths) {
        if (!shell_.ShowInFolder(paths.front())) {
            ui_.Beep();
            ui_.ShowMessage(kCannotOpenFolder);
        }
    });
}

void PlaybackCommands::OnEnqueueInWinamp(const RowSelection& selection) {
    std::vector<CatalogRow> rows =
        selection.SelectedCount() < 2 ? LastSelectedRow(selection) : SelectedRows(selection);
    if (rows.empty()) {
        return;
    }
    WithPaths(std::move(rows), [this](const std::vector<std::string>& paths) {
        pendingPaths_.insert(pendingPaths_.end(), paths.begin(), paths.end());
        EnqueuePendingPaths();
    });
}

std::string PlaybackCommands::PlayingName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(0, dot));
}

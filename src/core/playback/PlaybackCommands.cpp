#include "playback/PlaybackCommands.h"

#include <ctime>
#include <filesystem>
#include <system_error>

namespace {

#ifdef _WIN32
constexpr std::string_view kFolderSeparators = "\\/";
#else
constexpr std::string_view kFolderSeparators = "/";
#endif

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

void PlaybackCommands::QueueSelectedPaths(const RowSelection& selection, bool butFirst) {
    for (int row = selection.NextSelected(-1); row >= 0; row = selection.NextSelected(row)) {
        if (butFirst && row == selection.NextSelected(-1)) {
            continue;
        }
        pendingPaths_.emplace_back(view_.CellText(row, kPath));
    }
}

void PlaybackCommands::EnqueuePendingPaths() {
    while (!pendingPaths_.empty()) {
        const std::string path = pendingPaths_.front();
        pendingPaths_.pop_front();
        EnqueueFile(path);
    }
}

void PlaybackCommands::OnPlay(const RowSelection& selection) {
    if (selection.SelectedCount() < 2) {
        PlayFile(CellOfLastSelected(selection, kPath));
        return;
    }
    const int first = selection.NextSelected(-1);
    PlayFile(std::string(view_.CellText(first, kPath)));
    QueueSelectedPaths(selection, true);
    EnqueuePendingPaths();
}

std::string PlaybackCommands::OnDblClick(const RowSelection& selection) {
    const std::string path = CellOfLastSelected(selection, kPath);
    PlayFile(path);
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
    PlayFile(std::string(view_.CellText(row, kPath)));
    std::string pane = " ";
    pane.append(view_.CellText(row, kArtist)).append(" - ").append(view_.CellText(row, kTrack));
    return pane;
}

void PlaybackCommands::OnOpenFolder(const RowSelection& selection) {
    // In Folder/Disk may hold a disc's label; the Path always names the real folder.
    const std::string folder = FolderOf(CellOfLastSelected(selection, kPath));
    if (folder.empty() || !shell_.Open(folder)) {
        ui_.Beep();
        ui_.ShowMessage(kCannotOpenFolder);
    }
}

void PlaybackCommands::OnEnqueueInWinamp(const RowSelection& selection) {
    if (selection.SelectedCount() < 2) {
        EnqueueFile(CellOfLastSelected(selection, kPath));
        return;
    }
    QueueSelectedPaths(selection, false);
    EnqueuePendingPaths();
}

std::string PlaybackCommands::PlayingName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(0, dot));
}

std::string PlaybackCommands::FolderOf(std::string_view path) {
    const auto separator = path.find_last_of(kFolderSeparators);
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(separator == 0 ? path.substr(0, 1) : path.substr(0, separator));
}

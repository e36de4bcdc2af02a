#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browse/CatalogView.h"
#include "catalog/RowSelection.h"
#include "playback/RandomGenerator.h"
#include "services.h"

class DiscWait;
class RowVolumeIndex;

// Playing rows: Play, the double-click, Random Play, Open Folder and Enqueue in Winamp. The
// program only hands paths to the desktop; it never waits for the player.
class PlaybackCommands {
public:
    static constexpr const char* kFileNotFound = "Could not find the file";
    static constexpr const char* kCannotOpen = "Could not find the file path";
    static constexpr const char* kCannotOpenFolder = "Unable to open the folder";

    // `clock` gives the seconds since 1970 that start the generator at the first Random
    // Play of the run.
    PlaybackCommands(const CatalogView& view, Shell& shell, UserInterface& ui,
                     std::function<std::uint32_t()> clock = {});

    // With these, a row on a file system mounted elsewhere now plays from there, and one on a
    // file system that is not mounted asks for its disc first; without, rows play from Path.
    void SetDiscs(const RowVolumeIndex& volumes, DiscWait& wait) {
        volumes_ = &volumes;
        discWait_ = &wait;
    }

    // The first selected row's file opens; every other one is queued, in row order.
    void OnPlay(const RowSelection& selection);
    // Plays the last selected row; the player pane's new text.
    std::string OnDblClick(const RowSelection& selection);
    // Plays one of the rows shown, picked at random; the player pane's new text, or nothing
    // (after a beep) when no row is shown.
    std::optional<std::string> OnRandomPlay();
    // Opens the folder that holds the last selected row's file.
    void OnOpenFolder(const RowSelection& selection);
    void OnEnqueueInWinamp(const RowSelection& selection);

    // Opens a file that exists; says why when it cannot.
    bool PlayFile(const std::string& path);
    // Queues a file that exists, silently.
    void EnqueueFile(const std::string& path);
    // The file name of a path without its last extension; empty when it has none. Paths
    // from Windows catalogs hold "\".
    static std::string PlayingName(std::string_view path);

    RandomGenerator& generator() { return generator_; }

private:
    using PathsAction = std::function<void(const std::vector<std::string>& paths)>;

    std::string CellOfLastSelected(const RowSelection& selection, int column) const;
    std::vector<CatalogRow> SelectedRows(const RowSelection& selection) const;
    std::vector<CatalogRow> LastSelectedRow(const RowSelection& selection) const;
    // Runs `action` on where the rows' files are now, once every one's file system is here.
    void WithPaths(std::vector<CatalogRow> rows, PathsAction action);
    void EnqueuePendingPaths();

    const CatalogView& view_;
    Shell& shell_;
    UserInterface& ui_;
    std::function<std::uint32_t()> clock_;
    const RowVolumeIndex* volumes_ = nullptr;
    DiscWait* discWait_ = nullptr;
    RandomGenerator generator_;
    bool clockUnread_ = true;
    std::deque<std::string> pendingPaths_;
};

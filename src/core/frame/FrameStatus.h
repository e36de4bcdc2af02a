#pragma once

#include <string>
#include <vector>

class CatalogView;

// What the main window's status bar and command states say, the same in every window.
namespace FrameStatus {

// The message pane after rows came, went or were narrowed: "N rows in G groups" while
// duplicates are shown, "N of M rows" while a search narrows the list, else "N items".
std::string RowCountText(const CatalogView& view);
// After Cancel Search, until the next command: every row the store holds.
std::string CancelledText(const CatalogView& view);
// The pane of rows on discs that are not connected; empty when there are none.
std::string AwayText(int awayRows);

// What decides the enabled and checked states of the window's own commands.
struct Facts {
    bool toolbarShown = true;
    bool statusBarShown = true;
    bool openLastFile = false;
    bool readTags = false;
    bool scanRunning = false;
    bool canUndo = false;
    bool canRedo = false;
    bool rowsSelected = false;
    bool filterEnabled = false;
    bool filterChecked = false;
};

struct CommandState {
    int id = 0;
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
    bool operator==(const CommandState&) const = default;
};

// The states of every command whose state follows the facts; the others are enabled while
// the window has a handler for them.
std::vector<CommandState> CommandStates(const Facts& facts);

}  // namespace FrameStatus

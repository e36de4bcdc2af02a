#include "frame/FrameStatus.h"

#include "browse/CatalogView.h"
#include "commands/CommandId.h"
#include "scan/PendingResults.h"

namespace FrameStatus {

std::string RowCountText(const CatalogView& view) {
    if (view.grouped()) {
        return std::to_string(view.RowCount()) + " rows in " + std::to_string(view.GroupsShown()) +
               " groups";
    }
    if (view.searching()) {
        return std::to_string(view.RowCount()) + " of " + std::to_string(view.store().RowCount()) +
               " rows";
    }
    return PendingResults::ItemsText(view.RowCount());
}

std::string CancelledText(const CatalogView& view) {
    return "Search cancelled: " + PendingResults::ItemsText(view.store().RowCount());
}

std::string AwayText(int awayRows) {
    return awayRows > 0 ? std::to_string(awayRows) + " not connected" : std::string();
}

std::vector<CommandState> CommandStates(const Facts& facts) {
    // A walk still bringing rows in would mix its rows with the steps taken back.
    const bool undoable = !facts.scanRunning;
    return {
        {kViewToolbar, true, true, facts.toolbarShown},
        {kViewStatusBar, true, true, facts.statusBarShown},
        {kOpenLastFile, true, true, facts.openLastFile},
        {kReadTags, true, true, facts.readTags},
        {kCancelSearch, facts.scanRunning, false, false},
        {kEditUndo, facts.canUndo && undoable, false, false},
        {kEditRedo, facts.canRedo && undoable, false, false},
        {kFilterOnFolderDisk, facts.filterEnabled, true, facts.filterChecked},
        {kExportSelectionToPlaylist, facts.rowsSelected, false, false},
    };
}

}  // namespace FrameStatus

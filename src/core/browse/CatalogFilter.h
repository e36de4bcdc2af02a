#pragma once

#include <string_view>
#include <vector>

#include "browse/CatalogView.h"
#include "catalog/RowSelection.h"
#include "services.h"

// Narrowing the view to the rows of one folder/disk or one artist. The store keeps every
// row: edits and removals made while filtered stay when all rows are shown again.
class CatalogFilter {
public:
    static constexpr const char* kNoSelectionMessage =
        "Select an item in the list to use the filter function";

    struct CommandState {
        bool enabled = false;
        bool checked = false;
    };

    CatalogFilter(CatalogView& view, UserInterface& ui) : view_(view), ui_(ui) {}

    // The filter commands: column 2 for "&Filter on Folder/Disk" and "&Filter On", column 0
    // for "Filter On Artist". With no filter in force, shows the rows whose cell equals, byte
    // for byte, the last selected row's; with one, shows all rows again ("Show All").
    void ToggleFilter(int column, const RowSelection& selection);

    // Groups of duplicates count as a filter: the toggle's Show All ends them.
    bool filterOn() const { return view_.filtered() || view_.grouped(); }
    // Tools "&Filter on Folder/Disk", its Ctrl+F and the toolbar's funnel: enabled while rows
    // are shown or a filter (or groups) can be ended, however the rows came; checked while a
    // filter is in force.
    CommandState FilterOnFolderDiskState() const {
        return {view_.RowCount() > 0 || filterOn(), filterOn()};
    }

    // Copies of the rows whose cell in `column` equals `key`, in list order.
    static std::vector<CatalogRow> MatchingRows(const CatalogList& list, int column,
                                                std::string_view key);

private:
    CatalogView& view_;
    UserInterface& ui_;
};

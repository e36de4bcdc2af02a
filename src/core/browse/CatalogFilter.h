#pragma once

#include <string_view>
#include <vector>

#include "catalog/CatalogList.h"
#include "catalog/HiddenRows.h"
#include "catalog/RowSelection.h"
#include "services.h"

// Narrowing the store to the rows of one folder/disk or one artist. While a filter is in
// force the store holds only the matching rows and `savedRows` the whole catalog, in the
// order it had when the filter was switched on.
class CatalogFilter : public HiddenRows {
public:
    static constexpr const char* kNoSelectionMessage =
        "Select an item in the list to use the filter function";

    struct CommandState {
        bool enabled = false;
        bool checked = false;
    };

    CatalogFilter(CatalogList& list, UserInterface& ui) : list_(list), ui_(ui) {}

    // The filter commands: column 2 for "&Filter on Folder/Disk" and "&Filter On", column 0
    // for "Filter On Artist". With no filter in force, keeps the rows whose cell equals, byte
    // for byte, the last selected row's; with one, shows all rows again ("Show All").
    void ToggleFilter(int column, const RowSelection& selection);

    bool filterOn() const { return filterOn_; }
    const CatalogList& savedRows() const { return savedRows_; }
    // Tools "&Filter on Folder/Disk" and its Ctrl+F: enabled once a catalog was loaded,
    // checked while a filter is in force.
    CommandState FilterOnFolderDiskState(bool catalogLoaded) const {
        return {catalogLoaded, filterOn_};
    }

    // Copies of the rows whose cell in `column` equals `key`, in list order.
    static std::vector<CatalogRow> MatchingRows(const CatalogList& list, int column,
                                                std::string_view key);

    const CatalogList* AllRows() const override { return filterOn_ ? &savedRows_ : nullptr; }
    void EndFilter() override;

private:
    void ApplyFilter(std::string_view key, int column);

    CatalogList& list_;
    UserInterface& ui_;
    CatalogList savedRows_;
    bool filterOn_ = false;
};

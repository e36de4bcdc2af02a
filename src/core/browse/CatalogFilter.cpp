#include "browse/CatalogFilter.h"

#include <string>

void CatalogFilter::ToggleFilter(int column, const RowSelection& selection) {
    if (filterOn_) {
        EndFilter();
        return;
    }
    const int keyRow = selection.LastSelected();
    if (keyRow < 0 || keyRow >= list_.RowCount()) {
        ui_.ShowMessage(kNoSelectionMessage);
        return;
    }
    // The key is a copy: the row it comes from leaves the store.
    ApplyFilter(std::string(list_.CellText(keyRow, column)), column);
}

void CatalogFilter::ApplyFilter(std::string_view key, int column) {
    // The whole catalog moves to savedRows_ as it is; only the matching rows are copied.
    savedRows_.ReplaceRows(MatchingRows(list_, column, key));
    list_.SwapRows(savedRows_);
    filterOn_ = true;
}

void CatalogFilter::EndFilter() {
    if (!filterOn_) {
        return;
    }
    list_.SwapRows(savedRows_);
    savedRows_.ClearRows();
    filterOn_ = false;
}

std::vector<CatalogRow> CatalogFilter::MatchingRows(const CatalogList& list, int column,
                                                    std::string_view key) {
    std::vector<CatalogRow> rows;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (list.CellText(row, column) == key) {
            rows.push_back(*list.RowRecord(row));
        }
    }
    return rows;
}

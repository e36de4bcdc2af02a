#include "browse/CatalogFilter.h"

#include <string>

void CatalogFilter::ToggleFilter(int column, const RowSelection& selection) {
    if (filterOn()) {
        view_.ShowAll();
        return;
    }
    const int keyRow = selection.LastSelected();
    if (keyRow < 0 || keyRow >= view_.RowCount()) {
        ui_.ShowMessage(kNoSelectionMessage);
        return;
    }
    view_.Narrow([column, key = std::string(view_.CellText(keyRow, column))](
                     const CatalogRow& row) { return row.Cell(column) == key; });
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

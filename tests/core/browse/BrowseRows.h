#pragma once

// Small catalogs for the browse tests, written as the cells that matter.

#include <string>
#include <vector>

#include "catalog/CatalogList.h"
#include "catalog/RowLine.h"

inline void AppendRow(CatalogList& list, const RowCells& cells) {
    std::vector<CatalogRow> rows;
    rows.emplace_back(cells);
    list.AppendRows(std::move(rows));
}

// Rows that differ only in one column.
inline void AppendColumn(CatalogList& list, int column, const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        RowCells cells{};
        cells[column] = text;
        AppendRow(list, cells);
    }
}

// A store or a view over one.
template <typename Rows>
std::vector<std::string> ColumnTexts(const Rows& list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < list.RowCount(); ++row) {
        texts.emplace_back(list.CellText(row, column));
    }
    return texts;
}

inline std::vector<std::string> RowLines(const CatalogList& list) {
    return list.SnapshotRows();
}

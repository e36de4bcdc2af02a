#include "catalog/RowLine.h"

#include "catalog/RowFields.h"

std::string JoinRowLine(const CatalogRow& row) {
    std::string line;
    AppendRowLine(row, line);
    return line;
}

namespace {

void AppendLine(const CatalogRow& row, std::string& out, bool withFields) {
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0) {
            out += '\t';
        }
        if (column == kPath && withFields && !row.Fields().empty()) {
            out += row.Fields();
            out += '\t';
        }
        out += row.Cell(column);
    }
}

}  // namespace

void AppendRowLine(const CatalogRow& row, std::string& out) {
    AppendLine(row, out, true);
}

void AppendRowCells(const CatalogRow& row, std::string& out) {
    AppendLine(row, out, false);
}

RowCells SplitRowLine(std::string_view line, std::string_view* middle) {
    RowCells cells{};
    if (middle != nullptr) {
        *middle = {};
    }
    const std::size_t lastTab = line.rfind('\t');
    if (lastTab == std::string_view::npos) {
        cells[kPath] = line;
        return cells;
    }
    cells[kPath] = line.substr(lastTab + 1);
    std::size_t start = 0;
    for (int column = kArtist; column < kPath; ++column) {
        const std::size_t tab = line.find('\t', start);
        cells[column] = line.substr(start, tab - start);
        if (tab == lastTab) {
            return cells;
        }
        start = tab + 1;
    }
    if (middle != nullptr) {
        *middle = line.substr(start, lastTab - start);
    }
    return cells;
}

CatalogRow ParseRowLine(std::string_view line) {
    std::string_view middle;
    const RowCells cells = SplitRowLine(line, &middle);
    std::string fields;
    ForEachMiddlePiece(middle,
                       [&fields](std::string_view piece) { AppendFieldPiece(piece, fields); });
    return CatalogRow(cells, fields);
}

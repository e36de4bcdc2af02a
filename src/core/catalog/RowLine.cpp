#include "catalog/RowLine.h"

std::string JoinRowLine(const CatalogRow& row) {
    std::string line;
    AppendRowLine(row, line);
    return line;
}

void AppendRowLine(const CatalogRow& row, std::string& out) {
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0) {
            out += '\t';
        }
        out += row.Cell(column);
    }
}

RowCells SplitRowLine(std::string_view line) {
    RowCells cells{};
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
            break;
        }
        start = tab + 1;
    }
    return cells;
}

CatalogRow ParseRowLine(std::string_view line) {
    return CatalogRow(SplitRowLine(line));
}

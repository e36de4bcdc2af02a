// Row lines as plumet-cli import and CatalogList::RebuildFromLines read them: any bytes give
// six cells, a line of exactly five tabs joins back to itself, a parsed row parses to itself.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "catalog/RowLine.h"

namespace {

bool HasSixCells(std::string_view line) {
    return std::count(line.begin(), line.end(), '\t') == kColumnCount - 1;
}

void CheckLine(std::string_view line) {
    const RowCells cells = SplitRowLine(line);
    for (const std::string_view cell : cells) {
        Require(cell.empty() || (cell.data() >= line.data() &&
                                 cell.data() + cell.size() <= line.data() + line.size()),
                "cells are views into the line");
        Require(cell.find('\t') == std::string_view::npos, "no cell holds a tab");
    }
    const CatalogRow row = ParseRowLine(line);
    Require(row.Cells() == cells, "ParseRowLine keeps the pieces SplitRowLine finds");
    const std::string joined = JoinRowLine(row);
    if (HasSixCells(line)) {
        Require(joined == line, "a line of six cells joins back to itself");
    }
    Require(ParseRowLine(joined) == row, "a joined row parses to the same row");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = BytesOf(data, size);
    CheckLine(bytes);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        lines.emplace_back(bytes.substr(start, end - start));
        CheckLine(lines.back());
        start = end + 1;
    }
    CatalogList list;
    list.RebuildFromLines(lines);
    const std::vector<std::string> snapshot = list.SnapshotRows();
    Require(snapshot.size() == lines.size(), "one row per line");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Require(!HasSixCells(lines[i]) || snapshot[i] == lines[i],
                "rows of six cells snapshot as their lines");
    }
    return 0;
}

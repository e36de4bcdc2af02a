// Rows of any bytes, NUL too, with field pieces, stored and loaded back: the catalog file
// promises them back cell for cell and piece for piece, byte for byte the plain masked form
// when nothing needs an escape, and the same six cells to a reader that drops the pieces.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "catalog/CatalogFile.h"
#include "catalog/RecordCodec.h"
#include "catalog/RowFields.h"
#include "catalog/RowLine.h"

namespace {

constexpr std::string_view kEscapedBytes("\x00\x09\x7F\xC5\xC8\xCF", 6);
constexpr std::string_view kEscapedInPieces("\x00\x7F\xC5\xC8\xCF", 5);

// The first byte separates the cells; every seven cells make a row, the seventh holding its
// field pieces separated by tabs.
std::vector<CatalogRow> RowsOf(std::string_view bytes) {
    std::vector<CatalogRow> rows;
    if (bytes.empty()) {
        return rows;
    }
    const char separator = bytes.front();
    std::vector<std::string> cells(1);
    for (const char c : bytes.substr(1)) {
        if (c == separator) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    constexpr std::size_t kPerRow = kColumnCount + 1;
    cells.resize((cells.size() + kPerRow - 1) / kPerRow * kPerRow);
    for (std::size_t first = 0; first < cells.size(); first += kPerRow) {
        RowCells row;
        for (int column = 0; column < kColumnCount; ++column) {
            row[column] = cells[first + column];
        }
        std::string fields;
        ForEachMiddlePiece(cells[first + kColumnCount],
                           [&fields](std::string_view piece) { AppendFieldPiece(piece, fields); });
        rows.emplace_back(row, fields);
    }
    return rows;
}

std::string PlainForm(const CatalogList& list) {
    const auto count = static_cast<std::uint32_t>(list.RowCount());
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((count >> (8 * i)) & 0xFF);
    }
    for (int row = 0; row < list.RowCount(); ++row) {
        for (const char c : JoinRowLine(*list.RowRecord(row))) {
            out += static_cast<char>(c ^ RecordCodec::kMask);
        }
        out += '\n';
    }
    return out;
}

bool NeedsEscape(const CatalogList& list) {
    for (int row = 0; row < list.RowCount(); ++row) {
        for (const std::string_view cell : list.RowRecord(row)->Cells()) {
            if (cell.find_first_of(kEscapedBytes) != std::string_view::npos) {
                return true;
            }
        }
        // The tabs of the fields text separate its pieces and are written as they stand.
        if (list.RowRecord(row)->Fields().find_first_of(kEscapedInPieces) !=
            std::string_view::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CatalogList list;
    list.ReplaceRows(RowsOf(BytesOf(data, size)));
    MemorySink sink;
    Require(CatalogFile::StoreCatalog(list, sink).ok(), "the rows store");
    if (!NeedsEscape(list)) {
        Require(sink.bytes == PlainForm(list), "cells without escaped bytes are stored plain");
        std::string line;
        for (int row = 0; row < list.RowCount(); ++row) {
            line.clear();
            AppendRowLine(*list.RowRecord(row), line);
            Require(SplitRowLine(line) == list.RowRecord(row)->Cells(),
                    "a reader that drops the pieces reads the same six cells");
        }
    }
    for (const std::size_t chunk : {sink.bytes.size() + 1, 1 + size % 7}) {
        CatalogList loaded;
        MemorySource source(sink.bytes, chunk);
        Require(CatalogFile::LoadCatalog(loaded, source, true).ok(), "a stored catalog loads");
        Require(SameRows(list, loaded), "every row comes back cell for cell");
    }
    return 0;
}

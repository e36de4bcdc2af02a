#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/CatalogRow.h"

// A row's fields travel in its row line as pieces "name=value" between Modified and Path,
// where every older reader drops them. In memory a row keeps them as its fields text: the
// pieces joined by single tabs, in file order. Known fields are written in column order;
// pieces with names this build does not know are kept where they stand.

// "album", "albumartist", "track", "disc", "year", "genre", "length", "bitrate" for kAlbum to
// kBitrate; empty for any other column.
std::string_view FieldName(int column);
// The column of a known field name.
std::optional<Column> FieldColumn(std::string_view name);
// Track No., Disc, Year, Length and Bitrate hold numbers and sort as numbers.
bool IsNumberField(int column);

// Whether a piece has the form "name=value": a name of lower-case ASCII letters, digits, '-'
// or '_', then '='.
bool IsFieldPiece(std::string_view piece);

// Calls `each(column, value)` for the first piece of each known field, in the order of the
// fields text, and stops at the first call that returns true; true then. One walk over the
// text, for the passes that want every field of many rows.
template <typename Each>
bool ForEachFieldValue(std::string_view fields, Each each) {
    unsigned seen = 0;
    while (!fields.empty()) {
        const std::size_t tab = fields.find('\t');
        const std::string_view piece = fields.substr(0, tab);
        fields = tab == std::string_view::npos ? std::string_view() : fields.substr(tab + 1);
        const std::size_t equals = piece.find('=');
        const std::optional<Column> column =
            equals == std::string_view::npos ? std::nullopt : FieldColumn(piece.substr(0, equals));
        // Only a field's first piece is its value.
        if (!column || (seen & (1U << *column)) != 0) {
            continue;
        }
        seen |= 1U << *column;
        if (each(*column, piece.substr(equals + 1))) {
            return true;
        }
    }
    return false;
}

// The value of the first piece of that field; empty when there is none.
std::string_view FieldValue(std::string_view fields, Column field);
// The same for a piece of any name.
std::string_view PieceValue(std::string_view fields, std::string_view name);

// The fields text with `field` set to `value`: the first piece of that name is replaced in
// place, a new one goes where column order puts it among the known pieces, and an empty
// value removes the field. Tabs, line ends and NUL bytes in the value become spaces.
std::string WithFieldValue(std::string_view fields, Column field, std::string_view value);
// The same for a piece of any name; one this build does not show as a column goes at the end.
std::string WithPieceValue(std::string_view fields, std::string_view name, std::string_view value);

// Every field a file can give, indexed by column - kColumnCount.
using FieldValues = std::array<std::string, kAllColumnCount - kColumnCount>;

// The fields text of these values, in column order, empty values left out.
std::string JoinFields(const FieldValues& values);

// Adds the piece to a fields text when it has the form "name=value"; a tab inside it
// becomes a space, so that the text splits back into the same pieces.
void AppendFieldPiece(std::string_view piece, std::string& fields);

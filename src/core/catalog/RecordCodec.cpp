#include "catalog/RecordCodec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

#include "catalog/RowFields.h"
#include "catalog/RowLine.h"

namespace {

constexpr std::array<bool, 256> MakeEscapedBytes(std::initializer_list<unsigned char> bytes) {
    std::array<bool, 256> escaped{};
    for (unsigned char byte : bytes) {
        escaped[byte] = true;
    }
    return escaped;
}
constexpr std::array<bool, 256> kEscapedBytes =
    MakeEscapedBytes({0x00, 0x09, 0x7F, 0xC5, 0xC8, 0xCF});
constexpr std::array<bool, 256> kTextEscapedBytes =
    MakeEscapedBytes({0x00, 0x09, 0x0A, 0x0D, 0x7F});

constexpr char Masked(unsigned char byte) {
    return static_cast<char>(byte ^ RecordCodec::kMask);
}

// Undoes the escape inside one cell; a trailing escape byte stands for itself.
std::string_view Unescape(std::string_view cell, std::string& out) {
    if (cell.find(static_cast<char>(RecordCodec::kEscape)) == std::string_view::npos) {
        return cell;
    }
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cell[i]);
        if (byte == RecordCodec::kEscape && i + 1 < cell.size()) {
            out += static_cast<char>(static_cast<unsigned char>(cell[++i]) ^ 0x80);
        } else {
            out += static_cast<char>(byte);
        }
    }
    return std::string_view(out).substr(start);
}

// The pieces of the field form, unescaped, as a fields text. Usually that is the middle of
// the line itself; otherwise it is built behind the line in `out`.
std::string_view FieldsText(std::string_view middle, bool escaped, std::string& out) {
    bool onlyFields = true;
    ForEachMiddlePiece(
        middle, [&](std::string_view piece) { onlyFields = onlyFields && IsFieldPiece(piece); });
    if (onlyFields && !escaped) {
        return middle;
    }
    const std::size_t start = out.size();
    ForEachMiddlePiece(middle, [&](std::string_view piece) {
        if (!IsFieldPiece(piece)) {
            return;
        }
        if (out.size() > start) {
            out += '\t';
        }
        const std::size_t pieceStart = out.size();
        if (const std::string_view plain = Unescape(piece, out); plain.data() == piece.data()) {
            out.append(plain);
        }
        // An escaped tab is part of a value; only the separators stay tabs.
        std::replace(out.begin() + static_cast<std::ptrdiff_t>(pieceStart), out.end(), '\t', ' ');
    });
    return std::string_view(out).substr(start);
}

}  // namespace

void RecordCodec::AppendRecordLine(const CatalogRow& row, std::string& out) {
    const std::string_view fields = row.Fields();
    std::size_t worst = kColumnCount + 2 * fields.size();
    for (int column = 0; column < kColumnCount; ++column) {
        worst += 2 * row.Cell(column).size();
    }
    std::size_t at = out.size();
    out.resize(at + worst);
    char* dest = out.data();
    const auto append = [&](std::string_view text, bool tabsSeparate) {
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (kEscapedBytes[byte] && !(tabsSeparate && byte == '\t')) {
                dest[at++] = Masked(kEscape);
                dest[at++] = Masked(byte ^ 0x80);
            } else {
                dest[at++] = Masked(byte);
            }
        }
    };
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0) {
            dest[at++] = Masked('\t');
        }
        if (column == kPath && !fields.empty()) {
            // Pieces never hold a tab, so each tab of the fields text separates two.
            append(fields, true);
            dest[at++] = Masked('\t');
        }
        append(row.Cell(column), false);
    }
    out.resize(at);
}

CatalogRow RecordCodec::DecodeRecordLine(std::string_view raw, std::string& scratch) {
    // Room for the unescaped cells behind the line, so appending them never moves the line.
    scratch.clear();
    scratch.reserve(2 * raw.size() + 1);
    scratch.resize(raw.size());
    char* decoded = scratch.data();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        decoded[i] = Masked(static_cast<unsigned char>(raw[i]));
    }
    std::string_view line(decoded, raw.size());
    // A decoded NUL ends the text; the rest of the line is dropped.
    line = line.substr(0, line.find('\0'));
    std::string_view middle;
    RowCells cells = SplitRowLine(line, &middle);
    const bool escaped = line.find(static_cast<char>(kEscape)) != std::string_view::npos;
    const std::string_view fields = FieldsText(middle, escaped, scratch);
    if (!escaped) {
        return CatalogRow(cells, fields);
    }
    for (std::string_view& cell : cells) {
        cell = Unescape(cell, scratch);
    }
    return CatalogRow(cells, fields);
}

void RecordCodec::AppendTextLine(const CatalogRow& row, std::string& out, bool withFields) {
    const auto append = [&out](std::string_view text, bool tabsSeparate) {
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (kTextEscapedBytes[byte] && !(tabsSeparate && byte == '\t')) {
                out += static_cast<char>(kEscape);
                out += static_cast<char>(byte ^ 0x80);
            } else {
                out += c;
            }
        }
    };
    const std::string_view fields = withFields ? row.Fields() : std::string_view();
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0) {
            out += '\t';
        }
        if (column == kPath && !fields.empty()) {
            append(fields, true);
            out += '\t';
        }
        append(row.Cell(column), false);
    }
}

CatalogRow RecordCodec::ParseTextLine(std::string_view line, std::string& scratch) {
    // Unescaped text is never longer than the line, so appending it never moves what the
    // cells already point at.
    scratch.clear();
    scratch.reserve(line.size() + 1);
    std::string_view middle;
    RowCells cells = SplitRowLine(line, &middle);
    const bool escaped = line.find(static_cast<char>(kEscape)) != std::string_view::npos;
    const std::string_view fields = FieldsText(middle, escaped, scratch);
    if (escaped) {
        for (std::string_view& cell : cells) {
            cell = Unescape(cell, scratch);
        }
    }
    return CatalogRow(cells, fields);
}

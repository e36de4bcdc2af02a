#include "catalog/RowFields.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::array<std::string_view, kAllColumnCount - kColumnCount> kFieldNames{
    "album", "albumartist", "track", "disc", "year", "genre", "length", "bitrate"};

bool IsNameByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool IsValueBreak(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == '\0';
}

// The name of a piece, empty when it is not of the form "name=value".
std::string_view PieceName(std::string_view piece) {
    const std::size_t equals = piece.find('=');
    if (equals == 0 || equals == std::string_view::npos) {
        return {};
    }
    const std::string_view name = piece.substr(0, equals);
    return std::all_of(name.begin(), name.end(), IsNameByte) ? name : std::string_view();
}

std::vector<std::string_view> SplitPieces(std::string_view fields) {
    std::vector<std::string_view> pieces;
    while (!fields.empty()) {
        const std::size_t tab = fields.find('\t');
        pieces.push_back(fields.substr(0, tab));
        fields = tab == std::string_view::npos ? std::string_view() : fields.substr(tab + 1);
    }
    return pieces;
}

}  // namespace

std::string_view FieldName(int column) {
    if (column < kColumnCount || column >= kAllColumnCount) {
        return {};
    }
    return kFieldNames[column - kColumnCount];
}

std::optional<Column> FieldColumn(std::string_view name) {
    const auto found = std::find(kFieldNames.begin(), kFieldNames.end(), name);
    if (found == kFieldNames.end()) {
        return std::nullopt;
    }
    return static_cast<Column>(kColumnCount + (found - kFieldNames.begin()));
}

bool IsNumberField(int column) {
    return column == kTrackNumber || column == kDisc || column == kYear || column == kLength ||
           column == kBitrate;
}

bool IsFieldPiece(std::string_view piece) {
    return !PieceName(piece).empty();
}

std::string_view FieldValue(std::string_view fields, Column field) {
    const std::string_view name = FieldName(field);
    return name.empty() ? std::string_view() : PieceValue(fields, name);
}

std::string_view PieceValue(std::string_view fields, std::string_view name) {
    std::size_t start = 0;
    while (start < fields.size()) {
        std::size_t end = fields.find('\t', start);
        if (end == std::string_view::npos) {
            end = fields.size();
        }
        const std::string_view piece = fields.substr(start, end - start);
        if (piece.size() > name.size() && piece[name.size()] == '=' && piece.starts_with(name)) {
            return piece.substr(name.size() + 1);
        }
        start = end + 1;
    }
    return {};
}

std::string WithFieldValue(std::string_view fields, Column field, std::string_view value) {
    const std::string_view name = FieldName(field);
    return name.empty() ? std::string(fields) : WithPieceValue(fields, name, value);
}

std::string WithPieceValue(std::string_view fields, std::string_view name, std::string_view value) {
    std::string piece;
    if (!value.empty()) {
        piece.reserve(name.size() + 1 + value.size());
        piece.append(name).append("=");
        for (const char c : value) {
            piece += IsValueBreak(c) ? ' ' : c;
        }
    }
    std::vector<std::string_view> pieces = SplitPieces(fields);
    const auto same = std::find_if(pieces.begin(), pieces.end(),
                                   [&](std::string_view p) { return PieceName(p) == name; });
    const std::optional<Column> field = FieldColumn(name);
    if (same != pieces.end()) {
        if (piece.empty()) {
            pieces.erase(same);
        } else {
            *same = piece;
        }
    } else if (!piece.empty() && !field) {
        pieces.push_back(piece);
    } else if (!piece.empty()) {
        // Before the first known field that follows it in column order, else after the last
        // known piece, else at the end.
        auto at = pieces.end();
        auto lastKnown = pieces.end();
        for (auto p = pieces.begin(); p != pieces.end(); ++p) {
            const std::optional<Column> known = FieldColumn(PieceName(*p));
            if (known && *known > *field) {
                at = p;
                break;
            }
            if (known) {
                lastKnown = p;
            }
        }
        if (at == pieces.end() && lastKnown != pieces.end()) {
            at = lastKnown + 1;
        }
        pieces.insert(at, piece);
    }
    std::string joined;
    for (const std::string_view p : pieces) {
        if (!joined.empty()) {
            joined += '\t';
        }
        joined.append(p);
    }
    return joined;
}

std::string JoinFields(const FieldValues& values) {
    std::string fields;
    for (int column = kColumnCount; column < kAllColumnCount; ++column) {
        const std::string& value = values[column - kColumnCount];
        if (value.empty()) {
            continue;
        }
        if (!fields.empty()) {
            fields += '\t';
        }
        fields.append(FieldName(column)).append("=");
        for (const char c : value) {
            fields += IsValueBreak(c) ? ' ' : c;
        }
    }
    return fields;
}

void AppendFieldPiece(std::string_view piece, std::string& fields) {
    if (!IsFieldPiece(piece)) {
        return;
    }
    if (!fields.empty()) {
        fields += '\t';
    }
    for (const char c : piece) {
        fields += c == '\t' ? ' ' : c;
    }
}

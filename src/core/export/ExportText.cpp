#include "export/ExportText.h"

#include <optional>

#include "browse/TextFold.h"
#include "catalog/RowFields.h"

namespace {
constexpr std::size_t kChunk = 1 << 20;
}  // namespace

void AppendShownText(std::string_view text, std::string& out) {
    if (!HasNonAscii(text) || IsValidUtf8(text)) {
        out += text;
        return;
    }
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
}

std::array<std::string_view, kAllColumnCount> RowTexts(const CatalogRow& row) {
    std::array<std::string_view, kAllColumnCount> texts;
    for (int column = 0; column < kColumnCount; ++column) {
        texts[column] = row.Cell(column);
    }
    std::string_view fields = row.Fields();
    unsigned seen = 0;
    while (!fields.empty()) {
        const std::size_t tab = fields.find('\t');
        const std::string_view piece = fields.substr(0, tab);
        const std::size_t equals = piece.find('=');
        if (equals != std::string_view::npos) {
            // Only a field's first piece is its value.
            const std::optional<Column> column = FieldColumn(piece.substr(0, equals));
            if (column && (seen & (1u << *column)) == 0) {
                seen |= 1u << *column;
                texts[*column] = piece.substr(equals + 1);
            }
        }
        fields = tab == std::string_view::npos ? std::string_view() : fields.substr(tab + 1);
    }
    return texts;
}

Result ChunkedOutput::Ready() {
    if (text_.size() < kChunk) {
        return Result::Ok();
    }
    return Finish();
}

Result ChunkedOutput::Finish() {
    Result written = sink_.Write(text_.data(), text_.size());
    text_.clear();
    return written;
}

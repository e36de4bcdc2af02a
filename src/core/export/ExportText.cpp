#include "export/ExportText.h"

#include "browse/TextFold.h"
#include "catalog/RowFields.h"
#include "catalog/Utf8.h"

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
    ForEachFieldValue(row.Fields(), [&texts](Column column, std::string_view value) {
        texts[column] = value;
        return false;
    });
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

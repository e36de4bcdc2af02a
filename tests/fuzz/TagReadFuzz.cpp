// A file's bytes read as tags through the same bounded path a scan takes: the first byte
// picks the extension, so every TagLib reader meets every input. What comes back is fit for
// the catalog's cells and field pieces.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "TagLibTagReader.h"
#include "catalog/RowFields.h"

namespace {

void CheckText(const std::string& text) {
    for (char c : text) {
        Require(static_cast<unsigned char>(c) >= 0x20, "no control byte in a tag text");
    }
    Require(text.empty() || (text.front() != ' ' && text.back() != ' '), "tag texts are trimmed");
}

void CheckNumber(const std::string& number) {
    Require(number.empty() || number.front() != '0', "a number is never zero nor padded");
    for (char c : number) {
        Require(c >= '0' && c <= '9', "a number is decimal digits");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::span<const std::string_view> extensions = TagLibTagReader::Extensions();
    const std::string_view extension = extensions[data[0] % extensions.size()];
    const std::optional<FileTags> tags =
        TagLibTagReader::ReadTagsFromMemory(BytesOf(data + 1, size - 1), extension);
    if (!tags) {
        return 0;
    }
    CheckText(tags->artist);
    CheckText(tags->title);
    bool any = !tags->artist.empty() || !tags->title.empty();
    for (int column = kColumnCount; column < kAllColumnCount; ++column) {
        const std::string& value = tags->fields[column - kColumnCount];
        any = any || !value.empty();
        if (IsNumberField(column)) {
            CheckNumber(value);
        } else {
            CheckText(value);
        }
    }
    Require(any, "a result holds something");
    return 0;
}

#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The values a cell text is sorted and searched by.

// A to Z as a to z; every other byte as it is.
constexpr unsigned char FoldAscii(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// The number made of the text's decimal digits, whatever lies between them ("4,567,890" is
// 4567890); 0 without a digit, and the largest value past it.
std::uint64_t DigitsValue(std::string_view text);

// A key in chronological order for a Modified text in either form ModifiedTime reads;
// nothing for any other text.
std::optional<std::int64_t> ModifiedMinutes(std::string_view text);

// Whether `text` holds `folded` (already folded by FoldAscii), ignoring ASCII case.
bool ContainsFolded(std::string_view text, std::string_view folded);

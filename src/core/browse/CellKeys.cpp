#include "browse/CellKeys.h"

#include <algorithm>
#include <limits>

#include "catalog/ModifiedTime.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::uint64_t DigitsValue(std::string_view text) {
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) {
            continue;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (kLargest - digit) / 10) {
            return kLargest;
        }
        value = value * 10 + digit;
    }
    return value;
}

std::optional<std::int64_t> ModifiedMinutes(std::string_view text) {
    const std::optional<ModifiedTime> time = ModifiedTime::Parse(text);
    return time ? std::optional(time->OrderMinutes()) : std::nullopt;
}

bool ContainsFolded(std::string_view text, std::string_view folded) {
    const auto found = std::search(
        text.begin(), text.end(), folded.begin(), folded.end(), [](char hay, char needle) {
            return FoldAscii(static_cast<unsigned char>(hay)) == static_cast<unsigned char>(needle);
        });
    return found != text.end() || folded.empty();
}

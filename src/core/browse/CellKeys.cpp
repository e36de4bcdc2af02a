#include "browse/CellKeys.h"

#include <algorithm>
#include <limits>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads one or two digits (`width` exactly when `exact`) at `at` into `value`.
bool ReadNumber(std::string_view text, std::size_t& at, std::size_t width, bool exact, int& value) {
    std::size_t end = at;
    while (end < text.size() && end - at < width && IsDigit(text[end])) {
        ++end;
    }
    if (end == at || (exact && end - at != width)) {
        return false;
    }
    value = 0;
    for (; at < end; ++at) {
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

bool ReadChar(std::string_view text, std::size_t& at, char expected) {
    if (at >= text.size() || text[at] != expected) {
        return false;
    }
    ++at;
    return true;
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
    std::size_t at = 0;
    int month = 0;
    int day = 0;
    int year = 0;
    int hour = 0;
    int minute = 0;
    if (!ReadNumber(text, at, 2, false, month) || !ReadChar(text, at, '/') ||
        !ReadNumber(text, at, 2, false, day) || !ReadChar(text, at, '/') ||
        !ReadNumber(text, at, 2, true, year) || !ReadChar(text, at, ' ') ||
        !ReadNumber(text, at, 2, false, hour) || !ReadChar(text, at, ':') ||
        !ReadNumber(text, at, 2, true, minute) || !ReadChar(text, at, ' ') ||
        text.size() != at + 2 || (text[at + 1] != 'M' && text[at + 1] != 'm')) {
        return std::nullopt;
    }
    const char half = static_cast<char>(FoldAscii(static_cast<unsigned char>(text[at])));
    if ((half != 'a' && half != 'p') || month < 1 || month > 12 || day < 1 || day > 31 ||
        hour < 1 || hour > 12 || minute > 59) {
        return std::nullopt;
    }
    const int fullYear = year >= 70 ? 1900 + year : 2000 + year;
    const int hour24 = hour % 12 + (half == 'p' ? 12 : 0);
    // Not a calendar count, only an order: every month given 31 days keeps it monotonic.
    const std::int64_t days = ((fullYear - 1900) * 12 + (month - 1)) * 31 + (day - 1);
    return (days * 24 + hour24) * 60 + minute;
}

bool ContainsFolded(std::string_view text, std::string_view folded) {
    const auto found = std::search(
        text.begin(), text.end(), folded.begin(), folded.end(), [](char hay, char needle) {
            return FoldAscii(static_cast<unsigned char>(hay)) == static_cast<unsigned char>(needle);
        });
    return found != text.end() || folded.empty();
}

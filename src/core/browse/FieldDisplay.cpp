#include "browse/FieldDisplay.h"

#include <array>
#include <charconv>
#include <cstdint>

#include "catalog/CatalogRow.h"

namespace {

void AppendTwoDigits(std::string& text, std::uint64_t value) {
    text.push_back(static_cast<char>('0' + value / 10));
    text.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

std::string LengthText(std::string_view seconds) {
    std::uint64_t total = 0;
    const char* end = seconds.data() + seconds.size();
    // Only plain digits, all of them, are a length: no sign, no spaces, nothing after.
    const auto [stop, error] = std::from_chars(seconds.data(), end, total);
    if (error != std::errc() || stop != end) {
        return std::string(seconds);
    }
    const std::uint64_t hours = total / 3600;
    const std::uint64_t minutes = total / 60 % 60;
    std::string text;
    if (hours > 0) {
        text = std::to_string(hours);
        text.push_back(':');
        AppendTwoDigits(text, minutes);
    } else {
        text = std::to_string(minutes);
    }
    text.push_back(':');
    AppendTwoDigits(text, total % 60);
    return text;
}

std::optional<std::uint64_t> SizeBytes(std::string_view cell) {
    std::uint64_t size = 0;
    for (const char c : cell) {
        if (c < '0' || c > '9') {
            continue;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (size > (UINT64_MAX - digit) / 10) {
            return std::nullopt;
        }
        size = size * 10 + digit;
    }
    return size;
}

std::string SizeText(std::uint64_t bytes) {
    if (bytes < 1024) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    static constexpr std::array<const char*, 5> kUnits{"KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // 1023.96 KB would print as "1024.0 KB": move up a unit once it rounds to 1,024.
    while (value >= 1023.95 && unit + 1 < kUnits.size()) {
        value /= 1024;
        ++unit;
    }
    // to_chars: the same point whatever locale the program runs in.
    std::array<char, 32> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                   std::chars_format::fixed, 1)
                         .ptr;
    return std::string(digits.data(), end) + ' ' + kUnits[unit];
}

std::string DurationText(std::uint64_t seconds) {
    const std::uint64_t days = seconds / 86400;
    std::string text;
    if (days > 0) {
        text = std::to_string(days) + (days == 1 ? " day " : " days ");
    }
    text += std::to_string(seconds / 3600 % 24);
    text.push_back(':');
    AppendTwoDigits(text, seconds / 60 % 60);
    text.push_back(':');
    AppendTwoDigits(text, seconds % 60);
    return text;
}

std::string_view ColumnTitle(int column) {
    static constexpr std::string_view kTitles[kAllColumnCount] = {
        "Artist",       "Track",     "In Folder/Disk", "Size", "Modified", "Path",   "Album",
        "Album Artist", "Track No.", "Disc",           "Year", "Genre",    "Length", "Bitrate"};
    return column >= 0 && column < kAllColumnCount ? kTitles[column] : std::string_view();
}

int ColumnStartWidth(int column) {
    static constexpr int kWidths[kAllColumnCount] = {130, 150, 120, 80, 110, 320, 150,
                                                     130, 60,  45,  50, 90,  60,  60};
    return column >= 0 && column < kAllColumnCount ? kWidths[column] : 0;
}

std::string ShownCellText(int column, std::string_view cell) {
    return column == kLength ? LengthText(cell) : std::string(cell);
}

std::string AwayRowTip(std::string_view label) {
    std::string tip = "On \"";
    tip.append(label).append("\", which is not connected");
    return tip;
}

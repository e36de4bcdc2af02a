#include "MountTable.h"

#include <cstddef>
#include <optional>

namespace {

bool IsDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool IsMajorMinor(std::string_view text) {
    const std::size_t colon = text.find(':');
    return colon != std::string_view::npos && IsDigits(text.substr(0, colon)) &&
           IsDigits(text.substr(colon + 1));
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t space = line.find(' ', start);
        const std::size_t end = space == std::string_view::npos ? line.size() : space;
        fields.push_back(line.substr(start, end - start));
        if (space == std::string_view::npos) {
            break;
        }
        start = space + 1;
    }
    return fields;
}

std::optional<MountTable::Entry> ParseLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::vector<std::string_view> fields = SplitFields(line);
    // Six fixed fields, any optional fields, the separator, then type and source.
    std::size_t separator = 6;
    while (separator < fields.size() && fields[separator] != "-") {
        ++separator;
    }
    if (separator + 2 >= fields.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        if (fields[i].empty()) {
            return std::nullopt;
        }
    }
    if (!IsDigits(fields[0]) || !IsDigits(fields[1]) || !IsMajorMinor(fields[2]) ||
        fields[4].front() != '/' || fields[separator + 1].empty()) {
        return std::nullopt;
    }
    MountTable::Entry entry;
    entry.mountId = std::string(fields[0]);
    entry.majorMinor = std::string(fields[2]);
    entry.root = MountTable::DecodeOctalEscapes(fields[3]);
    entry.mountPoint = MountTable::DecodeOctalEscapes(fields[4]);
    entry.fsType = MountTable::DecodeOctalEscapes(fields[separator + 1]);
    entry.source = MountTable::DecodeOctalEscapes(fields[separator + 2]);
    return entry;
}

}  // namespace

MountTable MountTable::Parse(std::string_view text) {
    MountTable table;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        if (std::optional<Entry> entry = ParseLine(text.substr(start, end - start))) {
            table.entries_.push_back(std::move(*entry));
        }
        start = end + 1;
    }
    return table;
}

std::string MountTable::DecodeOctalEscapes(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto octal = [&](std::size_t at) { return text[at] >= '0' && text[at] <= '7'; };
        if (text[i] == '\\' && i + 3 < text.size()) {
            if (octal(i + 1) && octal(i + 2) && octal(i + 3)) {
                const int value =
                    (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0');
                if (value <= 0xFF) {
                    decoded.push_back(static_cast<char>(value));
                    i += 3;
                    continue;
                }
            }
        }
        decoded.push_back(text[i]);
    }
    return decoded;
}

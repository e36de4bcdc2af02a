#pragma once

#include <string_view>

// The text without the given characters at its start, its end or both.
inline std::string_view TrimStart(std::string_view text, std::string_view characters) {
    const std::size_t first = text.find_first_not_of(characters);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

inline std::string_view TrimEnd(std::string_view text, std::string_view characters) {
    const std::size_t last = text.find_last_not_of(characters);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

inline std::string_view Trim(std::string_view text, std::string_view characters) {
    return TrimEnd(TrimStart(text, characters), characters);
}

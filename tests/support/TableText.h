#pragma once

#include <algorithm>
#include <string>

// Tabs are written as '|' in test tables so the cases stay readable.
inline std::string Tabs(std::string text) {
    std::replace(text.begin(), text.end(), '|', '\t');
    return text;
}

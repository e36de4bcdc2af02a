#pragma once

#include <string>

// Reads a whole file into `text`; false when it cannot, a folder in its place included.
// Plain POSIX reads: a stream would throw on a folder instead of failing.
bool ReadTextFile(const std::string& path, std::string& text);

#pragma once

#include <string>

// Reads a whole file into `text`; false when it cannot, a folder in its place included.
// Plain POSIX reads: a stream would throw on a folder instead of failing.
bool ReadTextFile(const std::string& path, std::string& text);

// The file's text without the line end and spaces after it; empty when it cannot be read.
// Made for the one-line files of /proc and /sys.
std::string ReadTrimmedTextFile(const std::string& path);

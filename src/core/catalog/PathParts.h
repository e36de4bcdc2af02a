#pragma once

#include <string>
#include <string_view>

// A path's folder and file name, and whether a path lies in a folder, as text: nothing is
// asked of the file system, so stored paths of discs that are away split the same way.

// Every separator a path may hold, the one the system writes first.
#ifdef _WIN32
inline constexpr std::string_view kFolderSeparators = "\\/";
#else
inline constexpr std::string_view kFolderSeparators = "/";
#endif
inline constexpr char kFolderSeparator = kFolderSeparators[0];

bool IsFolderSeparator(char c);
// `folder`, a separator unless it ends in one, then `name`.
std::string JoinPath(std::string_view folder, std::string_view name);
// `folder` without its closing separators; a root ("/", "C:\\") stays whole.
std::string_view WithoutClosingSeparators(std::string_view folder);

// The text after the last separator; the whole path when it has none.
std::string_view FileNameOf(std::string_view path);
// The text before the last separator: "/" for a file at the root, empty when the path has no
// separator.
std::string_view FolderOfPath(std::string_view path);
// Whether `path` is `folder` or lies below it; closing separators of `folder` do not count.
bool LiesBelow(std::string_view path, std::string_view folder);

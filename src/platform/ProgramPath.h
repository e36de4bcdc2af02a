#pragma once

#include <string>

// Where a program named without a folder would be found: the first executable regular file
// of that name in the folders of PATH, or empty.
std::string FindOnPath(const std::string& name);

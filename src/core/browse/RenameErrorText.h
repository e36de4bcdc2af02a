#pragma once

#include <string>
#include <system_error>

// The message shown when a file could not be renamed: both names and the reason.
std::string RenameErrorText(std::error_code error, const std::string& from, const std::string& to);

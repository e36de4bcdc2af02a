#pragma once

#include <string>
#include <system_error>

// The message shown for a failed file operation: the problem, naming the file.
std::string FileErrorText(std::error_code error, const std::string& path);

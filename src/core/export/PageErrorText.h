#pragma once

#include <string>
#include <system_error>

// The text for a page that could not be written: the cause, naming the page by `fullPath`
// ("an unnamed file" when empty).
std::string PageErrorText(std::error_code cause, const std::string& fullPath);

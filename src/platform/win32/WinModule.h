#pragma once

#include <string>
#include <vector>

// The running program's path as Windows gives it; empty when Windows cannot say.
std::wstring ModulePath();
// The folder of the running program, as UTF-8; empty when Windows cannot say.
std::string ExecutableFolder();
// The program's arguments as the user typed them, whatever the ANSI code page can show.
std::vector<std::string> CommandLineArguments();

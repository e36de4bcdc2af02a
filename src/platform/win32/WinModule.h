#pragma once

#include <string>
#include <vector>

// The folder of the running program, as UTF-8; empty when Windows cannot say.
std::string ExecutableFolder();
// The program's arguments as the user typed them, whatever the ANSI code page can show.
std::vector<std::string> CommandLineArguments();

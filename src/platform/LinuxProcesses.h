#pragma once

#include <string>
#include <string_view>

#include "services.h"

// Running processes from /proc/<pid>/comm and the first word of /proc/<pid>/cmdline, read
// below `root` so tests point it at a fixture tree. A Windows program under Wine shows its
// ".exe" name in both, its command line with "\" paths.
class LinuxProcesses : public Processes {
public:
    explicit LinuxProcesses(std::string root = "/");

    // On a match, writes "NAME (Process ID: PID)" to standard output.
    bool IsProcessRunning(const std::string& imageName) override;

    // The base name of a command line's first word, split at "/" and "\".
    static std::string_view ProgramBaseName(std::string_view commandLine);
    // The name in a comm file, without its line end.
    static std::string_view CommName(std::string_view comm);
    // Names match without regard to ASCII case.
    static bool NameMatches(std::string_view name, std::string_view imageName);

private:
    std::string root_;
};

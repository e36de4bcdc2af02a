#pragma once

#include <string_view>

#include "services.h"

// Running processes from a Toolhelp32 snapshot.
class WinProcesses : public Processes {
public:
    // On a match, writes "NAME (Process ID: PID)" to standard output.
    bool IsProcessRunning(const std::string& imageName) override;

    // Names match without regard to ASCII case.
    static bool NameMatches(std::string_view name, std::string_view imageName);
};

#pragma once

#include <string>

#include "LinuxDrives.h"
#include "LinuxProcesses.h"
#include "PosixFolderReader.h"
#include "support/FakeServices.h"

// The platform services of a window under test: real folders, the drive tables and processes
// of a fixture root (none by default), a fixed group separator.
struct PlatformServices {
    explicit PlatformServices(const std::string& systemRoot = "/nonexistent-system-root")
        : drives(systemRoot), processes(systemRoot) {}

    PosixFolderReader folders;
    LinuxDrives drives;
    FixedLocale locale;
    LinuxProcesses processes;
};

#pragma once

#include <string>

#include "LinuxDrives.h"
#include "PosixFolderReader.h"
#include "support/FakeServices.h"

// The scan's services for a window under test: real folders, the drive tables of a fixture
// root (none by default), a fixed group separator.
struct ScanServices {
    explicit ScanServices(std::string systemRoot = "/nonexistent-system-root")
        : drives(std::move(systemRoot)) {}

    PosixFolderReader folders;
    LinuxDrives drives;
    FixedLocale locale;
};

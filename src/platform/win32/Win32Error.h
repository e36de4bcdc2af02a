#pragma once

#include <system_error>

// A Win32 error as the error the core knows from POSIX, so messages name the same causes
// on both systems ("was not found", "Access ... was denied", "Disk full"). An error with no
// POSIX counterpart keeps its Win32 code and the system's text.
std::error_code Win32Error(unsigned long error);
// The calling thread's last error the same way.
std::error_code LastWin32Error();

#pragma once

#include "WinApi.h"

// The keyboard shortcuts the command table gives, as a Windows accelerator table.
namespace WinAccelerators {

HACCEL Create();
// Runs the shortcut a key message is; false when it is none. While the user types in the
// search box, the keys that edit text stay the box's.
bool Translate(HWND window, HACCEL table, MSG& message, HWND searchBox);

}  // namespace WinAccelerators

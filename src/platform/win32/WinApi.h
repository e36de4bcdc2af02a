#pragma once

// windows.h without the macros that would rename the core's own names: ReplaceFile would
// become ReplaceFileA in Files.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef ReplaceFile

// Opening a file never keeps others from reading, writing, renaming or removing it.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

#pragma once

// windows.h without the macros that would rename the core's own names: ReplaceFile would
// become ReplaceFileA in Files.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef ReplaceFile

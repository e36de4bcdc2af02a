#pragma once

// The common controls need windows.h before them.
#include "WinApi.h"

#include <commctrl.h>

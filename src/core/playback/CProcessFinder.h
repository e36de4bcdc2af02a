#pragma once

#include "services.h"

// Whether the player that serves "Enqueue in Winamp" runs; asked afresh at each opening of
// the context menu.
class CProcessFinder {
public:
    static constexpr const char* kPlayerImageName = "winamp.exe";

    explicit CProcessFinder(Processes& processes) : processes_(processes) {}

    bool IsPlayerRunning() { return processes_.IsProcessRunning(kPlayerImageName); }

private:
    Processes& processes_;
};

#pragma once

#include "WinApi.h"

#include <cstdint>

// FILETIME counts 100 ns ticks since 1601-01-01 UTC; the core counts from 1970.
inline constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;

inline std::int64_t TicksSince1970(const FILETIME& time) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks) - kTicksFrom1601To1970;
}

inline std::int64_t NanosecondsSince1970(const FILETIME& time) {
    return TicksSince1970(time) * 100;
}

// Whole seconds, rounded down as a POSIX time is for moments before 1970.
inline std::int64_t SecondsSince1970(const FILETIME& time) {
    const std::int64_t ticks = TicksSince1970(time);
    return ticks >= 0 ? ticks / 10'000'000 : -((-ticks + 9'999'999) / 10'000'000);
}

inline std::uint64_t FileSize(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

#pragma once

#include <chrono>
#include <functional>

// Wall-clock seconds that `work` takes, on the steady clock.
inline double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

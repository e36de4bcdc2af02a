#pragma once

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

// Shares work over items [0, count) among the cores, each part at least `leastPerPart` items
// so that small work stays on one thread: `work(first, last, part)` runs for each part, part
// 0 on the calling thread. Returns the number of parts.
template <typename Work>
int SplitWork(int count, int leastPerPart, Work work) {
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const int parts = std::clamp(count / std::max(1, leastPerPart), 1, cores);
    const auto bound = [&](int part) {
        return static_cast<int>(std::int64_t{count} * part / parts);
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < parts; ++part) {
        helpers.emplace_back(work, bound(part), bound(part + 1), part);
    }
    work(0, bound(1), 0);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    return parts;
}

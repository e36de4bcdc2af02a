#pragma once

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <thread>

#include "WorkerThreads.h"

// Shares work over items [0, count) among the cores, each part at least `leastPerPart` items
// so that small work stays on one thread: `work(first, last, part)` runs for each part, part
// 0 on the calling thread, and a part no thread could be made for there too. Every part has
// ended when this returns or throws; an exception from any part is passed on. Returns the
// number of parts.
template <typename Work>
int SplitWork(int count, int leastPerPart, Work work) {
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const int parts = std::clamp(count / std::max(1, leastPerPart), 1, cores);
    const auto bound = [&](int part) {
        return static_cast<int>(std::int64_t{count} * part / parts);
    };
    WorkerThreads helpers;
    int unstarted = parts;
    for (int part = 1; part < parts; ++part) {
        try {
            helpers.Start([work, first = bound(part), last = bound(part + 1), part] {
                work(first, last, part);
            });
        } catch (const std::system_error&) {
            unstarted = part;
            break;
        }
    }
    work(0, bound(1), 0);
    for (int part = unstarted; part < parts; ++part) {
        work(bound(part), bound(part + 1), part);
    }
    helpers.Join();
    return parts;
}

#include "WorkerThreads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "browse/SplitWork.h"

namespace {

// Random counts and part sizes: every item is worked on once, by parts that cover the items
// in order, as many as the cores allow; a part that throws, on the caller's thread or
// another, reaches the caller only once every other part has ended.
TEST(WorkerThreadsTest, SplitWorkCoversEveryItemOnceAndPassesOnAPartsException) {
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        const int count = static_cast<int>(random() % 5000);
        const int least = static_cast<int>(random() % 300);
        const int parts = std::clamp(count / std::max(1, least), 1, cores);
        std::vector<std::atomic<int>> visits(static_cast<std::size_t>(count));
        std::vector<std::pair<int, int>> ranges(static_cast<std::size_t>(parts));
        const int failing = round % 3 == 0 ? static_cast<int>(random() % parts) : -1;
        std::atomic<int> ended{0};
        const auto work = [&](int first, int last, int part) {
            ranges[static_cast<std::size_t>(part)] = {first, last};
            for (int item = first; item < last; ++item) {
                ++visits[static_cast<std::size_t>(item)];
            }
            if (part == failing) {
                throw std::runtime_error("part " + std::to_string(part));
            }
            std::this_thread::sleep_for(std::chrono::microseconds(part % 2 * 300));
            ++ended;
        };
        const std::string what = "round " + std::to_string(round);
        try {
            EXPECT_EQ(SplitWork(count, least, work), parts) << what;
            EXPECT_LT(failing, 0) << what;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), "part " + std::to_string(failing)) << what;
        }
        EXPECT_EQ(ended, failing < 0 ? parts : parts - 1) << what;
        for (int part = 0; part < parts; ++part) {
            EXPECT_EQ(ranges[part].first, part == 0 ? 0 : ranges[part - 1].second) << what;
        }
        EXPECT_EQ(ranges.back().second, count) << what;
        EXPECT_TRUE(std::all_of(visits.begin(), visits.end(), [](const auto& v) { return v == 1; }))
            << what;
    }
}

}  // namespace

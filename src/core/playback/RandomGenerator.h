#pragma once

#include <cstdint>

// The C runtime's linear congruential generator, so Random Play draws the sequence its
// users know; nothing else in the program draws from it.
class RandomGenerator {
public:
    static constexpr int kMaximum = 0x7FFF;

    explicit RandomGenerator(std::uint32_t state = 1) : state_(state) {}

    void Restart(std::uint32_t state) { state_ = state; }
    // 0 to 32767.
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & kMaximum);
    }
    // A row of a list of `rowCount` rows (at least 1). Past 32,768 rows two draws make one
    // number, so every row can come up; shorter lists get one draw, as always.
    int PickRow(int rowCount) {
        constexpr std::uint64_t kRange = kMaximum + 1;
        std::uint64_t draw = static_cast<std::uint64_t>(Next());
        if (static_cast<std::uint64_t>(rowCount) > kRange) {
            draw = draw * kRange + static_cast<std::uint64_t>(Next());
        }
        return static_cast<int>(draw % static_cast<std::uint64_t>(rowCount));
    }

private:
    std::uint32_t state_;
};

#pragma once

#include <cstddef>
#include <span>
#include <vector>

// For a listener that keeps one value per store row: the same change to its values as the
// store made to its rows.

// Drops the values of these ascending, distinct rows.
template <typename Value>
void EraseRows(std::vector<Value>& values, std::span<const int> ascendingRows) {
    std::size_t kept = 0;
    std::size_t next = 0;
    for (std::size_t row = 0; row < values.size(); ++row) {
        if (next < ascendingRows.size() && ascendingRows[next] == static_cast<int>(row)) {
            ++next;
            continue;
        }
        values[kept++] = values[row];
    }
    values.resize(kept);
}

// Moves the value of old row i to row newRowOfOld[i].
template <typename Value>
void MoveRows(std::vector<Value>& values, std::span<const int> newRowOfOld) {
    std::vector<Value> moved(values.size());
    for (std::size_t old = 0; old < newRowOfOld.size() && old < values.size(); ++old) {
        moved[static_cast<std::size_t>(newRowOfOld[old])] = values[old];
    }
    values = std::move(moved);
}

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

// Makes room for rows put in at these ascending new rows, each given `valueOf(row)`.
template <typename Value, typename ValueOf>
void InsertRows(std::vector<Value>& values, std::span<const int> ascendingRows, ValueOf valueOf) {
    std::vector<Value> grown;
    grown.reserve(values.size() + ascendingRows.size());
    std::size_t old = 0;
    std::size_t next = 0;
    while (old < values.size() || next < ascendingRows.size()) {
        if (next < ascendingRows.size() && ascendingRows[next] == static_cast<int>(grown.size())) {
            grown.push_back(valueOf(ascendingRows[next++]));
        } else if (old < values.size()) {
            grown.push_back(values[old++]);
        } else {
            break;  // rows past the end: the store and this listener disagree
        }
    }
    values = std::move(grown);
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

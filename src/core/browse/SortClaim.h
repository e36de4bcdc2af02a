#pragma once

// The column and direction the rows shown are known to be sorted by.
struct SortClaim {
    int column = 0;
    bool ascending = true;
    bool operator==(const SortClaim&) const = default;
};

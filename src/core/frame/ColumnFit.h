#pragma once

#include <span>
#include <vector>

// How the list's columns share the width of the window. Only the widths the columns ask for
// are used, never their contents: a million rows must not be measured.
namespace ColumnFit {

struct Want {
    int preferred = 0;
    int minimum = 0;  // at most `preferred`
};

// One width per column, in the order given. With room to spare every column gets what it
// prefers and `filler` the rest; short of room each gives up width in proportion to what it
// has above its minimum, so the widths add up to `available` exactly. When even the minimums
// do not fit, every column keeps its minimum and the list scrolls.
std::vector<int> Widths(int available, std::span<const Want> columns, int filler);

}  // namespace ColumnFit

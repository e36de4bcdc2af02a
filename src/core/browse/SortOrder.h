#pragma once

#include <span>
#include <string_view>
#include <vector>

class CatalogList;

// The order a column sort gives the store: element i is the row that goes to row i. Text
// columns compare as TextFold folds them (case, and the accents of Latin letters), then
// bytes unsigned, a prefix first; Size by the number of its digits, Track No., Disc, Year,
// Length and Bitrate likewise with empty cells first; Modified by date and time, texts that
// are no date first. Stable in both directions: rows with equal keys keep their order.
std::vector<int> SortOrder(const CatalogList& list, int column, bool ascending);
// The same for some of the store's rows, `rows` holding store rows: element i is the
// position in `rows` of the row that goes to place i.
std::vector<int> SortOrder(const CatalogList& list, std::span<const int> rows, int column,
                           bool ascending);
// Negative, zero or positive as cell `a` sorts before, with or after cell `b` of `column`
// in an ascending sort.
int CompareCells(int column, std::string_view a, std::string_view b);

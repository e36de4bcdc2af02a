#pragma once

#include <vector>

class CatalogList;

// The order a column sort gives the store: element i is the row that goes to row i. Text
// columns compare with ASCII letters folded, then bytes unsigned, a prefix first; Size by the
// number of its digits; Modified by date and time, texts that are no date first. Stable in
// both directions: rows with equal keys keep their order.
std::vector<int> SortOrder(const CatalogList& list, int column, bool ascending);

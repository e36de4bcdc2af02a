#include "catalog/RowSelection.h"

#include <algorithm>

RowSelection::RowSelection(std::vector<int> rows) : rows_(std::move(rows)) {
    std::sort(rows_.begin(), rows_.end());
    rows_.erase(std::unique(rows_.begin(), rows_.end()), rows_.end());
}

int RowSelection::NextSelected(int after) const {
    const auto next = std::upper_bound(rows_.begin(), rows_.end(), after);
    return next == rows_.end() ? -1 : *next;
}

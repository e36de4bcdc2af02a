#pragma once

#include <vector>

// The selected rows as the view hands them to the core: indices in ascending order.
class RowSelection {
public:
    RowSelection() = default;
    // Sorts the indices and drops duplicates.
    explicit RowSelection(std::vector<int> rows);

    int SelectedCount() const { return static_cast<int>(rows_.size()); }
    // The first selected row after `after` (-1 starts at the top), or -1 when there is none.
    int NextSelected(int after) const;
    // The highest selected row, or -1.
    int LastSelected() const { return rows_.empty() ? -1 : rows_.back(); }
    const std::vector<int>& Rows() const { return rows_; }

private:
    std::vector<int> rows_;
};

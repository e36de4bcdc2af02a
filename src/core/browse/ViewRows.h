#pragma once

#include <span>
#include <vector>

// The one row mapping of a narrowed view: the store rows it shows, in its order, and while it
// shows groups, the group of each. Every narrowing (the filter, the search, the groups) fills
// it; changes of the store renumber it, and the groups move with their rows.
class ViewRows {
public:
    int Count() const { return static_cast<int>(rows_.size()); }
    // The store row shown at `at`, which must be in range.
    int StoreRow(int at) const { return rows_[static_cast<std::size_t>(at)]; }
    const std::vector<int>& storeRows() const { return rows_; }

    void Assign(std::vector<int> storeRows);
    // Row i in group `groupOfRow[i]`.
    void AssignGroups(std::vector<int> storeRows, std::vector<int> groupOfRow);
    void Clear() { Assign({}); }
    // New rows go to the end; groups take no rows found after them.
    void Append(std::span<const int> storeRows);

    bool grouped() const { return grouped_; }
    // -1 when not grouped or out of range.
    int GroupOf(int at) const;
    // How many groups still have a row shown.
    int GroupsShown() const;

    // Where store row `storeRow` is shown; -1 when it is not.
    int ViewRowOf(int storeRow) const;

    // After the store gained `count` rows before `first`.
    void ShiftFrom(int first, int count);
    // Keeps the entries for which `newRow(storeRow)` is >= 0, as that store row.
    template <typename NewRow>
    void Renumber(NewRow newRow);
    // Row `order[i]` goes to place i; returns where each row went. While grouped, the groups
    // stay together: each goes where its first row in `order` is, its rows in that order.
    std::vector<int> Permute(std::span<const int> order);

private:
    void ForgetViewRows() { viewRowOfStore_.clear(); }

    std::vector<int> rows_;
    bool grouped_ = false;
    std::vector<int> groupOf_;                 // in step with rows_, while grouped
    mutable std::vector<int> viewRowOfStore_;  // built when first asked
};

template <typename NewRow>
void ViewRows::Renumber(NewRow newRow) {
    std::size_t kept = 0;
    for (std::size_t at = 0; at < rows_.size(); ++at) {
        if (const int row = newRow(rows_[at]); row >= 0) {
            rows_[kept] = row;
            if (grouped_) {
                groupOf_[kept] = groupOf_[at];
            }
            ++kept;
        }
    }
    rows_.resize(kept);
    if (grouped_) {
        groupOf_.resize(kept);
    }
    ForgetViewRows();
}

#include "browse/ViewRows.h"

#include <algorithm>
#include <utility>

void ViewRows::Assign(std::vector<int> storeRows) {
    rows_ = std::move(storeRows);
    grouped_ = false;
    groupOf_ = {};
    ForgetViewRows();
}

void ViewRows::AssignGroups(std::vector<int> storeRows, std::vector<int> groupOfRow) {
    rows_ = std::move(storeRows);
    grouped_ = true;
    groupOf_ = std::move(groupOfRow);
    groupOf_.resize(rows_.size(), 0);
    ForgetViewRows();
}

void ViewRows::Append(std::span<const int> storeRows) {
    if (grouped_) {
        return;
    }
    rows_.insert(rows_.end(), storeRows.begin(), storeRows.end());
    ForgetViewRows();
}

int ViewRows::GroupOf(int at) const {
    if (!grouped_ || at < 0 || at >= Count()) {
        return -1;
    }
    return groupOf_[static_cast<std::size_t>(at)];
}

int ViewRows::GroupsShown() const {
    if (!grouped_ || groupOf_.empty()) {
        return 0;
    }
    std::vector<bool> seen(
        static_cast<std::size_t>(*std::max_element(groupOf_.begin(), groupOf_.end())) + 1);
    int count = 0;
    for (const int group : groupOf_) {
        if (group >= 0 && !seen[static_cast<std::size_t>(group)]) {
            seen[static_cast<std::size_t>(group)] = true;
            ++count;
        }
    }
    return count;
}

int ViewRows::ViewRowOf(int storeRow) const {
    if (storeRow < 0) {
        return -1;
    }
    if (viewRowOfStore_.empty() && !rows_.empty()) {
        viewRowOfStore_.assign(
            static_cast<std::size_t>(*std::max_element(rows_.begin(), rows_.end())) + 1, -1);
        for (std::size_t at = 0; at < rows_.size(); ++at) {
            viewRowOfStore_[static_cast<std::size_t>(rows_[at])] = static_cast<int>(at);
        }
    }
    return storeRow < static_cast<int>(viewRowOfStore_.size())
               ? viewRowOfStore_[static_cast<std::size_t>(storeRow)]
               : -1;
}

void ViewRows::ShiftFrom(int first, int count) {
    for (int& row : rows_) {
        if (row >= first) {
            row += count;
        }
    }
    ForgetViewRows();
}

std::vector<int> ViewRows::Permute(std::span<const int> order) {
    std::vector<int> placed(order.begin(), order.end());
    if (grouped_ && !groupOf_.empty()) {
        // Each group ranks as its first row in the order; the sort is stable, so the rows
        // within a group keep the order too. A row of no group ranks on its own.
        const auto groupOf = [this](int at) { return groupOf_[static_cast<std::size_t>(at)]; };
        const int groups = *std::max_element(groupOf_.begin(), groupOf_.end()) + 1;
        std::vector<int> rankOfGroup(static_cast<std::size_t>(std::max(groups, 0)), -1);
        std::vector<std::pair<int, int>> ranked;  // (rank, row)
        ranked.reserve(placed.size());
        for (std::size_t rank = 0; rank < placed.size(); ++rank) {
            const int group = groupOf(placed[rank]);
            int own = static_cast<int>(rank);
            if (group >= 0) {
                int& first = rankOfGroup[static_cast<std::size_t>(group)];
                first = first < 0 ? own : first;
                own = first;
            }
            ranked.emplace_back(own, placed[rank]);
        }
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t at = 0; at < ranked.size(); ++at) {
            placed[at] = ranked[at].second;
        }
    }
    std::vector<int> rows(rows_.size());
    std::vector<int> groups(groupOf_.size());
    std::vector<int> newRowOfOld(rows_.size());
    for (std::size_t to = 0; to < placed.size(); ++to) {
        const auto from = static_cast<std::size_t>(placed[to]);
        rows[to] = rows_[from];
        if (grouped_) {
            groups[to] = groupOf_[from];
        }
        newRowOfOld[from] = static_cast<int>(to);
    }
    rows_ = std::move(rows);
    groupOf_ = std::move(groups);
    ForgetViewRows();
    return newRowOfOld;
}

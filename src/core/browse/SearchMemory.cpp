#include "browse/SearchMemory.h"

#include <algorithm>

std::size_t SearchMemory::BudgetFor(int storeRows) {
    return std::max(kLeastBytes, kBytesPerRow * static_cast<std::size_t>(std::max(storeRows, 0)));
}

std::size_t SearchMemory::BytesOf(const Found& found) {
    return found.rows.size() * sizeof(int) + found.query.size();
}

std::size_t SearchMemory::BytesHeld() const {
    std::size_t bytes = 0;
    for (const Found& found : found_) {
        bytes += BytesOf(found);
    }
    return bytes;
}

void SearchMemory::Keep(std::string_view query, const std::vector<int>& rows,
                        std::optional<SortClaim> order, int storeRows) {
    std::erase_if(found_, [query](const Found& found) { return found.query == query; });
    const std::size_t budget = BudgetFor(storeRows);
    const std::size_t bytes = rows.size() * sizeof(int) + query.size();
    if (bytes > budget) {
        return;
    }
    std::size_t held = BytesHeld();
    std::size_t dropped = 0;
    while (dropped < found_.size() &&
           (held + bytes > budget || found_.size() - dropped >= kMostQueries)) {
        held -= BytesOf(found_[dropped]);
        ++dropped;
    }
    found_.erase(found_.begin(), found_.begin() + static_cast<std::ptrdiff_t>(dropped));
    found_.push_back({std::string(query), rows, order});
}

const SearchMemory::Found* SearchMemory::Recall(std::string_view query) const {
    const auto found = std::find_if(found_.begin(), found_.end(),
                                    [query](const Found& f) { return f.query == query; });
    return found == found_.end() ? nullptr : &*found;
}

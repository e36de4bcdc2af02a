#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browse/SortClaim.h"

// The rows found by the last few searches, so that going back to a query of a moment ago
// (the user deleting what they typed) shows its rows without testing one. It holds at most
// kMostQueries queries and kBytesPerRow bytes for each row of the store (or kLeastBytes
// when that is more), dropping the oldest first.
class SearchMemory {
public:
    static constexpr std::size_t kMostQueries = 8;
    static constexpr std::size_t kBytesPerRow = 8;
    static constexpr std::size_t kLeastBytes = 256 * 1024;

    struct Found {
        std::string query;
        std::vector<int> rows;
        std::optional<SortClaim> order;
    };

    // The budget for a store of `storeRows` rows.
    static std::size_t BudgetFor(int storeRows);

    // A list too large for the budget on its own is not kept.
    void Keep(std::string_view query, const std::vector<int>& rows, std::optional<SortClaim> order,
              int storeRows);
    // nullptr when the query is not held.
    const Found* Recall(std::string_view query) const;
    void Forget() { found_.clear(); }

    std::size_t BytesHeld() const;
    std::size_t QueriesHeld() const { return found_.size(); }

private:
    static std::size_t BytesOf(const Found& found);

    std::vector<Found> found_;  // oldest first
};

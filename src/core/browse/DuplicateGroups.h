#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "catalog/CatalogList.h"

// What makes two rows the same for Find Duplicates.
enum class DuplicateKind {
    ArtistTrack,  // Artist and Track, case and accents ignored
    NameSize,     // the file name of Path (after its last '/', composed or not) and Size's digits
    ArtistTrackLength,  // Artist and Track as above, and the Length field
};

// The rows that share their key with at least one other row, in groups: groups in the order
// of their keys (compared as bytes of the folded texts, part by part), rows within a group in
// catalog order. A row with neither Artist nor Track (for NameSize: neither a file name nor
// a size) belongs to no group.
class DuplicateGroups {
public:
    DuplicateGroups() = default;

    static DuplicateGroups Find(const CatalogList& list, DuplicateKind kind);
    // Among these store rows only; "catalog order" is then the order they are given in.
    static DuplicateGroups Find(const CatalogList& list, std::span<const int> storeRows,
                                DuplicateKind kind);

    // The key of a row, in the form groups are ordered by; empty for a row that never groups.
    static std::string KeyOf(const CatalogRow& row, DuplicateKind kind);

    int GroupCount() const { return static_cast<int>(groupStarts_.size()); }
    // Every grouped store row, group after group.
    const std::vector<int>& rows() const { return rows_; }
    std::span<const int> Group(int group) const;
    // The group of the row at position `at` of rows().
    int GroupAt(int at) const;
    // The group of each row of rows(), in step with it.
    std::vector<int> GroupOfEachRow() const;

private:
    DuplicateGroups(std::vector<int> rows, std::vector<int> groupStarts)
        : rows_(std::move(rows)), groupStarts_(std::move(groupStarts)) {}

    std::vector<int> rows_;
    std::vector<int> groupStarts_;  // where each group starts in rows_
};

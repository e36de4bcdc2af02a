#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "browse/CatalogView.h"

// The rows sharing one Artist, Album or In Folder/Disk, among the rows shown. An album is an
// Album cell together with its Album Artist, or its Artist when that is empty, so that ten
// artists' "Greatest Hits" are ten albums and a compilation's tracks one.
struct StatisticsGroup {
    std::string_view name;    // the cell as stored: a view into the store
    std::string_view artist;  // an album's artist as above, also a view; empty for the rest
    int rows = 0;
    std::uint64_t sizeBytes = 0;  // the digits of the Size cells, summed
    std::uint64_t seconds = 0;    // the Length fields that hold whole seconds, summed
    int firstRow = 0;             // the first view row of the group
    int rowsWithLength = 0;       // rows whose Length holds whole seconds
};

// What the rows shown add up to. Names compare as exact bytes, not as the search folds them:
// the counts then agree with the Filter On commands, which match cells exactly, every group
// is named by a cell as it stands (no spelling has to be picked to stand for the others),
// and a million rows hash their cells in place without building a folded copy of each. Empty
// cells belong to no group and are not counted. A Size cell counts its digits, whatever
// separates them; a Length field counts only when it is a plain number of seconds.
struct CatalogStatistics {
    enum class GroupBy { Folder, Artist, Album };

    int rows = 0;
    int artists = 0;
    int albums = 0;
    int folders = 0;  // discs and folders: distinct In Folder/Disk cells
    std::uint64_t sizeBytes = 0;
    std::uint64_t seconds = 0;
    int rowsWithLength = 0;  // rows whose Length holds whole seconds
    // A Size cell or the total passed 2^64 - 1; sizes then stop there.
    bool sizeTooLarge = false;
    // Largest size first, then most rows, then by name and artist as bytes.
    std::vector<StatisticsGroup> byFolder;
    std::vector<StatisticsGroup> byArtist;
    std::vector<StatisticsGroup> byAlbum;

    // One pass over the rows `view` shows, shared among the cores once each would have at
    // least `leastRowsPerPart`. The groups' names point into the store, which must not
    // change while they are used.
    static CatalogStatistics Of(const CatalogView& view, int leastRowsPerPart = 200'000);
    // The same over rows taken from a view, in its order. Once `stop` is set the count ends
    // soon, its result incomplete, and reads no row after it returns.
    static CatalogStatistics Of(std::span<const CatalogRow* const> rows,
                                const std::atomic<bool>* stop = nullptr,
                                int leastRowsPerPart = 200'000);
    // The rows a view shows, to count off the thread that changes it.
    static std::vector<const CatalogRow*> RowsOf(const CatalogView& view);

    const std::vector<StatisticsGroup>& Groups(GroupBy by) const;
    // The `count` groups with the most rows (then as Groups orders them), most first.
    static std::vector<StatisticsGroup> MostRows(const std::vector<StatisticsGroup>& groups,
                                                 std::size_t count);
};

#include "browse/CatalogStatistics.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "browse/FieldDisplay.h"
#include "browse/SplitWork.h"

namespace {

using GroupBy = CatalogStatistics::GroupBy;

constexpr std::array<std::pair<GroupBy, Column>, 3> kGroupColumns{
    {{GroupBy::Folder, kFolderDisk}, {GroupBy::Artist, kArtist}, {GroupBy::Album, kAlbum}}};
// Rows are scattered in memory after a sort; fetching this far ahead hides the wait.
constexpr int kPrefetchDistance = 8;
// How often a count looks whether it should stop: often enough that a change waits well
// under a millisecond.
constexpr int kStopCheckRows = 1024;

struct Tally {
    int rows = 0;
    std::uint64_t sizeBytes = 0;
    std::uint64_t seconds = 0;
    int firstRow = 0;
    int rowsWithLength = 0;
};

// Keys are the store's own bytes: no row costs an allocation unless it starts a group.
struct GroupKey {
    std::string_view name;
    std::string_view artist;  // albums only
    bool operator==(const GroupKey&) const = default;
};

struct GroupKeyHash {
    std::size_t operator()(const GroupKey& key) const {
        const std::hash<std::string_view> hash;
        return hash(key.name) ^ (hash(key.artist) * 0x9E3779B97F4A7C15ULL);
    }
};

using TallyMap = std::unordered_map<GroupKey, Tally, GroupKeyHash>;

// Nothing to count when its cell is empty.
GroupKey KeyOf(const CatalogRow& row, GroupBy by, Column column) {
    GroupKey key{row.Cell(column), {}};
    if (by == GroupBy::Album && !key.name.empty()) {
        key.artist = row.Cell(kAlbumArtist);
        if (key.artist.empty()) {
            key.artist = row.Cell(kArtist);
        }
    }
    return key;
}

struct Part {
    std::array<TallyMap, kGroupColumns.size()> groups;
    std::uint64_t sizeBytes = 0;
    std::uint64_t seconds = 0;
    int rowsWithLength = 0;
    bool sizeTooLarge = false;
};

// Returns false, and stops at the largest value, when the sum does not fit.
bool AddSaturating(std::uint64_t& total, std::uint64_t value) {
    if (total > UINT64_MAX - value) {
        total = UINT64_MAX;
        return false;
    }
    total += value;
    return true;
}

std::optional<std::uint64_t> SecondsOf(std::string_view field) {
    std::uint64_t seconds = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, seconds);
    if (field.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return seconds;
}

bool Stopped(const std::atomic<bool>* stop) {
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

void TallyRows(std::span<const CatalogRow* const> rows, int first, int last,
               const std::atomic<bool>* stop, Part& part) {
    // Neighbours share their folder after a scan and their artist after a sort: comparing
    // with the row before, already in the cache, skips most lookups.
    std::array<std::pair<GroupKey, Tally*>, kGroupColumns.size()> previous{};
    for (int at = first; at < last; ++at) {
        if ((at - first) % kStopCheckRows == 0 && Stopped(stop)) {
            return;
        }
        if (at + kPrefetchDistance < last) {
            rows[static_cast<std::size_t>(at + kPrefetchDistance)]->Prefetch();
        }
        const CatalogRow& row = *rows[static_cast<std::size_t>(at)];
        const std::optional<std::uint64_t> size = SizeBytes(row.Cell(kSize));
        const std::uint64_t bytes = size.value_or(UINT64_MAX);
        const std::optional<std::uint64_t> length = SecondsOf(row.Cell(kLength));
        const std::uint64_t seconds = length.value_or(0);
        part.rowsWithLength += length ? 1 : 0;
        const bool added = AddSaturating(part.sizeBytes, bytes);
        part.sizeTooLarge = part.sizeTooLarge || !size || !added;
        AddSaturating(part.seconds, seconds);
        for (std::size_t g = 0; g < kGroupColumns.size(); ++g) {
            const GroupKey key = KeyOf(row, kGroupColumns[g].first, kGroupColumns[g].second);
            if (key.name.empty()) {
                continue;
            }
            if (previous[g].second == nullptr || !(key == previous[g].first)) {
                const auto [entry, isNew] = part.groups[g].try_emplace(key);
                if (isNew) {
                    entry->second.firstRow = at;
                }
                previous[g] = {key, &entry->second};  // elements stay put when the map grows
            }
            Tally& tally = *previous[g].second;
            ++tally.rows;
            AddSaturating(tally.sizeBytes, bytes);
            AddSaturating(tally.seconds, seconds);
            tally.rowsWithLength += length ? 1 : 0;
        }
    }
}

// Parts cover the rows in order, so `into` holds the earlier rows.
void MergeInto(Part& into, const Part& from) {
    into.sizeTooLarge =
        into.sizeTooLarge || from.sizeTooLarge || !AddSaturating(into.sizeBytes, from.sizeBytes);
    AddSaturating(into.seconds, from.seconds);
    into.rowsWithLength += from.rowsWithLength;
    for (std::size_t g = 0; g < kGroupColumns.size(); ++g) {
        for (const auto& [key, tally] : from.groups[g]) {
            const auto [entry, isNew] = into.groups[g].try_emplace(key, tally);
            if (!isNew) {
                entry->second.rows += tally.rows;
                AddSaturating(entry->second.sizeBytes, tally.sizeBytes);
                AddSaturating(entry->second.seconds, tally.seconds);
                entry->second.rowsWithLength += tally.rowsWithLength;
            }
        }
    }
}

bool LargerFirst(const StatisticsGroup& a, const StatisticsGroup& b) {
    if (a.sizeBytes != b.sizeBytes) {
        return a.sizeBytes > b.sizeBytes;
    }
    if (a.rows != b.rows) {
        return a.rows > b.rows;
    }
    return std::tie(a.name, a.artist) < std::tie(b.name, b.artist);
}

std::vector<StatisticsGroup> SortedGroups(const TallyMap& tallies) {
    std::vector<StatisticsGroup> groups;
    groups.reserve(tallies.size());
    for (const auto& [key, tally] : tallies) {
        groups.push_back({key.name, key.artist, tally.rows, tally.sizeBytes, tally.seconds,
                          tally.firstRow, tally.rowsWithLength});
    }
    std::sort(groups.begin(), groups.end(), LargerFirst);
    return groups;
}

}  // namespace

CatalogStatistics CatalogStatistics::Of(const CatalogView& view, int leastRowsPerPart) {
    const std::vector<const CatalogRow*> rows = RowsOf(view);
    return Of(rows, nullptr, leastRowsPerPart);
}

std::vector<const CatalogRow*> CatalogStatistics::RowsOf(const CatalogView& view) {
    std::vector<const CatalogRow*> rows(static_cast<std::size_t>(view.RowCount()));
    for (std::size_t at = 0; at < rows.size(); ++at) {
        rows[at] = view.RowRecord(static_cast<int>(at));
    }
    return rows;
}

CatalogStatistics CatalogStatistics::Of(std::span<const CatalogRow* const> rows,
                                        const std::atomic<bool>* stop, int leastRowsPerPart) {
    std::vector<Part> parts(std::max(1U, std::thread::hardware_concurrency()));
    const int count = static_cast<int>(rows.size());
    const int used = SplitWork(count, leastRowsPerPart, [&](int first, int last, int p) {
        TallyRows(rows, first, last, stop, parts[static_cast<std::size_t>(p)]);
    });
    Part& all = parts[0];
    for (int p = 1; p < used; ++p) {
        MergeInto(all, parts[static_cast<std::size_t>(p)]);
    }
    CatalogStatistics statistics;
    statistics.rows = count;
    if (Stopped(stop)) {
        return statistics;
    }
    statistics.sizeBytes = all.sizeBytes;
    statistics.seconds = all.seconds;
    statistics.rowsWithLength = all.rowsWithLength;
    statistics.sizeTooLarge = all.sizeTooLarge;
    for (std::size_t g = 0; g < kGroupColumns.size(); ++g) {
        std::vector<StatisticsGroup> groups = SortedGroups(all.groups[g]);
        const int count = static_cast<int>(groups.size());
        switch (kGroupColumns[g].first) {
            case GroupBy::Folder:
                statistics.folders = count;
                statistics.byFolder = std::move(groups);
                break;
            case GroupBy::Artist:
                statistics.artists = count;
                statistics.byArtist = std::move(groups);
                break;
            case GroupBy::Album:
                statistics.albums = count;
                statistics.byAlbum = std::move(groups);
                break;
        }
    }
    return statistics;
}

const std::vector<StatisticsGroup>& CatalogStatistics::Groups(GroupBy by) const {
    switch (by) {
        case GroupBy::Artist:
            return byArtist;
        case GroupBy::Album:
            return byAlbum;
        case GroupBy::Folder:
            break;
    }
    return byFolder;
}

std::vector<StatisticsGroup> CatalogStatistics::MostRows(const std::vector<StatisticsGroup>& groups,
                                                         std::size_t count) {
    std::vector<StatisticsGroup> most(groups.begin(), groups.end());
    count = std::min(count, most.size());
    // Stable: among equal row counts the larger size, as the groups come, stays first.
    std::stable_sort(
        most.begin(), most.end(),
        [](const StatisticsGroup& a, const StatisticsGroup& b) { return a.rows > b.rows; });
    most.resize(count);
    return most;
}

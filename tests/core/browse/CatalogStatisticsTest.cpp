#include "browse/CatalogStatistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "browse/FieldDisplay.h"
#include "catalog/RowFields.h"
#include "support/RandomPick.h"

using namespace std::string_literals;

namespace {

// The size as the catalog may write it, grouped by any of the separators seen in the wild.
std::string SizeCell(std::uint64_t bytes, std::mt19937& random) {
    const std::string separator = Pick(random, {"", ",", ".", " ", "\xC2\xA0"});
    std::string digits = std::to_string(bytes);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), separator);
    }
    return digits;
}

struct ModelTally {
    int rows = 0;
    std::uint64_t size = 0;
    std::uint64_t seconds = 0;
    int firstRow = -1;
};
// By name, and for albums by artist too.
using ModelTallies = std::map<std::pair<std::string, std::string>, ModelTally>;

// The rows shown, counted one by one into maps; each row's size and length known as made.
struct StatisticsModel {
    int rows = 0;
    std::uint64_t size = 0;
    std::uint64_t seconds = 0;
    int rowsWithLength = 0;
    ModelTallies folders, artists, albums;
};

// Same order as the program's: largest size, most rows, name, artist.
std::vector<StatisticsGroup> Ordered(const ModelTallies& groups) {
    std::vector<StatisticsGroup> ordered;
    for (const auto& [key, g] : groups) {
        ordered.push_back({key.first, key.second, g.rows, g.size, g.seconds, g.firstRow});
    }
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return std::tuple(b.sizeBytes, b.rows, a.name, a.artist) <
               std::tuple(a.sizeBytes, a.rows, b.name, b.artist);
    });
    return ordered;
}

void ExpectGroups(const std::vector<StatisticsGroup>& actual, const ModelTallies& model,
                  const std::string& what) {
    const std::vector<StatisticsGroup> expected = Ordered(model);
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [a, e] = std::tie(actual[i], expected[i]);
        EXPECT_EQ(std::tuple(std::string(a.name), std::string(a.artist), a.rows, a.sizeBytes,
                             a.seconds, a.firstRow),
                  std::tuple(std::string(e.name), std::string(e.artist), e.rows, e.sizeBytes,
                             e.seconds, e.firstRow))
            << what << " group " << i;
    }
}

}  // namespace

// Random catalogs with names that differ only in case, accents or bytes, empty cells, sizes
// written every way, lengths that are and are not seconds; narrowed and sorted so that view
// rows differ from store rows; shared among the cores from one row a part upwards.
TEST(CatalogStatisticsTest, CountsTheRowsShownAsMapsCountThem) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 60; ++round) {
        CatalogList list;
        std::vector<std::uint64_t> sizes, lengths;
        std::vector<bool> hasLength;
        const int count = static_cast<int>(random() % 400);
        std::vector<CatalogRow> rows;
        for (int i = 0; i < count; ++i) {
            const std::uint64_t size = random() % 4 == 0 ? 0 : random() % 5'000'000'000ULL;
            std::uint64_t length = random() % 1000;
            std::string lengthText = std::to_string(length);
            const bool seconds = random() % 4 != 0;
            if (!seconds) {  // not a number of seconds: counts nothing
                lengthText = Pick(random, {"", "3:20", "-5", " 12", "12s", "x"});
                length = 0;
            }
            std::string fields;
            AppendFieldPiece("album=" + Pick(random, {"", "Live", "live", "Lïve", "L\xEFve"}),
                             fields);
            AppendFieldPiece("albumartist=" + Pick(random, {"", "", "Various", "Abba"}), fields);
            AppendFieldPiece("length=" + lengthText, fields);
            const std::string artist = Pick(random, {"", "Abba", "ABBA", "Åbba",
                                                     "\xC5"
                                                     "bba",
                                                     "a\0b"s, "Björk"});
            const std::string folder = Pick(random, {"", "CD1", "cd1", "/music/a", "/music/b"});
            const std::string sizeCell = size == 0 && random() % 2 ? "" : SizeCell(size, random);
            rows.emplace_back(RowCells{artist, "t", folder, sizeCell, "m", std::to_string(i)},
                              fields);
            sizes.push_back(size);
            lengths.push_back(length);
            hasLength.push_back(seconds);
        }
        list.AppendRows(std::move(rows));
        CatalogView view(list);
        const int keepEvery = 1 + static_cast<int>(random() % 3);
        if (keepEvery > 1) {
            view.Narrow([keepEvery](const CatalogRow& row) {
                return std::stoi(std::string(row.Cell(kPath))) % keepEvery != 0;
            });
        }
        view.Sort(random() % 2 ? kArtist : kSize, random() % 2);

        StatisticsModel model;
        for (int row = 0; row < view.RowCount(); ++row) {
            // Sorting an unnarrowed view moves the store's rows: Path says which row was made.
            const auto made =
                static_cast<std::size_t>(std::stoi(std::string(view.CellText(row, kPath))));
            ++model.rows;
            model.size += sizes[made];
            model.seconds += lengths[made];
            model.rowsWithLength += hasLength[made] ? 1 : 0;
            // An album is its title with its album artist, or its artist when that is empty.
            std::string albumArtist(view.CellText(row, kAlbumArtist));
            if (albumArtist.empty()) {
                albumArtist = view.CellText(row, kArtist);
            }
            for (auto [column, groups, artist] :
                 {std::tuple{kFolderDisk, &model.folders, std::string()},
                  std::tuple{kArtist, &model.artists, std::string()},
                  std::tuple{kAlbum, &model.albums, albumArtist}}) {
                const std::string name(view.CellText(row, column));
                if (name.empty()) {
                    continue;
                }
                ModelTally& group = (*groups)[{name, artist}];
                group.rows += 1;
                group.size += sizes[made];
                group.seconds += lengths[made];
                if (group.firstRow < 0) {
                    group.firstRow = row;
                }
            }
        }

        const int leastPerPart = static_cast<int>(1 + random() % 50);
        const CatalogStatistics s = CatalogStatistics::Of(view, leastPerPart);
        const std::string what = "round " + std::to_string(round);
        EXPECT_EQ(s.rows, model.rows) << what;
        EXPECT_EQ(s.sizeBytes, model.size) << what;
        EXPECT_FALSE(s.sizeTooLarge) << what;
        EXPECT_EQ(s.seconds, model.seconds) << what;
        EXPECT_EQ(s.rowsWithLength, model.rowsWithLength) << what;
        EXPECT_EQ(s.folders, static_cast<int>(model.folders.size())) << what;
        EXPECT_EQ(s.artists, static_cast<int>(model.artists.size())) << what;
        EXPECT_EQ(s.albums, static_cast<int>(model.albums.size())) << what;
        ExpectGroups(s.Groups(CatalogStatistics::GroupBy::Folder), model.folders, what);
        ExpectGroups(s.Groups(CatalogStatistics::GroupBy::Artist), model.artists, what);
        ExpectGroups(s.Groups(CatalogStatistics::GroupBy::Album), model.albums, what);

        std::vector<StatisticsGroup> most = Ordered(model.artists);
        std::stable_sort(most.begin(), most.end(),
                         [](const auto& a, const auto& b) { return a.rows > b.rows; });
        most.resize(std::min<std::size_t>(3, most.size()));
        const std::vector<StatisticsGroup> top = CatalogStatistics::MostRows(s.byArtist, 3);
        ASSERT_EQ(top.size(), most.size()) << what;
        for (std::size_t i = 0; i < most.size(); ++i) {
            EXPECT_EQ(top[i].name, most[i].name) << what;
        }
    }
}

TEST(CatalogStatisticsTest, SizesPastSixtyFourBitsStopThereAndSaySo) {
    for (const auto& sizes : std::vector<std::vector<std::string>>{
             {"18,446,744,073,709,551,615", "1"}, {"184467440737095516150"}}) {
        CatalogList list;
        std::vector<CatalogRow> rows;
        for (const std::string& size : sizes) {
            rows.emplace_back(RowCells{"a", "t", "f", size, "m", "/p"});
        }
        list.AppendRows(std::move(rows));
        const CatalogStatistics s = CatalogStatistics::Of(CatalogView(list), 1);
        EXPECT_TRUE(s.sizeTooLarge);
        EXPECT_EQ(s.sizeBytes, UINT64_MAX);
        EXPECT_EQ(s.byFolder.at(0).sizeBytes, UINT64_MAX);
    }
}

TEST(CatalogStatisticsTest, TotalsReadAsSizesAndTimes) {
    const std::pair<std::uint64_t, const char*> sizes[] = {
        {0, "0 bytes"},         {1, "1 byte"},          {1023, "1023 bytes"},
        {1024, "1.0 KB"},       {1536, "1.5 KB"},       {1048575, "1.0 MB"},
        {1288490189, "1.2 GB"}, {5ULL << 40, "5.0 TB"}, {UINT64_MAX, "16384.0 PB"}};
    for (const auto& [bytes, text] : sizes) {
        EXPECT_EQ(SizeText(bytes), text) << bytes;
    }
    const std::pair<std::uint64_t, const char*> times[] = {{0, "0:00:00"},
                                                           {59, "0:00:59"},
                                                           {3599, "0:59:59"},
                                                           {3600, "1:00:00"},
                                                           {86399, "23:59:59"},
                                                           {86400, "1 day 0:00:00"},
                                                           {2 * 86400 + 3723, "2 days 1:02:03"}};
    for (const auto& [seconds, text] : times) {
        EXPECT_EQ(DurationText(seconds), text) << seconds;
    }
}

#include "browse/DuplicateGroups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "browse/TextFold.h"
#include "catalog/RowFields.h"
#include "support/RandomPick.h"

using namespace std::string_literals;

namespace {

using ModelKey = std::tuple<std::string, std::string, std::string>;
using Groups = std::vector<std::vector<int>>;

// Few values, so that rows meet often: case, UTF-8 and Latin-1 accents, a NUL byte.
CatalogRow RandomDuplicateRow(std::mt19937& random) {
    const std::string artist = Pick(random, {"", "Abba", "ABBA", "Åbba",
                                             "\xC5"
                                             "bba",
                                             "Björk", "Bjork", "Bj", "a\0b"s, "a"});
    const std::string track = Pick(random, {"", "Hey", "HEY", "Hé", "H\xE9", "Hey!", "\0"s});
    const std::string size = Pick(random, {"", "1,024", "1024", "1 024", "10", "1,02"});
    const std::string path = Pick(random, {"", "/a/x.mp3", "/b/x.mp3", "/b/X.mp3", "x.mp3", "/c/"});
    std::string fields;
    if (random() % 2 == 0) {
        AppendFieldPiece("length=" + Pick(random, {"1", "10", "100"}), fields);
    }
    return CatalogRow(RowCells{artist, track, "disc", size, "", path}, fields);
}

// The key as the rule states it, or nothing for a row that never groups.
std::optional<ModelKey> ModelKeyOf(const CatalogRow& row, DuplicateKind kind) {
    if (kind == DuplicateKind::NameSize) {
        const std::string path(row.Cell(kPath));
        const std::string name =
            path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
        std::string digits;
        for (const char c : row.Cell(kSize)) {
            if (c >= '0' && c <= '9') {
                digits += c;
            }
        }
        if (name.empty() && digits.empty()) {
            return std::nullopt;
        }
        return ModelKey{name, digits, ""};
    }
    if (row.Cell(kArtist).empty() && row.Cell(kTrack).empty()) {
        return std::nullopt;
    }
    return ModelKey{Folded(row.Cell(kArtist)), Folded(row.Cell(kTrack)),
                    kind == DuplicateKind::ArtistTrackLength ? std::string(row.Cell(kLength)) : ""};
}

// Groups of the store rows at `rows`, in the order given.
Groups ModelGroups(const CatalogList& list, const std::vector<int>& rows, DuplicateKind kind) {
    std::map<ModelKey, std::vector<int>> byKey;
    for (const int row : rows) {
        if (const std::optional<ModelKey> key = ModelKeyOf(*list.RowRecord(row), kind)) {
            byKey[*key].push_back(row);
        }
    }
    Groups groups;
    for (const auto& [key, members] : byKey) {
        if (members.size() > 1) {
            groups.push_back(members);
        }
    }
    return groups;
}

Groups GroupsOf(const DuplicateGroups& found) {
    Groups groups;
    int at = 0;
    for (int group = 0; group < found.GroupCount(); ++group) {
        const std::span<const int> rows = found.Group(group);
        groups.emplace_back(rows.begin(), rows.end());
        for (std::size_t i = 0; i < rows.size(); ++i, ++at) {
            EXPECT_EQ(found.GroupAt(at), group);
            EXPECT_EQ(found.rows()[static_cast<std::size_t>(at)], rows[i]);
        }
    }
    EXPECT_EQ(at, static_cast<int>(found.rows().size()));
    return groups;
}

}  // namespace

TEST(DuplicateGroupsTest, GroupsRowsSharingAKeyInKeyOrderThenCatalogOrder) {
    std::mt19937 random(15);
    for (int round = 0; round < 60; ++round) {
        CatalogList list;
        std::vector<CatalogRow> rows;
        for (int i = static_cast<int>(random() % 80); i > 0; --i) {
            rows.push_back(RandomDuplicateRow(random));
        }
        list.AppendRows(std::move(rows));
        std::vector<int> all(static_cast<std::size_t>(list.RowCount()));
        for (std::size_t i = 0; i < all.size(); ++i) {
            all[i] = static_cast<int>(i);
        }
        // Some of the rows, in an order of their own, as a view might hold them.
        std::vector<int> some = all;
        std::shuffle(some.begin(), some.end(), random);
        some.resize(some.size() / 2);
        for (const DuplicateKind kind : {DuplicateKind::ArtistTrack, DuplicateKind::NameSize,
                                         DuplicateKind::ArtistTrackLength}) {
            const Groups expected = ModelGroups(list, all, kind);
            EXPECT_EQ(GroupsOf(DuplicateGroups::Find(list, kind)), expected) << round;
            EXPECT_EQ(GroupsOf(DuplicateGroups::Find(list, some, kind)),
                      ModelGroups(list, some, kind))
                << round;
        }
    }
    // Accents and case ignored, composed or not; a size is its digits; Length matters only
    // when asked. A file name is one name composed or decomposed, but keeps its case.
    CatalogList list;
    list.AppendRows(
        {CatalogRow(RowCells{"Björk", "Jóga", "", "1,024", "", "/a/j.mp3"}),
         CatalogRow(RowCells{"BJORK", "joga", "", "1024", "", "/b/j.mp3"}, "length=305"),
         CatalogRow(RowCells{"", "", "", "", "", ""}),
         CatalogRow(RowCells{"Dvořák", "Largo", "", "5", "", "/a/Dvořák.mp3"}),
         CatalogRow(
             RowCells{"DVOR\u030CA\u0301K", "largo", "", "5", "", "/b/Dvor\u030Ca\u0301k.mp3"}),
         CatalogRow(RowCells{"Dvorak", "LARGO", "", "5", "", "/c/DVOŘÁK.mp3"})});
    EXPECT_EQ(DuplicateGroups::Find(list, DuplicateKind::ArtistTrack).GroupCount(), 2);
    EXPECT_EQ(DuplicateGroups::Find(list, DuplicateKind::NameSize).GroupCount(), 2);
    EXPECT_EQ(DuplicateGroups::Find(list, DuplicateKind::ArtistTrackLength).GroupCount(), 1);
}

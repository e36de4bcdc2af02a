// Where a row's file is now, from the pieces the scan recorded and the mounts of the moment;
// and the index that counts the rows away while the store changes under it.

#include <gtest/gtest.h>

#include <random>

#include "browse/CatalogView.h"
#include "catalog/RowFields.h"
#include "volumes/LabelProposal.h"
#include "volumes/MountedSet.h"
#include "volumes/RowVolumeIndex.h"
#include "volumes/VolumePieces.h"

namespace {

CatalogRow RowOn(const std::string& path, const Mounts::Volume* volume) {
    const RowCells cells{"A", "T", "Disc", "1", "01/01/70 12:00 AM", path};
    return CatalogRow(cells, volume ? "album=X\t" + VolumePieces(*volume) : "album=X");
}

TEST(VolumePlaceTest, RowsAreFoundWhereTheirFileSystemIsMountedNow) {
    const Mounts::Volume cd{"2026-12-09-15-54-54-00", "/media/u/MUSIC 01", true};
    const Mounts::Volume usb{"8C1F-2B3A", "/media/u/STICK", false};
    const Mounts::Volume root{"6b0e6e8a", "/", false};
    // A copy answers alike once the set it was copied from has gone.
    MountedSet mounted;
    {
        const MountedSet original({Mounts::Volume{cd.id, "/mnt/elsewhere/", true}, root,
                                   Mounts::Volume{root.id, "/srv", false}});
        mounted = original;
    }
    using State = MountedSet::Place::State;
    const std::string joint(1, kFolderSeparator);  // where a moved path is joined
    const struct {
        CatalogRow row;
        State state;
        std::string path;
    } cases[] = {
        {RowOn("/home/a.mp3", nullptr), State::Here, "/home/a.mp3"},
        {RowOn("/media/u/MUSIC 01/x/a.mp3", &cd), State::Moved, "/mnt/elsewhere/x/a.mp3"},
        {RowOn("/media/u/MUSIC 01", &cd), State::Moved, "/mnt/elsewhere/"},
        // A path that does not lie below its mount (edited by hand) is left alone.
        {RowOn("/media/u/MUSIC 011/a.mp3", &cd), State::Here, "/media/u/MUSIC 011/a.mp3"},
        {RowOn("/media/u/STICK/a.mp3", &usb), State::Away, "/media/u/STICK/a.mp3"},
        // A file system mounted twice is found at the mount listed last.
        {RowOn("/music/a.mp3", &root), State::Moved, "/srv" + joint + "music/a.mp3"},
        {CatalogRow({"A", "T", "D", "1", "", "/x/a.mp3"}, "volume=8C1F-2B3A"), State::Away,
         "/x/a.mp3"},
    };
    for (const auto& c : cases) {
        const MountedSet::Place place = mounted.PlaceOf(c.row);
        EXPECT_EQ(place.state, c.state) << c.row.Cell(kPath);
        EXPECT_EQ(place.path, c.path) << c.row.Cell(kPath);
    }
    EXPECT_EQ(MovedPath("/a/b.mp3", "/", "/mnt"), "/mnt" + joint + "a/b.mp3");
    EXPECT_EQ(MovedPath("/mnt/b.mp3", "/mnt", "/"), "/b.mp3");
    EXPECT_TRUE(LiesBelow("/a", "/"));
    EXPECT_FALSE(LiesBelow("/ab/c", "/a"));
    EXPECT_TRUE(LiesBelow("/a/b", "/a//") && LiesBelow("/a", "/a") && LiesBelow("r/x", "r"));
    EXPECT_FALSE(LiesBelow("/a", "a") || LiesBelow("/a", "/a/b"));
    const struct {
        std::string_view path, folder, name;
    } splits[] = {{"/m/x.mp3", "/m", "x.mp3"},
                  {"/x.mp3", "/", "x.mp3"},
                  {"x.mp3", "", "x.mp3"},
                  {"/m/", "/m", ""},
#ifdef _WIN32
                  // Windows splits at either separator.
                  {"a\\b", "a", "b"}};
#else
                  {"a\\b", "", "a\\b"}};
#endif
    for (const auto& split : splits) {
        EXPECT_EQ(FolderOfPath(split.path), split.folder) << split.path;
        EXPECT_EQ(FileNameOf(split.path), split.name) << split.path;
    }

    // Paths are joined with the system's own separator, and a root keeps its closing one.
    const std::string separator(1, kFolderSeparator);
    EXPECT_EQ(JoinPath("/media/cd/", "Album"), "/media/cd/Album");
    EXPECT_EQ(JoinPath("/", "media"), "/media");
    EXPECT_EQ(JoinPath("/media", "Album"), "/media" + separator + "Album");
    EXPECT_EQ(WithoutClosingSeparators("/a//"), "/a");
    EXPECT_EQ(WithoutClosingSeparators("/"), "/");
#ifdef _WIN32
    EXPECT_EQ(WithoutClosingSeparators("D:\\"), "D:\\");
    EXPECT_EQ(WithoutClosingSeparators("D:\\Music\\"), "D:\\Music");
    EXPECT_EQ(MovedPath("E:\\Album\\x.mp3", "E:\\", "F:\\"), "F:\\Album\\x.mp3");
    EXPECT_EQ(MovedPath("E:\\Album\\x.mp3", "E:\\Album", "F:\\"), "F:\\x.mp3");
#endif
}

TEST(VolumePlaceTest, ASecondDiscWithATakenLabelIsOfferedTheNextFreeNumber) {
    CatalogList list;
    const auto add = [&list](const std::string& label, const std::string& volume) {
        const std::string path = "/m/" + label;
        const RowCells cells{"A", "T", label, "1", "", path};
        list.AppendRows({CatalogRow(cells, volume.empty() ? "" : "volume=" + volume)});
    };
    add("MUSIC", "v1");
    add("MUSIC (2)", "v2");
    add("OLD", "");
    const struct {
        std::string label;
        std::string volume;
        std::string proposed;
    } cases[] = {
        {"MUSIC", "v1", "MUSIC"},      // the same disc again
        {"MUSIC", "v3", "MUSIC (3)"},  // " (2)" is taken too
        {"MUSIC (2)", "v9", "MUSIC (2) (2)"},
        {"OLD", "v3", "OLD"},  // rows that name no file system are not another disc's
        {"NEW", "v3", "NEW"},
        {"MUSIC", "", "MUSIC"},  // a disc without identity cannot be told apart
    };
    for (const auto& c : cases) {
        const LabelProposal proposal = LabelProposal::For(list, c.label, c.volume);
        EXPECT_EQ(proposal.label, c.proposed) << c.label << " " << c.volume;
        EXPECT_EQ(proposal.note.empty(), c.proposed == c.label) << c.label << " " << c.volume;
    }
}

// Random inserts, removals, sorts and mount changes; after each, the index's answers equal
// those read from the rows themselves.
TEST(VolumePlaceTest, TheIndexOfAwayRowsFollowsTheStore) {
    std::mt19937 random(7);
    const std::vector<Mounts::Volume> volumes{
        {"v1", "/m/1", true}, {"v2", "/m/2", false}, {"v3", "/m/3", true}};
    CatalogList store;
    CatalogView view(store);
    RowVolumeIndex index(store);
    for (int step = 0; step < 400; ++step) {
        const unsigned what = random() % 6;
        if (what == 0 || store.RowCount() < 5) {
            std::vector<CatalogRow> rows;
            for (unsigned n = random() % 9; n > 0; --n) {
                const unsigned v = random() % 4;
                rows.push_back(RowOn("/m/" + std::to_string(v) + "/" + std::to_string(random()),
                                     v < 3 ? &volumes[v] : nullptr));
            }
            store.InsertRows(static_cast<int>(random() % (store.RowCount() + 1)), rows);
        } else if (what == 1) {
            store.RemoveRow(static_cast<int>(random() % store.RowCount()));
        } else if (what == 2) {
            std::vector<int> rows;
            for (int row = 0; row < store.RowCount(); row += 1 + static_cast<int>(random() % 3)) {
                rows.push_back(row);
            }
            store.RemoveRows(rows);
        } else if (what == 3) {
            store.SortRows([](const CatalogRow& a, const CatalogRow& b) {
                return a.Cell(kPath).compare(b.Cell(kPath));
            });
        } else if (what == 4) {
            const int row = static_cast<int>(random() % store.RowCount());
            CatalogRow moved = *store.RowRecord(row);
            moved.SetFields(
                WithPieceValue(moved.Fields(), kVolumePiece,
                               random() % 2 ? "v" + std::to_string(random() % 3 + 1) : ""));
            store.ReplaceRow(row, moved);
        } else {
            std::vector<Mounts::Volume> now;
            for (const Mounts::Volume& volume : volumes) {
                if (random() % 2) {
                    now.push_back(volume);
                }
            }
            index.SetMounted(MountedSet(now));
        }
        int away = 0;
        for (int row = 0; row < store.RowCount(); ++row) {
            const bool expected = index.mounted().PlaceOf(*store.RowRecord(row)).state ==
                                  MountedSet::Place::State::Away;
            ASSERT_EQ(index.IsAway(row), expected) << "step " << step << " row " << row;
            away += expected ? 1 : 0;
        }
        ASSERT_EQ(index.AwayCount(view), away) << "step " << step;
        ASSERT_EQ(index.AnyAway(), away > 0);
    }
}

}  // namespace

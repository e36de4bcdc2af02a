#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "PosixFolderReader.h"
#include "scan/CFolderScan.h"
#include "scan/MediaExtensions.h"
#include "scan/RowDerivation.h"
#include "scan/RowNamer.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// The real reader, except that the folders named here cannot be listed.
class FailingFolderReader : public FolderReader {
public:
    std::unique_ptr<Listing> Open(const std::string& folder, std::error_code& error) override {
        if (failing.count(folder) != 0) {
            error = std::make_error_code(std::errc::io_error);
            return nullptr;
        }
        return real.Open(folder, error);
    }
    PosixFolderReader real;
    std::set<std::string> failing;
};

class FolderWalkTest : public ::testing::Test {
protected:
    TempFolder temp_{"plumet-walk"};
    std::string root_ = temp_.path().string();
    FailingFolderReader reader_;
    FixedLocale locale_;

    void File(const std::string& relative, std::uintmax_t size = 3) const {
        const fs::path file = temp_.path() / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            << std::string(std::min<std::uintmax_t>(size, 3), 'x');
        if (size > 3) {
            fs::resize_file(file, size);  // sparse
        }
    }

    using Rows = std::vector<DerivedRow>;
    // The places the last walk could not see, below the root, with their causes.
    std::map<std::string, std::string> unseen_;

    // The rows of a whole walk of `folder`, in the order found.
    Rows Walk(const std::string& folder, std::string_view category = kAudioCategory,
              std::optional<std::string> inFolderDisk = std::nullopt) {
        PendingResults pending;
        std::atomic<bool> cancel{false};
        const RowNamer namer({}, std::move(inFolderDisk), ",");
        WalkContext walk{reader_, pending, std::string(category), namer, locale_, cancel, {}, {}};
        CFolderScan top(folder);
        top.ScanFolderProc(walk);
        CatalogList list;
        pending.Drain(list);
        unseen_.clear();
        const UnseenPlaces unseen = pending.TakeUnseen();
        for (const UnseenPlaces::Place& place : unseen.places()) {
            unseen_[place.path.substr(root_.size())] = place.cause;
        }
        Rows rows(list.RowCount());
        for (int row = 0; row < list.RowCount(); ++row) {
            for (int column = 0; column < kColumnCount; ++column) {
                rows[row][column] = list.CellText(row, column);
            }
        }
        return rows;
    }

    std::vector<std::string> Paths(const Rows& rows) const {
        std::vector<std::string> paths;
        for (const DerivedRow& row : rows) {
            paths.push_back(row[kPath].substr(root_.size()));
        }
        return paths;
    }

    // Names of `folder` in the order the file system lists them.
    std::vector<std::string> ListingOrder(const std::string& folder) const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(temp_.path() / folder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

TEST(MediaExtensionsTest, TakesTheCategorysExtensionsWhateverTheirCase) {
    for (const char* taken : {"SONG.MP3", "a.flac", "b.Ogg", "mp3", "x.aa3", ".hidden.wma", "c.M4A",
                              "d.opus", "e.oga", "f.AIF", "g.aiff", "h.Wv", "i.mpc", "m4a"}) {
        EXPECT_TRUE(IsMediaFile(kAudioCategory, taken)) << taken;
    }
    for (const char* refused : {"song.mp3.txt", "cover.jpg", "Clip.AVI", "mp3.", "song", "x.m4v",
                                "y.aifc", "z.wvc", "a.mp+", "b.opus.part"}) {
        EXPECT_FALSE(IsMediaFile(kAudioCategory, refused)) << refused;
    }
    EXPECT_TRUE(IsMediaFile(kVideoCategory, "Clip.AVI"));
    EXPECT_TRUE(IsMediaFile(kVideoCategory, "x.mpeg"));
    EXPECT_FALSE(IsMediaFile(kVideoCategory, "song.mp3"));
    EXPECT_FALSE(IsMediaFile("Audio", "song.mp3"));  // categories compare exactly
    EXPECT_FALSE(IsMediaFile("", "song.mp3"));
}

TEST_F(FolderWalkTest, FilesComeBeforeSubFoldersDepthFirstInListingOrder) {
    for (const char* name : {"a.mp3", "b.mp3", "c.MP3", "cover.jpg", ".hidden.ogg"}) {
        File(name);
    }
    File("One/1.mp3");
    File("One/Deep/2.mp3");
    File("One/Deep/Deeper/3.mp3");
    File("Two/4.flac");
    File("Live.mp3/5.mp3");  // a folder with a media name is entered, not catalogued
    fs::create_directories(temp_.path() / "Empty");

    const std::vector<std::string> paths = Paths(Walk(root_));
    std::vector<std::string> expected;
    for (const std::string& name : ListingOrder("")) {
        if (fs::is_regular_file(temp_.path() / name) && name != "cover.jpg") {
            expected.push_back("/" + name);
        }
    }
    for (const std::string& name : ListingOrder("")) {
        if (name == "One") {
            expected.insert(expected.end(),
                            {"/One/1.mp3", "/One/Deep/2.mp3", "/One/Deep/Deeper/3.mp3"});
        } else if (name == "Two") {
            expected.push_back("/Two/4.flac");
        } else if (name == "Live.mp3") {
            expected.push_back("/Live.mp3/5.mp3");
        }
    }
    EXPECT_EQ(paths, expected);
}

TEST_F(FolderWalkTest, FoldersAreJoinedWithOneSlashAndCellsDerivedFromTheWalk) {
    File("Album/Pink Floyd - Money.mp3", 1234567);
    const Rows withSlash = Walk(root_ + "/");
    const Rows without = Walk(root_);
    ASSERT_EQ(withSlash.size(), 1u);
    ASSERT_EQ(without.size(), 1u);
    EXPECT_EQ(withSlash[0][kFolderDisk], root_ + "/Album");
    EXPECT_EQ(withSlash[0][kPath], root_ + "/Album/Pink Floyd - Money.mp3");
    EXPECT_EQ(without[0], withSlash[0]);
    EXPECT_EQ(without[0][kArtist], "Pink Floyd");
    EXPECT_EQ(without[0][kTrack], "Money");
    EXPECT_EQ(without[0][kSize], "1,234,567");
    EXPECT_FALSE(without[0][kModified].empty());

    // Files of the start folder keep the folder as given, closing slash and all.
    File("Top - Song.mp3");
    const Rows top = Walk(root_ + "/");
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0][kFolderDisk], root_ + "/");
    EXPECT_EQ(top[0][kPath], root_ + "/Top - Song.mp3");

    // A disc's walk shows its label instead of each folder, and nothing else changes.
    const Rows labelled = Walk(root_ + "/", kAudioCategory, "MUSIC01");
    ASSERT_EQ(labelled.size(), 2u);
    for (std::size_t row = 0; row < labelled.size(); ++row) {
        EXPECT_EQ(labelled[row][kFolderDisk], "MUSIC01");
        DerivedRow unlabelled = labelled[row];
        unlabelled[kFolderDisk] = top[row][kFolderDisk];
        EXPECT_EQ(unlabelled, top[row]);
    }
}

TEST_F(FolderWalkTest, SizesOfFiveGibibytesAreShownWhole) {
    File("big.wav", 5ULL << 30);
    const Rows list = Walk(root_);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0][kSize], "5,368,709,120");
}

TEST_F(FolderWalkTest, UnreadableFoldersAndLinksNeitherStopNorLoopTheWalk) {
    File("Locked/lost.mp3");
    File("Open/kept.mp3");
    File("Open/Inner/deep.mp3");
    fs::create_directory_symlink("..", temp_.path() / "Open/Inner/Up");  // a cycle
    fs::create_directory_symlink("Open", temp_.path() / "Elsewhere");    // followed
    fs::create_symlink("missing.mp3", temp_.path() / "dangling.mp3");
    fs::create_directory_symlink("/nonexistent-plumet/Music", temp_.path() / "Open/Unplugged");
    fs::create_symlink("Loop", temp_.path() / "Loop");
    fs::create_symlink("Open/kept.mp3", temp_.path() / "linked.mp3");
    ASSERT_EQ(mkfifo((temp_.path() / "pipe.mp3").c_str(), 0644), 0);
    reader_.failing.insert(root_ + "/Locked");

    std::vector<std::string> paths = Paths(Walk(root_));
    std::sort(paths.begin(), paths.end());
    // Open is walked once, under the name listed first.
    const std::vector<std::string> top = ListingOrder("");
    const std::string open = *std::find_if(top.begin(), top.end(), [](const std::string& name) {
        return name == "Open" || name == "Elsewhere";
    });
    EXPECT_EQ(paths, (std::vector<std::string>{"/" + open + "/Inner/deep.mp3",
                                               "/" + open + "/kept.mp3", "/linked.mp3"}));
    // What it could not see is named with its cause, and nothing else is.
    EXPECT_EQ(unseen_, (std::map<std::string, std::string>{
                           {"/Locked", "Input/output error"},
                           {"/dangling.mp3", "the link's target missing.mp3 is missing"},
                           {"/Loop", "Too many levels of symbolic links"},
                           {"/" + open + "/Unplugged",
                            "the link's target /nonexistent-plumet/Music is missing"}}));

    EXPECT_EQ(Walk(root_ + "/missing").size(), 0u);
    EXPECT_EQ(unseen_,
              (std::map<std::string, std::string>{{"/missing", "No such file or directory"}}));
    File("plain.txt");
    EXPECT_EQ(Walk(root_ + "/plain.txt/below").size(), 0u);
    EXPECT_EQ(unseen_,
              (std::map<std::string, std::string>{{"/plain.txt/below", "Not a directory"}}));
}

// Random trees in and out of the start folder, with links between random folders: twins,
// cousins, links up the tree and out of it. Each real folder is walked once, so each file
// comes once, and a folder reached only through a link is walked all the same.
TEST_F(FolderWalkTest, EachFolderIsWalkedOnceWhateverLinksLeadToIt) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 20; ++round) {
        const fs::path base = temp_.path() / ("round" + std::to_string(round));
        std::vector<fs::path> folders{base / "tree", base / "outside"};
        for (int folder = 0; folder < 24; ++folder) {
            const fs::path parent = folders[random() % folders.size()];
            folders.push_back(parent / ("F" + std::to_string(folder)));
        }
        std::map<std::string, int> timesFound;  // by real path
        for (const fs::path& folder : folders) {
            fs::create_directories(folder);
            std::ofstream(folder / "song.mp3") << "x";
            timesFound[fs::canonical(folder / "song.mp3").string()] = 0;
        }
        const auto link = [](const fs::path& to, const fs::path& at, bool relative) {
            fs::create_directory_symlink(relative ? fs::relative(to, at.parent_path()) : to, at);
        };
        link(base / "outside", base / "tree" / "Out", true);
        const fs::path twin = folders[random() % folders.size()];
        link(twin, base / "tree" / "Twin1", false);
        link(twin, base / "tree" / "Twin2", true);
        for (int number = 0; number < 24; ++number) {
            const fs::path from = folders[random() % folders.size()];
            const fs::path to = folders[random() % folders.size()];
            link(to, from / ("L" + std::to_string(number)), number % 2 == 0);
        }

        for (const DerivedRow& row : Walk((base / "tree").string())) {
            ++timesFound[fs::canonical(row[kPath]).string()];
        }
        std::vector<std::string> notOnce;
        for (const auto& [file, times] : timesFound) {
            if (times != 1) {
                notOnce.push_back(file.substr(base.string().size()) + " " + std::to_string(times));
            }
        }
        EXPECT_EQ(notOnce, std::vector<std::string>()) << "round " << round;
    }
}

// The kernel's file systems are not entered, through a link or from the start: /proc alone
// would give the whole tree again through every thread's cwd. devtmpfs is told from tmpfs
// by the mount table, here a fixture naming /dev's device either way.
TEST_F(FolderWalkTest, TheKernelsPseudoFileSystemsAreNotEntered) {
    struct stat dev {};
    struct statfs devFileSystem {};
    ASSERT_EQ(stat("/dev", &dev), 0);
    ASSERT_EQ(statfs("/dev", &devFileSystem), 0);
    const bool devIsTmpfs = static_cast<std::uint32_t>(devFileSystem.f_type) == 0x01021994;
    const auto table = [this, &dev](const std::string& type) {
        const std::string path = root_ + "/" + type + ".mountinfo";
        std::ofstream(path) << "24 28 " << major(dev.st_dev) << ":" << minor(dev.st_dev)
                            << " / /dev rw,nosuid - " << type << " " << type << " rw\n";
        return path;
    };
    // Whether a walk of `start` lists any folder below `watched`; the first one ends it.
    const auto entersBelow = [this](const std::string& start, const std::string& watched,
                                    const std::string& mountInfo) {
        PosixFolderReader reader(mountInfo);
        PendingResults pending;
        std::atomic<bool> cancel{false};
        bool entered = false;
        const auto entering = [&](const std::string& folder) {
            if (folder.rfind(watched + "/", 0) == 0) {
                entered = cancel = true;
            }
        };
        const RowNamer namer({}, std::nullopt, ",");
        WalkContext walk{reader, pending, "audio", namer, locale_, cancel, entering, {}};
        CFolderScan(start).ScanFolderProc(walk);
        return entered;
    };

    struct Case {
        std::string target;
        std::string mountInfo;
        bool entered;
        bool needsTmpfsDev;
    };
    const std::string real = "/proc/self/mountinfo";
    const std::vector<Case> cases{{"/proc", real, false, false},
                                  {"/sys", real, false, false},
                                  {"/dev", table("devtmpfs"), false, true},
                                  {"/dev", table("tmpfs"), true, true}};
    for (std::size_t number = 0; number < cases.size(); ++number) {
        const Case& given = cases[number];
        if (given.needsTmpfsDev && !devIsTmpfs) {
            continue;  // /dev is neither here: the fixture would decide nothing
        }
        const std::string tree = "case" + std::to_string(number);
        File(tree + "/song.mp3");
        const std::string link = root_ + "/" + tree + "/Link";
        fs::create_directory_symlink(given.target, link);
        EXPECT_EQ(entersBelow(root_ + "/" + tree, link, given.mountInfo), given.entered)
            << given.target << " with " << given.mountInfo;
    }
    EXPECT_FALSE(entersBelow("/proc", "/proc", real));
}

TEST_F(FolderWalkTest, AnEmptyStartFolderIsTheCurrentDirectory) {
    File("Here/song.mp3");
    const fs::path before = fs::current_path();
    fs::current_path(temp_.path() / "Here");
    const Rows list = Walk("");
    fs::current_path(before);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0][kFolderDisk], root_ + "/Here");
    EXPECT_EQ(list[0][kArtist], "song");
}

}  // namespace

// Update over real folders: a disc walked again keeps what the user did to its rows, takes
// what changed on it, and leaves every other row alone; a disc that is away is asked for.

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "LinuxDrives.h"
#include "PosixFiles.h"
#include "PosixFolderReader.h"
#include "browse/RowEditor.h"
#include "catalog/CPlumetDoc.h"
#include "catalog/PathParts.h"
#include "catalog/RowFields.h"
#include "scan/ScanCommands.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "volumes/DiscWait.h"
#include "volumes/RowVolumeIndex.h"
#include "volumes/VolumePieces.h"

namespace fs = std::filesystem;

namespace {

class RecordingPrompt : public DiscWait::Prompt {
public:
    void Show(const std::string& text, std::function<void()> cancelled) override {
        shown = text;
        cancel = std::move(cancelled);
    }
    void Close() override { shown.clear(); }

    std::string shown;
    std::function<void()> cancel;
};

// Lists folders as the system does, but can hold the walk at one folder until released.
class HeldFolderReader : public FolderReader {
public:
    std::unique_ptr<Listing> Open(const std::string& folder, std::error_code& error) override {
        std::unique_lock<std::mutex> lock(lock_);
        if (folder == held_) {
            reached_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return held_.empty(); });
        }
        lock.unlock();
        return system_.Open(folder, error);
    }
    void Hold(const std::string& folder) {
        const std::lock_guard<std::mutex> lock(lock_);
        held_ = folder;
        reached_ = false;
    }
    void WaitUntilHeld() {
        std::unique_lock<std::mutex> lock(lock_);
        changed_.wait(lock, [this] { return reached_; });
    }
    void Release() {
        const std::lock_guard<std::mutex> lock(lock_);
        held_.clear();
        changed_.notify_all();
    }

private:
    PosixFolderReader system_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::string held_;
    bool reached_ = false;
};

class UpdateTest : public ::testing::Test {
protected:
    TempFolder temp_{"plumet-update"};
    std::string root_ = temp_.path().string();
    LinuxDrives drives_{root_ + "/system"};
    HeldFolderReader folders_;
    FixedLocale locale_;
    ScriptedUserInterface ui_;
    PosixFiles files_;
    RecentFileList recent_;
    CatalogList list_;
    CatalogView view_{list_};
    RowVolumeIndex volumes_{list_};
    CPlumetDoc document_{list_, files_, ui_, recent_};
    RecordingPrompt prompt_;
    DiscWait wait_{prompt_};
    ListedMounts mounts_;
    std::mutex endLock_;
    std::condition_variable endSignal_;
    std::vector<std::uint64_t> endedWalks_;
    MemoryProfile profile_;
    ScanCommands scan_{
        document_, list_, {folders_, drives_, locale_, ui_, profile_, nullptr, &mounts_}};

    void SetUp() override {
        scan_.SetWalkEnded([this](std::uint64_t walk) {
            const std::lock_guard<std::mutex> lock(endLock_);
            endedWalks_.push_back(walk);
            endSignal_.notify_all();
        });
    }

    // A walk still held would never end, and the scan's end waits for it.
    void TearDown() override { folders_.Release(); }

    void Write(const std::string& relative, const std::string& text, int minutesAgo = 60) {
        const fs::path file = temp_.path() / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        fs::last_write_time(file,
                            fs::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
    }

    ScanCommands::Drained FinishWalk() {
        std::unique_lock<std::mutex> lock(endLock_);
        endSignal_.wait(lock, [this] { return !endedWalks_.empty(); });
        const std::uint64_t walk = endedWalks_.back();
        endedWalks_.clear();
        lock.unlock();
        return scan_.OnWalkEnded(walk);
    }

    void Mount(const std::string& id, const std::string& folder) {
        mounts_.volumes = {{id, root_ + "/" + folder, true}, {"other", root_ + "/other", true}};
        volumes_.SetMounted(MountedSet(mounts_.MountedVolumes()));
        wait_.OnMountsChanged(volumes_.mounted());
    }

    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int row = 0; row < list_.RowCount(); ++row) {
            rows.push_back(std::string(list_.CellText(row, kArtist)) + "|" +
                           std::string(list_.CellText(row, kTrack)) + "|" +
                           std::string(list_.CellText(row, kFolderDisk)));
        }
        return rows;
    }

    int RowOf(const std::string& track) const {
        for (int row = 0; row < list_.RowCount(); ++row) {
            if (list_.CellText(row, kTrack) == track) {
                return row;
            }
        }
        return -1;
    }
};

TEST_F(UpdateTest, ADiscWalkedAgainKeepsEditsTakesChangesAndLeavesOtherDiscsAlone) {
    for (const char* name : {"one", "two", "three", "four"}) {
        Write(std::string("disc/Album/A - ") + name + ".mp3", "x");
    }
    Write("other/B - elsewhere.mp3", "x");
    Mount("D1", "disc");
    ASSERT_TRUE(scan_.StartScan(root_ + "/disc", true, true));
    FinishWalk();
    ASSERT_TRUE(scan_.StartScan(root_ + "/other", false, true));
    FinishWalk();
    ASSERT_EQ(list_.RowCount(), 5);
    EXPECT_EQ(RowVolume(*list_.RowRecord(0)), "D1");
    EXPECT_EQ(RowMount(*list_.RowRecord(0)), root_ + "/disc");
    const CatalogRow untouched = *list_.RowRecord(4);

    // The user renames an artist; then the disc changes under the catalog.
    RowEditor editor(view_, files_, ui_);
    const RowSelection four({RowOf("four")});
    EditItemForm form = editor.OpenForm(four, false);
    form.artist = "Mine";
    form.saveToDisk = false;
    ASSERT_TRUE(editor.ApplyEdit(four, false, form));
    EXPECT_TRUE(IsEdited(*list_.RowRecord(RowOf("four")), kArtist));
    fs::remove(temp_.path() / "disc/Album/A - three.mp3");
    Write("disc/Album/A - two.mp3", "longer now", 5);
    Write("disc/Album/A - four.mp3", "longer too", 5);
    Write("disc/Album/C - five.mp3", "new", 5);
    document_.SetModified(false);

    scan_.OnUpdate(view_, RowSelection({0}), volumes_, wait_);
    EXPECT_TRUE(scan_.updating());
    // A folder's rows show the folder's path in In Folder/Disk.
    const std::string album = root_ + "/disc/Album";
    EXPECT_EQ(FinishWalk().status, "Updated \"" + album + "\": 1 added, 1 removed, 2 changed.");
    EXPECT_FALSE(scan_.updating());
    EXPECT_TRUE(document_.modified());
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"A|one|" + album, "A|two|" + album, "Mine|four|" + album,
                                        "C|five|" + album, "B|elsewhere|" + root_ + "/other"}));
    EXPECT_EQ(list_.CellText(RowOf("two"), kSize), "10");
    EXPECT_EQ(*list_.RowRecord(4), untouched);

    // Away: the disc is asked for, and once it is back at another place the update goes on
    // there and finds nothing new.
    Mount("D9", "nowhere");
    ASSERT_TRUE(volumes_.IsAway(0));
    scan_.OnUpdate(view_, RowSelection({1}), volumes_, wait_);
    EXPECT_EQ(prompt_.shown, "Insert the disc \"" + album + "\" to update it.");
    EXPECT_FALSE(scan_.updating());
    fs::rename(temp_.path() / "disc", temp_.path() / "moved");
    Mount("D1", "moved");
    EXPECT_EQ(prompt_.shown, "");
    ASSERT_TRUE(scan_.updating());
    EXPECT_EQ(FinishWalk().status, "Updated \"" + album + "\": 0 added, 0 removed, 0 changed.");
    EXPECT_EQ(list_.RowCount(), 5);

    // A folder that cannot be read is said, and its rows stay.
    Write("plain/P - kept.mp3", "x");
    ASSERT_TRUE(scan_.StartScan(root_ + "/plain", false, true));
    FinishWalk();
    ASSERT_EQ(list_.RowCount(), 6);
    fs::remove_all(temp_.path() / "plain");
    scan_.OnUpdate(view_, RowSelection({5}), volumes_, wait_);
    EXPECT_FALSE(scan_.updating());
    ASSERT_EQ(ui_.errors.size(), 1U);
    EXPECT_EQ(ui_.errors[0], "The folder " + root_ +
                                 "/plain cannot be read (No such file or directory), so its rows "
                                 "were left as they are.");
    EXPECT_EQ(list_.RowCount(), 6);
}

// The disc comes while another walk runs: the Update does not stop that walk, it starts once
// the walk has ended and its rows are in.
TEST_F(UpdateTest, ADiscThatComesDuringAScanIsUpdatedOnceTheScanHasEnded) {
    Write("disc/A - one.mp3", "x");
    Mount("D1", "disc");
    ASSERT_TRUE(scan_.StartScan(root_ + "/disc", true, true));
    FinishWalk();
    ASSERT_EQ(list_.RowCount(), 1);
    Write("disc/A - two.mp3", "x");
    Write("tree/B - three.mp3", "x");
    Write("tree/sub/C - four.mp3", "x");
    Mount("D9", "nowhere");
    scan_.OnUpdate(view_, RowSelection({0}), volumes_, wait_);
    EXPECT_EQ(prompt_.shown, "Insert the disc \"" + root_ + "/disc\" to update it.");

    folders_.Hold(root_ + "/tree/sub");
    ASSERT_TRUE(scan_.StartScan(root_ + "/tree", false, true));
    folders_.WaitUntilHeld();
    Mount("D1", "disc");
    EXPECT_EQ(prompt_.shown, "");
    EXPECT_TRUE(scan_.scanRunning());
    EXPECT_TRUE(scan_.updateDeferred());
    EXPECT_FALSE(scan_.updating());

    folders_.Release();
    FinishWalk();
    EXPECT_EQ(list_.RowCount(), 3);  // the scan ran to its end
    EXPECT_TRUE(scan_.updating());
    EXPECT_EQ(FinishWalk().status,
              "Updated \"" + root_ + "/disc\": 1 added, 0 removed, 0 changed.");
    EXPECT_EQ(list_.RowCount(), 4);
    EXPECT_FALSE(scan_.updateDeferred());
}

TEST_F(UpdateTest, RowsBelowWhatTheWalkCouldNotSeeStayAsTheyAre) {
    Write("tree/T - top.mp3", "x");
    Write("tree/A/A - gone.mp3", "x");
    Write("tree/A/A - stays.mp3", "x");
    Write("tree/B/B - unplugged.mp3", "x");
    Write("tree/C/C - locked.mp3", "x");
    ASSERT_TRUE(scan_.StartScan(root_ + "/tree", false, true));
    EXPECT_EQ(FinishWalk().status, "");
    ASSERT_EQ(list_.RowCount(), 5);
    const CatalogRow unplugged = *list_.RowRecord(RowOf("unplugged"));
    const CatalogRow locked = *list_.RowRecord(RowOf("locked"));

    // B's drive is away behind a link; C became a file. What became of their files is
    // unknown, not gone.
    fs::remove_all(temp_.path() / "tree/B");
    fs::create_directory_symlink(root_ + "/unplugged/Music", temp_.path() / "tree/B");
    fs::remove_all(temp_.path() / "tree/C");
    Write("tree/C", "a file now");
    fs::remove(temp_.path() / "tree/A/A - gone.mp3");
    scan_.OnUpdate(view_, RowSelection({RowOf("top")}), volumes_, wait_);
    ASSERT_TRUE(scan_.updating());
    const ScanCommands::Drained updated = FinishWalk();
    EXPECT_EQ(updated.status, "Updated \"" + root_ +
                                  "/tree\": 0 added, 1 removed, 0 changed; 2 folders could not "
                                  "be read, so their rows were kept.");
    EXPECT_EQ(updated.unseen, "cannot read " + root_ + "/tree/B: the link's target " + root_ +
                                  "/unplugged/Music is missing\ncannot read " + root_ +
                                  "/tree/C: Not a directory");
    EXPECT_EQ(list_.RowCount(), 4);
    EXPECT_EQ(*list_.RowRecord(RowOf("unplugged")), unplugged);
    EXPECT_EQ(*list_.RowRecord(RowOf("locked")), locked);

    // A scan goes on past it and says where it could not look.
    document_.SetModified(false);
    ASSERT_TRUE(scan_.StartScan(root_ + "/tree", true, true));
    EXPECT_EQ(FinishWalk().status, "1 folder could not be read: " + root_ +
                                       "/tree/B (the link's target " + root_ +
                                       "/unplugged/Music is missing).");
    EXPECT_EQ(list_.RowCount(), 2);
}

// The walks an Update of these rows makes: one per disc, and one per folder tree from the
// nearest folder that holds its rows, never from the system's root.
TEST(UpdateTargetsTest, TheFoldersOfOneTreeAreWalkedOnceFromTheirNearestCommonFolder) {
    const std::vector<Mounts::Volume> volumes{{"ROOT", "/", false},
                                              {"HOME", "/home", false},
                                              {"USB", "/media/u/USB", false},
                                              {"CD", "/media/cd", true}};
    const MountedSet mounted(volumes);
    // A row is "PATH", "PATH|LABEL" for a label of the user's, "!PATH" on no known file system.
    const auto rowOf = [&](std::string text) {
        const bool known = text[0] != '!';
        text.erase(0, known ? 0 : 1);
        const std::size_t bar = text.find('|');
        const std::string path = text.substr(0, bar);
        const std::string label =
            bar == std::string::npos ? std::string(FolderOfPath(path)) : text.substr(bar + 1);
        RowCells cells;
        cells[kPath] = path;
        cells[kFolderDisk] = label;
        const Mounts::Volume* deepest = nullptr;
        for (const Mounts::Volume& volume : volumes) {
            if (LiesBelow(path, volume.mountPoint)) {
                deepest = &volume;
            }
        }
        return CatalogRow(cells, known ? VolumePieces(*deepest) : std::string());
    };
    const struct {
        std::vector<std::string> rows;
        std::vector<std::string> targets;  // "ROOT CATEGORY [on DISC] "LABEL""
    } cases[] = {
        {{"/home/u/Music/A/1.mp3", "/home/u/Music/B/2.mp3"},
         {"/home/u/Music audio \"/home/u/Music\""}},
        {{"/srv/m/A/B/1.mp3", "/srv/m/A/2.mp3|Mine", "/srv/m/A/B/3.mp3"},
         {"/srv/m/A audio \"Mine\""}},
        {{"/srv/m/A/1.mp3", "/srv/m/B/2.mp3", "/srv/m/3.mp3|Top"}, {"/srv/m audio \"Top\""}},
        // Rows of /srv and /opt are two trees, not one walk of everything.
        {{"/srv/m/1.mp3", "/opt/m/2.mp3", "/srv/n/3.mp3"},
         {"/srv audio \"/srv\"", "/opt/m audio \"/opt/m\""}},
        // A drive's tree is the drive, whatever lies beside its mount point.
        {{"/media/u/USB/A/1.mp3", "/media/u/Other/2.mp3", "/media/u/USB/B/C/3.mp3"},
         {"/media/u/USB audio \"/media/u/USB\"", "/media/u/Other audio \"/media/u/Other\""}},
        {{"/media/cd/A/1.mp3", "/media/cd/B/2.mp3|DISC"},
         {"/media/cd audio on CD \"/media/cd/A\""}},
        {{"/srv/m/A/1.mp3", "/srv/m/B/2.avi", "/srv/m/C/3.mp3", "/srv/m/D/4.avi"},
         {"/srv/m audio \"/srv/m\"", "/srv/m video \"/srv/m\""}},
        {{"!/data/x/1.mp3", "!/data/y/z/2.mp3"}, {"/data audio \"/data\""}},
    };
    for (const auto& test : cases) {
        std::vector<CatalogRow> rows;
        for (const std::string& row : test.rows) {
            rows.push_back(rowOf(row));
        }
        std::vector<std::string> targets;
        for (const CatalogUpdate::Target& target : CatalogUpdate::TargetsOf(rows, mounted)) {
            targets.push_back(target.root + " " + target.category +
                              (target.volume.empty() ? "" : " on " + target.volume) + " \"" +
                              target.label + "\"");
        }
        EXPECT_EQ(targets, test.targets) << test.rows[0];
    }
}

// An Update of rows of two trees says the total of both walks; Update Folder walks the
// folder chosen, asked for at the folder scanned last when no row is selected.
TEST_F(UpdateTest, UpdateFolderAndAnUpdateOfTwoTreesSayTheirTotals) {
    Write("tree/A/A - one.mp3", "x");
    Write("tree/B/B - two.mp3", "x");
    Write("usb/C/C - three.mp3", "x");
    mounts_.volumes = {{"U", root_ + "/usb", false}};
    volumes_.SetMounted(MountedSet(mounts_.MountedVolumes()));
    ASSERT_TRUE(scan_.StartScan(root_ + "/tree", false, true));
    FinishWalk();
    ASSERT_TRUE(scan_.StartScan(root_ + "/usb", false, true));
    FinishWalk();
    ASSERT_EQ(list_.RowCount(), 3);

    Write("tree/A/A - four.mp3", "x");
    fs::remove(temp_.path() / "tree/B/B - two.mp3");
    Write("usb/C/C - five.mp3", "x");
    scan_.OnUpdate(view_, RowSelection({0, 1, 2}), volumes_, wait_);
    EXPECT_EQ(FinishWalk().status, "");  // the tree; the drive's folder is walked next
    EXPECT_TRUE(scan_.updating());
    EXPECT_EQ(FinishWalk().status, "Updated 2 folders: 2 added, 1 removed, 0 changed.");
    const std::string tree = root_ + "/tree/A";
    const std::string drive = root_ + "/usb/C";
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A|one|" + tree, "A|four|" + tree,
                                                "C|three|" + drive, "C|five|" + drive}));

    // A new album folder on the drive comes in after the drive's last row.
    Write("usb/D/D - six.mp3", "x");
    ui_.folderChoices = {root_ + "/usb/"};
    scan_.OnUpdateFolder(view_, RowSelection());
    EXPECT_EQ(ui_.folderStarts.back(), root_ + "/usb");  // scanned last
    EXPECT_EQ(FinishWalk().status, "Updated \"" + root_ + "/usb\": 1 added, 0 removed, 0 changed.");
    EXPECT_EQ(Rows().back(), "D|six|" + root_ + "/usb/D");
    EXPECT_EQ(RowVolume(*list_.RowRecord(4)), "U");

    // A folder without rows yet: its files join at the end.
    Write("fresh/F - seven.mp3", "x");
    ui_.folderChoices = {root_ + "/fresh"};
    scan_.OnUpdateFolder(view_, RowSelection());
    EXPECT_EQ(FinishWalk().status,
              "Updated \"" + root_ + "/fresh\": 1 added, 0 removed, 0 changed.");
    EXPECT_EQ(list_.RowCount(), 6);
    EXPECT_EQ(Rows().back(), "F|seven|" + root_ + "/fresh");
}

}  // namespace

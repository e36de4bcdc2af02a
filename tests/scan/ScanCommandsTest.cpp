#include "scan/ScanCommands.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "LinuxDrives.h"
#include "PosixFiles.h"
#include "PosixFolderReader.h"
#include "TagLibTagReader.h"
#include "browse/CatalogFilter.h"
#include "catalog/CPlumetDoc.h"
#include "catalog/CatalogFile.h"
#include "catalog/RowLine.h"
#include "catalog/UndoHistory.h"
#include "core/browse/BrowseRows.h"
#include "scan/ScanSettings.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

bool RunShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The scan commands over real folders and a fixture of the system's drive tables, with
// this thread standing in for the UI thread.
class ScanCommandsTest : public ::testing::Test {
protected:
    TempFolder temp_{"plumet-scan"};
    std::string root_ = temp_.path().string();
    LinuxDrives drives_{root_ + "/system"};
    PosixFolderReader folders_;
    FixedLocale locale_;
    ScriptedUserInterface ui_;
    PosixFiles files_;
    RecentFileList recent_;
    CatalogList list_;
    CPlumetDoc document_{list_, files_, ui_, recent_};
    // Before the commands: the worker reports here until it is joined.
    std::mutex endLock_;
    std::condition_variable endSignal_;
    std::vector<std::uint64_t> endedWalks_;
    MemoryProfile profile_;
    ScriptedTagReader tags_;  // knows no file unless a test tells it
    ScanCommands scan_{document_, list_, {folders_, drives_, locale_, ui_, profile_, &tags_}};

    void SetUp() override {
        scan_.SetWalkEnded([this](std::uint64_t walk) {
            const std::lock_guard<std::mutex> lock(endLock_);
            endedWalks_.push_back(walk);
            endSignal_.notify_all();
        });
        Write("system/proc/self/mountinfo", "");
    }

    void Write(const std::string& relative, const std::string& text) const {
        const fs::path file = temp_.path() / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    // An optical drive srN; with a label, a disc carrying it is mounted at disc-srN.
    void Drive(int number, const std::string& label = "", bool mounted = true) {
        const std::string name = "sr" + std::to_string(number);
        const std::string majorMinor = "11:" + std::to_string(number);
        Write("system/sys/block/" + name + "/dev", majorMinor + "\n");
        Write("system/sys/block/" + name + "/device/type", "5\n");
        if (!mounted) {
            return;
        }
        const std::string mountPoint = root_ + "/disc-" + name;
        Write("disc-" + name + "/Album/Artist - Song.mp3", "x");
        Write("disc-" + name + "/readme.txt", "x");
        std::ofstream(temp_.path() / "system/proc/self/mountinfo", std::ios::app)
            << "60" << number << " 22 " << majorMinor << " / " << mountPoint
            << " ro shared:1 - iso9660 /dev/" << name << " ro\n";
        const fs::path links = temp_.path() / "system/dev/disk/by-label";
        fs::create_directories(links);
        fs::create_symlink("../../" + name, links / label);
    }

    // Waits for the running walk to end, leaving its rows pending; returns its number.
    std::uint64_t AwaitEnd() {
        std::unique_lock<std::mutex> lock(endLock_);
        endSignal_.wait(lock, [this] { return !endedWalks_.empty(); });
        const std::uint64_t walk = endedWalks_.back();
        endedWalks_.clear();
        return walk;
    }

    // Waits for the running walk to end and hands its end to the commands, as the window
    // does when the worker's message arrives.
    void FinishWalk() { scan_.OnWalkEnded(AwaitEnd()); }

    // The Artist cells of the catalog file `path`.
    std::vector<std::string> SavedArtists(const std::string& path) {
        Files::OpenedFile opened;
        CatalogList saved;
        EXPECT_TRUE(files_.OpenForReading(path, opened));
        EXPECT_TRUE(CatalogFile::LoadCatalog(saved, *opened.source, true));
        std::vector<std::string> artists;
        for (int row = 0; row < saved.RowCount(); ++row) {
            artists.emplace_back(saved.CellText(row, kArtist));
        }
        return artists;
    }

    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        for (int row = 0; row < list_.RowCount(); ++row) {
            cells.emplace_back(list_.CellText(row, column));
        }
        return cells;
    }
};

TEST_F(ScanCommandsTest, LoadFromCDWithoutADriveOrADiscLoadsNothing) {
    list_.InsertRow(0, "kept");
    scan_.OnLoadFromCD();
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{"No CD or DVD drive was found."}));
    ui_.messages.clear();
    EXPECT_FALSE(scan_.fromDisc());
    EXPECT_FALSE(scan_.scanRunning());

    Drive(0, "", false);
    scan_.OnLoadFromCD();
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{"No Disk in Drive"}));
    EXPECT_FALSE(scan_.fromDisc());
    EXPECT_FALSE(scan_.scanRunning());
    EXPECT_TRUE(ui_.labelsShown.empty());
    EXPECT_EQ(list_.RowCount(), 1);
}

TEST_F(ScanCommandsTest, LoadFromCDAppendsTheLastDrivesDiscUnderTheConfirmedLabel) {
    Drive(0, "FIRST");
    Drive(1, "MUSIC01");
    list_.InsertRow(0, "kept");
    ui_.labelAnswers = {std::string("Summer 2008")};
    scan_.OnLoadFromCD();
    EXPECT_EQ(ui_.labelsShown, (std::vector<std::string>{"MUSIC01"}));
    EXPECT_TRUE(scan_.scanRunning());
    FinishWalk();
    EXPECT_FALSE(scan_.scanRunning());
    EXPECT_EQ(Column(kArtist), (std::vector<std::string>{"kept", "Artist"}));
    EXPECT_EQ(list_.CellText(1, kFolderDisk), "Summer 2008");
    EXPECT_EQ(list_.CellText(1, kPath), root_ + "/disc-sr1/Album/Artist - Song.mp3");
    EXPECT_TRUE(document_.modified());

    // An erased label or a cancelled dialog loads nothing.
    ui_.labelAnswers = {std::string()};
    scan_.OnLoadFromCD();
    EXPECT_FALSE(scan_.scanRunning());
    scan_.OnLoadFromCD();  // no answer left: the dialog is cancelled
    EXPECT_FALSE(scan_.scanRunning());
    EXPECT_EQ(scan_.discLabel(), "");
    EXPECT_EQ(list_.RowCount(), 2);

    // Each disc loaded is a step of its own to take back.
    UndoHistory history(list_);
    ui_.labelAnswers = {std::string("Summer 2009"), std::string("Summer 2010")};
    for (int load = 0; load < 2; ++load) {
        scan_.OnLoadFromCD();
        FinishWalk();
    }
    ASSERT_EQ(list_.RowCount(), 4);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(Column(kFolderDisk), (std::vector<std::string>{"", "Summer 2008", "Summer 2009"}));
}

TEST_F(ScanCommandsTest, SelectSearchLocationReplacesTheListWithTheFoldersRows) {
    Write("Music/Pink Floyd/01 - Money.mp3", "x");
    list_.InsertRow(0, "replaced");
    scan_.OnSelectSearchLocation();  // cancelled
    EXPECT_EQ(ui_.folderTitles, (std::vector<std::string>{"Select a Starting Directory"}));
    EXPECT_FALSE(scan_.scanRunning());
    EXPECT_EQ(list_.RowCount(), 1);

    ui_.folderChoices = {root_ + "/Music"};
    scan_.OnSelectSearchLocation();
    FinishWalk();
    EXPECT_EQ(Column(kArtist), (std::vector<std::string>{"Pink Floyd"}));
    EXPECT_EQ(list_.CellText(0, kFolderDisk), root_ + "/Music/Pink Floyd");
    EXPECT_FALSE(scan_.fromDisc());
    EXPECT_TRUE(ui_.labelsShown.empty());
}

TEST_F(ScanCommandsTest, AFolderBelowADiscsRootGetsTheDiscsLabel) {
    Drive(0, "MUSIC01");
    ui_.folderChoices = {root_ + "/disc-sr0/Album"};
    ui_.labelAnswers = {std::string("MUSIC01")};
    scan_.OnSelectSearchLocation();
    FinishWalk();
    EXPECT_EQ(ui_.labelsShown, (std::vector<std::string>{"MUSIC01"}));
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(Column(kFolderDisk), (std::vector<std::string>{"MUSIC01"}));

    // A cancelled label dialog still scans, with an empty label.
    ui_.folderChoices = {root_ + "/disc-sr0"};
    ui_.answers = {SaveAnswer::No};
    scan_.OnSelectSearchLocation();
    FinishWalk();
    EXPECT_EQ(Column(kFolderDisk), (std::vector<std::string>{""}));
}

// Each walk's In Folder/Disk is fixed when it starts: rows still pending when the next
// scan starts, or when a drive is found empty, keep the label of the walk that found them.
TEST_F(ScanCommandsTest, RowsKeepTheLabelOfTheWalkThatFoundThem) {
    Drive(0, "MUSIC01");
    Write("Music/Artist - Song.mp3", "x");
    ASSERT_TRUE(scan_.StartScan(root_ + "/Music", false, true));
    AwaitEnd();
    for (const char* label : {"ONE", "TWO"}) {
        ui_.labelAnswers = {std::string(label)};
        scan_.OnLoadFromCD();
        AwaitEnd();
    }
    Write("system/proc/self/mountinfo", "");  // the disc is taken out
    scan_.OnLoadFromCD();
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{"No Disk in Drive"}));
    scan_.OnTimer();
    EXPECT_EQ(Column(kFolderDisk), (std::vector<std::string>{root_ + "/Music", "ONE", "TWO"}));
}

// A scan that replaces the list asks to save a modified catalog first, as New does: after
// the folder is chosen, with every row found so far in it. Then the list is untitled, so
// Save asks for a name instead of writing the scan over the old file.
TEST_F(ScanCommandsTest, AScanThatReplacesTheCatalogAsksToSaveItFirstAndLeavesItUntitled) {
    Write("Music/Pink Floyd - Money.mp3", "x");
    Write("More/Added - Song.mp3", "x");
    const std::string catalog = root_ + "/old.plm";
    struct Case {
        SaveAnswer answer;
        bool started;
        std::vector<std::string> saved;
    };
    for (const Case& given :
         {Case{SaveAnswer::Cancel, false, {"old"}}, Case{SaveAnswer::No, true, {"old"}},
          Case{SaveAnswer::Yes, true, {"old", "Added"}}}) {
        SCOPED_TRACE(static_cast<int>(given.answer));
        document_.OnNewDocument();
        list_.InsertRow(0, "old");
        ASSERT_TRUE(document_.OnSaveDocument(catalog));
        // A scan that adds keeps the name; its rows are still pending at the question.
        ASSERT_TRUE(scan_.StartScan(root_ + "/More", false, true));
        EXPECT_EQ(document_.path(), catalog);
        AwaitEnd();
        ui_.questions.clear();
        ui_.dialogs.clear();
        scan_.OnSelectSearchLocation();  // the folder picker is cancelled
        EXPECT_TRUE(ui_.questions.empty());

        ui_.folderChoices = {root_ + "/Music"};
        ui_.answers = {given.answer};
        scan_.OnSelectSearchLocation();
        EXPECT_EQ(ui_.questions, (std::vector<std::string>{"Save changes to old.plm?"}));
        EXPECT_EQ(scan_.scanRunning(), given.started);
        if (given.started) {
            FinishWalk();
            EXPECT_EQ(document_.path(), "");
            EXPECT_EQ(Column(kArtist), (std::vector<std::string>{"Pink Floyd"}));
            EXPECT_FALSE(document_.OnFileSave());  // asks for a name, and is cancelled
            EXPECT_EQ(ui_.dialogs.size(), 1u);
        } else {
            EXPECT_EQ(document_.path(), catalog);
            EXPECT_TRUE(document_.modified());
            EXPECT_EQ(Column(kArtist), (std::vector<std::string>{"old", "Added"}));
        }
        EXPECT_EQ(SavedArtists(catalog), given.saved);
    }
}

TEST_F(ScanCommandsTest, CancelKeepsTheRowsFoundAndLaterEndsAreIgnored) {
    ui_.unscriptedAnswer = SaveAnswer::No;  // each scan replaces an unsaved catalog
    for (int folder = 0; folder < 40; ++folder) {
        for (int file = 0; file < 25; ++file) {
            Write("Tree/F" + std::to_string(folder) + "/" + std::to_string(file) + ".mp3", "");
        }
    }
    ui_.folderChoices = {root_ + "/Tree"};
    scan_.OnSelectSearchLocation();
    FinishWalk();
    const std::vector<std::string> whole = Column(kPath);
    ASSERT_EQ(whole.size(), 1000u);

    scan_.StartScan(root_ + "/Tree", true, true);
    scan_.OnCancelSearch();
    EXPECT_FALSE(scan_.scanRunning());
    const ScanCommands::Drained drained = scan_.OnTimer();
    const std::vector<std::string> found = Column(kPath);
    ASSERT_LE(found.size(), whole.size());
    EXPECT_TRUE(std::equal(found.begin(), found.end(), whole.begin()));
    EXPECT_LE(drained.rowsMoved, static_cast<int>(found.size()));

    // The end of a walk that was replaced arrives after the new walk began.
    endedWalks_.clear();
    scan_.StartScan(root_ + "/Tree", true, true);
    const std::uint64_t first = AwaitEnd();
    scan_.StartScan(root_ + "/Tree", true, false);
    scan_.OnWalkEnded(first);
    EXPECT_TRUE(scan_.scanRunning());
    FinishWalk();
    EXPECT_FALSE(scan_.scanRunning());
    EXPECT_EQ(list_.RowCount(), 0);  // a video scan of audio files
    EXPECT_EQ(scan_.OnTimer().rowsMoved, 0);
}

TEST_F(ScanCommandsTest, FoundRowsJoinTheWholeCatalogAndTheFilterShowsThoseItKeeps) {
    CatalogView view(list_);
    CatalogFilter filter(view, ui_);
    for (const char* folder : {"X", "Y"}) {
        list_.SetCell(list_.InsertRow(list_.RowCount(), folder), kFolderDisk, folder);
    }
    Write("Music/song.mp3", "x");
    filter.ToggleFilter(kFolderDisk, RowSelection({0}));
    ASSERT_EQ(view.RowCount(), 1);
    scan_.StartScan(root_ + "/Music", false, true);
    FinishWalk();
    EXPECT_TRUE(filter.filterOn());
    EXPECT_EQ(Column(kArtist), (std::vector<std::string>{"X", "Y", "song"}));
    EXPECT_EQ(ColumnTexts(view, kArtist), (std::vector<std::string>{"X"}));

    // Filtered on the scanned folder, the next scan's rows show up in the view.
    filter.ToggleFilter(kFolderDisk, RowSelection());
    filter.ToggleFilter(kFolderDisk, RowSelection({2}));
    scan_.StartScan(root_ + "/Music", false, true);
    FinishWalk();
    EXPECT_EQ(list_.RowCount(), 4);
    EXPECT_EQ(ColumnTexts(view, kArtist), (std::vector<std::string>{"song", "song"}));
}

TEST_F(ScanCommandsTest, StartingAndCancellingManyTimesNeverMixesWalks) {
    for (int folder = 0; folder < 50; ++folder) {
        for (int file = 0; file < 80; ++file) {
            Write("Tree/F" + std::to_string(folder) + "/" + std::to_string(file) + ".ogg", "");
        }
    }
    const std::string tree = root_ + "/Tree";
    ui_.unscriptedAnswer = SaveAnswer::No;  // each scan replaces an unsaved catalog
    for (int round = 0; round < 300; ++round) {
        scan_.StartScan(tree, true, true);
        if (round % 3 == 0) {
            scan_.OnTimer();
        }
        if (round % 2 == 0) {
            scan_.OnCancelSearch();
        }
        scan_.OnTimer();
        // Each start clears the list: only one walk's rows, without repeats.
        std::vector<std::string> paths = Column(kPath);
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(std::adjacent_find(paths.begin(), paths.end()), paths.end());
    }
    scan_.StopAndDrain();
    EXPECT_FALSE(scan_.scanRunning());
    scan_.StartScan(tree, true, true);  // destroyed mid-walk: joined, never outlived
}

TEST_F(ScanCommandsTest, RereadNamesTheSelectedPresentRowsWithTheCurrentSettings) {
    Write("Music/Abba/01 - Waterloo.mp3", "x");
    Write("Music/Abba/02 - SOS.mp3", "x");
    const std::string abba = root_ + "/Music/Abba/";
    FileTags tags;
    tags.artist = "ABBA";
    tags.fields[kLength - kColumnCount] = "163";
    tags_.tags[abba + "01 - Waterloo.mp3"] = tags;
    for (const char* name : {"01 - Waterloo.mp3", "02 - SOS.mp3", "03 - Gone.mp3"}) {
        list_.AppendRows({CatalogRow(RowCells{"Old", "Old", "CD 1", "1", "m", abba + name},
                                     "album=Old\tmood=calm")});
    }
    CatalogView view(list_);
    const auto rows = [&view] {
        std::vector<std::string> texts;
        for (int row = 0; row < view.RowCount(); ++row) {
            std::string text;
            AppendRowCells(*view.RowRecord(row), text);
            texts.push_back(text + "|" + std::string(view.RowRecord(row)->Fields()));
        }
        return texts;
    };
    const std::string kept = "\tCD 1\t1\tm\t" + abba;

    document_.SetModified(false);
    EXPECT_TRUE(scan_.OnRereadNamesAndTags(view, RowSelection({0, 1, 2})));
    EXPECT_TRUE(document_.modified());
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "ABBA\tWaterloo" + kept + "01 - Waterloo.mp3|mood=calm\tlength=163",
                          "Abba\tSOS" + kept + "02 - SOS.mp3|mood=calm",
                          "Old\tOld" + kept + "03 - Gone.mp3|album=Old\tmood=calm"}));

    document_.SetModified(false);
    EXPECT_FALSE(scan_.OnRereadNamesAndTags(view, RowSelection({0, 1, 2})));
    EXPECT_FALSE(document_.modified());

    ScanSettings::SetReadTags(profile_, false);
    ScanSettings::SetNamePatternText(profile_, "<track> - <title>");
    EXPECT_TRUE(scan_.OnRereadNamesAndTags(view, RowSelection({0})));
    // Without tags the name gives Artist, Track and the track number; Length stays.
    EXPECT_EQ(rows()[0],
              "Abba\tWaterloo" + kept + "01 - Waterloo.mp3|mood=calm\ttrack=1\tlength=163");
}

// Real music files, made here with ffmpeg and read with TagLib: what the tags say lands in the
// rows, files without tags keep the rows of a scan that reads none, and files that only
// pretend to be music give rows without fields.
TEST_F(ScanCommandsTest, RealTagsNameTheRowsAndAnythingElseKeepsTheFileNameRule) {
    TagLibTagReader tags;
    ScanCommands scan{document_, list_, {folders_, drives_, locale_, ui_, profile_, &tags}};
    scan.SetWalkEnded([this](std::uint64_t walk) {
        const std::lock_guard<std::mutex> lock(endLock_);
        endedWalks_.push_back(walk);
        endSignal_.notify_all();
    });
    // Path to row line, for every row of a scan of the music folder.
    const auto Scan = [&] {
        list_.ClearRows();
        EXPECT_TRUE(scan.StartScan(root_ + "/Music", false, true));
        scan.OnWalkEnded(AwaitEnd());
        std::map<std::string, std::string> rows;
        for (int row = 0; row < list_.RowCount(); ++row) {
            const std::string path(list_.CellText(row, kPath));
            rows[path.substr(path.rfind('/') + 1)] = JoinRowLine(*list_.RowRecord(row));
        }
        return rows;
    };

    const fs::path album = temp_.path() / "Music/Radiohead/OK Computer (1997)";
    fs::create_directories(album);
    const std::string tone = "ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=61 ";
    const std::string tagged =
        " -metadata artist=Radiohead -metadata title=Airbag -metadata 'album=OK Computer'"
        " -metadata track=1/12 -metadata date=1997 -metadata genre=Rock ";
    for (const auto& [name, codec] :
         std::map<std::string, std::string>{{"01 - Airbag.mp3", "-c:a libmp3lame -b:a 32k"},
                                            {"01 - Airbag.flac", "-c:a flac"},
                                            {"01 - Airbag.m4a", "-c:a aac -b:a 32k"},
                                            {"01 - Airbag.opus", "-c:a libopus -b:a 32k"}}) {
        ASSERT_TRUE(RunShell(tone + codec + tagged + "'" + (album / name).string() + "'")) << name;
    }
    ASSERT_TRUE(RunShell(tone + "-c:a libvorbis -map_metadata -1 '" +
                         (album / "02 - Paranoid Android.ogg").string() + "'"));
    // Not music at all: five gibibytes of zeros, a file cut short, a tag's header alone.
    std::ofstream(album / "03 - Zeros.mp3").close();
    fs::resize_file(album / "03 - Zeros.mp3", 5ULL << 30);
    fs::copy_file(album / "01 - Airbag.flac", album / "04 - Cut.flac");
    fs::resize_file(album / "04 - Cut.flac", 200);
    std::ofstream(album / "05 - Header.mp3", std::ios::binary)
        << std::string("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10);

    const std::map<std::string, std::string> rows = Scan();
    ASSERT_EQ(rows.size(), 8u);
    for (const char* name :
         {"01 - Airbag.mp3", "01 - Airbag.flac", "01 - Airbag.m4a", "01 - Airbag.opus"}) {
        const CatalogRow row = ParseRowLine(rows.at(name));
        EXPECT_EQ(row.Cell(kArtist), "Radiohead") << name;
        EXPECT_EQ(row.Cell(kTrack), "Airbag") << name;
        EXPECT_EQ(row.Cell(kAlbum), "OK Computer") << name;
        EXPECT_EQ(row.Cell(kTrackNumber), "1") << name;
        EXPECT_EQ(row.Cell(kYear), "1997") << name;
        EXPECT_EQ(row.Cell(kGenre), "Rock") << name;
        EXPECT_EQ(row.Cell(kLength), "61") << name;
        EXPECT_FALSE(row.Cell(kBitrate).empty()) << name;
    }

    // With tags switched off every row is the file-name rule's; the files that give no tags
    // (one untagged, three that are not music) get exactly that row with tags on too, apart
    // from the length a real untagged file still has.
    ScanSettings::SetReadTags(profile_, false);
    const std::map<std::string, std::string> plain = Scan();
    ASSERT_EQ(plain.size(), rows.size());
    for (const auto& [name, line] : plain) {
        EXPECT_TRUE(ParseRowLine(line).Fields().empty()) << name;
        if (name.starts_with("03") || name.starts_with("04") || name.starts_with("05")) {
            EXPECT_EQ(rows.at(name), line) << name;
        }
    }
    const CatalogRow untagged = ParseRowLine(rows.at("02 - Paranoid Android.ogg"));
    EXPECT_EQ(untagged.Cells(), ParseRowLine(plain.at("02 - Paranoid Android.ogg")).Cells());
    EXPECT_EQ(untagged.Cell(kArtist), "OK Computer (1997)");
    EXPECT_EQ(untagged.Cell(kLength), "61");
}

}  // namespace

#include "playback/PlaybackCommands.h"

#include <gtest/gtest.h>

#include <fstream>

#include "browse/CatalogView.h"
#include "catalog/PathParts.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace {

class PlaybackCommandsTest : public ::testing::Test {
protected:
    TempFolder temp_{"plumet-play"};
    CatalogList list_;
    RecordingShell shell_;
    ScriptedUserInterface ui_;
    CatalogView view_{list_};
    PlaybackCommands playback_{view_, shell_, ui_, [] { return 1u; }};

    // Rows 0..count-1; the files of rows in `missing` do not exist.
    void Rows(int count, const std::vector<int>& missing = {}) {
        for (int row = 0; row < count; ++row) {
            const std::string path = (temp_.path() / ("t" + std::to_string(row) + ".mp3")).string();
            list_.InsertRow(row, "Artist " + std::to_string(row));
            list_.SetCell(row, kTrack, "Track " + std::to_string(row));
            list_.SetCell(row, kFolderDisk, temp_.path().string());
            list_.SetCell(row, kPath, path);
            if (std::find(missing.begin(), missing.end(), row) == missing.end()) {
                std::ofstream(path) << "x";
            }
        }
    }
    std::string PathOf(int row) const { return std::string(list_.CellText(row, kPath)); }
};

TEST_F(PlaybackCommandsTest, PlayOpensTheFirstRowAndQueuesTheRestInOrder) {
    Rows(10, {5});
    playback_.OnPlay(RowSelection({9, 2, 5}));
    EXPECT_EQ(shell_.opened, std::vector<std::string>{PathOf(2)});
    EXPECT_EQ(shell_.enqueued, std::vector<std::string>{PathOf(9)});  // row 5 is missing
    EXPECT_TRUE(ui_.messages.empty());

    // A missing first file is reported and the others are still queued.
    playback_.OnPlay(RowSelection({5, 7}));
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Could not find the file"});
    EXPECT_EQ(shell_.enqueued.back(), PathOf(7));

    shell_.succeed = false;
    playback_.OnPlay(RowSelection({3}));
    EXPECT_EQ(ui_.messages.back(), "Could not find the file path");
    const std::size_t opened = shell_.opened.size();
    playback_.OnPlay(RowSelection());  // nothing selected: nothing happens
    EXPECT_EQ(shell_.opened.size(), opened);
    EXPECT_EQ(ui_.messages.size(), 2u);

    playback_.OnEnqueueInWinamp(RowSelection({8, 1, 5}));
    EXPECT_EQ(std::vector<std::string>(shell_.enqueued.end() - 2, shell_.enqueued.end()),
              (std::vector<std::string>{PathOf(1), PathOf(8)}));
    EXPECT_EQ(ui_.messages.size(), 2u);  // queueing is silent
}

TEST_F(PlaybackCommandsTest, DoubleClickNamesTheFileInThePlayerPane) {
    Rows(3, {2});
    EXPECT_EQ(playback_.OnDblClick(RowSelection({0, 1})), "t1");
    EXPECT_EQ(shell_.opened, std::vector<std::string>{PathOf(1)});
    EXPECT_EQ(playback_.OnDblClick(RowSelection({2})), "t2");  // named even when missing
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Could not find the file"});
    EXPECT_EQ(playback_.OnDblClick(RowSelection()), "");

    EXPECT_EQ(PlaybackCommands::PlayingName("C:\\Music\\a.b\\Song.Live.mp3"), "Song.Live");
    EXPECT_EQ(PlaybackCommands::PlayingName("/music/a.b/Song"), "");
    EXPECT_EQ(PlaybackCommands::PlayingName("Intro.mp3"), "Intro");
}

TEST_F(PlaybackCommandsTest, RandomPlayDrawsTheRuntimeSequenceAndReachesEveryRow) {
    RandomGenerator generator(1);
    std::vector<int> first;
    for (int draw = 0; draw < 5; ++draw) {
        first.push_back(generator.Next());
    }
    EXPECT_EQ(first, (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    RandomGenerator wide(7);
    int highest = 0;
    for (int draw = 0; draw < 2000; ++draw) {
        highest = std::max(highest, wide.PickRow(100000));
    }
    EXPECT_GT(highest, 32767);

    EXPECT_EQ(playback_.OnRandomPlay(), std::nullopt);  // an empty list beeps
    EXPECT_EQ(ui_.beeps, 1);
    Rows(1, {0});
    EXPECT_EQ(playback_.OnRandomPlay(), " Artist 0 - Track 0");
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Could not find the file"});
}

// In Folder/Disk holds a disc's label for disc rows: the folder comes from the Path.
TEST_F(PlaybackCommandsTest, OpenFolderOpensTheFolderHoldingTheLastSelectedFile) {
    Rows(2);
    list_.SetCell(1, kFolderDisk, "MUSIC01");
    list_.SetCell(1, kPath, "/media/cdrom/Album/01 - a.mp3");
    playback_.OnOpenFolder(RowSelection({0, 1}));
    EXPECT_EQ(shell_.opened, std::vector<std::string>{"/media/cdrom/Album"});
    EXPECT_EQ(FolderOfPath("/a.mp3"), "/");
    EXPECT_EQ(FolderOfPath("a.mp3"), "");
    shell_.succeed = false;
    playback_.OnOpenFolder(RowSelection({0}));
    EXPECT_EQ(ui_.beeps, 1);
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Unable to open the folder"});
}

}  // namespace

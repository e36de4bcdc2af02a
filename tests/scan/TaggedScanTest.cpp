// A scan of real music files, made here with ffmpeg, read with TagLib: what the tags say
// lands in the rows, files without tags keep the rows of a scan that reads none, and files
// that only pretend to be music give rows without fields.
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
#include "catalog/CPlumetDoc.h"
#include "catalog/RowLine.h"
#include "scan/ScanCommands.h"
#include "scan/ScanSettings.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

bool RunShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class TaggedScanTest : public ::testing::Test {
protected:
    TempFolder temp_{"plumet-tagged"};
    std::string root_ = temp_.path().string();
    LinuxDrives drives_{root_ + "/system"};
    PosixFolderReader folders_;
    FixedLocale locale_;
    ScriptedUserInterface ui_;
    PosixFiles files_;
    RecentFileList recent_;
    CatalogList list_;
    CPlumetDoc document_{list_, files_, ui_, recent_};
    std::mutex endLock_;
    std::condition_variable endSignal_;
    bool ended_ = false;
    MemoryProfile profile_;
    TagLibTagReader tags_;
    ScanCommands scan_{document_, list_, {folders_, drives_, locale_, ui_, profile_, &tags_}};

    void SetUp() override {
        scan_.SetWalkEnded([this](std::uint64_t) {
            const std::lock_guard<std::mutex> lock(endLock_);
            ended_ = true;
            endSignal_.notify_all();
        });
    }

    // Path to row line, for every row of a scan of the music folder.
    std::map<std::string, std::string> Scan() {
        list_.ClearRows();
        ended_ = false;
        EXPECT_TRUE(scan_.StartScan(root_ + "/Music", false, true));
        std::unique_lock<std::mutex> lock(endLock_);
        endSignal_.wait(lock, [this] { return ended_; });
        lock.unlock();
        scan_.StopAndDrain();
        std::map<std::string, std::string> rows;
        for (int row = 0; row < list_.RowCount(); ++row) {
            const std::string path(list_.CellText(row, kPath));
            rows[path.substr(path.rfind('/') + 1)] = JoinRowLine(*list_.RowRecord(row));
        }
        return rows;
    }
};

TEST_F(TaggedScanTest, TagsNameTheRowsAndAnythingElseKeepsTheFileNameRule) {
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

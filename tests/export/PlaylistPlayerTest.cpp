// A real player opens the exported playlist: every row's file, whether below the playlist's
// folder (a relative path) or elsewhere (an absolute one), must be found and played.
#include <gtest/gtest.h>
#include <stdio.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PosixFiles.h"
#include "ProgramPath.h"
#include "browse/CatalogView.h"
#include "export/ExportRows.h"
#include "export/ExportTestSupport.h"
#include "export/ListExport.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace {

TEST(PlaylistPlayerTest, MpvOpensEveryEntryOfTheExportedPlaylist) {
    if (FindOnPath("mpv").empty() || FindOnPath("ffmpeg").empty()) {
        GTEST_SKIP() << "mpv or ffmpeg is not installed (scripts/install-deps installs them)";
    }
    TempFolder folder("plumet-playlist");
    const std::filesystem::path lists = folder.path() / "lists";
    const std::vector<std::filesystem::path> songs = {lists / "Dvořák" / "Largo, \"New World\".wav",
                                                      folder.path() / "elsewhere" / "two.wav",
                                                      lists / "three - live.wav"};
    CatalogList list;
    int number = 0;
    for (const std::filesystem::path& song : songs) {
        std::filesystem::create_directories(song.parent_path());
        OutputOf("ffmpeg -v error -f lavfi -i sine=frequency=440:duration=0.2 -ac 1 -ar 8000 '" +
                 song.string() + "' 2>&1");
        ASSERT_TRUE(std::filesystem::exists(song)) << song;
        CatalogRow row(RowCells{"Artist, " + std::to_string(++number), song.stem().string(), "CD1",
                                "1", "", song.string()});
        row.SetCell(kLength, "1");
        list.AppendRows({row});
    }
    const CatalogView view(list);
    PosixFiles files;
    ScriptedUserInterface ui;
    const std::string playlist = (lists / "all.m3u8").string();
    ui.saveChoices.push_back(playlist);
    ASSERT_EQ(
        ListExport::OnExport(ListExport::Format::Playlist, "", ExportRows(view), {files, ui, {}}),
        ListExport::Outcome::Written);
    const std::string text = ReadBytes(playlist);
    EXPECT_NE(text.find("\nDvořák/Largo, \"New World\".wav\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n" + songs[1].string() + "\n"), std::string::npos) << text;

    const std::string home = folder.path().string();
    const std::string log =
        OutputOf("HOME='" + home + "' XDG_CONFIG_HOME='" + home + "' XDG_CACHE_HOME='" + home +
                 "' timeout 120 mpv --no-config --ao=null --vo=null --msg-level=all=v "
                 "'--playlist=" +
                 playlist + "' 2>&1");
    for (const std::filesystem::path& song : songs) {
        EXPECT_NE(log.find("Opening done: " + song.string() + "\n"), std::string::npos)
            << song << " was not played:\n"
            << log;
    }
}

}  // namespace

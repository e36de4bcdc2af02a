#include "EnqueueCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopEntry.h"
#include "XdgFixture.h"

namespace {

using Words = std::vector<std::string>;

constexpr const char* kSong = "/music/Abba - Waterloo.mp3";

TEST(DesktopExecTest, SplitsQuotesAndEscapesWithoutAShell) {
    EXPECT_EQ(DesktopEntry::SplitExec("  audacious   -e\t%F "), (Words{"audacious", "-e", "%F"}));
    EXPECT_EQ(DesktopEntry::SplitExec(R"("/opt/My Player/play" "a \"b\" \$c \\d" x"y"z)"),
              (Words{"/opt/My Player/play", R"(a "b" $c \d)", "xyz"}));
    EXPECT_EQ(DesktopEntry::SplitExec("a $(id) `x` ; | >f"),
              (Words{"a", "$(id)", "`x`", ";", "|", ">f"}));
    EXPECT_FALSE(DesktopEntry::SplitExec("player \"unclosed %f"));

    // The file's string escapes come first, then the quoting.
    const DesktopEntry entry(
        "[Desktop Entry]\nExec = \"/opt/a\\sb/p\" --x=\"\\\\\\\\\" %U\n"
        "[Desktop Action play]\nExec=other\n");
    EXPECT_EQ(entry.ExecWords(), (Words{"/opt/a b/p", "--x=\\", "%U"}));
}

TEST(DesktopExecTest, ExpandsTheFieldCodesForOneFile) {
    const auto expand = [](const std::string& line) {
        return DesktopEntry::ExpandFieldCodes(*DesktopEntry::SplitExec(line), "/m/a%f b.mp3",
                                              "Player", "player-icon", "/x/p.desktop");
    };
    EXPECT_EQ(expand("p %f"), (Words{"p", "/m/a%f b.mp3"}));
    EXPECT_EQ(expand("p %U"), (Words{"p", "/m/a%f b.mp3"}));
    EXPECT_EQ(expand("p --enqueue=%u 100%%"), (Words{"p", "--enqueue=/m/a%f b.mp3", "100%"}));
    EXPECT_EQ(expand("p %i %c %k %d %m %F"),
              (Words{"p", "--icon", "player-icon", "Player", "/x/p.desktop", "/m/a%f b.mp3"}));
    EXPECT_EQ(expand("p -e"), (Words{"p", "-e", "/m/a%f b.mp3"}));  // the file goes last
    EXPECT_EQ(expand("p %z"), Words{});
    EXPECT_EQ(expand("p 5%"), Words{});
    EXPECT_EQ(DesktopEntry::ExpandFieldCodes({"p", "%i"}, "/f"), (Words{"p", "/f"}));
}

TEST(EnqueueTypesTest, TakesTheTypeFromTheExtension) {
    EXPECT_EQ(EnqueueCommand::MimeTypesOf("C:\\Music\\a.b\\SONG.MP3").front(), "audio/mpeg");
    EXPECT_EQ(EnqueueCommand::MimeTypesOf("/m/a.flac"), (Words{"audio/flac", "audio/x-flac"}));
    EXPECT_EQ(EnqueueCommand::MimeTypesOf("/m/a.Avi").front(), "video/x-msvideo");
    EXPECT_EQ(EnqueueCommand::MimeTypesOf("/m/x.ogg").front(), "audio/ogg");
    EXPECT_EQ(EnqueueCommand::MimeTypesOf("/m/x.wav").front(), "audio/x-wav");
    EXPECT_TRUE(EnqueueCommand::MimeTypesOf("/m.flac/readme").empty());
    EXPECT_TRUE(EnqueueCommand::MimeTypesOf("/m/a.txt").empty());
}

TEST(EnqueueTypesTest, KnowsThePlayersEnqueueOptions) {
    const std::pair<const char*, Words> players[] = {
        {"audacious", {"audacious", "-e", kSong}},
        {"/usr/bin/vlc", {"/usr/bin/vlc", "--one-instance", "--playlist-enqueue", kSong}},
        {"qmmp", {"qmmp", "-e", kSong}},
        {"clementine", {"clementine", "--append", kSong}},
        {"strawberry", {"strawberry", "--append", kSong}},
        {"smplayer", {"smplayer", "-add-to-playlist", kSong}},
        {"quodlibet", {"quodlibet", std::string("--enqueue=") + kSong}},
        {"/usr/bin/rhythmbox", {"rhythmbox-client", "--enqueue", kSong}},
        {"deadbeef", {"deadbeef", "--queue", kSong}},
        {"totem", {}},
    };
    for (const auto& [program, words] : players) {
        EXPECT_EQ(EnqueueCommand::KnownPlayerCommand(program, kSong), words) << program;
    }
}

class EnqueueCommandTest : public XdgFixture {
protected:
    Words For(const std::string& file, const std::string& commandLine = {}) const {
        return EnqueueCommand::ForCurrentUser().For(file, commandLine);
    }
};

TEST_F(EnqueueCommandTest, TheSettingsCommandComesFirst) {
    Write("config/mimeapps.list", "[Default Applications]\naudio/mpeg=vlc.desktop;\n");
    WriteEntry("usr", "vlc.desktop", "vlc %U");

    EXPECT_EQ(For(kSong, "audacious -e %F"), (Words{"audacious", "-e", kSong}));
    EXPECT_EQ(For("/m/a.txt", "\"/opt/My Player/p\" --add"),
              (Words{"/opt/My Player/p", "--add", "/m/a.txt"}));
    EXPECT_EQ(For(kSong, "p \"broken"), Words{});  // no second guess after the user's own
    EXPECT_EQ(For(kSong, "  "), (Words{"vlc", "--one-instance", "--playlist-enqueue", kSong}));
}

TEST_F(EnqueueCommandTest, ListsTheMimeAppsFilesInTheirOrder) {
    ::setenv("XDG_CURRENT_DESKTOP", "KDE:GNOME", 1);
    const std::string d = dir.string();
    EXPECT_EQ(
        EnqueueCommand::ForCurrentUser().MimeAppsFiles(),
        (Words{
            d + "/config/kde-mimeapps.list", d + "/config/gnome-mimeapps.list",
            d + "/config/mimeapps.list", d + "/etc/kde-mimeapps.list",
            d + "/etc/gnome-mimeapps.list", d + "/etc/mimeapps.list",
            d + "/data/applications/kde-mimeapps.list",
            d + "/data/applications/gnome-mimeapps.list", d + "/data/applications/mimeapps.list",
            d + "/usr/applications/kde-mimeapps.list", d + "/usr/applications/gnome-mimeapps.list",
            d + "/usr/applications/mimeapps.list", d + "/opt/applications/kde-mimeapps.list",
            d + "/opt/applications/gnome-mimeapps.list", d + "/opt/applications/mimeapps.list"}));
}

TEST_F(EnqueueCommandTest, TakesTheFirstInstalledDefault) {
    ::setenv("XDG_CURRENT_DESKTOP", "KDE", 1);
    WriteEntry("usr", "audacious.desktop", "audacious %U");
    WriteEntry("usr", "vlc.desktop", "/usr/bin/vlc --started-from-file %U");
    WriteEntry("opt", "deadbeef.desktop", "deadbeef %F");
    Write("usr/applications/mimeapps.list",
          "[Default Applications]\naudio/mpeg=deadbeef.desktop\n");
    EXPECT_EQ(For(kSong), (Words{"deadbeef", "--queue", kSong}));

    Write("etc/mimeapps.list", "[Default Applications]\naudio/mpeg=gone.desktop;vlc.desktop;\n");
    EXPECT_EQ(For(kSong), (Words{"/usr/bin/vlc", "--one-instance", "--playlist-enqueue", kSong}));

    Write("config/mimeapps.list", "[Default Applications]\naudio/mpeg=audacious.desktop\n");
    EXPECT_EQ(For(kSong), (Words{"audacious", "-e", kSong}));

    Write("config/kde-mimeapps.list", "[Default Applications]\naudio/mpeg=deadbeef.desktop\n");
    EXPECT_EQ(For(kSong), (Words{"deadbeef", "--queue", kSong}));

    // Deleted for this user: the system's entry of that id no longer counts.
    WriteEntry("data", "deadbeef.desktop", "deadbeef %F", "Hidden=true\n");
    EXPECT_EQ(For(kSong), (Words{"audacious", "-e", kSong}));
}

TEST_F(EnqueueCommandTest, FindsTheTypeUnderAnAliasAndInSubfolders) {
    WriteEntry("usr", "kde4/clementine.desktop", "clementine %U");
    Write("config/mimeapps.list", "[Default Applications]\naudio/x-flac=kde4-clementine.desktop\n");
    EXPECT_EQ(For("/m/a.FLAC"), (Words{"clementine", "--append", "/m/a.FLAC"}));
}

TEST_F(EnqueueCommandTest, FallsBackOnTheAssociations) {
    WriteEntry("usr", "strawberry.desktop", "strawberry %U", "MimeType=audio/mpeg;audio/flac;\n");
    WriteEntry("usr", "smplayer.desktop", "smplayer %U", "MimeType=audio/mpeg;\n");
    EXPECT_EQ(For(kSong), (Words{"smplayer", "-add-to-playlist", kSong}));  // ids in order

    Write("data/applications/mimeapps.list",
          "[Removed Associations]\naudio/mpeg=smplayer.desktop\n");
    EXPECT_EQ(For(kSong), (Words{"strawberry", "--append", kSong}));

    WriteEntry("opt", "quodlibet.desktop", "quodlibet %F");
    Write("config/mimeapps.list", "[Added Associations]\naudio/mpeg=quodlibet.desktop;\n");
    EXPECT_EQ(For(kSong), (Words{"quodlibet", std::string("--enqueue=") + kSong}));
}

TEST_F(EnqueueCommandTest, PrefersTheProgramsHiddenEnqueueEntry) {
    WriteEntry("usr", "qmmp.desktop", "qmmp %F");
    WriteEntry("usr", "qmmp-enqueue.desktop", "/usr/bin/qmmp -e %F", "NoDisplay=true\n");
    WriteEntry("usr", "smplayer.desktop", "smplayer %U");
    WriteEntry("usr", "smplayer_enqueue.desktop", "smplayer -add-to-playlist %U",
               "NoDisplay=true\n");
    WriteEntry("usr", "aaa-enqueue.desktop", "other --add %F");  // another program's
    Write("config/mimeapps.list",
          "[Default Applications]\naudio/mpeg=qmmp.desktop\nvideo/x-msvideo=smplayer.desktop\n");

    EXPECT_EQ(For(kSong), (Words{"/usr/bin/qmmp", "-e", kSong}));
    EXPECT_EQ(For("/v/a.avi"), (Words{"smplayer", "-add-to-playlist", "/v/a.avi"}));
}

TEST_F(EnqueueCommandTest, FailsWithoutAPlayerThatCanEnqueue) {
    EXPECT_EQ(For(kSong), Words{});  // no default at all
    WriteEntry("usr", "totem.desktop", "totem %U", "MimeType=audio/mpeg;\n");
    EXPECT_EQ(For(kSong), Words{});  // a player of unknown options
    EXPECT_EQ(For("/m/a.aa3"), Words{});
    WriteEntry("usr", "broken.desktop", "\"unclosed %U", "MimeType=audio/flac;\n");
    EXPECT_EQ(For("/m/a.flac"), Words{});
}

}  // namespace

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "LinuxShell.h"
#include "XdgFixture.h"
#include "support/FakeServices.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The real resolution against fixture XDG folders, and fake players on PATH that record
// what they were started with.
class LinuxShellEnqueueTest : public XdgFixture {
protected:
    // A detached player finishes on its own time.
    std::string AwaitLog() const {
        for (int tries = 0; tries < 1000 && !fs::exists(Log() + ".done"); ++tries) {
            std::this_thread::sleep_for(10ms);
        }
        return Read(Log());
    }
    void SetCommand(const std::string& commandLine) {
        profile.WriteString("Settings", "EnqueueCommand", commandLine);
    }

    MemoryProfile profile;
};

TEST_F(LinuxShellEnqueueTest, StartsTheCommandFromTheSettings) {
    WriteRecorder("myplayer");
    SetCommand("myplayer --queue %F \"two words\"");
    const std::string awkward = "/music/a b;$(touch x)`id` & 'q' | *.mp3";

    EXPECT_TRUE(LinuxShell(&profile).Enqueue(awkward));
    EXPECT_EQ(AwaitLog(), "[--queue]\n[" + awkward + "]\n[two words]\n");
    EXPECT_FALSE(fs::exists("x"));
}

TEST_F(LinuxShellEnqueueTest, AsksTheDefaultPlayerWithItsEnqueueOptions) {
    WriteRecorder("audacious");
    WriteEntry("usr", "audacious.desktop", "audacious %U");
    Write("config/mimeapps.list", "[Default Applications]\naudio/mpeg=audacious.desktop;\n");

    EXPECT_TRUE(LinuxShell(&profile).Enqueue("/music/Abba - Waterloo.mp3"));
    EXPECT_EQ(AwaitLog(), "[-e]\n[/music/Abba - Waterloo.mp3]\n");
}

TEST_F(LinuxShellEnqueueTest, RunsTheHiddenEnqueueEntryWithoutAProfile) {
    WriteRecorder("qmmp");
    WriteEntry("usr", "qmmp.desktop", "qmmp %F");
    WriteEntry("usr", "qmmp-enqueue.desktop", (dir / "bin" / "qmmp").string() + " -e %F",
               "NoDisplay=true\n");
    Write("etc/mimeapps.list", "[Default Applications]\naudio/flac=qmmp.desktop\n");

    EXPECT_TRUE(LinuxShell().Enqueue("/m/a.flac"));
    EXPECT_EQ(AwaitLog(), "[-e]\n[/m/a.flac]\n");
}

TEST_F(LinuxShellEnqueueTest, HandsOverAnAbsolutePath) {
    WriteRecorder("myplayer");
    SetCommand("myplayer %f");
    const fs::path before = fs::current_path();
    fs::current_path(dir);

    EXPECT_TRUE(LinuxShell(&profile).Enqueue("-x.mp3"));
    fs::current_path(before);
    EXPECT_EQ(AwaitLog(), "[" + (dir / "-x.mp3").string() + "]\n");
}

TEST_F(LinuxShellEnqueueTest, LeavesNoChildBehind) {
    WriteRecorder("myplayer");
    SetCommand("myplayer %f");

    ASSERT_TRUE(LinuxShell(&profile).Enqueue("/m/a.mp3"));
    AwaitLog();
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(LinuxShellEnqueueTest, FailsQuietlyWhenNothingCanStart) {
    LinuxShell shell(&profile);
    EXPECT_FALSE(shell.Enqueue("/m/a.mp3"));  // no player for the type
    EXPECT_FALSE(shell.Enqueue(""));

    SetCommand("no-such-player %f");
    EXPECT_FALSE(shell.Enqueue("/m/a.mp3"));

    SetCommand((dir / "bin").string() + "/missing %f");
    EXPECT_FALSE(shell.Enqueue("/m/a.mp3"));

    // Executable, but its interpreter is missing, so the exec itself fails.
    Write("bin/broken", "#!/nonexistent/sh\n");
    fs::permissions(dir / "bin" / "broken", fs::perms::owner_all);
    SetCommand("broken %f");
    EXPECT_FALSE(shell.Enqueue("/m/a.mp3"));

    // The default player is known, but not installed.
    SetCommand("");
    WriteEntry("usr", "vlc.desktop", "/nonexistent/vlc %U");
    Write("config/mimeapps.list", "[Default Applications]\naudio/mpeg=vlc.desktop\n");
    EXPECT_FALSE(shell.Enqueue("/m/a.mp3"));
}

}  // namespace

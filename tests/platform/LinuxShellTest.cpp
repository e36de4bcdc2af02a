#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "LinuxShell.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Fake launchers in a temporary folder put first on PATH; each records its arguments, one
// "[argument]" per line, and exits with the status the test chose.
class LinuxShellTest : public ::testing::Test {
protected:
    TempFolder folder_{"plumet-shell"};
    LinuxShellTest() {
        dir = folder_.path();
        fs::create_directory(dir / "bin");
        if (const char* path = std::getenv("PATH")) {
            savedPath = path;
        }
    }
    ~LinuxShellTest() override {
        if (savedPath) {
            ::setenv("PATH", savedPath->c_str(), 1);
        } else {
            ::unsetenv("PATH");
        }
    }

    std::string Log() const { return (dir / "log").string(); }
    std::string Done() const { return (dir / "done").string(); }

    void WriteScript(const std::string& name, const std::string& body) const {
        const fs::path path = dir / "bin" / name;
        std::ofstream(path) << "#!/bin/sh\n" << body;
        fs::permissions(path, fs::perms::owner_all);
    }
    void WriteRecorder(const std::string& name, int status) const {
        WriteScript(name, "for a in \"$@\"; do printf '[%s]\\n' \"$a\" >> '" + Log() +
                              "'; done\n: > '" + Done() + "'\nexit " + std::to_string(status) +
                              "\n");
    }
    // The fake folder first, then the system's, for the tools the scripts use.
    void UseFakesThenSystem() const {
        ::setenv("PATH", ((dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
    }
    void UseOnlyFakes() const { ::setenv("PATH", (dir / "bin").c_str(), 1); }

    std::string Read(const std::string& path) const {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A detached launcher finishes on its own time.
    bool AwaitDone() const {
        for (int tries = 0; tries < 1000 && !fs::exists(Done()); ++tries) {
            std::this_thread::sleep_for(10ms);
        }
        return fs::exists(Done());
    }

    fs::path dir;
    std::optional<std::string> savedPath;
};

TEST_F(LinuxShellTest, RunsGioOpenWithTheTargetAsOneArgument) {
    WriteRecorder("gio", 0);
    WriteRecorder("xdg-open", 0);
    UseFakesThenSystem();
    LinuxShell shell;

    EXPECT_TRUE(shell.Open("/music/Abba - Waterloo.mp3"));
    EXPECT_EQ(Read(Log()), "[open]\n[/music/Abba - Waterloo.mp3]\n");

    fs::remove(Log());
    const std::string awkward = "/tmp/a b;$(touch x)`id` & 'q' \"d\" | * ?.html";
    EXPECT_TRUE(shell.Open(awkward));
    EXPECT_EQ(Read(Log()), "[open]\n[" + awkward + "]\n");

    fs::remove(Log());
    EXPECT_TRUE(shell.Open("file:///usr/share/doc/plumet/guide.html#donate"));
    EXPECT_EQ(Read(Log()), "[open]\n[file:///usr/share/doc/plumet/guide.html#donate]\n");
}

TEST_F(LinuxShellTest, KeepsATargetStartingWithADashFromBeingAnOption) {
    WriteRecorder("gio", 0);
    UseFakesThenSystem();

    EXPECT_TRUE(LinuxShell().Open("-x.mp3"));
    EXPECT_EQ(Read(Log()), "[open]\n[./-x.mp3]\n");
}

TEST_F(LinuxShellTest, ANonZeroExitOfGioIsAFailure) {
    WriteRecorder("gio", 1);
    WriteRecorder("xdg-open", 0);
    UseFakesThenSystem();

    EXPECT_FALSE(LinuxShell().Open("/music/missing.mp3"));
    EXPECT_EQ(Read(Log()), "[open]\n[/music/missing.mp3]\n");  // no second try with xdg-open

    WriteScript("gio", "kill -TERM $$\n");
    EXPECT_FALSE(LinuxShell().Open("/music/a.mp3"));
}

TEST_F(LinuxShellTest, GivesTheLauncherNothingOfOurs) {
    const int inherited = ::open(dir.c_str(), O_RDONLY);  // deliberately not close-on-exec
    ASSERT_GE(inherited, 3);
    const std::string fd = "/proc/$$/fd/";
    // Into a variable first: with its output sent to the log, readlink would see the log.
    WriteScript("gio", "links=$(readlink " + fd + "0 " + fd + "1 " + fd + "2)\n" + "[ -e " + fd +
                           std::to_string(inherited) + " ] && links=leaked\n" +
                           "printf '%s\\n' \"$links\" > '" + Log() + "'\nexit 0\n");
    UseFakesThenSystem();

    EXPECT_TRUE(LinuxShell().Open("/music/a.mp3"));
    EXPECT_EQ(Read(Log()), "/dev/null\n/dev/null\n/dev/null\n");
    ::close(inherited);
}

TEST_F(LinuxShellTest, KillsALauncherThatOutlivesTheTimeLimit) {
    const std::string pidFile = (dir / "pid").string();
    WriteScript("gio", "echo $$ > '" + pidFile + "'\nsleep 30\nexit 0\n");
    UseFakesThenSystem();

    EXPECT_FALSE(LinuxShell(200ms).Open("/music/a.mp3"));
    const std::string pid = Read(pidFile);
    ASSERT_FALSE(pid.empty());
    // Killed and reaped: the pid names no process, not even a zombie.
    EXPECT_EQ(::kill(std::stoi(pid), 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(LinuxShellTest, StartsXdgOpenWhenGioIsMissing) {
    WriteRecorder("xdg-open", 1);  // its exit status comes too late to count
    UseOnlyFakes();

    EXPECT_TRUE(LinuxShell().Open("/music/a b;c.mp3"));
    ASSERT_TRUE(AwaitDone());
    EXPECT_EQ(Read(Log()), "[/music/a b;c.mp3]\n");
}

TEST_F(LinuxShellTest, FailsWhenNoLauncherCanStart) {
    UseOnlyFakes();
    EXPECT_FALSE(LinuxShell().Open("/music/a.mp3"));

    // Present but not executable: not a launcher.
    std::ofstream(dir / "bin" / "xdg-open") << "#!/bin/sh\nexit 0\n";
    fs::permissions(dir / "bin" / "xdg-open", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(LinuxShell().Open("/music/a.mp3"));

    // Executable, but its interpreter is missing, so the exec itself fails.
    std::ofstream(dir / "bin" / "xdg-open") << "#!/nonexistent/sh\nexit 0\n";
    fs::permissions(dir / "bin" / "xdg-open", fs::perms::owner_all);
    EXPECT_FALSE(LinuxShell().Open("/music/a.mp3"));
}

}  // namespace

#include "LinuxProcesses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "playback/CProcessFinder.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

class LinuxProcessesTest : public ::testing::Test {
protected:
    TempFolder root_{"plumet-proc"};
    LinuxProcesses processes_{root_.path().string()};

    void Process(const std::string& pid, const std::string& comm, const std::string& cmdline) {
        const fs::path folder = root_.path() / "proc" / pid;
        fs::create_directories(folder);
        std::ofstream(folder / "comm", std::ios::binary) << comm << "\n";
        std::ofstream(folder / "cmdline", std::ios::binary) << cmdline;
    }
};

TEST_F(LinuxProcessesTest, FindsThePlayerByItsNameWithoutRegardToCase) {
    EXPECT_FALSE(CProcessFinder(processes_).IsPlayerRunning());  // no /proc at all

    Process("1", "systemd", std::string("/sbin/init\0splash", 17));
    Process("20", "winamp.exe.bak", "winamp.exe.bak");
    Process("21", "winamp", "/usr/bin/winamp");
    fs::create_directories(root_.path() / "proc/22/comm");  // unreadable: skipped
    fs::create_directories(root_.path() / "proc/self");
    std::ofstream(root_.path() / "proc/self/comm") << "winamp.exe\n";  // not a process folder
    EXPECT_FALSE(CProcessFinder(processes_).IsPlayerRunning());

    Process("300", "WINAMP.EXE", "");
    EXPECT_TRUE(CProcessFinder(processes_).IsPlayerRunning());
    fs::remove_all(root_.path() / "proc/300");

    // Under Wine the name may be cut in comm, but the command line holds the Windows path.
    Process("400", "wine64-preload", std::string("C:\\Program Files\\Winamp\\Winamp.exe\0", 35));
    EXPECT_TRUE(CProcessFinder(processes_).IsPlayerRunning());
    EXPECT_EQ(LinuxProcesses::ProgramBaseName(std::string("/usr/bin/vlc\0--x", 16)), "vlc");
}

}  // namespace

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "PosixFiles.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// A child renames a media file back and forth between its two names without pause; it is
// killed at random moments. Whatever the moment, the file is there under exactly one of
// the names, whole, and nothing else is left in the folder.
TEST(RenameCrashTest, AKilledRenameLeavesTheFileUnderExactlyOneName) {
    TempFolder folder("plumet-rename-crash");
    const fs::path first = folder.path() / "01 Jóga.mp3";
    const fs::path second = folder.path() / "Björk - Jóga.mp3";
    std::string bytes;
    for (int i = 0; i < 64 * 1024; ++i) {
        bytes += static_cast<char>(i * 7 % 251);
    }
    std::ofstream(first, std::ios::binary) << bytes;

    std::mt19937 random(20240612);
    std::uniform_int_distribution<int> delayUs(0, 3000);
    int landedOnSecond = 0;
    constexpr int kIterations = 200;
    for (int iteration = 0; iteration < kIterations; ++iteration) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PosixFiles files;
            for (;;) {
                const bool atFirst = fs::exists(first);
                const fs::path& from = atFirst ? first : second;
                const fs::path& to = atFirst ? second : first;
                if (!files.RenameWithoutReplacing(from.string(), to.string())) {
                    ::_exit(3);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the renaming child stopped by itself";

        std::vector<fs::path> present;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.path())) {
            present.push_back(entry.path());
        }
        ASSERT_EQ(present.size(), 1u) << "iteration " << iteration;
        ASSERT_TRUE(present[0] == first || present[0] == second) << present[0];
        ASSERT_EQ(ReadFileBytes(present[0]), bytes);
        ASSERT_EQ(fs::hard_link_count(present[0]), 1u);
        landedOnSecond += present[0] == second ? 1 : 0;
    }
    RecordProperty("killsWithTheFileUnderItsNewName", landedOnSecond);
}

}  // namespace

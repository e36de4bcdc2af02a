#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "PosixFiles.h"
#include "catalog/CatalogFile.h"
#include "catalog/CatalogList.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/MemoryBytes.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDebrisPrefix = ".plumet-save-";

void FillCatalog(CatalogList& list, int rows, const std::string& tag) {
    std::vector<CatalogRow> batch;
    batch.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        const std::string n = std::to_string(i);
        const std::string artist = tag + " Artist " + n;
        const std::string track = "Track " + n + " \xC5\xC8\xCF";
        const std::string path = "/music/" + tag + "/" + n + ".mp3";
        batch.emplace_back(RowCells{artist, track, "/music", "4,096", "01/02/03 04:05 PM", path});
    }
    list.AppendRows(std::move(batch));
}

std::string Bytes(const CatalogList& list) {
    MemorySink sink;
    EXPECT_TRUE(CatalogFile::StoreCatalog(list, sink));
    return sink.bytes;
}

Result Save(const std::string& path, const CatalogList& list) {
    PosixFiles files;
    return files.ReplaceFile(
        path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
}

class SaveCrashTest : public ::testing::Test {
protected:
    TempFolder folder_{"plumet-crash"};
    SaveCrashTest() {
        dir = folder_.path();
        target = dir / "catalog.plm";
        FillCatalog(oldList, 150000, "Old");
        FillCatalog(newList, 200000, "New");
        oldBytes = Bytes(oldList);
        newBytes = Bytes(newList);
    }

    fs::path dir;
    fs::path target;
    CatalogList oldList;
    CatalogList newList;
    std::string oldBytes;
    std::string newBytes;
};

TEST_F(SaveCrashTest, AKilledSaveLeavesTheOldFileOrTheNewOneWhole) {
    ASSERT_GT(newBytes.size(), 5u << 20);
    // Kills spread over about two saves, so they land before, inside and after a rename on
    // a fast or a slow machine alike; the time is never asserted.
    WriteFileBytes(target, oldBytes);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Save(target.string(), newList));
    const auto saveMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayMs(
        0, static_cast<int>(std::clamp<long long>(2 * saveMs, 20, 300)));
    int landedNew = 0;
    constexpr int kIterations = 40;
    for (int iteration = 0; iteration < kIterations; ++iteration) {
        WriteFileBytes(target, oldBytes);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                if (!Save(target.string(), newList)) {
                    ::_exit(3);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself";

        const std::string now = ReadFileBytes(target);
        ASSERT_TRUE(now == oldBytes || now == newBytes)
            << "iteration " << iteration << ": " << now.size() << " bytes";
        landedNew += now == newBytes ? 1 : 0;
        ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(target)));

        // A temporary file is the only debris, and it holds a start of the new catalog.
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (entry.path() == target) {
                continue;
            }
            ASSERT_EQ(name.rfind(kDebrisPrefix, 0), 0u) << name;
            ASSERT_EQ(name.size(), std::strlen(kDebrisPrefix) + 6) << name;
            const std::string partial = ReadFileBytes(entry.path());
            ASSERT_EQ(newBytes.compare(0, partial.size(), partial), 0) << name;
            fs::remove(entry.path());
        }
    }
    RecordProperty("killsAfterTheNewCatalogWasInPlace", landedNew);
}

TEST_F(SaveCrashTest, AFullDiskLeavesTheOldCatalogUntouched) {
    WriteFileBytes(target, oldBytes);
    const std::optional<std::string> message = WithFileSizeLimit(1 << 20, [this] {
        const Result saved = Save(target.string(), newList);
        return saved ? std::string("saved") : saved.error();
    });
    ASSERT_TRUE(message) << "the file size limit cannot be set here";
    EXPECT_EQ(*message, "Disk full while accessing " + target.string() + ".");
    EXPECT_TRUE(ReadFileBytes(target) == oldBytes);
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"catalog.plm"});
}

}  // namespace

#include "scan/TagReadPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <optional>
#include <random>
#include <thread>

#include "PosixFolderReader.h"
#include "scan/CFolderScan.h"
#include "scan/ScanWorker.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// Tags that depend on the path alone, read after a random short wait, so that reads finish
// out of the order they started in.
class SlowTagReader : public TagReader {
public:
    std::optional<FileTags> ReadTags(const std::string& path) override {
        if (slow) {
            thread_local std::mt19937 random(
                static_cast<unsigned>(std::hash<std::thread::id>{}(std::this_thread::get_id())));
            const int wait = random() % 8 == 0 ? 2000 : static_cast<int>(random() % 200);
            std::this_thread::sleep_for(std::chrono::microseconds(wait));
        }
        return TagsOf(path);
    }

    static std::optional<FileTags> TagsOf(const std::string& path) {
        const std::size_t hash = std::hash<std::string>{}(path);
        if (hash % 4 == 0) {
            return std::nullopt;
        }
        FileTags tags;
        tags.artist = hash % 4 == 1 ? "" : "Tagged " + std::to_string(hash % 97);
        tags.title = hash % 4 == 2 ? "" : "Title " + std::to_string(hash % 89);
        tags.fields[kLength - kColumnCount] = std::to_string(hash % 600);
        return tags;
    }

    std::atomic<bool> slow{true};
};

class TagReadPoolTest : public ::testing::Test {
protected:
    TempFolder temp_{"plumet-tag-pool"};
    std::string root_ = temp_.path().string();
    PosixFolderReader folders_;
    FixedLocale locale_;
    SlowTagReader tags_;

    // A random tree of audio files and others, up to three levels deep.
    void MakeTree(std::mt19937& random) {
        const int folderCount = 12;
        std::vector<fs::path> folders{temp_.path()};
        for (int i = 0; i < folderCount; ++i) {
            folders.push_back(folders[random() % folders.size()] / ("Folder " + std::to_string(i)));
            fs::create_directories(folders.back());
        }
        const char* names[] = {"Artist - Song", "07 - Song", "Song", "A - B - C"};
        const char* extensions[] = {".mp3", ".flac", ".ogg", ".txt"};
        for (int i = 0; i < 400; ++i) {
            const fs::path file =
                folders[random() % folders.size()] / (std::string(names[random() % 4]) + " " +
                                                      std::to_string(i) + extensions[random() % 4]);
            std::ofstream(file) << std::string(random() % 50, 'x');
        }
    }

    // The rows of one walk read file by file in walk order: the model.
    std::vector<CatalogRow> SequentialRows(const NamePattern& pattern) {
        tags_.slow = false;
        PendingResults pending;
        const std::atomic<bool> cancel{false};
        const RowNamer namer(pattern, std::nullopt, ",");
        WalkContext walk{folders_, pending, "audio", namer, locale_, cancel, {}, {}};
        walk.tagReader = &tags_;
        CFolderScan(root_).ScanFolderProc(walk);
        tags_.slow = true;
        CatalogList list;
        pending.Drain(list);
        std::vector<CatalogRow> rows;
        for (int row = 0; row < list.RowCount(); ++row) {
            rows.push_back(*list.RowRecord(row));
        }
        return rows;
    }
};

// Rows read in parallel reach the results in walk order, as one thread would give them;
// a cancel at any moment keeps a start of them, each row once.
TEST_F(TagReadPoolTest, ParallelReadsGiveTheSequentialRowsOrAStartOfThemAfterCancel) {
    std::mt19937 random(20260);
    MakeTree(random);
    std::string error;
    const NamePattern patterns[] = {NamePattern(),
                                    *NamePattern::Parse("<ignore> - <title>", error)};
    int cutShort = 0;  // cancelled walks that kept some rows but not all
    for (int trial = 0; trial < 16; ++trial) {
        const NamePattern& pattern = patterns[trial % 2];
        const std::vector<CatalogRow> model = SequentialRows(pattern);
        ASSERT_GT(model.size(), 250u);

        PendingResults pending;
        std::atomic<bool> ended{false};
        ScanWorker worker(folders_, locale_, pending, &tags_);
        worker.SetWalkEnded([&ended](std::uint64_t) { ended = true; });
        ScanWorker::Naming naming;
        naming.pattern = pattern;
        naming.readTags = true;
        naming.oneReader = trial % 8 == 7;  // as for a disc
        worker.StartScan(root_, "audio", naming);

        // The UI thread drains while the walk runs, and may cancel it.
        const bool cancel = trial % 4 != 0;
        const auto cancelAt =
            std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 40000);
        CatalogList list;
        while (!ended && !(cancel && std::chrono::steady_clock::now() >= cancelAt)) {
            pending.Drain(list);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        worker.CancelScan();
        pending.Drain(list);

        const auto found = static_cast<std::size_t>(list.RowCount());
        if (!cancel) {
            ASSERT_EQ(found, model.size()) << "trial " << trial;
        }
        ASSERT_LE(found, model.size()) << "trial " << trial;
        cutShort += found > 0 && found < model.size();
        for (std::size_t row = 0; row < found; ++row) {
            ASSERT_EQ(*list.RowRecord(static_cast<int>(row)), model[row])
                << "trial " << trial << ", row " << row;
        }
    }
    EXPECT_GE(cutShort, 3);
}

// A reader that runs out of memory on one file, wherever it lies in the walk.
class FailingTagReader : public SlowTagReader {
public:
    explicit FailingTagReader(std::string path) : failing_(std::move(path)) {}
    std::optional<FileTags> ReadTags(const std::string& path) override {
        if (path == failing_) {
            throw std::bad_alloc();
        }
        return SlowTagReader::ReadTags(path);
    }

private:
    std::string failing_;
};

// A read that throws stops the pool without a wait that never ends, the exception reaches
// the walk's thread, and the rows that left are a start of the walk's, before that file.
TEST_F(TagReadPoolTest, AReadThatThrowsStopsThePoolAndItsExceptionReachesTheWalk) {
    std::mt19937 random(31);
    MakeTree(random);
    const std::vector<CatalogRow> model = SequentialRows(NamePattern());
    for (int trial = 0; trial < 8; ++trial) {
        const std::size_t failing = random() % model.size();
        FailingTagReader reader{std::string(model[failing].Cell(kPath))};
        PendingResults pending;
        const std::atomic<bool> cancel{false};
        const RowNamer namer(NamePattern(), std::nullopt, ",");
        WalkContext walk{folders_, pending, "audio", namer, locale_, cancel, {}, {}};
        std::optional<TagReadPool> pool;
        pool.emplace(reader, namer, pending, cancel, 1 + trial % 3);
        walk.tagReads = &*pool;
        bool thrown = false;
        try {
            CFolderScan(root_).ScanFolderProc(walk);
            pool->Finish();
        } catch (const std::bad_alloc&) {
            thrown = true;  // from the pool's thread, or read by the walk itself
        }
        pool.reset();
        EXPECT_TRUE(thrown) << "trial " << trial;
        if (trial % 2 == 1) {
            // The window's scan ends there, as after a cancel, and the program goes on.
            std::atomic<bool> ended{false};
            ScanWorker worker(folders_, locale_, pending, &reader);
            worker.SetWalkEnded([&ended](std::uint64_t) { ended = true; });
            pending.Take();
            ScanWorker::Naming naming;
            naming.readTags = true;
            worker.StartScan(root_, "audio", naming);
            while (!ended) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        CatalogList list;
        pending.Drain(list);
        ASSERT_LE(static_cast<std::size_t>(list.RowCount()), failing) << "trial " << trial;
        for (int row = 0; row < list.RowCount(); ++row) {
            ASSERT_EQ(*list.RowRecord(row), model[static_cast<std::size_t>(row)])
                << "trial " << trial << ", row " << row;
        }
    }
}

// The model is worth comparing with: tags and the pattern reached its rows.
TEST_F(TagReadPoolTest, TheModelCarriesTagsAndFileNames) {
    std::mt19937 random(7);
    MakeTree(random);
    int tagged = 0;
    int named = 0;
    for (const CatalogRow& row : SequentialRows(NamePattern())) {
        const std::optional<FileTags> tags = SlowTagReader::TagsOf(std::string(row.Cell(kPath)));
        tagged += tags && !tags->artist.empty() && row.Cell(kArtist) == tags->artist;
        named += (!tags || tags->title.empty()) && row.Cell(kTrack).find("Song") == 0;
        EXPECT_EQ(row.Fields().empty(), !tags);
    }
    EXPECT_GT(tagged, 50);
    EXPECT_GT(named, 50);
}

}  // namespace

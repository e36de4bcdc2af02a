#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "WorkerThreads.h"
#include "catalog/CatalogRow.h"
#include "scan/PendingResults.h"
#include "scan/RowNamer.h"
#include "services.h"

// Reads the tags of the files a walk finds on a few threads while the walk goes on, and
// hands their rows to the pending results in the order the walk found the files. At most a
// window of files is in flight; the rows of its completed start leave as one batch, so a
// slow file holds back the rows after it but never reorders them.
class TagReadPool {
public:
    // `namer` and `cancelRequested` outlive the pool.
    TagReadPool(TagReader& reader, const RowNamer& namer, PendingResults& results,
                const std::atomic<bool>& cancelRequested, int threadCount);
    ~TagReadPool();
    TagReadPool(const TagReadPool&) = delete;
    TagReadPool& operator=(const TagReadPool&) = delete;

    // Walk thread: queues one found file. While the window is full the walk reads queued
    // files itself, or waits when all are taken. Once a cancel is asked the file is dropped.
    void Submit(const FoundFile& file);
    // Waits until every file queued is in the results and ends the threads. After a cancel
    // only the reads under way finish; the rows of the files found before the first one not
    // read are kept, the rest dropped. A read that threw (out of memory) stops the pool as a
    // cancel does, and Finish throws its exception.
    void Finish();

    // The reading threads beside the walk, which reads too when the window is full: one per
    // core in all. More threads only take turns on the processor when the files are cached,
    // and a cold disk is kept busy by the read-ahead each file gets when it is queued.
    static int ThreadCountFor(unsigned cores);

private:
    struct Slot {
        std::string folder;
        std::string name;
        std::uint64_t size = 0;
        std::optional<std::tm> modified;
        std::string_view place;         // held by the walk, which outlives the pool
        std::optional<CatalogRow> row;  // set once read
    };

    void ReadFiles();
    // Under `lock`, released while reading: reads the next file not yet taken.
    void ReadNext(std::unique_lock<std::mutex>& lock);
    // Under lock_: moves the rows of the completed start of the window to the results.
    void ReleaseReady();
    bool Cancelled() const {
        return cancelRequested_.load(std::memory_order_relaxed) ||
               failed_.load(std::memory_order_relaxed);
    }

    TagReader& reader_;
    const RowNamer& namer_;
    PendingResults& results_;
    const std::atomic<bool>& cancelRequested_;

    std::mutex lock_;
    std::condition_variable work_;   // a file was queued, or the end has come
    std::condition_variable space_;  // rows left the window
    std::vector<Slot> window_;       // a ring: file number n lives in slot n % size
    std::uint64_t queued_ = 0;
    std::uint64_t claimed_ = 0;
    std::uint64_t released_ = 0;
    bool ending_ = false;
    int idleReaders_ = 0;              // threads waiting for a file
    bool walkWaiting_ = false;         // the walk waits for room in the window
    std::atomic<bool> failed_{false};  // a read threw: nothing more is read
    WorkerThreads threads_;            // last: joined before the members they use go
};

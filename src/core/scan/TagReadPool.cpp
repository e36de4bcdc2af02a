#include "scan/TagReadPool.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "scan/RowDerivation.h"

namespace {

// Files in flight per reading thread: enough that a slow file rarely stalls the walk.
constexpr int kWindowPerThread = 16;
constexpr int kMostThreads = 16;
// How often a walk waiting for room looks at the cancel flag, which nobody signals.
constexpr auto kCancelPoll = std::chrono::milliseconds(10);

}  // namespace

TagReadPool::TagReadPool(TagReader& reader, const RowNamer& namer, PendingResults& results,
                         const std::atomic<bool>& cancelRequested, int threadCount)
    : reader_(reader), namer_(namer), results_(results), cancelRequested_(cancelRequested) {
    threadCount = std::clamp(threadCount, 1, kMostThreads);
    window_.resize(static_cast<std::size_t>(threadCount) * kWindowPerThread);
    for (int i = 0; i < threadCount; ++i) {
        try {
            threads_.Start([this] { ReadFiles(); });
        } catch (const std::system_error&) {
            if (threads_.Count() > 0) {
                break;  // fewer threads read the same files
            }
            throw;
        }
    }
}

TagReadPool::~TagReadPool() {
    try {
        Finish();
    } catch (...) {
        // The walk is leaving by an exception of its own, or never asked how the reads went.
    }
}

int TagReadPool::ThreadCountFor(unsigned cores) {
    return std::clamp(static_cast<int>(cores) - 1, 1, kMostThreads);
}

void TagReadPool::Submit(const FoundFile& file) {
    std::unique_lock<std::mutex> lock(lock_);
    if (queued_ - released_ == window_.size()) {
        // A full window: the walk reads files itself rather than wait, so that the threads
        // that run never outnumber the cores. When every file is taken it waits until half
        // the window is free, which wakes it once per many rows rather than once per row.
        while (queued_ - released_ > window_.size() / 2 && !Cancelled()) {
            if (claimed_ < queued_) {
                ReadNext(lock);
                continue;
            }
            walkWaiting_ = true;
            space_.wait_for(lock, kCancelPoll);
            walkWaiting_ = false;
        }
    }
    if (Cancelled()) {
        return;
    }
    Slot& slot = window_[queued_ % window_.size()];
    slot.folder = file.walkedFolder;
    slot.name = file.fileName;
    slot.size = file.size;
    slot.modified = file.modified;
    slot.place = file.place;
    slot.row.reset();
    ++queued_;
    lock.unlock();
    // On a cold disk the file's reading starts now, beside the files being read: a few
    // threads then keep the device as busy as many would.
    reader_.WillRead(FoundPath(file.walkedFolder, file.fileName));
    lock.lock();
    // Waking a thread costs two system calls; a busy one finds the file by itself.
    const bool wake = idleReaders_ > 0;
    lock.unlock();
    if (wake) {
        work_.notify_one();
    }
}

void TagReadPool::Finish() {
    {
        const std::lock_guard<std::mutex> lock(lock_);
        ending_ = true;
    }
    work_.notify_all();
    threads_.Join();
}

void TagReadPool::ReadFiles() {
    std::unique_lock<std::mutex> lock(lock_);
    for (;;) {
        ++idleReaders_;
        work_.wait(lock, [this] { return ending_ || (claimed_ < queued_ && !Cancelled()); });
        --idleReaders_;
        if (claimed_ == queued_ || Cancelled()) {
            if (ending_) {
                return;
            }
            continue;
        }
        ReadNext(lock);
    }
}

void TagReadPool::ReadNext(std::unique_lock<std::mutex>& lock) {
    const std::uint64_t number = claimed_++;
    Slot& slot = window_[number % window_.size()];
    lock.unlock();
    // The slot is this thread's until its row is released: the walk reuses a slot only
    // after that.
    std::optional<CatalogRow> row;
    try {
        const std::optional<FileTags> tags = reader_.ReadTags(FoundPath(slot.folder, slot.name));
        row = namer_.Name(FoundFile{slot.folder, slot.name, slot.size, slot.modified, slot.place},
                          tags ? &*tags : nullptr);
    } catch (...) {
        // Its slot never fills, so the rows after it could never leave: stop as a cancel
        // stops, and let Finish pass the exception on.
        lock.lock();
        failed_ = true;
        work_.notify_all();
        space_.notify_all();
        throw;
    }
    lock.lock();
    slot.row = std::move(row);
    if (number == released_) {
        ReleaseReady();
    }
}

void TagReadPool::ReleaseReady() {
    std::vector<CatalogRow> rows;
    while (released_ < claimed_) {
        Slot& slot = window_[released_ % window_.size()];
        if (!slot.row) {
            break;
        }
        rows.push_back(std::move(*slot.row));
        slot.row.reset();
        ++released_;
    }
    // Still under the lock, so batches reach the results in the window's order.
    results_.AppendRows(std::move(rows));
    if (walkWaiting_ && queued_ - released_ <= window_.size() / 2) {
        space_.notify_one();
    }
}

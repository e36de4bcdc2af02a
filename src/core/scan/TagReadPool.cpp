#include "scan/TagReadPool.h"

#include <algorithm>
#include <chrono>

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
    threads_.reserve(threadCount);
    for (int i = 0; i < threadCount; ++i) {
        threads_.emplace_back(&TagReadPool::ReadFiles, this);
    }
}

TagReadPool::~TagReadPool() {
    Finish();
}

int TagReadPool::ThreadCountFor(unsigned cores) {
    return std::clamp(2 * static_cast<int>(cores), 4, kMostThreads);
}

void TagReadPool::Submit(const FoundFile& file) {
    std::unique_lock<std::mutex> lock(lock_);
    while (queued_ - released_ == window_.size()) {
        if (Cancelled()) {
            return;
        }
        space_.wait_for(lock, kCancelPoll);
    }
    if (Cancelled()) {
        return;
    }
    Slot& slot = window_[queued_ % window_.size()];
    slot.folder = file.walkedFolder;
    slot.name = file.fileName;
    slot.size = file.size;
    slot.modified = file.modified;
    slot.row.reset();
    ++queued_;
    lock.unlock();
    work_.notify_one();
}

void TagReadPool::Finish() {
    {
        const std::lock_guard<std::mutex> lock(lock_);
        ending_ = true;
    }
    work_.notify_all();
    for (std::thread& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void TagReadPool::ReadFiles() {
    std::unique_lock<std::mutex> lock(lock_);
    for (;;) {
        work_.wait(lock, [this] { return ending_ || (claimed_ < queued_ && !Cancelled()); });
        if (claimed_ == queued_ || Cancelled()) {
            if (ending_) {
                return;
            }
            continue;
        }
        const std::uint64_t number = claimed_++;
        Slot& slot = window_[number % window_.size()];
        lock.unlock();
        // The slot is this thread's until its row is released: the walk reuses a slot only
        // after that.
        const std::optional<FileTags> tags = reader_.ReadTags(FoundPath(slot.folder, slot.name));
        CatalogRow row = namer_.Name(FoundFile{slot.folder, slot.name, slot.size, slot.modified},
                                     tags ? &*tags : nullptr);
        lock.lock();
        slot.row = std::move(row);
        if (number == released_) {
            ReleaseReady();
        }
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
    space_.notify_one();
}

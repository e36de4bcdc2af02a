#include "scan/ScanWorker.h"

#include <exception>

#include "scan/CFolderScan.h"
#include "scan/RowNamer.h"
#include "scan/TagReadPool.h"

ScanWorker::ScanWorker(FolderReader& reader, Locale& locale, PendingResults& results,
                       TagReader* tagReader, Mounts* mounts)
    : reader_(reader), locale_(locale), results_(results), tagReader_(tagReader), mounts_(mounts) {}

ScanWorker::~ScanWorker() {
    CancelScan();
}

std::uint64_t ScanWorker::StartScan(const std::string& folder, const std::string& category,
                                    Naming naming) {
    CancelScan();
    cancelRequested_ = false;
    const std::uint64_t walk = ++walkCount_;
    SetCurrentFolder(folder);
    worker_ = std::thread(&ScanWorker::Walk, this, folder, category, std::move(naming),
                          locale_.GroupSeparator(), walk);
    return walk;
}

void ScanWorker::CancelScan() {
    cancelRequested_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

std::string ScanWorker::CurrentFolder() const {
    const std::lock_guard<std::mutex> lock(folderLock_);
    return currentFolder_;
}

void ScanWorker::SetCurrentFolder(const std::string& folder) {
    const std::lock_guard<std::mutex> lock(folderLock_);
    currentFolder_ = folder;
}

void ScanWorker::Walk(std::string folder, std::string category, Naming naming,
                      std::string groupSeparator, std::uint64_t walk) {
    const RowNamer namer(std::move(naming.pattern), std::move(naming.inFolderDisk),
                         std::move(groupSeparator));
    WalkContext context{reader_,
                        results_,
                        std::move(category),
                        namer,
                        locale_,
                        cancelRequested_,
                        [this](const std::string& entered) { SetCurrentFolder(entered); },
                        {}};
    context.mounts = mounts_;
    // The pool's threads live as long as the walk, and only when tags are read.
    std::optional<TagReadPool> pool;
    if (naming.readTags && tagReader_ != nullptr) {
        if (naming.oneReader) {
            context.tagReader = tagReader_;
        } else {
            pool.emplace(*tagReader_, namer, results_, cancelRequested_,
                         TagReadPool::ThreadCountFor(std::thread::hardware_concurrency()));
            context.tagReads = &*pool;
        }
    }
    CFolderScan top(std::move(folder));
    try {
        top.ScanFolderProc(context);
        if (pool) {
            pool->Finish();
        }
    } catch (const std::exception&) {
        // Out of memory, most likely: the walk ends with the rows found so far, as a cancel
        // ends it, instead of ending the program with its catalog unsaved. The pool's threads
        // are joined before the walk is said to have ended.
        pool.reset();
    }
    SetCurrentFolder({});
    cancelRequested_ = false;
    if (walkEnded_) {
        walkEnded_(walk);
    }
}

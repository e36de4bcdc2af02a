#include "scan/ScanWorker.h"

#include "scan/CFolderScan.h"

ScanWorker::ScanWorker(FolderReader& reader, Locale& locale, PendingResults& results)
    : reader_(reader), locale_(locale), results_(results) {}

ScanWorker::~ScanWorker() {
    CancelScan();
}

std::uint64_t ScanWorker::StartScan(const std::string& folder, const std::string& category,
                                    std::optional<std::string> inFolderDisk) {
    CancelScan();
    cancelRequested_ = false;
    const std::uint64_t walk = ++walkCount_;
    SetCurrentFolder(folder);
    worker_ = std::thread(&ScanWorker::Walk, this, folder, category, std::move(inFolderDisk),
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

void ScanWorker::Walk(std::string folder, std::string category,
                      std::optional<std::string> inFolderDisk, std::string groupSeparator,
                      std::uint64_t walk) {
    WalkContext context{reader_,
                        results_,
                        std::move(category),
                        std::move(inFolderDisk),
                        locale_,
                        std::move(groupSeparator),
                        cancelRequested_,
                        [this](const std::string& entered) { SetCurrentFolder(entered); },
                        {}};
    CFolderScan top(std::move(folder));
    top.ScanFolderProc(context);
    SetCurrentFolder({});
    cancelRequested_ = false;
    if (walkEnded_) {
        walkEnded_(walk);
    }
}

#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "scan/NamePattern.h"
#include "scan/PendingResults.h"
#include "services.h"

// Runs one walk at a time on its own thread. The worker only appends rows to the pending
// results and reads the cancel flag; it is always joined before this object goes.
class ScanWorker {
public:
    // Called on the worker thread once a walk has ended, with that walk's number.
    using WalkEnded = std::function<void(std::uint64_t walk)>;

    // How one walk names its rows.
    struct Naming {
        NamePattern pattern;  // the standard rule by default
        // Whether the files' tags are read (with a tag reader only).
        bool readTags = false;
        // One reading thread, in walk order: on an optical disc a seek costs more than
        // waiting.
        bool oneReader = false;
        // With it, every row of the walk shows it in In Folder/Disk.
        std::optional<std::string> inFolderDisk;
    };

    // Without a tag reader no walk reads tags.
    // Without mounts no row names its file system.
    ScanWorker(FolderReader& reader, Locale& locale, PendingResults& results,
               TagReader* tagReader = nullptr, Mounts* mounts = nullptr);
    ~ScanWorker();
    ScanWorker(const ScanWorker&) = delete;
    ScanWorker& operator=(const ScanWorker&) = delete;

    void SetWalkEnded(WalkEnded walkEnded) { walkEnded_ = std::move(walkEnded); }

    // Stops a running walk first, then starts walking `folder`; returns the new walk's number.
    std::uint64_t StartScan(const std::string& folder, const std::string& category, Naming naming);
    // Asks the walk to stop and waits until its thread has ended. Rows found so far stay
    // in the pending results.
    void CancelScan();

    // The folder the walk is listing now; empty when no walk runs.
    std::string CurrentFolder() const;

private:
    void Walk(std::string folder, std::string category, Naming naming, std::string groupSeparator,
              std::uint64_t walk);
    void SetCurrentFolder(const std::string& folder);

    FolderReader& reader_;
    Locale& locale_;
    PendingResults& results_;
    TagReader* tagReader_;
    Mounts* mounts_;
    WalkEnded walkEnded_;
    std::atomic<bool> cancelRequested_{false};
    std::uint64_t walkCount_ = 0;
    mutable std::mutex folderLock_;
    std::string currentFolder_;
    std::thread worker_;  // last: joined before the members it uses go
};

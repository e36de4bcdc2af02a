#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "scan/PendingResults.h"
#include "services.h"

class RowNamer;
class TagReadPool;

// What every level of one walk shares.
struct WalkContext {
    FolderReader& reader;
    PendingResults& results;
    std::string category;  // "audio" or "video"
    // Names each found file's row. Fixed when the walk starts, with any In Folder/Disk label,
    // so its rows keep it however late they are drained.
    const RowNamer& namer;
    Locale& locale;
    const std::atomic<bool>& cancelRequested;
    // Told the folder each level is about to list; may be empty.
    std::function<void(const std::string&)> enteringFolder;
    // Every folder listed so far: a second link to one adds nothing, wherever it is.
    std::set<FolderReader::FolderIdentity> walked;
    // Where tags are read: found files go to the pool, or are read here in walk order by
    // the reader; with neither, no tags are read.
    TagReadPool* tagReads = nullptr;
    TagReader* tagReader = nullptr;
    // Which file system holds each folder, asked once per device; without it rows name none.
    Mounts* mounts = nullptr;
    std::map<std::uint64_t, std::string> placeOfDevice{};  // a map: its texts never move
};

// One level of the walk: a folder's matching files in the order the file system lists
// them, then its sub-folders, depth first, in that order.
class CFolderScan {
public:
    explicit CFolderScan(std::string folder = {}) : folder(std::move(folder)) {}

    // Walks `folder` and everything below it. An empty folder is the current directory.
    // A folder that was walked already or belongs to the kernel's pseudo file systems
    // contributes nothing; one that cannot be listed, or whose listing breaks off, and a
    // link whose target is missing go to the results' unseen places with their cause.
    void ScanFolderProc(WalkContext& walk);

    std::string folder;

private:
    void AddFoundFile(WalkContext& walk, std::string_view name,
                      const FolderReader::FileFacts& facts, std::string_view place) const;
    std::string_view PlaceOf(WalkContext& walk, std::uint64_t device) const;
};

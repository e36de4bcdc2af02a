#include "FolderWalk.h"

#include <atomic>
#include <thread>

#include "scan/CFolderScan.h"
#include "scan/MediaExtensions.h"
#include "scan/PendingResults.h"
#include "scan/RowNamer.h"
#include "scan/TagReadPool.h"

CatalogUpdate::Walked FolderWalk::Walk(const std::string& folder) const {
    PendingResults found;
    const std::atomic<bool> neverCancelled{false};
    const RowNamer namer(pattern, label, locale.GroupSeparator());
    WalkContext walk{folders, found,  std::string(video ? kVideoCategory : kAudioCategory),
                     namer,   locale, neverCancelled,
                     {},      {}};
    walk.mounts = mounts;
    std::optional<TagReadPool> pool;
    if (tags != nullptr) {
        pool.emplace(*tags, namer, found, neverCancelled,
                     TagReadPool::ThreadCountFor(std::thread::hardware_concurrency()));
        walk.tagReads = &*pool;
    }
    CFolderScan top(folder);
    top.ScanFolderProc(walk);
    if (pool) {
        pool->Finish();
    }
    return {found.Take(), found.TakeUnseen()};
}

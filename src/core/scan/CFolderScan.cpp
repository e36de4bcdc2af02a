#include "scan/CFolderScan.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "catalog/PathParts.h"
#include "scan/MediaExtensions.h"
#include "scan/RowDerivation.h"
#include "scan/RowNamer.h"
#include "scan/TagReadPool.h"
#include "volumes/VolumePieces.h"

namespace {

std::string CurrentDirectory() {
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : current.string();
}

}  // namespace

void CFolderScan::ScanFolderProc(WalkContext& walk) {
    if (folder.empty()) {
        folder = CurrentDirectory();
        if (folder.empty()) {
            return;
        }
    }
    if (walk.enteringFolder) {
        walk.enteringFolder(folder);
    }
    std::error_code error;
    std::unique_ptr<FolderReader::Listing> listing = walk.reader.Open(folder, error);
    if (!listing) {
        walk.results.AddUnseen(folder, error.message());
        return;
    }
    // Links reach one folder by many paths, and /proc links to the whole tree once per
    // thread; the kernel's made-up file systems hold no music anyway.
    if (listing->OnPseudoFileSystem() || !walk.walked.insert(listing->Identity()).second) {
        return;
    }

    // One pass over the listing: files are catalogued as they come, sub-folders wait until
    // every file of this folder is in.
    const std::string_view place = PlaceOf(walk, listing->Identity().device);
    std::vector<std::string> subFolders;
    std::string_view name;
    FolderReader::EntryKind kind;
    while (listing->Next(name, kind)) {
        if (kind == FolderReader::EntryKind::Folder) {
            subFolders.emplace_back(name);
        } else if (kind == FolderReader::EntryKind::File && IsMediaFile(walk.category, name)) {
            if (const std::optional<FolderReader::FileFacts> facts = listing->Facts()) {
                AddFoundFile(walk, name, *facts, place);
            }
        } else if (kind == FolderReader::EntryKind::Unseen) {
            walk.results.AddUnseen(JoinPath(folder, name), listing->Cause());
        }
        if (walk.cancelRequested.load(std::memory_order_relaxed)) {
            return;
        }
    }
    if (std::string stopped = listing->Cause(); !stopped.empty()) {
        walk.results.AddUnseen(folder, std::move(stopped));
    }
    listing.reset();  // deep trees must not hold one open folder per level

    for (const std::string& subFolder : subFolders) {
        if (walk.cancelRequested.load(std::memory_order_relaxed)) {
            break;
        }
        CFolderScan level(JoinPath(folder, subFolder));
        level.ScanFolderProc(walk);
    }
}

std::string_view CFolderScan::PlaceOf(WalkContext& walk, std::uint64_t device) const {
    if (walk.mounts == nullptr) {
        return {};
    }
    const auto [known, added] = walk.placeOfDevice.try_emplace(device);
    if (added) {
        // By device, not by path: a folder reached through a link lies on the file system
        // the link leads to.
        if (const std::optional<Mounts::Volume> volume =
                walk.mounts->VolumeOfDevice(device, folder)) {
            known->second = VolumePieces(*volume);
        }
    }
    return known->second;
}

void CFolderScan::AddFoundFile(WalkContext& walk, std::string_view name,
                               const FolderReader::FileFacts& facts, std::string_view place) const {
    const FoundFile file{folder, name, facts.size, walk.locale.LocalTime(facts.modifiedSeconds),
                         place};
    if (walk.tagReads != nullptr) {
        walk.tagReads->Submit(file);
        return;
    }
    std::optional<FileTags> tags;
    if (walk.tagReader != nullptr) {
        tags = walk.tagReader->ReadTags(FoundPath(folder, name));
    }
    walk.results.AppendRow(walk.namer.Name(file, tags ? &*tags : nullptr));
}

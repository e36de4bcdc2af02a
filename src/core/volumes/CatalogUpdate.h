#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "catalog/CatalogList.h"
#include "volumes/MountedSet.h"

// Update: a fresh walk of a disc or a folder merged into the rows that came from it, so that
// what the user did to those rows survives. A file of the same size and modified time keeps
// its row whole. A changed file gets the walk's Size, Modified and tag fields, and Artist,
// Track and Album too unless Edit Item changed them; its Path, In Folder/Disk and the pieces
// the walk does not give stay. Rows of files that are gone leave; new files come in after
// the last row the walk stands for. No other row moves or changes.
class CatalogUpdate {
public:
    struct Counts {
        int added = 0;
        int removed = 0;
        int changed = 0;
        bool any() const { return added + removed + changed > 0; }
    };

    // `covered`: the ascending store rows the walk stands for, each found where `mounted`
    // puts its file now. `found`: the walk's rows, in walk order, with paths as they are now.
    // With `label`, new rows show it in In Folder/Disk.
    static Counts Merge(CatalogList& store, std::span<const int> covered, const MountedSet& mounted,
                        std::vector<CatalogRow> found, const std::optional<std::string>& label);

    // The row of a changed file: `old` with what the walk found of it.
    static CatalogRow ChangedRow(const CatalogRow& old, const CatalogRow& found);

    // What an Update walks: a disc's row stands for the whole disc, any other row for its
    // folder.
    struct Target {
        std::string root;      // the folder to walk, where it is mounted now
        std::string volume;    // the disc's identity; empty for a folder
        std::string label;     // the row's In Folder/Disk: the status names it, a disc's new
                               // rows show it
        std::string category;  // "audio" or "video", as the row's file is
    };
    // The targets of these rows, none twice and no folder inside another; the rows must all
    // be on file systems mounted now.
    static std::vector<Target> TargetsOf(const std::vector<CatalogRow>& rows,
                                         const MountedSet& mounted);
    // The ascending store rows the walk of `target` stands for, on the mounts of now: rows
    // of its kind of file on that disc, or below that folder, and not away.
    static std::vector<int> CoveredRows(const CatalogList& store, const Target& target,
                                        const MountedSet& mounted);

    // "Updated "LABEL": A added, R removed, C changed."
    static std::string StatusText(const std::string& label, const Counts& counts);
};

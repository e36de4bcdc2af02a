#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/CatalogList.h"
#include "scan/UnseenPlaces.h"
#include "volumes/MountedSet.h"

// Update: a fresh walk of a disc or a folder merged into the rows that came from it, so that
// what the user did to those rows survives. A file of the same size and modified time keeps
// its row whole. A changed file gets the walk's Size, Modified and tag fields, and Artist,
// Track and Album too unless Edit Item changed them; its Path, In Folder/Disk and the pieces
// the walk does not give stay. Rows of files that are gone leave; rows at or below a place the
// walk could not see stay as they are. New files come in after the last row the walk stands
// for. No other row moves or changes.
class CatalogUpdate {
public:
    struct Counts {
        int added = 0;
        int removed = 0;
        int changed = 0;
        UnseenPlaces unseen;  // places the walk could not see
        bool any() const { return added + removed + changed > 0; }
        // These and `other`'s together.
        void Add(const Counts& other);
    };

    // What a walk found: its rows in walk order, with paths as they are now, and the places
    // it could not see.
    struct Walked {
        std::vector<CatalogRow> rows;
        UnseenPlaces unseen;
    };

    // What a path is compared by; without one, its text.
    using PathKey = std::function<std::string(std::string_view path)>;
    // Why the folder of rows the walk did not find cannot be read; nothing when it can be,
    // or is missing, and so their files are gone.
    using FolderCheck = std::function<std::optional<std::string>(const std::string& folder)>;
    // The check by opening the folder.
    static FolderCheck CheckedBy(FolderReader& folders);

    // `covered`: the ascending store rows the walk stands for, each found where `mounted`
    // puts its file now. With `label`, new rows show it in In Folder/Disk; without, a new
    // file in a folder whose rows all show one In Folder/Disk text takes that text. Rows not
    // found stay when `check` finds their folder unreadable (a folder replaced by a file);
    // their folder then counts as unseen.
    static Counts Merge(CatalogList& store, std::span<const int> covered, const MountedSet& mounted,
                        Walked walked, const std::optional<std::string>& label,
                        const PathKey& key = {}, const FolderCheck& check = {});

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
    // be on file systems mounted now. The folders of one tree are walked as one, from the
    // nearest folder that holds them all; a tree ends at the folder its file system is
    // mounted on, or else at the folder at the top of the system's root it lies in.
    static std::vector<Target> TargetsOf(const std::vector<CatalogRow>& rows,
                                         const MountedSet& mounted);
    // The ascending store rows the walk of `target` stands for, on the mounts of now: rows
    // of its kind of file on that disc, or below that folder, and not away.
    // With `key`, the row's path is compared by it with `target.root` as it is.
    static std::vector<int> CoveredRows(const CatalogList& store, const Target& target,
                                        const MountedSet& mounted, const PathKey& key = {});

    // "Updated "LABEL": A added, R removed, C changed.", with what was kept when some place
    // could not be seen.
    static std::string StatusText(const std::string& label, const Counts& counts);
    // The same for several walks: "Updated 3 folders: A added, R removed, C changed."
    static std::string StatusText(int walks, const Counts& total);
};

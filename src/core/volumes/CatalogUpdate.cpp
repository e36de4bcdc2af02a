#include "volumes/CatalogUpdate.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "catalog/PathParts.h"
#include "catalog/RowFields.h"
#include "catalog/UndoHistory.h"
#include "scan/MediaExtensions.h"
#include "volumes/VolumePieces.h"

namespace {

std::string KeyOf(const CatalogUpdate::PathKey& key, std::string_view path) {
    return key ? key(path) : std::string(path);
}

// Whether `path` is one of `places` or lies below one: each folder above it is looked up.
bool AtOrBelow(std::string_view path, const std::unordered_set<std::string>& places) {
    if (places.empty()) {
        return false;
    }
    for (;;) {
        if (places.count(std::string(path)) != 0) {
            return true;
        }
        const std::string_view up = FolderOfPath(path);
        if (up.empty() || up == path) {
            return false;
        }
        path = up;
    }
}

// One In Folder/Disk text per folder, or none where its rows show several.
class FolderLabels {
public:
    void Note(std::string_view folder, std::string_view label) {
        const auto [known, added] = labels_.try_emplace(std::string(folder), label);
        if (!added && known->second && *known->second != label) {
            known->second.reset();
        }
    }
    const std::string* Of(std::string_view folder) const {
        const auto known = labels_.find(std::string(folder));
        return known == labels_.end() || !known->second ? nullptr : &*known->second;
    }

private:
    std::unordered_map<std::string, std::optional<std::string>> labels_;
};

// The nearest folder that holds both; the root at least for absolute paths.
std::string CommonFolder(std::string_view one, std::string_view other) {
    while (!LiesBelow(other, one)) {
        const std::string_view up = FolderOfPath(one);
        if (up.empty() || up == one) {
            return std::string(up);
        }
        one = up;
    }
    return std::string(one);
}

// What a folder's tree is bounded by: the rows of one file system below the folder it is
// mounted on form one tree, and so do those below one folder at the top of the system's
// root, so that rows of /home and /srv never make one walk of the whole system.
std::string TreeAnchor(std::string_view folder, const Mounts::Volume* volume) {
    if (volume != nullptr && volume->mountPoint != "/" && LiesBelow(folder, volume->mountPoint)) {
        return volume->mountPoint;
    }
    const std::size_t second = folder.find_first_of(kFolderSeparators, 1);
    return std::string(second == std::string_view::npos ? folder : folder.substr(0, second));
}

std::string CountsText(const CatalogUpdate::Counts& counts) {
    return std::to_string(counts.added) + " added, " + std::to_string(counts.removed) +
           " removed, " + std::to_string(counts.changed) + " changed" +
           UnseenPlaces::KeptText(counts.unseen.count()) + ".";
}

}  // namespace

CatalogRow CatalogUpdate::ChangedRow(const CatalogRow& old, const CatalogRow& found) {
    RowCells cells = old.Cells();
    for (const int column : {kArtist, kTrack}) {
        if (!IsEdited(old, column)) {
            cells[column] = found.Cell(column);
        }
    }
    cells[kSize] = found.Cell(kSize);
    cells[kModified] = found.Cell(kModified);
    std::string fields(old.Fields());
    for (int column = kColumnCount; column < kAllColumnCount; ++column) {
        if (column != kAlbum || !IsEdited(old, column)) {
            fields = WithFieldValue(fields, static_cast<Column>(column), found.Cell(column));
        }
    }
    return CatalogRow(cells, fields);
}

CatalogUpdate::Counts CatalogUpdate::Merge(CatalogList& store, std::span<const int> covered,
                                           const MountedSet& mounted, Walked walked,
                                           const std::optional<std::string>& label,
                                           const PathKey& key, const FolderCheck& check) {
    // Its adds, removals and changes are taken back together.
    const UndoHistory::Scope step(store.history());
    std::vector<CatalogRow>& found = walked.rows;
    // Without a key the paths themselves are looked up, uncopied.
    std::vector<std::string> foundKeys;
    if (key) {
        foundKeys.reserve(found.size());
        for (const CatalogRow& row : found) {
            foundKeys.push_back(key(row.Cell(kPath)));
        }
    }
    std::unordered_map<std::string_view, std::size_t> foundAt;
    foundAt.reserve(found.size());
    for (std::size_t index = 0; index < found.size(); ++index) {
        foundAt.try_emplace(key ? std::string_view(foundKeys[index]) : found[index].Cell(kPath),
                            index);
    }
    std::unordered_set<std::string> unseen;
    for (const UnseenPlaces::Place& place : walked.unseen.places()) {
        const std::string path = KeyOf(key, place.path);
        unseen.insert(std::string(WithoutClosingSeparators(path)));
    }
    Counts counts;
    std::vector<char> matched(found.size(), 0);
    std::vector<int> gone;
    FolderLabels folderLabels;
    for (const int row : covered) {
        const CatalogRow& old = *store.RowRecord(row);
        std::string path = mounted.PlaceOf(old).path;
        const std::string oldKey = key ? key(path) : std::move(path);
        if (!label) {
            folderLabels.Note(FolderOfPath(oldKey), old.Cell(kFolderDisk));
        }
        const auto match = foundAt.find(oldKey);
        // Unknown is not gone: the row stays whole, and what a broken-off listing found of
        // it does not come in again.
        if (AtOrBelow(oldKey, unseen)) {
            if (match != foundAt.end()) {
                matched[match->second] = 1;
            }
            continue;
        }
        if (match == foundAt.end()) {
            gone.push_back(row);
            continue;
        }
        matched[match->second] = 1;
        const CatalogRow& now = found[match->second];
        if (old.Cell(kSize) == now.Cell(kSize) && old.Cell(kModified) == now.Cell(kModified)) {
            continue;
        }
        store.ReplaceRow(row, ChangedRow(old, now));
        ++counts.changed;
    }

    if (check) {
        // A folder the walk saw as something else, or could not reach, is not known empty.
        std::unordered_map<std::string, std::optional<std::string>> checked;
        std::erase_if(gone, [&](int row) {
            const std::string path = mounted.PlaceOf(*store.RowRecord(row)).path;
            const auto [known, added] = checked.try_emplace(std::string(FolderOfPath(path)));
            if (added) {
                known->second = check(known->first);
                if (known->second) {
                    walked.unseen.Add(known->first, *known->second);
                }
            }
            return known->second.has_value();
        });
    }
    counts.unseen = std::move(walked.unseen);

    std::vector<CatalogRow> added;
    for (std::size_t index = 0; index < found.size(); ++index) {
        if (matched[index] != 0) {
            continue;
        }
        if (label) {
            found[index].SetCell(kFolderDisk, *label);
        } else if (const std::string* shared =
                       folderLabels.Of(FolderOfPath(KeyOf(key, found[index].Cell(kPath))))) {
            // A label the user gave the folder's rows is theirs too.
            found[index].SetCell(kFolderDisk, *shared);
        }
        added.push_back(std::move(found[index]));
    }
    counts.added = static_cast<int>(added.size());
    counts.removed = static_cast<int>(gone.size());

    // Every row gone lies at or before the last covered row, so the new rows' place moves up
    // by their number.
    const int after = covered.empty() ? store.RowCount() : covered.back() + 1;
    store.RemoveRows(gone);
    store.InsertRows(after - counts.removed, std::move(added));
    return counts;
}

std::vector<CatalogUpdate::Target> CatalogUpdate::TargetsOf(const std::vector<CatalogRow>& rows,
                                                            const MountedSet& mounted) {
    std::vector<Target> targets;
    // Folder targets by tree: where it is in `targets`, and whether its root is the folder
    // of one of its rows, whose label then names it.
    struct Tree {
        std::size_t index;
        bool rowFolder;
    };
    std::map<std::string, Tree> trees;
    for (const CatalogRow& row : rows) {
        const MountedSet::Place place = mounted.PlaceOf(row);
        const Mounts::Volume* volume = mounted.Find(RowVolume(row));
        Target target;
        target.label = row.Cell(kFolderDisk);
        const std::string_view name = FileNameOf(place.path);
        target.category = IsMediaFile(kVideoCategory, name) && !IsMediaFile(kAudioCategory, name)
                              ? kVideoCategory
                              : kAudioCategory;
        if (volume != nullptr && volume->disc) {
            target.root = volume->mountPoint;
            target.volume = volume->id;
            const auto same = [&](const Target& other) {
                return other.category == target.category && other.volume == target.volume;
            };
            if (!target.root.empty() && std::none_of(targets.begin(), targets.end(), same)) {
                targets.push_back(std::move(target));
            }
            continue;
        }
        target.root = FolderOfPath(place.path);
        if (target.root.empty()) {
            continue;
        }
        const std::string key = target.category + '\n' + TreeAnchor(target.root, volume);
        const auto [tree, added] = trees.try_emplace(key, Tree{targets.size(), true});
        if (added) {
            targets.push_back(std::move(target));
            continue;
        }
        Target& common = targets[tree->second.index];
        if (LiesBelow(target.root, common.root)) {
            if (!tree->second.rowFolder && target.root == common.root) {
                tree->second.rowFolder = true;
                common.label = target.label;
            }
            continue;
        }
        common.root = CommonFolder(common.root, target.root);
        // A row in the common folder itself names it as the user sees it.
        tree->second.rowFolder = common.root == target.root;
        common.label = tree->second.rowFolder ? target.label : common.root;
    }
    return targets;
}

std::vector<int> CatalogUpdate::CoveredRows(const CatalogList& store, const Target& target,
                                            const MountedSet& mounted, const PathKey& key) {
    std::vector<int> covered;
    for (int row = 0; row < store.RowCount(); ++row) {
        const CatalogRow& record = *store.RowRecord(row);
        const MountedSet::Place place = mounted.PlaceOf(record);
        if (place.state == MountedSet::Place::State::Away ||
            !IsMediaFile(target.category, FileNameOf(place.path))) {
            continue;
        }
        const bool within = !target.volume.empty() ? RowVolume(record) == target.volume
                            : key                  ? LiesBelow(key(place.path), target.root)
                                                   : LiesBelow(place.path, target.root);
        if (within) {
            covered.push_back(row);
        }
    }
    return covered;
}

std::string CatalogUpdate::StatusText(const std::string& label, const Counts& counts) {
    return "Updated \"" + label + "\": " + CountsText(counts);
}

std::string CatalogUpdate::StatusText(int walks, const Counts& total) {
    return "Updated " + std::to_string(walks) + (walks == 1 ? " folder: " : " folders: ") +
           CountsText(total);
}

void CatalogUpdate::Counts::Add(const Counts& other) {
    added += other.added;
    removed += other.removed;
    changed += other.changed;
    for (const UnseenPlaces::Place& place : other.unseen.places()) {
        unseen.Add(place.path, place.cause);
    }
}

CatalogUpdate::FolderCheck CatalogUpdate::CheckedBy(FolderReader& folders) {
    return [&folders](const std::string& folder) -> std::optional<std::string> {
        std::error_code error;
        if (folders.Open(folder, error) || error == std::errc::no_such_file_or_directory) {
            return std::nullopt;
        }
        return error.message();
    };
}

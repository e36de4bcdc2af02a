#include "volumes/CatalogUpdate.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "catalog/PathParts.h"
#include "catalog/RowFields.h"
#include "scan/MediaExtensions.h"
#include "volumes/VolumePieces.h"

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
                                           const MountedSet& mounted, std::vector<CatalogRow> found,
                                           const std::optional<std::string>& label) {
    std::unordered_map<std::string_view, std::size_t> foundAt;
    foundAt.reserve(found.size());
    for (std::size_t index = 0; index < found.size(); ++index) {
        foundAt.try_emplace(found[index].Cell(kPath), index);
    }
    Counts counts;
    std::vector<char> matched(found.size(), 0);
    std::vector<int> gone;
    for (const int row : covered) {
        const CatalogRow& old = *store.RowRecord(row);
        const auto match = foundAt.find(mounted.PlaceOf(old).path);
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

    std::vector<CatalogRow> added;
    for (std::size_t index = 0; index < found.size(); ++index) {
        if (matched[index] != 0) {
            continue;
        }
        if (label) {
            found[index].SetCell(kFolderDisk, *label);
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
        } else {
            target.root = FolderOfPath(place.path);
        }
        if (target.root.empty()) {
            continue;
        }
        const auto within = [&](const Target& other) {
            return other.category == target.category &&
                   (target.volume.empty()
                        ? other.volume.empty() && LiesBelow(target.root, other.root)
                        : other.volume == target.volume);
        };
        if (std::any_of(targets.begin(), targets.end(), within)) {
            continue;
        }
        // A folder above folders already taken stands for them.
        std::erase_if(targets, [&](const Target& other) {
            return target.volume.empty() && other.volume.empty() &&
                   other.category == target.category && LiesBelow(other.root, target.root);
        });
        targets.push_back(std::move(target));
    }
    return targets;
}

std::vector<int> CatalogUpdate::CoveredRows(const CatalogList& store, const Target& target,
                                            const MountedSet& mounted) {
    std::vector<int> covered;
    for (int row = 0; row < store.RowCount(); ++row) {
        const CatalogRow& record = *store.RowRecord(row);
        const MountedSet::Place place = mounted.PlaceOf(record);
        if (place.state == MountedSet::Place::State::Away ||
            !IsMediaFile(target.category, FileNameOf(place.path))) {
            continue;
        }
        if (target.volume.empty() ? LiesBelow(place.path, target.root)
                                  : RowVolume(record) == target.volume) {
            covered.push_back(row);
        }
    }
    return covered;
}

std::string CatalogUpdate::StatusText(const std::string& label, const Counts& counts) {
    return "Updated \"" + label + "\": " + std::to_string(counts.added) + " added, " +
           std::to_string(counts.removed) + " removed, " + std::to_string(counts.changed) +
           " changed.";
}

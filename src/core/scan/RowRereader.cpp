#include "scan/RowRereader.h"

#include <algorithm>
#include <map>
#include <set>
#include <thread>

#include "WorkerThreads.h"
#include "catalog/PathParts.h"
#include "catalog/RowFields.h"
#include "catalog/UndoHistory.h"
#include "scan/TagReadPool.h"

namespace {

struct FolderAndName {
    std::string folder;
    std::string name;
};

FolderAndName SplitPath(std::string_view path) {
    const std::string_view folder = FolderOfPath(path);
    return {folder.empty() ? std::string(".") : std::string(folder), std::string(FileNameOf(path))};
}

}  // namespace

std::vector<RowRereader::PresentRow> RowRereader::PresentRows(const CatalogView& view,
                                                              const RowSelection& selection,
                                                              const MountedSet* mounted) {
    std::map<std::string, std::vector<std::pair<std::string, PresentRow>>> byFolder;
    for (const int row : selection.Rows()) {
        const CatalogRow* record = view.RowRecord(row);
        if (record == nullptr) {
            continue;
        }
        MountedSet::Place place = mounted != nullptr
                                      ? mounted->PlaceOf(*record)
                                      : MountedSet::Place{.path = std::string(record->Cell(kPath))};
        if (place.state == MountedSet::Place::State::Away) {
            continue;  // what lies at the Path now may be another disc's file
        }
        FolderAndName split = SplitPath(place.path);
        if (!split.name.empty()) {
            byFolder[split.folder].emplace_back(std::move(split.name),
                                                PresentRow{row, std::move(place.path)});
        }
    }
    std::vector<PresentRow> present;
    for (auto& [folder, wanted] : byFolder) {
        std::error_code error;
        const std::unique_ptr<FolderReader::Listing> listing = folders_.Open(folder, error);
        if (!listing) {
            continue;
        }
        std::set<std::string, std::less<>> files;
        std::string_view name;
        FolderReader::EntryKind kind;
        while (listing->Next(name, kind)) {
            if (kind == FolderReader::EntryKind::File) {
                files.emplace(name);
            }
        }
        for (auto& [fileName, row] : wanted) {
            if (files.count(fileName) != 0) {
                present.push_back(std::move(row));
            }
        }
    }
    std::sort(present.begin(), present.end(),
              [](const PresentRow& a, const PresentRow& b) { return a.row < b.row; });
    return present;
}

std::vector<std::optional<FileTags>> RowRereader::ReadAll(const std::vector<std::string>& paths) {
    std::vector<std::optional<FileTags>> tags(paths.size());
    const std::size_t tasks = std::min<std::size_t>(
        paths.size(), TagReadPool::ThreadCountFor(std::thread::hardware_concurrency()) + 1);
    WorkerThreads running;
    for (std::size_t task = 0; task < tasks; ++task) {
        // Task t reads files t, t + tasks, ...: neighbours, which often share a slow folder,
        // spread over the tasks.
        running.Start([this, &paths, &tags, task, tasks] {
            for (std::size_t i = task; i < paths.size(); i += tasks) {
                tags[i] = tagReader_->ReadTags(paths[i]);
            }
        });
    }
    running.Join();
    return tags;
}

bool RowRereader::Reread(CatalogView& view, const RowSelection& selection, const RowNamer& namer,
                         bool readTags, const MountedSet* mounted) {
    const UndoHistory::Scope step(view.store().history());
    const std::vector<PresentRow> rows = PresentRows(view, selection, mounted);
    std::vector<std::string> paths;
    paths.reserve(rows.size());
    for (const PresentRow& row : rows) {
        paths.push_back(row.path);
    }
    std::vector<std::optional<FileTags>> tags(paths.size());
    const bool tagsRead = readTags && tagReader_ != nullptr;
    if (tagsRead) {
        tags = ReadAll(paths);
    }
    bool changed = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = rows[i].row;
        // Named from the Path as stored, so the names do not depend on where a disc is now.
        const std::string stored(view.CellText(row, kPath));
        const RowNamer::Names names = namer.NamesOf(stored, tags[i] ? &*tags[i] : nullptr);
        for (const auto& [column, text] :
             {std::pair<int, const std::string&>{kArtist, names.artist},
              std::pair<int, const std::string&>{kTrack, names.track}}) {
            if (view.CellText(row, column) != text) {
                view.SetCell(row, column, text);
                changed = true;
            }
        }
        for (int field = kColumnCount; field < kAllColumnCount; ++field) {
            const std::string_view value = FieldValue(names.fields, static_cast<Column>(field));
            // Without tags the name says nothing of Length, Year and the like: they stay.
            if (!tagsRead && value.empty()) {
                continue;
            }
            if (view.CellText(row, field) != value) {
                view.SetCell(row, field, value);
                changed = true;
            }
        }
    }
    return changed;
}

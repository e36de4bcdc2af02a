#include "scan/RowRereader.h"

#include <algorithm>
#include <future>
#include <map>
#include <set>
#include <thread>

#include "catalog/RowFields.h"
#include "scan/TagReadPool.h"

namespace {

struct FolderAndName {
    std::string folder;
    std::string name;
};

FolderAndName SplitPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {".", std::string(path)};
    }
    return {std::string(path.substr(0, slash == 0 ? 1 : slash)),
            std::string(path.substr(slash + 1))};
}

}  // namespace

std::vector<int> RowRereader::PresentRows(const CatalogView& view, const RowSelection& selection) {
    std::map<std::string, std::vector<std::pair<std::string, int>>> byFolder;
    for (const int row : selection.Rows()) {
        FolderAndName split = SplitPath(view.CellText(row, kPath));
        if (!split.name.empty()) {
            byFolder[split.folder].emplace_back(std::move(split.name), row);
        }
    }
    std::vector<int> present;
    for (const auto& [folder, wanted] : byFolder) {
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
        for (const auto& [fileName, row] : wanted) {
            if (files.count(fileName) != 0) {
                present.push_back(row);
            }
        }
    }
    std::sort(present.begin(), present.end());
    return present;
}

std::vector<std::optional<FileTags>> RowRereader::ReadAll(const std::vector<std::string>& paths) {
    std::vector<std::optional<FileTags>> tags(paths.size());
    const std::size_t tasks = std::min<std::size_t>(
        paths.size(), TagReadPool::ThreadCountFor(std::thread::hardware_concurrency()) + 1);
    std::vector<std::future<void>> running;
    for (std::size_t task = 0; task < tasks; ++task) {
        // Task t reads files t, t + tasks, ...: neighbours, which often share a slow folder,
        // spread over the tasks.
        running.push_back(std::async(std::launch::async, [this, &paths, &tags, task, tasks] {
            for (std::size_t i = task; i < paths.size(); i += tasks) {
                tags[i] = tagReader_->ReadTags(paths[i]);
            }
        }));
    }
    for (std::future<void>& task : running) {
        task.get();
    }
    return tags;
}

bool RowRereader::Reread(CatalogView& view, const RowSelection& selection, const RowNamer& namer,
                         bool readTags) {
    const std::vector<int> rows = PresentRows(view, selection);
    std::vector<std::string> paths;
    paths.reserve(rows.size());
    for (const int row : rows) {
        paths.emplace_back(view.CellText(row, kPath));
    }
    std::vector<std::optional<FileTags>> tags(paths.size());
    if (readTags && tagReader_ != nullptr) {
        tags = ReadAll(paths);
    }
    bool changed = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = rows[i];
        const RowNamer::Names names = namer.NamesOf(paths[i], tags[i] ? &*tags[i] : nullptr);
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
            if (view.CellText(row, field) != value) {
                view.SetCell(row, field, value);
                changed = true;
            }
        }
    }
    return changed;
}

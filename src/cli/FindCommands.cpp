#include "FindCommands.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "browse/SearchQuery.h"

namespace {

constexpr std::size_t kFlushSize = 1 << 20;

// Writes the text out once it has grown past a chunk; `force` writes whatever is left.
Result Flush(std::string& text, ByteSink& out, bool force = false) {
    if (text.size() < kFlushSize && !force) {
        return Result::Ok();
    }
    Result written = out.Write(text.data(), text.size());
    text.clear();
    return written;
}

void AppendRow(std::string_view catalog, const CatalogRow& row, std::string& text) {
    text += catalog;
    text += '\t';
    text += row.Cell(kFolderDisk);
    text += '\t';
    text += row.Cell(kPath);
    text += '\n';
}

}  // namespace

Result FindCommands::Search(const std::string& query, const std::vector<std::string>& catalogs,
                            ByteSink& out, int& status) {
    const SearchQuery search(query);
    bool found = false;
    bool trouble = false;
    std::string text;
    SearchQuery::Scratch scratch;
    Result written = Result::Ok();
    for (const std::string& catalog : catalogs) {
        // Matched as read: a search over many catalogs costs what reading them does.
        const Result read = read_(catalog, [&](const CatalogRow& row) {
            if (written && search.Matches(row, scratch)) {
                found = true;
                AppendRow(catalog, row, text);
                written = Flush(text, out);
            }
        });
        if (!written) {
            return written;
        }
        if (!read) {
            Report(read.error());
            trouble = true;
        }
    }
    status = trouble ? kTrouble : found ? kFound : kNothingFound;
    return Flush(text, out, true);
}

Result FindCommands::Duplicates(DuplicateKind kind, const std::vector<std::string>& catalogs,
                                ByteSink& out, int& status) {
    CatalogList list;
    std::vector<int> ends;  // where each catalog's rows end in the list
    for (const std::string& catalog : catalogs) {
        if (Result loaded = load_(catalog, list); !loaded) {
            Report(loaded.error());
            status = kTrouble;
            return Result::Ok();
        }
        ends.push_back(list.RowCount());
    }
    const DuplicateGroups groups = DuplicateGroups::Find(list, kind);
    std::string text;
    for (int group = 0; group < groups.GroupCount(); ++group) {
        for (const int row : groups.Group(group)) {
            const auto catalog = std::upper_bound(ends.begin(), ends.end(), row) - ends.begin();
            AppendRow(catalogs[static_cast<std::size_t>(catalog)], *list.RowRecord(row), text);
        }
        text += '\n';
        if (Result written = Flush(text, out); !written) {
            return written;
        }
    }
    status = groups.GroupCount() > 0 ? kFound : kNothingFound;
    return Flush(text, out, true);
}

void FindCommands::Report(const std::string& message) {
    std::fprintf(err_, "plumet-cli: %s\n", message.c_str());
}

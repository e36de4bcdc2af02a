#pragma once

#include <optional>
#include <string>
#include <vector>

#include "browse/CatalogView.h"
#include "catalog/RowSelection.h"
#include "scan/RowNamer.h"
#include "services.h"
#include "volumes/MountedSet.h"

// "Re-read Names and Tags": names the selected rows again from their files, as a scan with
// the current settings would. Artist, Track and the fields are replaced; In Folder/Disk,
// Path, Size and Modified stay, and so do field pieces this build does not know. Without
// tags only what the name gives is replaced: every other field stays. Files are read where
// their file system is mounted now; rows whose file is gone or whose disc is away are left
// alone.
class RowRereader {
public:
    // Without a tag reader no tags are read.
    RowRereader(FolderReader& folders, TagReader* tagReader)
        : folders_(folders), tagReader_(tagReader) {}

    // True when a row changed. The tags are read on worker threads while this one waits.
    // `mounted` tells where each file is now; without it every Path is.
    bool Reread(CatalogView& view, const RowSelection& selection, const RowNamer& namer,
                bool readTags, const MountedSet* mounted = nullptr);

private:
    struct PresentRow {
        int row;
        std::string path;  // where the file is now
    };

    // The view rows of `selection` whose files are present, each folder listed once.
    std::vector<PresentRow> PresentRows(const CatalogView& view, const RowSelection& selection,
                                        const MountedSet* mounted);
    std::vector<std::optional<FileTags>> ReadAll(const std::vector<std::string>& paths);

    FolderReader& folders_;
    TagReader* tagReader_;
};

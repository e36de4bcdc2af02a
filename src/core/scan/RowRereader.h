#pragma once

#include <optional>
#include <string>
#include <vector>

#include "browse/CatalogView.h"
#include "catalog/RowSelection.h"
#include "scan/RowNamer.h"
#include "services.h"

// "Re-read Names and Tags": names the selected rows again from their files, as a scan with
// the current settings would. Artist, Track and the fields are replaced; In Folder/Disk,
// Path, Size and Modified stay, and so do field pieces this build does not know. Rows whose
// file is gone are left alone.
class RowRereader {
public:
    // Without a tag reader no tags are read.
    RowRereader(FolderReader& folders, TagReader* tagReader)
        : folders_(folders), tagReader_(tagReader) {}

    // True when a row changed. The tags are read on worker threads while this one waits.
    bool Reread(CatalogView& view, const RowSelection& selection, const RowNamer& namer,
                bool readTags);

private:
    // The view rows of `selection` whose files are present, each folder listed once.
    std::vector<int> PresentRows(const CatalogView& view, const RowSelection& selection);
    std::vector<std::optional<FileTags>> ReadAll(const std::vector<std::string>& paths);

    FolderReader& folders_;
    TagReader* tagReader_;
};

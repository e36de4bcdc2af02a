#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalog/CatalogRow.h"
#include "scan/NamePattern.h"
#include "services.h"
#include "volumes/CatalogUpdate.h"

// plumet-cli's walk of a folder, the same as the program's scan, on this thread and the
// tag-reading threads beside it.
struct FolderWalk {
    FolderReader& folders;
    Locale& locale;
    TagReader* tags = nullptr;  // without it no tags are read
    Mounts* mounts = nullptr;   // without it rows name no file system
    NamePattern pattern;
    std::optional<std::string> label;  // In Folder/Disk of every row when set
    bool video = false;

    // The rows of the files found below `folder`, in walk order, and the places it could
    // not see.
    CatalogUpdate::Walked Walk(const std::string& folder) const;
};

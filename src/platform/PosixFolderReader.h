#pragma once

#include "services.h"

// Folder listings with readdir: the entry's type comes from the directory entry, and a
// status call is made only for links, entries of unknown type and files asked about.
class PosixFolderReader : public FolderReader {
public:
    std::unique_ptr<Listing> Open(const std::string& folder) override;
};

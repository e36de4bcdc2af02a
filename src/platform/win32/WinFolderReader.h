#pragma once

#include "services.h"

// Folder listings with FindFirstFileExW, fetched in large batches: kinds, sizes and times
// come from the listing itself. A junction or symbolic link is reported as what it leads
// to, which costs one open of the entry; a folder is known by its volume serial number and
// file index, so the walk enters a folder reached again through a link only once.
class WinFolderReader : public FolderReader {
public:
    std::unique_ptr<Listing> Open(const std::string& folder, std::error_code& error) override;
};

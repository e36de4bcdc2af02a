#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/CatalogRow.h"
#include "scan/NamePattern.h"
#include "services.h"

// One file the walk found, as the walk saw it.
struct FoundFile {
    std::string_view walkedFolder;  // the folder listed, as the walk names it
    std::string_view fileName;
    std::uint64_t size = 0;
    std::optional<std::tm> modified;  // local time; nothing when the file has none
    // The pieces that say which file system holds the file; empty when it has no identity.
    std::string_view place{};
};

// Turns a found file and what its tags say into its catalog row. Artist and Track come from
// the tags; each one the tags leave empty falls back, on its own, to what the pattern reads
// from the path and then to the standard rule. A pattern's fields fill the fields the tags
// leave empty. Without tags and with the standard rule the row is the standard row exactly.
class RowNamer {
public:
    RowNamer(NamePattern pattern, std::optional<std::string> inFolderDisk,
             std::string groupSeparator)
        : pattern_(std::move(pattern)),
          inFolderDisk_(std::move(inFolderDisk)),
          groupSeparator_(std::move(groupSeparator)) {}

    CatalogRow Name(const FoundFile& file, const FileTags* tags) const;

    // Artist, Track and the fields text of the file at `path`: the part of the row that
    // re-reading names and tags replaces.
    struct Names {
        std::string artist;
        std::string track;
        std::string fields;
    };
    Names NamesOf(std::string_view path, const FileTags* tags) const;

private:
    Names Combine(std::string standardArtist, std::string standardTrack, std::string_view path,
                  const FileTags* tags) const;

    NamePattern pattern_;
    std::optional<std::string> inFolderDisk_;  // replaces the walked folder when set
    std::string groupSeparator_;
};

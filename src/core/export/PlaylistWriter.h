#pragma once

#include <string>
#include <string_view>

#include "Result.h"
#include "catalog/ByteSink.h"

class CatalogRow;
class ExportRows;

// The rows as an M3U8 playlist that players open: "#EXTM3U", then for each row an
// "#EXTINF:seconds,Artist - Track" line (seconds -1 when the length is not known) and its path,
// relative to the playlist's folder when the file lies below it, so that a folder of music
// carried elsewhere with its playlist still plays. Names in UTF-8; paths as the file system
// has them; lines ending in LF.
class PlaylistWriter {
public:
    // `playlistPath` is the playlist's full path.
    explicit PlaylistWriter(const std::string& playlistPath);

    Result Write(const ExportRows& rows, ByteSink& sink) const;
    // The two lines of one row.
    void AppendEntry(const CatalogRow& row, std::string& out) const;

    // The Length field as whole seconds; "-1" when it is not a number.
    static std::string Seconds(std::string_view length);

private:
    std::string folder_;  // ends in '/'
};

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
// has them, where each file is now; lines ending in LF. A path that holds a line end cannot
// be one line: its entry is left out.
class PlaylistWriter {
public:
    // `playlistPath` is the playlist's full path.
    explicit PlaylistWriter(const std::string& playlistPath);

    // How many entries were left out goes to `leftOut` when given.
    Result Write(const ExportRows& rows, ByteSink& sink, int* leftOut = nullptr) const;
    // The two lines of one row whose file is at `path`; false, and nothing appended, when
    // the path cannot be written.
    bool AppendEntry(const CatalogRow& row, std::string_view path, std::string& out) const;
    // "N entries were left out: ..."
    static std::string LeftOutText(int leftOut);

    // The Length field as whole seconds; "-1" when it is not a number.
    static std::string Seconds(std::string_view length);

private:
    std::string folder_;  // ends in a separator
};

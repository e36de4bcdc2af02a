#include "export/PlaylistWriter.h"

#include <charconv>
#include <cstdint>
#include <filesystem>

#include "catalog/CatalogRow.h"
#include "catalog/PathParts.h"
#include "export/ExportRows.h"
#include "export/ExportText.h"

namespace {

// A line break inside a name would start a line of its own, which players read as a path.
void AppendOnOneLine(std::string_view text, std::string& out) {
    const std::size_t start = out.size();
    AppendShownText(text, out);
    for (std::size_t at = start; at < out.size(); ++at) {
        if (out[at] == '\r' || out[at] == '\n') {
            out[at] = ' ';
        }
    }
}

}  // namespace

PlaylistWriter::PlaylistWriter(const std::string& playlistPath) {
    folder_ = std::filesystem::path(playlistPath).lexically_normal().parent_path().string();
    if (folder_.empty() || !IsFolderSeparator(folder_.back())) {
        folder_ += kFolderSeparator;
    }
}

Result PlaylistWriter::Write(const ExportRows& rows, ByteSink& sink, int* leftOut) const {
    ChunkedOutput output(sink);
    output.text() = "#EXTM3U\n";
    int skipped = 0;
    for (int index = 0; index < rows.Count(); ++index) {
        if (!AppendEntry(rows.Row(index), rows.PathOf(index), output.text())) {
            ++skipped;
        }
        if (Result written = output.Ready(); !written) {
            return written;
        }
    }
    if (leftOut != nullptr) {
        *leftOut = skipped;
    }
    return output.Finish();
}

bool PlaylistWriter::AppendEntry(const CatalogRow& row, std::string_view path,
                                 std::string& out) const {
    // Any other byte in its place would name another file.
    if (path.find_first_of("\r\n") != std::string_view::npos) {
        return false;
    }
    out += "#EXTINF:";
    out += Seconds(row.Cell(kLength));
    out += ',';
    const std::string_view artist = row.Cell(kArtist);
    const std::string_view track = row.Cell(kTrack);
    AppendOnOneLine(artist, out);
    if (!artist.empty() && !track.empty()) {
        out += " - ";
    }
    AppendOnOneLine(track, out);
    out += '\n';
    // A path is written as the file system's bytes, even where they are not UTF-8: the
    // player must find the file, which a path converted for show would not name.
    const std::string_view written = path.size() > folder_.size() && path.starts_with(folder_)
                                         ? path.substr(folder_.size())
                                         : path;
    // Players take a line that begins with "#" for a comment.
    if (written.starts_with('#')) {
        out += "./";
    }
    out += written;
    out += '\n';
    return true;
}

std::string PlaylistWriter::LeftOutText(int leftOut) {
    return leftOut == 1 ? "1 entry was left out: its path holds a line end, which a playlist "
                          "line cannot carry."
                        : std::to_string(leftOut) +
                              " entries were left out: their paths hold a line end, which a "
                              "playlist line cannot carry.";
}

std::string PlaylistWriter::Seconds(std::string_view length) {
    std::uint64_t seconds = 0;
    const char* end = length.data() + length.size();
    const auto [stop, error] = std::from_chars(length.data(), end, seconds);
    if (length.empty() || error != std::errc() || stop != end) {
        return "-1";
    }
    return std::to_string(seconds);
}

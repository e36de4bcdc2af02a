#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/RowFields.h"

// How a file without tags is named from its path. A pattern such as "<artist> - <title>" or
// "<artist>/<album>/<track> <title>" is matched against the file name without its extension
// and, for each "/", one more folder name above it. Fields: <artist>, <title>, <album>,
// <track>, <disc>, <year>, <genre> and <ignore>; the text between them must appear as it
// stands. The empty pattern is the standard rule: Artist and Track from "Artist - Title"
// with the folder name for a missing artist.
class NamePattern {
public:
    // The name the pattern dialog lists the standard rule under.
    static constexpr std::string_view kStandardName = "Folder and file name (standard)";
    // Patterns offered in the dialog after the standard rule.
    static const std::vector<std::string>& Examples();

    struct Names {
        std::string artist;
        std::string title;
        FieldValues fields;  // kAlbum to kBitrate; a pattern fills album to genre at most
    };

    NamePattern() = default;  // the standard rule
    // Nothing, with the reason in `error`, for a pattern that cannot be used: an unknown
    // field, two fields with nothing between them, a field used twice.
    static std::optional<NamePattern> Parse(std::string_view text, std::string& error);

    bool IsStandard() const { return parts_.empty(); }
    const std::string& text() const { return text_; }

    // The names a file at `path` gets; nothing when the pattern does not match its name.
    // The standard rule always matches.
    std::optional<Names> Match(std::string_view path) const;

private:
    // One piece of a path: literal texts around fields, `literals` one longer than `fields`.
    struct Segment {
        std::vector<std::string> literals;
        std::vector<int> fields;  // columns; kArtist for <artist>, kTrack for <title>
    };

    bool MatchSegment(const Segment& segment, std::string_view text, std::size_t part,
                      Names& names) const;

    std::string text_;
    std::vector<Segment> parts_;  // the folders' segments first, the file name's last
};

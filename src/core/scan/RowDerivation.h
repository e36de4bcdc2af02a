#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/CatalogRow.h"

// The text work that turns one found file into the six cells of its catalog row. All of it
// works on bytes, so UTF-8 names pass through unchanged.

// True for an empty text too: a name like "01 - x" carries a track number, not an artist.
bool IsAllDigits(std::string_view text);

struct ArtistTrack {
    std::string artist;
    std::string track;
};

// Artist and Track guessed from "Artist - Title.ext"; the folder name stands in for an
// artist that is missing or only a track number.
ArtistTrack SplitArtistTrack(std::string_view folderName, std::string_view fileName);

// Decimal digits in groups of three joined by `separator`, which may be several bytes.
std::string FormatSize(std::uint64_t bytes, std::string_view separator);

// "MM/DD/YY HH:MM AM" with a 12-hour clock, the same in every process locale.
std::string FormatModified(const std::tm& local);

// The local time of a moment by the standard library alone; nothing when it cannot be
// converted. Safe from any thread, but slow: the C library checks the time zone file at
// every call.
std::optional<std::tm> StandardLocalTime(std::int64_t secondsSinceEpoch);

// The local time of `secondsSinceEpoch` as FormatModified shows it; empty when the time
// cannot be converted.
std::string ModifiedText(std::int64_t secondsSinceEpoch);

// The Path of a file `fileName` found in `walkedFolder`: "/" gives "/a.mp3", an empty folder
// (the current one) the bare name.
std::string FoundPath(std::string_view walkedFolder, std::string_view fileName);

using DerivedRow = std::array<std::string, kColumnCount>;

// The cells of a file `fileName` found in `walkedFolder`, indexed by Column.
// `modified` is the file's last-write time as local time, nothing when it has none.
DerivedRow DeriveRow(std::string_view walkedFolder, std::string_view fileName, std::uint64_t size,
                     const std::optional<std::tm>& modified, std::string_view groupSeparator);

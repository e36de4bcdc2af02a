#pragma once

#include <array>
#include <cstdint>
#include <ctime>
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

// The local time of `secondsSinceEpoch` as FormatModified shows it; empty when the time
// cannot be converted. Safe to call from any thread.
std::string ModifiedText(std::int64_t secondsSinceEpoch);

using DerivedRow = std::array<std::string, kColumnCount>;

// The cells of a file `fileName` found in `walkedFolder`, indexed by Column.
DerivedRow DeriveRow(std::string_view walkedFolder, std::string_view fileName, std::uint64_t size,
                     std::int64_t modifiedSeconds, std::string_view groupSeparator);

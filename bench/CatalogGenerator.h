#pragma once

#include <cstdint>
#include <string>

#include "Result.h"

// Writes a catalog file of made-up but plausible music rows, one row at a time, so that
// generating a million rows needs no more memory than one write chunk. The same variant always
// gives the same bytes.
struct GeneratedCatalog {
    std::uint64_t rows = 0;
    std::uint64_t fileBytes = 0;
    // The row lines alone: the cells and the tabs between them, without line ends.
    std::uint64_t rowLineBytes = 0;
    std::uint64_t distinctArtists = 0;
};

// With `withFields`, each row carries the field pieces a tagged file gives (album, track,
// year, genre, length, bitrate, and album artist on some). With `accented`, one artist in
// eight starts with an accented capital in UTF-8 ("Ágo", "Øre", a decomposed "Éna"), or a
// Cyrillic or Greek one ("Жuli", "Σano").
Result GenerateCatalog(const std::string& path, std::uint64_t rows, std::uint32_t variant,
                       GeneratedCatalog& generated, bool withFields = false, bool accented = false);

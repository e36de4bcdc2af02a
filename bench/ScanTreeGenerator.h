#pragma once

#include <cstdint>
#include <string>

#include "Result.h"

// Builds a folder tree that looks like a music collection (Artist/Album/CD1/Scans), for
// timing a scan against find. The same variant always gives the same names, sizes and times.
struct ScanTreeOptions {
    std::uint64_t files = 200'000;
    std::uint64_t folders = 20'000;
    std::uint32_t variant = 20240607;
};

struct GeneratedScanTree {
    std::uint64_t folders = 0;
    std::uint64_t files = 0;
    // Files the scan catalogs as audio, by its extension rule.
    std::uint64_t audioFiles = 0;
    // Apparent sizes; the files are sparse, so the disc holds almost none of it.
    std::uint64_t totalSize = 0;
};

// ROOT must not exist or be an empty folder; it is created with its parents.
Result GenerateScanTree(const std::string& root, const ScanTreeOptions& options,
                        GeneratedScanTree& generated);

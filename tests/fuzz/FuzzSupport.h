#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "catalog/CatalogList.h"
#include "support/MemoryBytes.h"

// A broken promise is a crash, so libFuzzer keeps the input and a replay fails.
inline void Require(bool holds, const char* promise) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

inline std::string_view BytesOf(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

inline bool SameRows(const CatalogList& a, const CatalogList& b) {
    if (a.RowCount() != b.RowCount()) {
        return false;
    }
    for (int row = 0; row < a.RowCount(); ++row) {
        if (!(*a.RowRecord(row) == *b.RowRecord(row))) {
            return false;
        }
    }
    return true;
}

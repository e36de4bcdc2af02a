#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "Result.h"
#include "catalog/ByteSink.h"
#include "catalog/ByteSource.h"
#include "catalog/CatalogList.h"

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

// Hands out at most `chunk` bytes per read, so lines split across reads anywhere.
class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes,
                          std::size_t chunk = std::numeric_limits<std::size_t>::max())
        : bytes_(bytes), chunk_(chunk) {}

    Result Read(char* buffer, std::size_t size, std::size_t& count) override {
        count = std::min({size, chunk_, bytes_.size() - at_});
        if (count > 0) {
            std::memcpy(buffer, bytes_.data() + at_, count);
        }
        at_ += count;
        return Result::Ok();
    }

private:
    std::string_view bytes_;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

class MemorySink : public ByteSink {
public:
    Result Write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return Result::Ok();
    }

    std::string bytes;
};

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

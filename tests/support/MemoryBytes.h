#pragma once

// Byte streams in memory for the tests and the fuzz targets: what a catalog reader reads
// and what a writer writes, with short reads and failures on demand.

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "Result.h"
#include "catalog/ByteSink.h"
#include "catalog/ByteSource.h"

// Hands out at most `chunk` bytes per read, so short reads split lines anywhere; fails once
// `failAt` bytes have been read.
class MemorySource : public ByteSource {
public:
    static constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();

    explicit MemorySource(std::string_view bytes, std::size_t chunk = kWhole,
                          std::size_t failAt = kWhole)
        : bytes_(bytes), chunk_(chunk), failAt_(failAt) {}

    Result Read(char* buffer, std::size_t size, std::size_t& count) override {
        count = 0;
        if (at_ >= failAt_) {
            return Result::Failure("read failed");
        }
        count = std::min({size, chunk_, std::min(bytes_.size(), failAt_) - at_});
        if (count > 0) {
            std::memcpy(buffer, bytes_.data() + at_, count);
        }
        at_ += count;
        return Result::Ok();
    }

private:
    std::string bytes_;
    std::size_t chunk_;
    std::size_t failAt_;
    std::size_t at_ = 0;
};

// Keeps what is written; the write numbered `failingWrite` (from 0) fails.
class MemorySink : public ByteSink {
public:
    explicit MemorySink(int failingWrite = -1) : failingWrite_(failingWrite) {}

    Result Write(const char* data, std::size_t size) override {
        if (writes++ == failingWrite_) {
            return Result::Failure("write failed");
        }
        bytes.append(data, size);
        return Result::Ok();
    }

    std::string bytes;
    int writes = 0;

private:
    int failingWrite_;
};

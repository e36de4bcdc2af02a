#pragma once

#include <cstddef>

#include "Result.h"

// A stream of bytes to read, such as an open file.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes into `buffer` and sets `count` to the number read, 0 at the end.
    virtual Result Read(char* buffer, std::size_t size, std::size_t& count) = 0;
};

#pragma once

#include <cstddef>

#include "Result.h"

// A stream of bytes to write, such as a file being saved.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual Result Write(const char* data, std::size_t size) = 0;
};

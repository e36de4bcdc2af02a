#pragma once

#include <cstdio>

#include "catalog/ByteSink.h"
#include "catalog/ByteSource.h"

// Standard input and output as byte streams, for catalogs piped through plumet-cli.
class StdStreams {
public:
    class Input : public ByteSource {
    public:
        explicit Input(std::FILE* file) : file_(file) {}
        Result Read(char* buffer, std::size_t size, std::size_t& count) override;

    private:
        std::FILE* file_;
    };

    class Output : public ByteSink {
    public:
        explicit Output(std::FILE* file) : file_(file) {}
        Result Write(const char* data, std::size_t size) override;

    private:
        std::FILE* file_;
    };
};

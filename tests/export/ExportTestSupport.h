#pragma once

// What the export tests share: catalog rows from texts, a sink that keeps each write, and
// the output of the outside tools that read what is exported.

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/ByteSink.h"
#include "catalog/CatalogList.h"

// What a shell command prints on standard output.
inline std::string OutputOf(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, got);
        }
        ::pclose(pipe);
    }
    return output;
}

inline constexpr const char kWebsite[] = "file:///usr/share/doc/plumet/guide.html";

// Rows of Artist and Track; the other cells are filled so that a leak would show.
inline void AppendRows(CatalogList& list,
                       std::initializer_list<std::pair<std::string, std::string>> rows) {
    std::vector<CatalogRow> records;
    for (const auto& [artist, track] : rows) {
        records.emplace_back(
            RowCells{artist, track, "DISC-1", "1,234", "01/02/03 04:05 PM", "/m/x.mp3"});
    }
    list.AppendRows(std::move(records));
}

class RecordingSink : public ByteSink {
public:
    Result Write(const char* data, std::size_t size) override {
        if (static_cast<int>(writes.size()) == failAt) {
            return Result::Failure("the disk is gone");
        }
        writes.emplace_back(data, size);
        return Result::Ok();
    }
    std::string Bytes() const {
        std::string bytes;
        for (const std::string& write : writes) {
            bytes += write;
        }
        return bytes;
    }

    std::vector<std::string> writes;
    int failAt = -1;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

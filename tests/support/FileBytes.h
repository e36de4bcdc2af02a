#pragma once

#include <filesystem>
#include <fstream>
#include <string>

// A file's bytes read in one piece: a byte-wise read of many megabytes would be most of a
// test's time. Empty when the file cannot be read.
inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(in ? static_cast<std::size_t>(in.tellg()) : 0, '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// Writes the bytes as the whole file, making its folders first.
inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

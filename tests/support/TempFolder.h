#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

// A new folder under the system's temporary folder, or under `parent`, removed with
// everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix, const std::filesystem::path& parent =
                                                       std::filesystem::temp_directory_path()) {
        std::string pattern = (parent / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no temporary folder");
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

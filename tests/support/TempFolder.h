#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

// A new folder under the system's temporary folder, or under `parent`, removed with
// everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix, const std::filesystem::path& parent =
                                                       std::filesystem::temp_directory_path()) {
        // mkdtemp's way, without mkdtemp, which Windows lacks: a random name until one is new.
        std::random_device device;
        std::mt19937_64 random(device());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                parent / (prefix + "-" + std::to_string(random() % 1000000000));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
                return;
            }
            if (error) {
                break;
            }
        }
        throw std::runtime_error("no temporary folder");
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

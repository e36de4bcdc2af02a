#include "ResolvedPaths.h"

#include <filesystem>
#include <system_error>

#include "catalog/PathParts.h"

namespace fs = std::filesystem;

std::string ResolvedPaths::Absolute(std::string_view path) {
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(path), error);
    if (error) {
        absolute = fs::path(path);
    }
    return std::string(WithoutClosingSeparators(absolute.lexically_normal().string()));
}

std::string ResolvedPaths::Folder(std::string_view folder) {
    const std::string absolute = Absolute(folder);
    // A folder that is missing, or below a dangling link, resolves as far as it exists.
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(fs::path(absolute), error);
    if (error) {
        return absolute;
    }
    return std::string(WithoutClosingSeparators(resolved.string()));
}

std::string ResolvedPaths::Of(std::string_view path) {
    std::string folder(FolderOfPath(path));
    if (folder.empty()) {
        folder = ".";
    }
    const auto [resolved, added] = folders_.try_emplace(folder);
    if (added) {
        resolved->second = Folder(folder);
    }
    return JoinPath(resolved->second, FileNameOf(path));
}

#include "catalog/PathParts.h"

bool IsFolderSeparator(char c) {
    return kFolderSeparators.find(c) != std::string_view::npos;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined;
    joined.reserve(folder.size() + 1 + name.size());
    joined.append(folder);
    if (joined.empty() || !IsFolderSeparator(joined.back())) {
        joined += kFolderSeparator;
    }
    joined.append(name);
    return joined;
}

std::string_view WithoutClosingSeparators(std::string_view folder) {
    while (folder.size() > 1 && IsFolderSeparator(folder.back())) {
#ifdef _WIN32
        if (folder.size() == 3 && folder[1] == ':') {
            break;  // "C:\" names the drive's root; "C:" its current folder
        }
#endif
        folder.remove_suffix(1);
    }
    return folder;
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of(kFolderSeparators);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view FolderOfPath(std::string_view path) {
    const std::size_t separator = path.find_last_of(kFolderSeparators);
    if (separator == std::string_view::npos) {
        return {};
    }
    return path.substr(0, separator == 0 ? 1 : separator);
}

bool LiesBelow(std::string_view path, std::string_view folder) {
    while (folder.size() > 1 && kFolderSeparators.find(folder.back()) != std::string_view::npos) {
        folder.remove_suffix(1);
    }
    if (!path.starts_with(folder)) {
        return false;
    }
    return path.size() == folder.size() || folder == "/" ||
           kFolderSeparators.find(path[folder.size()]) != std::string_view::npos;
}

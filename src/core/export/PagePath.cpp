#include "export/PagePath.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kPageExtension = ".html";

std::size_t NameStart(const std::string& path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("/\\:");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

}  // namespace

std::string PagePath::BesideCatalog(const std::string& catalogPath) {
    return BesideCatalog(catalogPath, kPageExtension);
}

std::string PagePath::BesideCatalog(const std::string& catalogPath, const std::string& extension) {
    if (catalogPath.empty()) {
        return {};
    }
    const std::size_t nameStart = NameStart(catalogPath);
    const std::size_t dot = catalogPath.rfind('.');
    // A leading dot marks a hidden file, not an extension.
    if (dot == std::string::npos || dot <= nameStart) {
        return catalogPath + extension;
    }
    std::string page = catalogPath.substr(0, dot) + extension;
    // A catalog named like a page must not be replaced by its own page.
    return page == catalogPath ? catalogPath + extension : page;
}

std::string PagePath::FullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.string();
}

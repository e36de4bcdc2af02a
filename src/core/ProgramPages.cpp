#include "ProgramPages.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "catalog/PathParts.h"

namespace fs = std::filesystem;

namespace {

std::string Normal(const std::string& path) {
    // URLs and the build's places use forward slashes, on Windows too.
    std::string normal = fs::path(path).lexically_normal().generic_string();
    while (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return normal;
}

bool IsInside(const std::string& folder, const std::string& tree) {
    if (tree.empty()) {
        return false;
    }
    const std::string inner = Normal(folder);
    const std::string outer = Normal(tree);
    return LiesBelow(inner, outer);
}

std::string Join(const std::string& folder, const std::string& name) {
    return Normal(folder + "/" + name);
}

}  // namespace

GuidePlaces BuiltInGuidePlaces() {
    return {PLUMET_BUILD_DIR, PLUMET_SOURCE_DOCS_DIR, PLUMET_INSTALL_DOCDIR};
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::vector<std::string> GuideCandidates(const std::string& executableFolder,
                                         const GuidePlaces& places) {
    std::vector<std::string> candidates;
    if (IsInside(executableFolder, places.buildTree) && !places.sourceDocs.empty()) {
        candidates.push_back(Join(places.sourceDocs, kGuideFileName));
    }
    if (!executableFolder.empty()) {
        candidates.push_back(
            Join(executableFolder, std::string("../share/doc/plumet/") + kGuideFileName));
    }
    candidates.push_back(Join(places.installedDocs, kGuideFileName));
    return candidates;
}

std::string ProgramWebsite(const std::string& executableFolder, const GuidePlaces& places,
                           const std::function<bool(const std::string&)>& exists) {
    const std::vector<std::string> candidates = GuideCandidates(executableFolder, places);
    for (const std::string& candidate : candidates) {
        if (exists(candidate)) {
            return FileUrl(candidate);
        }
    }
    return FileUrl(candidates.back());
}

std::string DonationPage(const std::string& executableFolder, const GuidePlaces& places,
                         const std::function<bool(const std::string&)>& exists) {
    return ProgramWebsite(executableFolder, places, exists) + kDonateAnchor;
}

std::string FileUrl(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    // A drive letter's path is "file:///C:/...", its colon kept.
    const bool drive = path.size() > 1 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (drive) {
        url += '/';
        url += path.substr(0, 2);
    }
    for (const char c : std::string_view(path).substr(drive ? 2 : 0)) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~' || byte == '/';
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        }
    }
    return url;
}

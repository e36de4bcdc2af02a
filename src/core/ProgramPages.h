#pragma once

#include <functional>
#include <string>
#include <vector>

// The program's web pages. Until Plumet has a site of its own, its web page is the user
// guide shipped with it, and the donation page is the guide's section on supporting it.

inline constexpr const char kGuideFileName[] = "guide.html";
inline constexpr const char kDonateAnchor[] = "#donate";

// The folders that may hold the guide.
struct GuidePlaces {
    std::string buildTree;      // a program inside this folder is a development build
    std::string sourceDocs;     // the source tree's docs/, the guide a development build shows
    std::string installedDocs;  // <prefix>/share/doc/plumet
};

// The folders compiled into this build.
GuidePlaces BuiltInGuidePlaces();

bool IsFile(const std::string& path);

// Where to look for the guide of a program run from `executableFolder`, best first: the
// source tree's copy for a development build, the copy installed beside a relocated
// program (<folder>/../share/doc/plumet), the copy installed under the prefix.
std::vector<std::string> GuideCandidates(const std::string& executableFolder,
                                         const GuidePlaces& places);

// The first candidate that exists, as a file:// URL. With none, the installed copy, so that
// opening it fails where the user can tell rather than showing some other page.
std::string ProgramWebsite(const std::string& executableFolder, const GuidePlaces& places,
                           const std::function<bool(const std::string&)>& exists = IsFile);
std::string DonationPage(const std::string& executableFolder, const GuidePlaces& places,
                         const std::function<bool(const std::string&)>& exists = IsFile);

// An absolute path as a file:// URL; bytes other than unreserved ones and '/' are
// percent-encoded, so spaces, '#' and UTF-8 survive.
std::string FileUrl(const std::string& path);

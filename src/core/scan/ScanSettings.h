#pragma once

#include <string>

#include "scan/NamePattern.h"
#include "services.h"

// The scan's settings in the profile, shared by the window's menu, the File Names dialog and
// the scan itself.
namespace ScanSettings {

inline constexpr const char* kSection = "Settings";
inline constexpr const char* kReadTagsEntry = "ReadTags";
inline constexpr const char* kNamePatternEntry = "NamePattern";

// Whether scans read the files' tags; on until switched off.
bool ReadTags(Profile& profile);
void SetReadTags(Profile& profile, bool readTags);

// The pattern that names files without tags as the user typed it; empty for the standard
// rule.
std::string NamePatternText(Profile& profile);
void SetNamePatternText(Profile& profile, const std::string& text);

// The stored pattern ready for use: the standard rule when none is stored or the stored one
// cannot be used.
NamePattern StoredNamePattern(Profile& profile);

}  // namespace ScanSettings

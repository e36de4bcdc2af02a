#pragma once

#include <string>

class Profile;

// The two settings that decide how a scan names its rows, as the window reads and writes
// them: whether files' tags are read, and the file-name pattern for files without them.
struct NamingSettings {
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kReadTags = "ReadTags";
    static constexpr const char* kNamePattern = "NamePattern";

    // On unless switched off.
    static bool ReadTags(Profile& profile);
    static void SetReadTags(Profile& profile, bool on);
    // Empty for the standard rule.
    static std::string NamePatternText(Profile& profile);
    static void SetNamePatternText(Profile& profile, const std::string& text);
};

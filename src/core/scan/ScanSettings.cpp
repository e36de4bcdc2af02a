#include "scan/ScanSettings.h"

namespace ScanSettings {

bool ReadTags(Profile& profile) {
    return profile.GetInt(kSection, kReadTagsEntry, 1) != 0;
}

void SetReadTags(Profile& profile, bool readTags) {
    profile.WriteInt(kSection, kReadTagsEntry, readTags ? 1 : 0);
}

std::string NamePatternText(Profile& profile) {
    return profile.GetString(kSection, kNamePatternEntry, "");
}

void SetNamePatternText(Profile& profile, const std::string& text) {
    profile.WriteString(kSection, kNamePatternEntry, text);
}

NamePattern StoredNamePattern(Profile& profile) {
    const std::string text = NamePatternText(profile);
    if (text.empty()) {
        return {};
    }
    std::string error;
    return NamePattern::Parse(text, error).value_or(NamePattern());
}

}  // namespace ScanSettings

#include "NamingSettings.h"

#include "services.h"

bool NamingSettings::ReadTags(Profile& profile) {
    return profile.GetInt(kSection, kReadTags, 1) != 0;
}

void NamingSettings::SetReadTags(Profile& profile, bool on) {
    profile.WriteInt(kSection, kReadTags, on ? 1 : 0);
}

std::string NamingSettings::NamePatternText(Profile& profile) {
    return profile.GetString(kSection, kNamePattern, std::string());
}

void NamingSettings::SetNamePatternText(Profile& profile, const std::string& text) {
    profile.WriteString(kSection, kNamePattern, text);
}

#pragma once

#include <string>

#include "services.h"

// The profile in the registry: one key per section below HKEY_CURRENT_USER\<root>, strings
// as REG_SZ and numbers as REG_DWORD, as the older Windows program kept them. A string that
// is not UTF-8 is kept as its bytes (REG_BINARY), so it comes back unchanged.
class RegistryProfile : public Profile {
public:
    explicit RegistryProfile(std::string root = "Software\\Tavisk\\Plumet");

    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) override;
    int GetInt(const std::string& section, const std::string& name, int fallback) override;
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    void WriteInt(const std::string& section, const std::string& name, int value) override;
    void RemoveValue(const std::string& section, const std::string& name) override;
    // The whole root key, and the company key above it when nothing else is left there;
    // false when something stayed.
    bool RemoveAll();

private:
    std::wstring SectionKey(const std::string& section) const;

    std::string root_;
};

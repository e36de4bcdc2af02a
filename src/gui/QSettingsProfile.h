#pragma once

#include <QSettings>

#include "services.h"

// The profile in QSettings: on Linux the INI file "Tavisk/Plumet.conf" under the user's
// configuration folder, one group per section.
class QSettingsProfile : public Profile {
public:
    QSettingsProfile();

    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) override;
    int GetInt(const std::string& section, const std::string& name, int fallback) override;
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override;
    void WriteInt(const std::string& section, const std::string& name, int value) override;
    void RemoveValue(const std::string& section, const std::string& name) override;
    // Everything under the settings root, for unregistering.
    void RemoveAll();
    QString FileName() const { return settings_.fileName(); }

private:
    static QString Key(const std::string& section, const std::string& name);

    QSettings settings_;
};

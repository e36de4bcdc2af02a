#include "QSettingsProfile.h"

#include "DisplayText.h"

QSettingsProfile::QSettingsProfile()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavisk"),
                QStringLiteral("Plumet")) {}

QString QSettingsProfile::Key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + '/' + QString::fromStdString(name);
}

std::string QSettingsProfile::GetString(const std::string& section, const std::string& name,
                                        const std::string& fallback) {
    const QVariant value = settings_.value(Key(section, name));
    if (!value.isValid()) {
        return fallback;
    }
    if (value.typeId() == QMetaType::QByteArray) {
        return value.toByteArray().toStdString();
    }
    return value.toString().toStdString();
}

int QSettingsProfile::GetInt(const std::string& section, const std::string& name, int fallback) {
    bool ok = false;
    const int value = settings_.value(Key(section, name)).toInt(&ok);
    return ok ? value : fallback;
}

void QSettingsProfile::WriteString(const std::string& section, const std::string& name,
                                   const std::string& value) {
    // Paths that are not UTF-8 are kept as bytes, so they come back unchanged.
    const QString text = DisplayText(value);
    if (text.toStdString() == value) {
        settings_.setValue(Key(section, name), text);
    } else {
        settings_.setValue(Key(section, name), QByteArray::fromStdString(value));
    }
}

void QSettingsProfile::WriteInt(const std::string& section, const std::string& name, int value) {
    settings_.setValue(Key(section, name), value);
}

void QSettingsProfile::RemoveValue(const std::string& section, const std::string& name) {
    settings_.remove(Key(section, name));
}

void QSettingsProfile::RemoveAll() {
    settings_.clear();
    settings_.sync();
}

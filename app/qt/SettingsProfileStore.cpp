#include "app/qt/SettingsProfileStore.h"

QString SettingsOrganisation(const QString& registryKey) {
    QString organisation = registryKey;
    organisation.replace(u'\\', u'/');
    return organisation;
}

SettingsProfileStore::SettingsProfileStore(const QString& registryKey, const QString& profileName)
    : settings_(QSettings::NativeFormat, QSettings::UserScope, SettingsOrganisation(registryKey),
                profileName) {
    // Only the user's own values count: no organisation-wide or system-wide
    // files stand in for a missing value.
    settings_.setFallbacksEnabled(false);
}

namespace {

QString SettingName(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + u'/' + QString::fromStdString(key);
}

}  // namespace

std::string SettingsProfileStore::GetProfileString(const std::string& section, const std::string& key,
                                                   const std::string& defaultValue) {
    settings_.sync();  // pick up what was written since, as a registry read would
    const QVariant value = settings_.value(SettingName(section, key));
    return value.isValid() ? value.toString().toStdString() : defaultValue;
}

void SettingsProfileStore::WriteProfileString(const std::string& section, const std::string& key,
                                              const std::string& value) {
    settings_.setValue(SettingName(section, key), QString::fromStdString(value));
    settings_.sync();
}

QString SettingsProfileStore::Location() { return settings_.fileName(); }

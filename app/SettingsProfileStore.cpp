#include "app/SettingsProfileStore.h"

QString SettingsOrganisation(const QString& registryKey) {
#ifdef Q_OS_WIN
    return registryKey;
#else
    QString organisation = registryKey;
    organisation.replace(u'\\', u'/');
    return organisation;
#endif
}

SettingsProfileStore::SettingsProfileStore(const QString& registryKey, const QString& profileName)
    : settings_(QSettings::NativeFormat, QSettings::UserScope, SettingsOrganisation(registryKey),
                profileName) {
    // Only the user's own values count: no organisation-wide or system-wide
    // files stand in for a missing value.
    settings_.setFallbacksEnabled(false);
}

QString SettingsProfileStore::GetProfileString(const QString& section, const QString& key,
                                               const QString& defaultValue) {
    settings_.sync();  // pick up what was written since, as a registry read would
    const QVariant value = settings_.value(section + u'/' + key);
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsProfileStore::WriteProfileString(const QString& section, const QString& key,
                                              const QString& value) {
    settings_.setValue(section + u'/' + key, value);
    settings_.sync();
}

QString SettingsProfileStore::Location() { return settings_.fileName(); }

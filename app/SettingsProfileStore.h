#pragma once

#include <QSettings>
#include <QString>

#include "app/ProfileStore.h"

// The settings of the current user, under a registry key such as
// "Tobrin\Ellaste" and then the application's profile name: on Windows in
// HKEY_CURRENT_USER\Software\<key>\<profile name>\<section>, elsewhere in the
// per-user settings file <key as nested folders>/<profile name>.conf with one
// [section] group per section.
class SettingsProfileStore : public ProfileStore {
public:
    SettingsProfileStore(const QString& registryKey, const QString& profileName);

    QString GetProfileString(const QString& section, const QString& key,
                             const QString& defaultValue) override;
    void WriteProfileString(const QString& section, const QString& key,
                            const QString& value) override;

    // Where the values are kept: the settings file, or the registry path.
    QString Location();

private:
    QSettings settings_;
};

// The organisation name under which QSettings keeps a registry key: the key as
// it is on Windows, whose registry nests at each "\"; elsewhere each "\"
// becomes a folder level, so no folder name holds a backslash.
QString SettingsOrganisation(const QString& registryKey);

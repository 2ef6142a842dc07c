#pragma once

#include <QSettings>
#include <QString>

#include "app/ProfileStore.h"

// The settings of the current user where there is no registry: the per-user
// settings file <registry key as nested folders>/<profile name>.conf, such as
// ~/.config/Tobrin/Ellaste/Lorvane.conf, with one [section] group per section.
class SettingsProfileStore : public ProfileStore {
public:
    SettingsProfileStore(const QString& registryKey, const QString& profileName);

    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) override;
    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;

    // Where the values are kept: the settings file, or the registry path.
    QString Location();

private:
    QSettings settings_;
};

// The organisation name under which QSettings keeps a registry key: each "\"
// becomes a folder level, so no folder name holds a backslash.
QString SettingsOrganisation(const QString& registryKey);

#pragma once

#include "app/ProfileStore.h"

// The settings in the current user's registry, as the platform's application
// profile keeps them: HKEY_CURRENT_USER\Software\<registry key>\<profile
// name>\<section>, one REG_SZ value per key. Keys are made on the first write.
class RegistryProfileStore : public ProfileStore {
public:
    RegistryProfileStore(const std::string& registryKey, const std::string& profileName);

    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) override;
    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;

private:
    std::string root;  // Software\<registry key>\<profile name>
};

#pragma once

#include <map>
#include <set>
#include <string>

#include "app/ProfileStore.h"

// The settings of a page: the browser's localStorage of the page's origin,
// under "<registry key as folders>/<profile name>/<section>/<key>", such as
// "Tobrin/Ellaste/Lorvane/Dialog/Prefix". Only the keys named at construction
// are kept there; the others (the paths, which name files of the module's
// file system that the next visit will not have) last as long as the page.
// Where the browser refuses localStorage the values last as long as the page.
class LocalStorageProfileStore : public ProfileStore {
public:
    LocalStorageProfileStore(const std::string& registryKey, const std::string& profileName,
                             std::set<std::string> lastingKeys);

    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) override;
    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;

private:
    std::string prefix_;
    std::set<std::string> lastingKeys_;
    std::map<std::string, std::string> pageValues_;
};

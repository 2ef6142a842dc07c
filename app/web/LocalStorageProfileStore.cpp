#include "app/web/LocalStorageProfileStore.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdlib>

// A missing value, and a storage the browser refuses, read as null.
EM_JS(char*, page_storage_get, (const char* name), {
    try {
        const value = localStorage.getItem(UTF8ToString(name));
        return value === null ? 0 : allocateUTF8(value);
    } catch (e) {
        return 0;
    }
});
EM_JS(int, page_storage_set, (const char* name, const char* value), {
    try {
        localStorage.setItem(UTF8ToString(name), UTF8ToString(value));
        return 1;
    } catch (e) {
        return 0;
    }
});

LocalStorageProfileStore::LocalStorageProfileStore(const std::string& registryKey, const std::string& profileName,
                                                   std::set<std::string> lastingKeys)
    : prefix_(registryKey + "/" + profileName + "/"), lastingKeys_(std::move(lastingKeys)) {
    std::replace(prefix_.begin(), prefix_.end(), '\\', '/');
}

std::string LocalStorageProfileStore::GetProfileString(const std::string& section, const std::string& key,
                                                       const std::string& defaultValue) {
    const std::string name = section + "/" + key;
    if (const auto found = pageValues_.find(name); found != pageValues_.end()) return found->second;
    if (!lastingKeys_.count(key)) return defaultValue;
    char* value = page_storage_get((prefix_ + name).c_str());
    if (!value) return defaultValue;
    std::string result = value;
    std::free(value);
    return result;
}

void LocalStorageProfileStore::WriteProfileString(const std::string& section, const std::string& key,
                                                  const std::string& value) {
    const std::string name = section + "/" + key;
    if (lastingKeys_.count(key) && page_storage_set((prefix_ + name).c_str(), value.c_str())) {
        pageValues_.erase(name);
    } else {
        pageValues_[name] = value;
    }
}

#pragma once

#include <string>

// The program's lasting text settings, by section and key, as UTF-8 text: the
// registry on Windows, a per-user settings file elsewhere.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The stored value, or defaultValue when there is none.
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue) = 0;

    // Stores the value at once, so it outlives a program that ends abnormally.
    // A failed write goes unnoticed.
    virtual void WriteProfileString(const std::string& section, const std::string& key,
                                    const std::string& value) = 0;
};

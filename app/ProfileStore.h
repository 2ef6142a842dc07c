#pragma once

#include <QString>

// The program's lasting text settings, by section and key.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The stored value, or defaultValue when there is none.
    virtual QString GetProfileString(const QString& section, const QString& key,
                                     const QString& defaultValue) = 0;

    // Stores the value at once, so it outlives a program that ends abnormally.
    // A failed write goes unnoticed.
    virtual void WriteProfileString(const QString& section, const QString& key,
                                    const QString& value) = 0;
};

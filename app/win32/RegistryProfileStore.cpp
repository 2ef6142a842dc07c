#include <windows.h>
// windows.h maps these names to its own initialisation-file calls.
#undef GetProfileString
#undef WriteProfileString

#include "app/win32/RegistryProfileStore.h"

#include "app/win32/Win32Text.h"

RegistryProfileStore::RegistryProfileStore(const std::string& registryKey, const std::string& profileName)
    : root("Software\\" + registryKey + "\\" + profileName) {}

std::string RegistryProfileStore::GetProfileString(const std::string& section, const std::string& key,
                                                   const std::string& defaultValue) {
    const std::wstring path = WideFromUtf8(root + "\\" + section);
    const std::wstring name = WideFromUtf8(key);
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return defaultValue;  // no key, no value, or not text
    }
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
        ERROR_SUCCESS) {
        return defaultValue;
    }
    value.resize(wcsnlen(value.c_str(), value.size()));
    return Utf8FromWide(value);
}

void RegistryProfileStore::WriteProfileString(const std::string& section, const std::string& key,
                                              const std::string& value) {
    HKEY handle = nullptr;
    const std::wstring path = WideFromUtf8(root + "\\" + section);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        return;  // a failed write goes unnoticed
    }
    const std::wstring text = WideFromUtf8(value);
    RegSetValueExW(handle, WideFromUtf8(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

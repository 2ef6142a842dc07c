#include "common/NativePath.h"

#include <windows.h>

#include "common/WidePathWin32.h"

namespace {

// Below the limit of 260 with room for a file name the program adds.
constexpr size_t kShortPathRoom = 200;

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring Utf8ToWide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int count = static_cast<int>(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), count, nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), count, wide.data(), size) != size) return {};
    return wide;
}

std::string WideToUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int count = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string utf8(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, utf8.data(), size, nullptr, nullptr) != size) return {};
    return utf8;
}

std::wstring WidePath(const std::string& utf8) {
    std::wstring wide = Utf8ToWide(utf8);
    if (wide.size() < kShortPathRoom || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    // The long form takes a full path only: make it absolute first.
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return wide;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return wide;
    full.resize(length);
    for (wchar_t& c : full) {
        if (c == L'/') c = L'\\';
    }
    if (full.size() > 2 && IsSlash(full[0]) && IsSlash(full[1])) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::filesystem::path NativePath(const std::string& utf8) { return std::filesystem::path(WidePath(utf8)); }

std::string Utf8Path(const std::filesystem::path& path) { return WideToUtf8(path.wstring()); }

#pragma once

#include <string>

// The UTF-16 form of a UTF-8 path for the W calls of Windows. An absolute path
// long enough to pass the classic limit of 260 characters gets the "\\?\"
// form (slashes turned into backslashes, as that form requires), so long
// paths work without the system-wide long-path setting.
std::wstring WidePath(const std::string& utf8);

// UTF-16 text to UTF-8 and back; nothing for text that is not valid.
std::string WideToUtf8(const std::wstring& wide);
std::wstring Utf8ToWide(const std::string& utf8);

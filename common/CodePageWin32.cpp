#include "common/CodePage.h"

#include <windows.h>

// The Windows conversions, through the system's own code page 950 table. The
// code page is always named: the ANSI code page of the machine (CP_ACP) may be
// 1252 or UTF-8, while the names are code page 950 wherever they are repaired.
namespace codepage {
namespace {

constexpr UINT kBig5 = 950;
constexpr char16_t kReplacement = u'\uFFFD';

bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrail(unsigned char byte) { return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE); }
// Bytes in the trail range of the Big5 extensions that code page 950 leaves
// unassigned: with the lead byte before them they are one unknown character,
// as Windows and ICU read them.
bool IsUnusedTrail(unsigned char byte) { return byte >= 0x80 && byte <= 0xA0; }

// Each character outside the Basic Multilingual Plane as one "?": code page
// 950 has none of them, and WideCharToMultiByte would write a "?" for each of
// its two surrogates. An unpaired surrogate stays, for the "?" it gets.
std::u16string OneUnitPerCharacter(std::u16string_view units) {
    std::u16string result;
    result.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const bool pair = units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() &&
                          units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
        result.push_back(pair ? u'?' : units[i]);
        i += pair ? 1 : 0;
    }
    return result;
}

std::string Utf16ToUtf8(std::u16string_view units) {
    if (units.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
    const int count = static_cast<int>(units.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, count, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string utf8(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, wide, count, utf8.data(), size, nullptr, nullptr) != size) return {};
    return utf8;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int count = static_cast<int>(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), count, nullptr, 0);
    if (size <= 0) return {};
    std::u16string units(static_cast<size_t>(size), u'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, utf8.data(), count, reinterpret_cast<wchar_t*>(units.data()), size) != size)
        return {};
    return units;
}

}  // namespace

std::string Cp950ToUtf8(std::string_view bytes) {
    // Character by character, so that a sequence the table does not define
    // becomes one U+FFFD in place instead of failing the whole text: a lead
    // byte with a valid or an unused trail byte is one character (or one
    // U+FFFD), a lead byte before any other byte is a U+FFFD of its own and
    // the next byte starts afresh.
    // The single bytes 0x80 and 0xFF are no Big5 characters and show as U+FFFD.
    std::u16string units;
    units.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            units.push_back(byte);
            ++i;
        } else if (IsLead(byte) && i + 1 < bytes.size() && IsTrail(static_cast<unsigned char>(bytes[i + 1]))) {
            wchar_t unit[2];
            const int n = MultiByteToWideChar(kBig5, MB_ERR_INVALID_CHARS, bytes.data() + i, 2, unit, 2);
            units.push_back(n == 1 ? static_cast<char16_t>(unit[0]) : kReplacement);
            i += 2;
        } else if (IsLead(byte) && i + 1 < bytes.size() && IsUnusedTrail(static_cast<unsigned char>(bytes[i + 1]))) {
            units.push_back(kReplacement);
            i += 2;
        } else {
            units.push_back(kReplacement);
            ++i;
        }
    }
    return Utf16ToUtf8(units);
}

std::string Utf16ToCp950(std::u16string_view text) {
    if (text.empty()) return {};
    const std::u16string units = OneUnitPerCharacter(text);
    const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
    const int count = static_cast<int>(units.size());
    // No best-fit look-alikes: a character the table lacks becomes "?".
    const int size = WideCharToMultiByte(kBig5, WC_NO_BEST_FIT_CHARS, wide, count, nullptr, 0, "?", nullptr);
    if (size <= 0) return {};
    std::string bytes(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(kBig5, WC_NO_BEST_FIT_CHARS, wide, count, bytes.data(), size, "?", nullptr) != size)
        return {};
    return bytes;
}

std::string Utf8ToCp950(std::string_view utf8) { return Utf16ToCp950(Utf8ToUtf16(utf8)); }

}  // namespace codepage

#include "common/CodePage.h"

#include <memory>

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

namespace codepage {
namespace {

// "windows-950-2000" is the Windows table; ICU's "CP950" would select IBM's,
// which maps some bytes differently (A3E1, the euro sign, among them).
constexpr const char* kConverterName = "windows-950-2000";

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Writes the substitution character for every character the code page lacks.
// ICU's own substituting callback drops the default-ignorable ones (U+200B,
// U+FE0F, the soft hyphen and 63 more) without a trace; Windows writes "?" for
// them, and a name must come out the same on both.
void SubstituteEveryCharacter(const void*, UConverterFromUnicodeArgs* arguments, const UChar*, int32_t, UChar32,
                              UConverterCallbackReason reason, UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) return;
    *status = U_ZERO_ERROR;
    ucnv_cbFromUWriteSub(arguments, 0, status);
}

Converter OpenConverter() {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(kConverterName, &status));
    if (U_FAILURE(status)) return nullptr;
    // Substitute "?" for a character the code page lacks, and never use the
    // table's fallback (best-fit) mappings.
    ucnv_setFallback(converter.get(), false);
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), &SubstituteEveryCharacter, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status)) return nullptr;
    return converter;
}

// One converter per thread, opened on first use: opening one costs far more
// than converting a name.
UConverter* SharedConverter() {
    thread_local Converter converter = OpenConverter();
    if (converter) ucnv_reset(converter.get());
    return converter.get();
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string units(utf8.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(units.data()), static_cast<int32_t>(units.size()),
                         &length, utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status)) return {};
    units.resize(static_cast<size_t>(length));
    return units;
}

}  // namespace

std::string Cp950ToUtf8(std::string_view bytes) {
    UConverter* converter = SharedConverter();
    if (!converter || bytes.empty()) return {};
    std::u16string units(bytes.size() * 2 + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(units.data()),
                                   static_cast<int32_t>(units.size()), bytes.data(),
                                   static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) return {};
    // The single bytes 0x80 and 0xFF are no Big5 characters; the table keeps
    // them only for round trips (as U+0080 and U+F8F8), which would show as
    // nothing. Show them as the replacement character instead.
    for (int32_t i = 0; i < length; ++i) {
        if (units[static_cast<size_t>(i)] == u'\u0080' || units[static_cast<size_t>(i)] == u'\uF8F8')
            units[static_cast<size_t>(i)] = u'\uFFFD';
    }
    std::string utf8(static_cast<size_t>(length) * 3 + 1, '\0');
    int32_t utf8Length = 0;
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(utf8.data(), static_cast<int32_t>(utf8.size()), &utf8Length,
                       reinterpret_cast<const UChar*>(units.data()), length, 0xFFFD, nullptr,
                       &status);
    if (U_FAILURE(status)) return {};
    utf8.resize(static_cast<size_t>(utf8Length));
    return utf8;
}

std::string Utf16ToCp950(std::u16string_view units) {
    UConverter* converter = SharedConverter();
    if (!converter || units.empty()) return {};
    std::string bytes(units.size() * 2 + 1, '\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_fromUChars(converter, bytes.data(), static_cast<int32_t>(bytes.size()),
                                     reinterpret_cast<const UChar*>(units.data()),
                                     static_cast<int32_t>(units.size()), &status);
    if (U_FAILURE(status)) return {};
    bytes.resize(static_cast<size_t>(length));
    return bytes;
}

std::string Utf8ToCp950(std::string_view utf8) { return Utf16ToCp950(Utf8ToUtf16(utf8)); }

}  // namespace codepage

#include "app/win32/Win32DialogFont.h"

#include <cstring>

namespace {

bool HasFace(HDC dc, const wchar_t* face, std::wstring* found = nullptr) {
    LOGFONTW wanted{};
    wanted.lfCharSet = face[0] ? DEFAULT_CHARSET : CHINESEBIG5_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    std::wstring first;
    EnumFontFamiliesExW(
        dc, &wanted,
        [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) -> int {
            if (font->lfFaceName[0] == L'@') return 1;  // the vertical variant of a face
            *reinterpret_cast<std::wstring*>(data) = font->lfFaceName;
            return 0;
        },
        reinterpret_cast<LPARAM>(&first), 0);
    if (found) *found = first;
    return !first.empty();
}

// Where the font face of a DIALOGEX template starts, in 16-bit units, or 0.
// The header: version and signature, help id, extended style, style, control
// count, position and size; then menu, class and caption, each a string or
// an ordinal; then the point size, weight, italic and character set.
size_t FaceOffset(const unsigned char* dialog, size_t size) {
    const size_t units = size / 2;
    auto at = [&](size_t i) {
        uint16_t unit;
        std::memcpy(&unit, dialog + 2 * i, 2);
        return unit;
    };
    if (units < 13 || at(0) != 1 || at(1) != 0xFFFF) return 0;
    uint32_t style;
    std::memcpy(&style, dialog + 12, 4);
    if (!(style & DS_SETFONT)) return 0;
    size_t i = 13;
    for (int field = 0; field < 3; ++field) {
        if (i >= units) return 0;
        if (at(i) == 0xFFFF) {
            i += 2;  // an ordinal
            continue;
        }
        while (i < units && at(i) != 0) ++i;
        ++i;
    }
    i += 3;  // point size, weight, italic and character set
    return i < units ? i : 0;
}

}  // namespace

std::wstring ChooseDialogFace(const std::wstring& templateFace) {
    HDC dc = GetDC(nullptr);
    std::wstring face = templateFace;
    std::wstring chinese;
    if (!HasFace(dc, templateFace.c_str())) {
        bool found = false;
        for (const wchar_t* candidate : {L"PMingLiU", L"Microsoft JhengHei UI", L"Microsoft JhengHei"}) {
            if (HasFace(dc, candidate)) {
                face = candidate;
                found = true;
                break;
            }
        }
        if (!found && HasFace(dc, L"", &chinese)) face = chinese;
    }
    ReleaseDC(nullptr, dc);
    return face;
}

std::wstring TemplateFace(const unsigned char* dialog, size_t size) {
    const size_t offset = FaceOffset(dialog, size);
    if (!offset) return {};
    std::wstring face;
    for (size_t i = offset; 2 * i + 1 < size; ++i) {
        wchar_t unit = static_cast<wchar_t>(dialog[2 * i] | (dialog[2 * i + 1] << 8));
        if (!unit) break;
        face += unit;
    }
    return face;
}

std::vector<unsigned char> TemplateWithFace(const unsigned char* dialog, size_t size, const std::wstring& face) {
    const size_t offset = FaceOffset(dialog, size);
    if (!offset) return {};
    // The controls start at the first 4-byte boundary after the face; moving
    // them by a multiple of 4 keeps every control's own alignment.
    const size_t oldEnd = 2 * (offset + TemplateFace(dialog, size).size() + 1);
    const size_t oldControls = (oldEnd + 3) & ~size_t{3};
    std::vector<unsigned char> copy(dialog, dialog + 2 * offset);
    for (wchar_t unit : face) {
        copy.push_back(static_cast<unsigned char>(unit));
        copy.push_back(static_cast<unsigned char>(unit >> 8));
    }
    copy.insert(copy.end(), {0, 0});
    copy.resize((copy.size() + 3) & ~size_t{3}, 0);
    if (oldControls < size) copy.insert(copy.end(), dialog + oldControls, dialog + size);
    return copy;
}

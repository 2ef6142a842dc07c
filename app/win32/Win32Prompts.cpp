#include "app/win32/Win32Prompts.h"

#include <commdlg.h>

#include <vector>

#include "app/MainApp.h"
#include "app/win32/Win32DialogView.h"
#include "app/win32/Win32Text.h"

int Win32Prompts::Show(int stringId, UINT type) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, static_cast<UINT>(stringId), reinterpret_cast<LPWSTR>(&text), 0);
    const std::wstring message(text, static_cast<size_t>(length > 0 ? length : 0));
    const std::wstring title = WideFromUtf8(MainApp::kProfileName);
    return MessageBoxW(owner.Handle(), message.c_str(), title.c_str(), type);
}

bool Win32Prompts::Ask(int stringId) { return Show(stringId, MB_YESNO | MB_DEFBUTTON1) == IDYES; }

void Win32Prompts::Inform(int stringId) { Show(stringId, MB_OK); }

std::string Win32Prompts::ChooseFile(const std::string& filter, const std::string& start) {
    // "description|patterns|...||" as the dialog takes it: NUL-separated.
    std::wstring filters = WideFromUtf8(filter);
    for (wchar_t& c : filters) c = c == L'|' ? L'\0' : c;

    // The box usually names a file: start in its folder.
    std::wstring folder = WideFromUtf8(start);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const size_t separator = folder.find_last_of(L"\\/");
        folder.resize(separator == std::wstring::npos ? 0 : separator);
    }

    std::vector<wchar_t> chosen(32768, L'\0');  // long paths too
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner.Handle();
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = static_cast<DWORD>(chosen.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    // The folder must exist; a file name that does not is accepted.
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog)) return {};
    return Utf8FromWide(chosen.data());
}

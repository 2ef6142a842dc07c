// Drives a running lorvane.exe as a person would, from another process:
// finds the dialog by its caption, checks the listed counts, clicks Correct,
// clicks Save, answers Yes to the prefix question, then prints the GTM list
// as read back (UTF-8, one line each) and closes the dialog. Exit status 0
// when every step went as expected. With --slow it waits 2.5 s with the
// question open and again before closing, for screenshots.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND WaitForWindow(const wchar_t* className, const wchar_t* caption) {
    for (int i = 0; i < 400; ++i) {  // 20 s
        if (HWND found = FindWindowW(className, caption)) return found;
        Sleep(50);
    }
    return nullptr;
}

int Fail(const char* what) {
    std::fprintf(stderr, "driver: %s\n", what);
    return 1;
}

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(GetDlgItem(dialog, id), message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD pause = argc > 1 && std::string(argv[1]) == "--slow" ? 2500 : 0;
    HWND dialog = WaitForWindow(L"#32770", L"Lorvane 1.19");
    if (!dialog) return Fail("no dialog");
    // Both remembered files were listed at start.
    if (Send(dialog, 1002, LB_GETCOUNT) != 12 || Send(dialog, 1008, LB_GETCOUNT) != 12) return Fail("not listed");
    Send(dialog, 1013, BM_CLICK);  // Correct: every name is found, so no message
    if (Send(dialog, 1011, LB_GETCOUNT) != 12) return Fail("not corrected");

    PostMessageW(GetDlgItem(dialog, 1014), BM_CLICK, 0, 0);  // Save asks first
    HWND question = WaitForWindow(L"#32770", L"Lorvane");
    if (!question) return Fail("no question");
    wchar_t text[512] = {};
    GetDlgItemTextW(question, 0xFFFF, text, 512);
    if (std::wstring(text).find(L"「←」") == std::wstring::npos) return Fail("not the prefix question");
    const LONG yesStyle = GetWindowLongW(GetDlgItem(question, IDYES), GWL_STYLE);
    if ((yesStyle & BS_TYPEMASK) != BS_DEFPUSHBUTTON) return Fail("Yes is not the default");
    Sleep(pause);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    for (int i = 0; i < 200 && IsWindow(question); ++i) Sleep(50);
    SendMessageW(dialog, WM_NULL, 0, 0);  // returns once the save and the new listing are done

    const int count = static_cast<int>(Send(dialog, 1008, LB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        wchar_t line[256] = {};
        Send(dialog, 1008, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
        char utf8[1024] = {};
        WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("%s\n", utf8);
    }
    Sleep(pause);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return count == 12 ? 0 : Fail("not listed again");
}

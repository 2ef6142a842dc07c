// Drives a running lorvane.exe from another process, as a person would: finds
// the dialog by its caption, checks that both files were listed, clicks
// Correct, clicks Save, checks the prefix question (Yes the default) and
// answers Yes, prints the GTM list as read back (UTF-8) and closes the dialog.
// Exit status 0 when every step went as expected. --slow waits 2.5 s with
// the question open and again before closing, for screenshots.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND WaitForWindow(const wchar_t* caption) {
    for (int i = 0; i < 400; ++i, Sleep(50))  // 20 s
        if (HWND found = FindWindowW(L"#32770", caption); found && IsWindowVisible(found)) return found;  // initialised
    return nullptr;
}

int Fail(const char* what) { return std::fprintf(stderr, "driver: %s\n", what), 1; }

}  // namespace

int main(int argc, char** argv) {
    const DWORD pause = argc > 1 && std::string(argv[1]) == "--slow" ? 2500 : 0;
    HWND dialog = WaitForWindow(L"Lorvane 1.19");
    auto send = [&](int id, UINT message, WPARAM w = 0, LPARAM l = 0) {
        return SendDlgItemMessageW(dialog, id, message, w, l);
    };
    if (!dialog || send(1002, LB_GETCOUNT) != 12 || send(1008, LB_GETCOUNT) != 12) return Fail("not listed");
    send(1013, BM_CLICK);  // Correct: every name is found, so no message
    if (send(1011, LB_GETCOUNT) != 12) return Fail("not corrected");

    PostMessageW(GetDlgItem(dialog, 1014), BM_CLICK, 0, 0);  // Save asks first
    HWND question = WaitForWindow(L"Lorvane");
    wchar_t text[512] = {};
    if (!question || !GetDlgItemTextW(question, 0xFFFF, text, 512) || !wcsstr(text, L"「←」")) return Fail("no question");
    if ((GetWindowLongW(GetDlgItem(question, IDYES), GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) return Fail("not Yes");
    Sleep(pause);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    for (int i = 0; i < 200 && IsWindow(question); ++i) Sleep(50);
    SendMessageW(dialog, WM_NULL, 0, 0);  // returns once the save and the new listing are done

    const int count = static_cast<int>(send(1008, LB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        wchar_t line[256] = {};
        char utf8[1024] = {};
        send(1008, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
        WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("%s\n", utf8);
    }
    Sleep(pause);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return count == 12 ? 0 : Fail("not listed again");
}

// Drives a running lorvane.exe from another process, as a person would: finds the dialog by its
// caption, checks that both files were listed; drops a GTM file with a row that finds no name and an
// uncertain one, corrects it, checks the marks and the lists linked to a row; drops the pair back,
// clicks Correct and Save, checks the prefix question (Yes the default), answers Yes, prints the GTM
// list as read back (UTF-8) and closes the dialog.
// Exit status 0 when every step went as expected. --slow waits 2.5 s with the
// marked rows, with the question open and before closing, for screenshots.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/FormatBuilders.h"

namespace {

HWND WaitForWindow(const wchar_t* caption) {
    for (int i = 0; i < 400; ++i, Sleep(50))  // 20 s
        if (HWND found = FindWindowW(L"#32770", caption); found && IsWindowVisible(found)) return found;  // initialised
    return nullptr;
}

int Fail(const char* what) { return std::fprintf(stderr, "driver: %s\n", what), 1; }

// Hands the dialog files as if dropped on it (see Win32DialogView).
void Drop(HWND dialog, const std::wstring& first, const std::wstring& second) {
    const std::wstring list = first + L'\0' + second + L'\0';
    COPYDATASTRUCT data{0x4C445250, static_cast<DWORD>(list.size() * 2), const_cast<wchar_t*>(list.data())};
    SendMessageW(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

// Clicks, answers the message box with OK; true when the box showed the text.
bool ClickAndConfirm(HWND dialog, int id, const wchar_t* text) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    HWND box = WaitForWindow(L"Lorvane");
    wchar_t shown[512] = {};
    const bool found = box && GetDlgItemTextW(box, 0xFFFF, shown, 512) && wcsstr(shown, text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(50);
    SendMessageW(dialog, WM_NULL, 0, 0);  // returns once the handler is done
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD pause = argc > 1 && std::string(argv[1]) == "--slow" ? 2500 : 0;
    HWND dialog = WaitForWindow(L"Lorvane 1.19");
    auto send = [&](int id, UINT message, WPARAM w = 0, LPARAM l = 0) {
        return SendDlgItemMessageW(dialog, id, message, w, l);
    };
    if (!dialog || send(1002, LB_GETCOUNT) != 12 || send(1008, LB_GETCOUNT) != 12) return Fail("not listed");

    TempDir files;
    const std::string unnamed(4, '\0');  // the demo's 草原 (index 10) with no name, where it is and somewhere else
    const std::string marked = files.Write("marked.gtm", GtmBuilder().waypoint("ZZ", 5000.0f).waypoint(
        {unnamed, 3120.0f, "", 0, 24.1390, 121.2750}).waypoint({unnamed, 3120.0f, "", 0, 0, 0}).build());
    wchar_t garmin[MAX_PATH] = {}, gtm[MAX_PATH] = {};  // the pair listed
    GetDlgItemTextW(dialog, 1000, garmin, MAX_PATH), GetDlgItemTextW(dialog, 1003, gtm, MAX_PATH);
    Drop(dialog, std::wstring(marked.begin(), marked.end()), garmin);
    if (send(1008, LB_GETCOUNT) != 3 || !ClickAndConfirm(dialog, 1013, L"沒有完全校正成功")) return Fail("no warning");
    std::string seen;
    for (int row = 0; row < 3; ++row) seen += std::to_string(send(1008, LB_GETITEMDATA, row)) + " ";
    const auto list = reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1008));
    for (int line : {0, 1}) {  // the first row without a name is selected; the user clicks the next one
        if (line) send(1008, LB_SETCURSEL, line), SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1008, LBN_SELCHANGE), list);
        if (line) SendMessageW(dialog, WM_NEXTDLGCTL, static_cast<WPARAM>(list), TRUE);  // and it has the focus
        for (int id : {1008, 1002, 1011}) seen += std::to_string(send(id, LB_GETCURSEL)) + " ";
    }
    if (seen != "1 0 2 0 -1 -1 1 10 0 ") return Fail(("marks and selections " + seen).c_str());
    Sleep(pause);
    Drop(dialog, gtm, garmin);
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

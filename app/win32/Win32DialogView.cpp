#include "app/win32/Win32DialogView.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "app/DialogTemplate.h"
#include "app/MainDialog.h"
#include "app/win32/Win32DialogFont.h"
#include "app/win32/Win32Text.h"
#include "common/CodePage.h"

namespace {

constexpr int kTemplateId = 102;
constexpr int kIconId = 128;
// Another program (the tests' dialog driver) hands the dialog files as if
// dropped: WM_COPYDATA with this tag and the paths as a drop lists them,
// UTF-16, each ended by a NUL and the whole by another. The dialog makes the
// drop handle in its own process and handles WM_DROPFILES before it answers.
constexpr ULONG_PTR kDropFilesTag = 0x4C445250;  // "LDRP"
constexpr UINT kMeasureLists = WM_APP;

// A list box control: lines arrive as code page 950 bytes and are shown
// decoded through code page 950, whatever the system's ANSI code page.
class Win32ListBox : public ListBox {
public:
    explicit Win32ListBox(HWND box) : box_(box) {}
    void AddLine(std::string_view line) override {
        const std::wstring text = WideFromUtf8(codepage::Cp950ToUtf8(line));
        SendMessageW(box_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void ResetContent() override { SendMessageW(box_, LB_RESETCONTENT, 0, 0); }
    // The mark is the line's item data, drawn by the owner-drawn list box.
    void SetMark(int line, LineMark mark) override {
        SendMessageW(box_, LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(mark));
        RECT item{};
        if (SendMessageW(box_, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
            InvalidateRect(box_, &item, TRUE);
    }
    // Scrolls the line into view; -1 selects none. The list box sends no
    // notification for it.
    void Select(int line) override { SendMessageW(box_, LB_SETCURSEL, static_cast<WPARAM>(line), 0); }

private:
    HWND box_;
};

// The line height of a window's font, as a list box with that font has it.
int LineHeight(HWND window) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

// Draws a list line as the system's list box does, the text of a line that
// is not selected in its mark's colour.
void DrawListLine(const DRAWITEMSTRUCT& item) {
    if (item.itemID != static_cast<UINT>(-1)) {
        const bool selected = item.itemState & ODS_SELECTED;
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const int mark = MarkColour(static_cast<LineMark>(item.itemData));
        SetTextColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                               : mark < 0 ? GetSysColor(COLOR_WINDOWTEXT)
                                          : RGB(mark >> 16, (mark >> 8) & 0xFF, mark & 0xFF));
        SetBkMode(item.hDC, TRANSPARENT);
        const LRESULT length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT copied =
            SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(copied > 0 && copied <= length ? copied : 0));
        RECT textRect = item.rcItem;
        textRect.left += 2;
        DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    }
    // The whole line is drawn for every action, so the focus rectangle is
    // drawn, not toggled; hidden while the system hides focus cues.
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(item.hDC, &item.rcItem);
}

// The paths of a drop, UTF-8; the handle is released.
std::vector<std::string> DroppedPaths(HDROP drop) {
    std::vector<std::string> paths(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    for (UINT i = 0; i < paths.size(); ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths[i] = Utf8FromWide(path);
    }
    DragFinish(drop);
    return paths;
}

// A drop handle holding the paths of a drop list, as the shell makes one.
HDROP MakeDrop(const void* list, size_t size) {
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + size + 2 * sizeof(wchar_t));
    if (auto* files = static_cast<DROPFILES*>(GlobalLock(memory))) {
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        std::memcpy(files + 1, list, size);  // the zero-filled end closes the list
        GlobalUnlock(memory);
    }
    return static_cast<HDROP>(memory);
}

}  // namespace

INT_PTR Win32DialogView::RunModal(MainDialog& mainDialog) {
    dialog = &mainDialog;
    // The template as built, with its font face replaced where the system
    // lacks it; dialog units follow the face, so the layout keeps its
    // proportions either way.
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(kTemplateId), MAKEINTRESOURCEW(5));  // RT_DIALOG
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(instance, found)));
    const size_t size = SizeofResource(instance, found);
    const std::wstring face = TemplateFace(bytes, size);
    std::vector<unsigned char> replaced;
    if (const std::wstring chosen = ChooseDialogFace(face); chosen != face) {
        replaced = TemplateWithFace(bytes, size, chosen);
    }
    const auto* dialogTemplate = reinterpret_cast<const DLGTEMPLATE*>(replaced.empty() ? bytes : replaced.data());
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, dialogTemplate, nullptr, Procedure, reinterpret_cast<LPARAM>(this));
    mainDialog.DestroyWindow();
    dialog = nullptr;
    window = nullptr;
    lists.clear();
    return result;
}

void Win32DialogView::SetIcons() {
    for (const auto& [kind, metricX, metricY] :
         {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON}, std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
        HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, GetSystemMetrics(metricX),
                                 GetSystemMetrics(metricY), LR_SHARED);
        SendMessageW(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    }
}

INT_PTR CALLBACK Win32DialogView::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        // Sent while the list boxes are made, before they have their font:
        // the dialog's own.
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(LineHeight(window));
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        DrawListLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (message == WM_DPICHANGED) {
        // Once the system has given the controls the font of the new scale.
        PostMessageW(window, kMeasureLists, 0, 0);
        return FALSE;
    }
    if (message == kMeasureLists) {
        for (int i = 0; i < kDialogControlCount; ++i) {
            if (kDialogControls[i].kind != ControlKind::ListBox) continue;
            HWND list = GetDlgItem(window, kDialogControls[i].id);
            SendMessageW(list, LB_SETITEMHEIGHT, 0, LineHeight(list));
            InvalidateRect(list, nullptr, TRUE);
        }
        return TRUE;
    }
    if (message == WM_INITDIALOG) {
        auto* view = reinterpret_cast<Win32DialogView*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        view->window = window;
        for (int i = 0; i < kDialogControlCount; ++i) {
            if (kDialogControls[i].kind == ControlKind::ListBox) {
                const int id = kDialogControls[i].id;
                view->lists[id] = std::make_unique<Win32ListBox>(GetDlgItem(window, id));
            }
        }
        view->SetIcons();
        DragAcceptFiles(window, TRUE);  // files dropped onto any control come here
        view->dialog->OnInitDialog();
        return FALSE;  // the focus is set: on the Correct button
    }
    auto* view = reinterpret_cast<Win32DialogView*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!view) return FALSE;
    if (message == WM_DROPFILES) {
        view->dialog->OnDropFiles(DroppedPaths(reinterpret_cast<HDROP>(wParam)));
        return TRUE;
    }
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->dwData != kDropFilesTag) return FALSE;
        SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(data->lpData, data->cbData)), 0);
        SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        // Enter while no push button has the focus, Escape, the close box.
        EndDialog(window, id);
        return TRUE;
    }
    if (HIWORD(wParam) == BN_CLICKED && lParam) {
        view->dialog->OnCommand(id);
        return TRUE;
    }
    if (HIWORD(wParam) == LBN_SELCHANGE) {
        view->dialog->OnSelectionChange(id, static_cast<int>(SendDlgItemMessageW(window, id, LB_GETCURSEL, 0, 0)));
        return TRUE;
    }
    return FALSE;
}

std::string Win32DialogView::GetText(int id) {
    HWND control = GetDlgItem(window, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Utf8FromWide(text);
}

void Win32DialogView::SetText(int id, const std::string& text) {
    SetDlgItemTextW(window, id, WideFromUtf8(text).c_str());
}

ListBox& Win32DialogView::List(int id) { return *lists.at(id); }

void Win32DialogView::SetFocus(int id) {
    // Through the dialog manager, so a button also becomes the default one.
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, id)), TRUE);
}

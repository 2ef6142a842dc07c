#include "app/win32/Win32DialogView.h"

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
        view->dialog->OnInitDialog();
        return FALSE;  // the focus is set: on the Correct button
    }
    auto* view = reinterpret_cast<Win32DialogView*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!view || message != WM_COMMAND) return FALSE;
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

#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "app/DialogWindow.h"

class MainDialog;

// The main dialog as a Win32 dialog box from resource template 102: the
// window procedure forwards every button click, the user's selections in the
// list boxes and dropped files to MainDialog and holds no logic of its own.
// It draws the list boxes' lines, in their marks' colours.
class Win32DialogView : public DialogWindow {
public:
    explicit Win32DialogView(HINSTANCE instance) : instance(instance) {}

    // Creates the dialog, lets MainDialog initialise it, runs it modally until
    // the close box, Escape or Enter (with no push button focused) ends it,
    // then lets MainDialog release its files.
    INT_PTR RunModal(MainDialog& dialog);

    HWND Handle() const { return window; }

    std::string GetText(int id) override;
    void SetText(int id, const std::string& text) override;
    ListBox& List(int id) override;
    void SetFocus(int id) override;

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void SetIcons();

    HINSTANCE instance;
    HWND window = nullptr;
    MainDialog* dialog = nullptr;
    std::map<int, std::unique_ptr<ListBox>> lists;
};

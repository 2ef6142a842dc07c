#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/DialogWindow.h"

// The main dialog as a web page: the controls of the dialog template as HTML
// elements (page.js draws them), their texts read and written through the
// page. The view holds no logic; the page forwards clicks, selections and
// dropped files to MainDialog (main.cpp).
class WebDialogView : public DialogWindow {
public:
    // Creates the page's controls from the template, in its order, which is
    // also the tab order. The newest-file button is left out: it searches a
    // folder the page cannot see.
    WebDialogView();

    std::string GetText(int id) override;
    void SetText(int id, const std::string& text) override;
    ListBox& List(int id) override;
    void SetFocus(int id) override;

    // Puts the lines appended since the last call into the page, so that one
    // listing of many lines costs one call into the page.
    void Flush();

private:
    class WebListBox : public ListBox {
    public:
        explicit WebListBox(int id) : id_(id) {}
        void AddLine(std::string_view line) override;
        void ResetContent() override;
        void SetMark(int line, LineMark mark) override;
        void Select(int line) override;
        void Flush();

    private:
        int id_;
        std::string pending_;  // the lines not yet in the page, UTF-8, one after the other
        std::vector<int> lengths_;
    };

    std::map<int, WebListBox> lists_;
};

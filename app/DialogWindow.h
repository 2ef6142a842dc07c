#pragma once

#include <string>

#include "common/LineList.h"

// What the dialog's logic needs of its window, whatever toolkit draws it.
// Controls are addressed by their template ids (DialogTemplate.h). Texts are
// UTF-8; list lines arrive as the core writes them, code page 950 bytes, and
// the list box shows them decoded.

// An unsorted list box: lines stay in the order they were appended, and only
// the dialog empties it.
class ListBox : public LineList {
public:
    virtual void ResetContent() = 0;
};

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // The whole text of an edit box.
    virtual std::string GetText(int id) = 0;
    // Replaces the text of an edit box or a count label.
    virtual void SetText(int id, const std::string& text) = 0;
    // One of the three list boxes.
    virtual ListBox& List(int id) = 0;
    virtual void SetFocus(int id) = 0;
};

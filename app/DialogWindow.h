#pragma once

#include <string>

#include "common/LineList.h"

// What the dialog's logic needs of its window, whatever toolkit draws it.
// Controls are addressed by their template ids (DialogTemplate.h). Texts are
// UTF-8; list lines arrive as the core writes them, code page 950 bytes, and
// the list box shows them decoded.

// How a list line shows what the correction did for its row: no mark, no new
// name found (dark red), a name no position confirms (dark orange).
enum class LineMark { None, NotCorrected, Uncertain };

// The text colour of a marked line as 0xRRGGBB, readable on a white list
// (contrast above 7:1 for the red, 6:1 for the orange); -1 for no mark: the
// list's own text colour.
constexpr int MarkColour(LineMark mark) {
    return mark == LineMark::NotCorrected ? 0xB00020 : mark == LineMark::Uncertain ? 0xA04000 : -1;
}

// An unsorted list box: lines stay in the order they were appended, and only
// the dialog empties it. Emptying it drops the marks and the selection.
class ListBox : public LineList {
public:
    virtual void ResetContent() = 0;
    // Shows a line with the mark; its text stays as it is.
    virtual void SetMark(int line, LineMark mark) = 0;
    // Selects the line and scrolls it into view; -1 selects none. Selecting
    // from here is not reported back as the user's selection change.
    virtual void Select(int line) = 0;
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

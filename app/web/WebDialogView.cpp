#include "app/web/WebDialogView.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <utility>

#include "app/DialogTemplate.h"
#include "common/CodePage.h"

// The calls into the page (page.js); texts cross as UTF-8.
EM_JS(void, page_add_control, (const char* tag, const char* kind, const char* id, const char* text,
                               const char* tie, const char* describedBy, int control), {
    Page.addControl(UTF8ToString(tag), UTF8ToString(kind), UTF8ToString(id), UTF8ToString(text),
                    UTF8ToString(tie), UTF8ToString(describedBy), control);
});
EM_JS(char*, page_get_text, (const char* id), { return allocateUTF8(Page.text(UTF8ToString(id))); });
EM_JS(void, page_set_text, (const char* id, const char* text), { Page.setText(UTF8ToString(id), UTF8ToString(text)); });
EM_JS(void, page_focus, (const char* id), { Page.focus(UTF8ToString(id)); });
EM_JS(void, page_list_append, (int id, const char* text, const int* lengths, int count), {
    Page.listAppend(id, text, lengths, count);
});
EM_JS(void, page_list_reset, (int id), { Page.listReset(id); });
EM_JS(void, page_list_mark, (int id, int line, const char* mark), { Page.listMark(id, line, UTF8ToString(mark)); });
EM_JS(void, page_list_select, (int id, int line), { Page.listSelect(id, line); });
EM_JS(void, page_mark_colour, (const char* mark, int colour), { Page.markColour(UTF8ToString(mark), colour); });

namespace {

// The element each kind of control becomes, and its class in the page's
// style sheet.
std::pair<const char*, const char*> Element(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton: return {"button", "push-button"};
    case ControlKind::Label: return {"label", "label"};
    case ControlKind::RightLabel: return {"label", "right-label"};
    case ControlKind::CountLabel: return {"output", "count-label"};
    case ControlKind::EditBox: return {"input", "edit-box"};
    case ControlKind::ListBox: return {"div", "list-box"};
    }
    return {"span", ""};
}

// The page's id of a control, and of the label that captions it.
std::string ElementId(int id) { return "c" + std::to_string(id); }
std::string LabelId(int id) { return "l" + std::to_string(id); }

bool IsLabel(const ControlTemplate* item) {
    return item && (item->kind == ControlKind::Label || item->kind == ControlKind::RightLabel);
}

// The mark's class in the page's style sheet, and the name of its colour there.
const char* MarkClass(LineMark mark) {
    switch (mark) {
    case LineMark::NotCorrected: return "not-corrected";
    case LineMark::Uncertain: return "uncertain";
    case LineMark::None: break;
    }
    return "";
}

}  // namespace

WebDialogView::WebDialogView() {
    for (LineMark mark : {LineMark::NotCorrected, LineMark::Uncertain}) {
        page_mark_colour(MarkClass(mark), MarkColour(mark));
    }
    for (int i = 0; i < kDialogControlCount; ++i) {
        const ControlTemplate& item = kDialogControls[i];
        if (item.id == control::kSelectNewest) continue;
        const ControlTemplate* next = i + 1 < kDialogControlCount ? &kDialogControls[i + 1] : nullptr;
        const ControlTemplate* previous = i > 0 ? &kDialogControls[i - 1] : nullptr;
        // A label captions the control that follows it, as the platform's
        // mnemonics take it. The tie of a label is its control, of a control
        // its label.
        std::string id, tie, describedBy;
        if (!IsLabel(&item)) {
            id = ElementId(item.id);
            if (IsLabel(previous)) tie = LabelId(item.id);
        } else if (next) {
            id = LabelId(next->id);
            tie = ElementId(next->id);
        }
        // A count label tells how many lines the list before it holds.
        if (item.kind == ControlKind::ListBox && next && next->kind == ControlKind::CountLabel) {
            describedBy = ElementId(next->id);
        }
        const auto [tag, kind] = Element(item.kind);
        page_add_control(tag, kind, id.c_str(), item.caption, tie.c_str(), describedBy.c_str(), item.id);
        if (item.kind == ControlKind::ListBox) lists_.try_emplace(item.id, item.id);
    }
}

std::string WebDialogView::GetText(int id) {
    char* text = page_get_text(ElementId(id).c_str());
    std::string result = text ? text : "";
    std::free(text);
    return result;
}

void WebDialogView::SetText(int id, const std::string& text) { page_set_text(ElementId(id).c_str(), text.c_str()); }

ListBox& WebDialogView::List(int id) { return lists_.at(id); }

void WebDialogView::SetFocus(int id) { page_focus(ElementId(id).c_str()); }

void WebDialogView::Flush() {
    for (auto& [id, list] : lists_) list.Flush();
}

void WebDialogView::WebListBox::AddLine(std::string_view line) {
    // Decoded here, through the program's own code page table.
    const std::string text = codepage::Cp950ToUtf8(line);
    pending_ += text;
    lengths_.push_back(static_cast<int>(text.size()));
}

void WebDialogView::WebListBox::Flush() {
    if (lengths_.empty()) return;
    page_list_append(id_, pending_.data(), lengths_.data(), static_cast<int>(lengths_.size()));
    pending_.clear();
    lengths_.clear();
}

void WebDialogView::WebListBox::ResetContent() {
    pending_.clear();
    lengths_.clear();
    page_list_reset(id_);
}

void WebDialogView::WebListBox::SetMark(int line, LineMark mark) {
    Flush();
    page_list_mark(id_, line, MarkClass(mark));
}

void WebDialogView::WebListBox::Select(int line) {
    Flush();
    page_list_select(id_, line);
}

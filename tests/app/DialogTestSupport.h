#pragma once

#include <gtest/gtest.h>
#include <map>

#include "app/DialogPrompts.h"
#include "app/DialogTemplate.h"
#include "app/DialogWindow.h"
#include "app/MainDialog.h"
#include "app/ProfileStore.h"
#include "common/CodePage.h"
#include "support/FormatBuilders.h"

using namespace control;
using Lines = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

// A list box holding its lines as the user reads them (UTF-8), marks, selection.
struct FakeList : ListBox {
    void AddLine(std::string_view line) override { lines.push_back(codepage::Cp950ToUtf8(line)), marks.push_back(LineMark::None); }
    void ResetContent() override { lines.clear(), marks.clear(), selected = -1; }
    void SetMark(int line, LineMark mark) override { marks.at(static_cast<size_t>(line)) = mark; }
    void Select(int line) override { selected = line < static_cast<int>(lines.size()) ? line : -2; }  // -2: no such line
    Lines lines;
    std::vector<LineMark> marks;
    int selected = -1;
};

struct FakeWindow : DialogWindow {
    std::string GetText(int id) override { return texts[id]; }
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    ListBox& List(int id) override { return lists[id]; }
    void SetFocus(int id) override { focus = id; }
    std::map<int, std::string> texts;
    std::map<int, FakeList> lists;
    int focus = 0;
};

// Gives the n-th answer to the n-th question and the n-th choice to the n-th
// chooser (No, and cancel, beyond them) and logs what was shown.
struct FakePrompts : DialogPrompts {
    bool Ask(int id) override { return asked.push_back(id), answers.size() >= asked.size() && answers[asked.size() - 1]; }
    void Inform(int id) override { informed.push_back(id); }
    std::string ChooseFile(const std::string& filter, const std::string& start) override {
        chooserCalls.emplace_back(filter, start);
        return choices.size() >= chooserCalls.size() ? choices[chooserCalls.size() - 1] : "";
    }
    std::vector<bool> answers;
    std::vector<std::string> choices;
    std::vector<int> asked, informed;
    Pairs chooserCalls;  // filter, start
};

// Settings that outlive a dialog, with a log of the writes ("Dialog/key", value).
struct FakeStore : ProfileStore {
    std::string GetProfileString(const std::string& section, const std::string& key, const std::string& def) override {
        return values.count(section + "/" + key) ? values[section + "/" + key] : def;
    }
    void WriteProfileString(const std::string& section, const std::string& key, const std::string& value) override {
        writes.emplace_back(section + "/" + key, value);
        values[section + "/" + key] = value;
    }
    std::map<std::string, std::string> values;
    Pairs writes;
};

inline std::string Big5(const char* utf8) { return codepage::Utf8ToCp950(utf8); }
// A name as the damaging program left it: Chinese bytes zero, ASCII as it was.
inline std::string Zeroed(const char* utf8) {
    std::string name = Big5(utf8);
    for (char& c : name) c = static_cast<unsigned char>(c) >= 0x80 ? '\0' : c;
    return name;
}
// The dialog's logic in a fake window, started as the program starts it.
class DialogTest : public ::testing::Test {
protected:
    void Start() {
        window = FakeWindow();
        store.writes.clear();
        dialog = std::make_unique<MainDialog>(window, prompts, store);
        dialog->OnInitDialog();
    }
    void Click(int id) { dialog->OnCommand(id); }
    void List(int box, const std::string& path) {
        window.texts[box] = path;
        Click(box == kGarminPath ? kListGarmin : kListGtm);
    }
    const Lines& LinesOf(int id) { return window.lists[id].lines; }
    std::string& Text(int id) { return window.texts[id]; }

    TempDir files;
    FakeWindow window;
    FakePrompts prompts;
    FakeStore store;
    std::unique_ptr<MainDialog> dialog = std::make_unique<MainDialog>(window, prompts, store);
};

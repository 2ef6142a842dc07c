#pragma once

#include <deque>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/DialogPrompts.h"
#include "app/DialogTemplate.h"
#include "app/DialogWindow.h"
#include "app/MainDialog.h"
#include "app/ProfileStore.h"
#include "common/CodePage.h"
#include "support/ByteBuilder.h"
#include "support/FormatBuilders.h"

using namespace control;
using Lines = std::vector<std::string>;
using Writes = std::vector<std::pair<std::string, std::string>>;  // "Dialog/key", value

// A list box that keeps the lines as the user would read them (UTF-8).
struct FakeList : ListBox {
    void AddLine(std::string_view line) override { lines.push_back(codepage::Cp950ToUtf8(line)); }
    void ResetContent() override { lines.clear(); }
    Lines lines;
};

// The window as texts by id, three lists and the focus.
struct FakeWindow : DialogWindow {
    std::string GetText(int id) override { return texts[id]; }
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    ListBox& List(int id) override { return lists[id]; }
    void SetFocus(int id) override { focus = id; }
    std::map<int, std::string> texts;
    std::map<int, FakeList> lists;
    int focus = 0;
};

// Answers the questions as told (No, and cancel, when nothing is left) and
// remembers what was shown.
struct FakePrompts : DialogPrompts {
    bool Ask(int id) override { return asked.push_back(id), Next(answers, false); }
    void Inform(int id) override { informed.push_back(id); }
    std::string ChooseFile(const std::string& filter, const std::string& start) override {
        chooserCalls.emplace_back(filter, start);
        return Next(choices, std::string());
    }
    template <typename T> static T Next(std::deque<T>& queue, T none) {
        if (queue.empty()) return none;
        T next = queue.front();
        queue.pop_front();
        return next;
    }
    std::deque<bool> answers;
    std::deque<std::string> choices;
    std::vector<int> asked, informed;
    Writes chooserCalls;  // filter, start
};

// Settings that outlive a dialog, with a log of the writes.
struct FakeStore : ProfileStore {
    std::string GetProfileString(const std::string& section, const std::string& key, const std::string& def) override {
        const auto found = values.find(section + "/" + key);
        return found == values.end() ? def : found->second;
    }
    void WriteProfileString(const std::string& section, const std::string& key, const std::string& value) override {
        writes.emplace_back(section + "/" + key, value);
        values[section + "/" + key] = value;
    }
    std::map<std::string, std::string> values;
    Writes writes;
};

inline std::string Big5(const char* utf8) { return codepage::Utf8ToCp950(utf8); }
// A name as the damaging program left it: Chinese bytes zero, ASCII as it was.
inline std::string Zeroed(const char* utf8) {
    std::string name = Big5(utf8);
    for (char& c : name) c = static_cast<unsigned char>(c) >= 0x80 ? '\0' : c;
    return name;
}
// A line of the GTM list: the 10 name bytes (a NUL shown as a blank), the altitude.
inline std::string GtmLine(std::string name, int altitude) {
    name.resize(10, ' ');
    for (char& c : name) c = c == '\0' ? ' ' : c;
    char number[16];
    std::snprintf(number, sizeof number, " %3d", altitude);
    return codepage::Cp950ToUtf8(name) + number;
}

// The dialog's logic in a fake window, started as the program starts it.
class DialogTest : public ::testing::Test {
protected:
    void Start() {
        dialog.reset();
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
    std::unique_ptr<MainDialog> dialog;
};

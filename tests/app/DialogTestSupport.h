#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/DialogPrompts.h"
#include "app/DialogTemplate.h"
#include "app/MainApp.h"
#include "app/MainDialog.h"
#include "app/SettingsProfileStore.h"
#include "common/CodePage.h"
#include "support/ByteBuilder.h"
#include "support/FormatBuilders.h"

using namespace control;

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Answers the dialog's questions the way a test tells it to, and remembers
// what was shown.
class FakePrompts : public DialogPrompts {
public:
    bool Ask(int stringId) override {
        asked.push_back(stringId);
        return !answers.empty() && Next(answers);  // No when no answer is left
    }
    void Inform(int stringId) override {
        informed.push_back(stringId);
        if (onInform) onInform();
    }
    QString ChooseFile(const QString& filter, const QString& start) override {
        chooserCalls.emplace_back(filter, start);
        return choices.empty() ? QString() : Next(choices);  // cancel when no choice is left
    }

    std::function<void()> onInform;  // looks at the dialog while a message shows
    std::deque<bool> answers;
    std::deque<QString> choices;
    std::vector<int> asked, informed;
    std::vector<std::pair<QString, QString>> chooserCalls;  // filter, start

private:
    template <typename T>
    static T Next(std::deque<T>& queue) {
        T next = queue.front();
        queue.pop_front();
        return next;
    }
};

inline SettingsProfileStore UserSettings() {
    return SettingsProfileStore(QString::fromLatin1(MainApp::kRegistryKey), QString::fromLatin1(MainApp::kProfileName));
}

using Writes = std::vector<std::pair<QString, QString>>;  // "Dialog/key", value

// The real settings store, with a log of every write.
class RecordingStore : public ProfileStore {
public:
    QString GetProfileString(const QString& section, const QString& key, const QString& defaultValue) override {
        return real.GetProfileString(section, key, defaultValue);
    }
    void WriteProfileString(const QString& section, const QString& key, const QString& value) override {
        writes.emplace_back(section + u'/' + key, value);
        real.WriteProfileString(section, key, value);
    }

    SettingsProfileStore real = UserSettings();
    Writes writes;
};

// Code page 950 bytes of UTF-8 text, and the text a list shows for them.
inline std::string Big5(const char* utf8) { return codepage::Utf8ToCp950(utf8); }
inline QString Shown(const std::string& cp950) { return QString::fromStdString(codepage::Cp950ToUtf8(cp950)); }
inline QString Q(const std::string& path) { return QString::fromStdString(path); }

// A name as the damaging program left it: the bytes of the Chinese characters
// zero, ASCII as it was.
inline std::string Zeroed(const char* utf8) {
    std::string name = Big5(utf8);
    for (char& c : name) c = static_cast<unsigned char>(c) >= 0x80 ? '\0' : c;
    return name;
}

// A waypoint line of the GTM list: the 10 name bytes with each NUL shown as a
// blank, one blank, the altitude.
inline QString GtmLine(std::string name, double altitude) {
    name.resize(10, ' ');
    for (char& c : name) c = c == '\0' ? ' ' : c;
    return Shown(name) + QString::asprintf(" %3.f", altitude);
}

// A waypoint line of the Garmin and the corrected lists.
inline QString NameLine(const char* utf8, double altitude) {
    return QString::fromUtf8(utf8) + QString::asprintf(" %3.f", altitude);
}

// One test's own settings folder and files, and the dialog as a person meets it.
class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        const QString folder = QString::fromStdString(settingsHome.path().string());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    }

    // Stores a value as an earlier run of the program would have.
    static void Remember(const QString& key, const QString& value) {
        UserSettings().WriteProfileString(QStringLiteral("Dialog"), key, value);
    }
    QString Setting(const QString& key) { return UserSettings().GetProfileString("Dialog", key, "(none)"); }

    // Starts the program's dialog: a fresh settings store, the initialisation,
    // then the window on screen.
    MainDialog& Start() {
        dialog.reset();
        store = std::make_unique<RecordingStore>();
        dialog = std::make_unique<MainDialog>(*store, prompts);
        dialog->OnInitDialog();
        dialog->show();
        return *dialog;
    }

    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    // Replaces a box's text the way a person does: select all, then type the
    // new text (text beyond ASCII, which the key simulation cannot type, is
    // pasted instead).
    void Type(int id, const QString& text) {
        QLineEdit* box = Edit(id);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        if (text.toLatin1() == text.toUtf8()) QTest::keyClicks(box, text);
        else box->insert(text);
    }
    // Types the path into its box and clicks the box's list button.
    void List(int box, const std::string& path) {
        Type(box, Q(path));
        Click(box == kGarminPath ? kListGarmin : kListGtm);
    }

    QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(dialog->Control(id)); }
    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(dialog->Control(id)); }
    QString Text(int id) const {
        QWidget* widget = dialog->Control(id);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
        return qobject_cast<QLabel*>(widget)->text();
    }
    QStringList Lines(int id) const {
        QStringList lines;
        auto* list = qobject_cast<QListWidget*>(dialog->Control(id));
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
    const Writes& WritesSoFar() const { return store->writes; }

    TempDir settingsHome;
    TempDir files;
    FakePrompts prompts;
    std::unique_ptr<RecordingStore> store;
    std::unique_ptr<MainDialog> dialog;
};

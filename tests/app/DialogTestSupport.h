#pragma once

#include <QEvent>
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

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Runs an action when the watched window is first shown.
class OnFirstShow : public QObject {
public:
    explicit OnFirstShow(std::function<void()> action) : action_(std::move(action)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !done) {
            done = true;
            action_();
        }
        return false;
    }
    bool done = false;

private:
    std::function<void()> action_;
};

// Answers the dialog's questions the way a test tells it to, and remembers
// what was shown.
class FakePrompts : public DialogPrompts {
public:
    bool Ask(int stringId) override {
        asked.push_back(stringId);
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Inform(int stringId) override {
        informed.push_back(stringId);
        if (onInform) onInform();
    }
    QString ChooseFile(const QString& filter, const QString& start) override {
        chooserCalls.emplace_back(filter, start);
        if (choices.empty()) return {};
        const QString choice = choices.front();
        choices.pop_front();
        return choice;
    }

    std::function<void()> onInform;  // looks at the dialog while a message shows
    std::deque<bool> answers;      // next answers to Ask; No when none is left
    std::deque<QString> choices;   // next chosen files; cancel when none is left
    std::vector<int> asked;
    std::vector<int> informed;
    std::vector<std::pair<QString, QString>> chooserCalls;  // filter, start
};

// The real settings store, with a log of every write.
class RecordingStore : public ProfileStore {
public:
    RecordingStore()
        : real(QString::fromLatin1(MainApp::kRegistryKey), QString::fromLatin1(MainApp::kProfileName)) {}

    QString GetProfileString(const QString& section, const QString& key, const QString& defaultValue) override {
        return real.GetProfileString(section, key, defaultValue);
    }
    void WriteProfileString(const QString& section, const QString& key, const QString& value) override {
        writes.emplace_back(section + u'/' + key, value);
        real.WriteProfileString(section, key, value);
    }

    SettingsProfileStore real;
    std::vector<std::pair<QString, QString>> writes;  // "Dialog/key", value
};

using Writes = std::vector<std::pair<QString, QString>>;

// Code page 950 bytes of UTF-8 text, and back.
inline std::string Big5(const char* utf8) { return codepage::Utf8ToCp950(utf8); }
inline QString Shown(const std::string& cp950) { return QString::fromStdString(codepage::Cp950ToUtf8(cp950)); }

inline QString Q(const std::string& path) { return QString::fromStdString(path); }

// A name as the damaging program left it: the bytes of the Chinese characters
// zero, ASCII as it was.
inline std::string Zeroed(const char* utf8) {
    std::string name = Big5(utf8);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) c = '\0';
    }
    return name;
}

// A waypoint line of the GTM list: the 10 name bytes with each NUL shown as a
// blank, one blank, the altitude.
inline QString GtmLine(std::string name, double altitude) {
    name.resize(10, ' ');
    for (char& c : name) {
        if (c == '\0') c = ' ';
    }
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
    void Remember(const QString& key, const QString& value) {
        SettingsProfileStore(QString::fromLatin1(MainApp::kRegistryKey), QString::fromLatin1(MainApp::kProfileName))
            .WriteProfileString(QStringLiteral("Dialog"), key, value);
    }

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
        bool ascii = true;
        for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
        if (ascii) QTest::keyClicks(box, text);
        else box->insert(text);
    }

    QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(dialog->Control(id)); }
    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(dialog->Control(id)); }
    QString Text(int id) const {
        QWidget* widget = dialog->Control(id);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
        if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
        return {};
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

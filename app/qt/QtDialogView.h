#pragma once

#include <QDialog>
#include <QFont>
#include <QSize>
#include <map>
#include <memory>

#include "app/DialogWindow.h"

class MainDialog;
class QKeyEvent;

// The main dialog drawn with Qt Widgets: the controls of the dialog template
// at their rectangles, every button click forwarded to MainDialog. The view
// holds no logic of its own. The user's selections in the list boxes and files
// dropped onto the dialog go to MainDialog too.
class QtDialogView : public QDialog, public DialogWindow {
    Q_OBJECT

public:
    explicit QtDialogView(QWidget* parent = nullptr);
    ~QtDialogView() override;

    // Initialises the dialog, runs it modally and lets it release the files it
    // holds. Returns how the run ended.
    int RunModal(MainDialog& dialog);

    // Where the button clicks go; RunModal sets it.
    void SetCommandTarget(MainDialog* dialog) { target = dialog; }

    // A control by its id, or null for an id the dialog does not have.
    QWidget* Control(int id) const;

    std::string GetText(int id) override;
    void SetText(int id, const std::string& text) override;
    ListBox& List(int id) override;
    void SetFocus(int id) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();

    MainDialog* target = nullptr;
    std::map<int, QWidget*> controls;
    std::map<int, std::unique_ptr<ListBox>> lists;
};

// "新細明體" 9 pt where the system has it, else a Traditional Chinese serif
// (Debian's AR PL UMing TW) chosen through the toolkit's font fallback.
QFont DialogFont();

// The pixels of one base unit of a font, as the platform computes them for
// dialogs: the average width of the 52 Latin letters, and the line height.
QSize DialogBaseUnits(const QFont& font);

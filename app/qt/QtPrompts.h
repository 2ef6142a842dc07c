#pragma once

#include <QStringList>

#include "app/DialogPrompts.h"

class QWidget;

// Qt's message boxes and file chooser, owned by the dialog window.
class QtPrompts : public DialogPrompts {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }

    bool Ask(int stringId) override;
    void Inform(int stringId) override;
    std::string ChooseFile(const std::string& filter, const std::string& start) override;

private:
    QWidget* owner_ = nullptr;
};

// A filter of "description|patterns|...||" pairs as the file chooser takes
// them: one entry per pair, the description shown as it is and the patterns
// (separated by ";") in the form the chooser matches, ignoring letter case
// as the files' home system does.
QStringList ChooserNameFilters(const QString& filter);

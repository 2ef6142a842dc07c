#pragma once

#include <QStringList>

#include "app/DialogPrompts.h"

class QWidget;

// The real message boxes and file chooser, owned by the dialog window.
class MessageBoxPrompts : public DialogPrompts {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }

    bool Ask(int stringId) override;
    void Inform(int stringId) override;
    QString ChooseFile(const QString& filter, const QString& start) override;

private:
    QWidget* owner_ = nullptr;
};

// A filter of "description|patterns|...||" pairs as the file chooser takes
// them: one entry per pair, the description shown as it is and the patterns
// (separated by ";") in the form the chooser matches. Where file names are
// case-sensitive the patterns ignore letter case, as they do where the files
// come from.
QStringList ChooserNameFilters(const QString& filter);

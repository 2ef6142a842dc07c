#include "app/ListBoxLines.h"

#include <QListWidget>

#include "common/CodePage.h"

void ListBoxLines::AddLine(std::string_view line) {
    const std::string text = codepage::Cp950ToUtf8(line);
    box_->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void ListBoxLines::ResetContent() { box_->clear(); }

#include "app/qt/QtPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/StringTable.h"

bool QtPrompts::Ask(int stringId) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    QString::fromUtf8(LoadMessageString(stringId)), QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompts::Inform(int stringId) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    QString::fromUtf8(LoadMessageString(stringId)), QMessageBox::Ok, owner_);
    box.exec();
}

namespace {

// "*.wtr" as "*.[wW][tT][rR]", so that a file named X.WTR is offered too.
QString CaselessPattern(const QString& pattern) {
    QString result;
    for (QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            result += u'[';
            result += c.toLower();
            result += c.toUpper();
            result += u']';
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

QStringList ChooserNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;  // the closing "||"
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << CaselessPattern(pattern.trimmed());
        // The chooser takes its patterns from the last parentheses and, with
        // their details hidden, shows the description before them unchanged.
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

std::string QtPrompts::ChooseFile(const std::string& filterText, const std::string& startText) {
    const QString filter = QString::fromStdString(filterText);
    const QString start = QString::fromStdString(startText);
    QFileDialog chooser(owner_);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist yet is accepted, as long as its folder does.
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    chooser.setNameFilters(ChooserNameFilters(filter));
    // The box usually names a file: start in its folder, with the name field
    // left empty.
    const QFileInfo startInfo(start);
    if (!start.isEmpty()) chooser.setDirectory(startInfo.isDir() ? start : startInfo.absolutePath());
    if (chooser.exec() != QDialog::Accepted) return {};
    const QStringList chosen = chooser.selectedFiles();
    return chosen.isEmpty() ? std::string() : chosen.first().toStdString();
}

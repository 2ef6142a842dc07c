#include "app/MessageBoxPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/StringTable.h"

bool MessageBoxPrompts::Ask(int stringId) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    LoadMessageString(stringId), QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxPrompts::Inform(int stringId) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(),
                    LoadMessageString(stringId), QMessageBox::Ok, owner_);
    box.exec();
}

namespace {

// "*.wtr" as "*.[wW][tT][rR]", so that a file named X.WTR is offered too.
QString CaselessPattern(const QString& pattern) {
#ifdef Q_OS_WIN
    return pattern;  // the platform's own matching ignores case
#else
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
#endif
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

QString MessageBoxPrompts::ChooseFile(const QString& filter, const QString& start) {
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
    return chosen.isEmpty() ? QString() : chosen.first();
}

#include "app/qt/QtDialogView.h"

#include <QBrush>
#include <QDropEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QUrl>

#include "app/DialogTemplate.h"
#include "app/MainDialog.h"
#include "app/qt/QtAppIcon.h"
#include "common/CodePage.h"

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect ToQRect(const DialogRect& r) { return QRect(r.x, r.y, r.width, r.height); }

// The text colour of a marked list line; no brush (the list's own colour) for
// no mark.
QBrush MarkBrush(LineMark mark) {
    const int colour = MarkColour(mark);
    return colour < 0 ? QBrush() : QBrush(QColor::fromRgb(static_cast<QRgb>(colour)));
}

// A list widget as the core sees it: every line (code page 950 bytes) is shown
// decoded, a byte the code page does not define as a replacement character.
// A marked line keeps its text in the mark's colour; what the dialog selects
// is not reported back as the user's selection.
class QtListBox : public ListBox {
public:
    explicit QtListBox(QListWidget* box) : box_(box) {}
    void AddLine(std::string_view line) override { box_->addItem(FromUtf8(codepage::Cp950ToUtf8(line))); }
    void ResetContent() override {
        const QSignalBlocker quiet(box_);
        box_->clear();
    }
    void SetMark(int line, LineMark mark) override {
        if (QListWidgetItem* item = box_->item(line)) item->setForeground(MarkBrush(mark));
    }
    void Select(int line) override {
        const QSignalBlocker quiet(box_);
        box_->clearSelection();
        box_->setCurrentRow(line);
        if (QListWidgetItem* item = box_->item(line)) box_->scrollToItem(item);
    }

private:
    QListWidget* box_;
};

}  // namespace

QFont DialogFont() {
    QFont font;
    // The first family the system has is used; the style hint steers the
    // fallback towards a serif face where none of them exists.
    font.setFamilies(QStringList{FromUtf8(kDialogTemplate.fontFace), QStringLiteral("PMingLiU"),
                                 QStringLiteral("AR PL UMing TW")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(kDialogTemplate.fontPoints);
    return font;
}

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    // The average over 52 letters, rounded to the nearest pixel.
    const int width = (letters / 26 + 1) / 2;
    return QSize(width > 0 ? width : 1, metrics.height() > 0 ? metrics.height() : 1);
}

QtDialogView::QtDialogView(QWidget* parent) : QDialog(parent) {
    // A caption with the system menu and a close box; no minimise, maximise or
    // help button, and a fixed size.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(FromUtf8(kDialogTemplate.caption));
    setWindowIcon(AppIcon());
    setFont(DialogFont());
    // Files dropped anywhere on the dialog come here: no control takes them.
    setAcceptDrops(true);
    CreateControls();
}

QtDialogView::~QtDialogView() = default;

void QtDialogView::CreateControls() {
    const QSize base = DialogBaseUnits(font());
    setFixedSize(
        ToQRect(MapDialogRect({0, 0, kDialogTemplate.width, kDialogTemplate.height}, base.width(), base.height()))
            .size());

    QWidget* previousStop = nullptr;
    for (int i = 0; i < kDialogControlCount; ++i) {
        const ControlTemplate& item = kDialogControls[i];
        const QString caption = QString::fromUtf8(item.caption);
        QWidget* widget = nullptr;
        switch (item.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, this);
            connect(button, &QPushButton::clicked, this, [this, id = item.id] {
                if (target) target->OnCommand(id);
            });
            widget = button;
            break;
        }
        case ControlKind::Label:
        case ControlKind::RightLabel: {
            auto* label = new QLabel(caption, this);
            label->setAlignment((item.kind == ControlKind::Label ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop);
            widget = label;
            break;
        }
        case ControlKind::CountLabel: {
            auto* label = new QLabel(caption, this);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setAlignment(Qt::AlignCenter);
            widget = label;
            break;
        }
        case ControlKind::EditBox:
            widget = new QLineEdit(caption, this);
            break;
        case ControlKind::ListBox: {
            auto* list = new QListWidget(this);
            // Lines stay in the order they were added; long lines are cut at
            // the right edge.
            list->setSortingEnabled(false);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            list->setUniformItemSizes(true);
            connect(list, &QListWidget::itemSelectionChanged, this, [this, list, id = item.id] {
                const QList<QListWidgetItem*> selected = list->selectedItems();
                if (target) target->OnSelectionChange(id, selected.isEmpty() ? -1 : list->row(selected.first()));
            });
            lists[item.id] = std::make_unique<QtListBox>(list);
            widget = list;
            break;
        }
        }
        widget->setAcceptDrops(false);
        widget->setGeometry(ToQRect(MapDialogRect(item.rect, base.width(), base.height())));
        if (item.id != control::kNone) {
            widget->setObjectName(QStringLiteral("control%1").arg(item.id));
            controls[item.id] = widget;
        }
        // The tab order is the order of the template.
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previousStop) setTabOrder(previousStop, widget);
            previousStop = widget;
        }
    }
}

QWidget* QtDialogView::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

std::string QtDialogView::GetText(int id) {
    if (auto* box = qobject_cast<QLineEdit*>(Control(id))) return box->text().toStdString();
    return {};
}

void QtDialogView::SetText(int id, const std::string& text) {
    QWidget* widget = Control(id);
    if (auto* box = qobject_cast<QLineEdit*>(widget)) box->setText(FromUtf8(text));
    else if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(FromUtf8(text));
}

ListBox& QtDialogView::List(int id) { return *lists.at(id); }

void QtDialogView::SetFocus(int id) {
    if (QWidget* widget = Control(id)) widget->setFocus();
}

int QtDialogView::RunModal(MainDialog& dialog) {
    SetCommandTarget(&dialog);
    dialog.OnInitDialog();
    const int result = exec();
    dialog.DestroyWindow();
    SetCommandTarget(nullptr);
    return result;
}

void QtDialogView::keyPressEvent(QKeyEvent* event) {
    // Enter ends the dialog unless a push button has the focus (the button
    // then takes the key itself); Escape is the base class's.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~Qt::KeypadModifier) && !qobject_cast<QPushButton*>(focusWidget())) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void QtDialogView::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) return event->acceptProposedAction();
    }
}

void QtDialogView::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    event->acceptProposedAction();
    if (target) target->OnDropFiles(paths);
}

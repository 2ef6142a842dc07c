#include "app/MainDialog.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/AppIcon.h"
#include "app/DialogPrompts.h"
#include "app/DialogTemplate.h"
#include "app/NewestFile.h"
#include "app/ProfileStore.h"
#include "app/StringTable.h"
#include "common/CodePage.h"
#include "gtm/GtmDocument.h"
#include "sources/CreateWaypointSource.h"

namespace {

const QString kSection = QStringLiteral("Dialog");
const QString kGarminKey = QStringLiteral("WTRFile");
const QString kGtmKey = QStringLiteral("GTMFile");
const QString kPrefixKey = QStringLiteral("Prefix");

// The arrow "←" in code page 950: the prefix box's text on a first start, and
// the prefix used when the box does not hold exactly two bytes.
constexpr char kDefaultPrefix[] = "\xA1\xF6";

const QString kGarminFilter = QStringLiteral(
    "Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;*.gdb||");
const QString kGtmFilter = QStringLiteral("GPS TrackMaker Files (*.gtm)|*.gtm||");

QString FromCp950(const std::string& bytes) {
    const std::string text = codepage::Cp950ToUtf8(bytes);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToCp950(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return codepage::Utf8ToCp950(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

}  // namespace

MainDialog::MainDialog(ProfileStore& settings, DialogPrompts& prompts, QWidget* parent)
    : QDialog(parent), appIcon(AppIcon()), settings(settings), prompts(prompts) {
    // A caption with the system menu and a close box; no minimise, maximise or
    // help button, and a fixed size.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(kDialogCaption));
    setFont(DialogFont());
    CreateControls();
}

MainDialog::~MainDialog() = default;

void MainDialog::CreateControls() {
    const QSize baseUnits = DialogBaseUnits(font());
    setFixedSize(MapDialogRect(QRect(QPoint(0, 0), kDialogSize), baseUnits).size());

    QWidget* previousStop = nullptr;
    for (int i = 0; i < kDialogControlCount; ++i) {
        const ControlTemplate& item = kDialogControls[i];
        const QString caption = QString::fromUtf8(item.caption);
        QWidget* widget = nullptr;
        switch (item.kind) {
        case ControlKind::PushButton:
            widget = new QPushButton(caption, this);
            break;
        case ControlKind::Label:
        case ControlKind::RightLabel: {
            auto* label = new QLabel(caption, this);
            label->setAlignment((item.kind == ControlKind::Label ? Qt::AlignLeft : Qt::AlignRight) |
                                Qt::AlignTop);
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
            widget = list;
            break;
        }
        }
        widget->setGeometry(MapDialogRect(item.rect, baseUnits));
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

    garminLines = std::make_unique<ListBoxLines>(static_cast<QListWidget*>(Control(control::kGarminList)));
    gtmLines = std::make_unique<ListBoxLines>(static_cast<QListWidget*>(Control(control::kGtmList)));
    correctedLines =
        std::make_unique<ListBoxLines>(static_cast<QListWidget*>(Control(control::kCorrectedList)));

    const std::pair<int, void (MainDialog::*)()> commands[] = {
        {control::kChooseGarmin, &MainDialog::OnChooseGarminFile},
        {control::kListGarmin, &MainDialog::OnListGarminWaypoints},
        {control::kChooseGtm, &MainDialog::OnChooseGtmFile},
        {control::kListGtm, &MainDialog::OnListGtmWaypoints},
        {control::kCorrect, &MainDialog::OnCorrect},
        {control::kSave, &MainDialog::OnSave},
        {control::kSelectNewest, &MainDialog::OnSelectNewest},
    };
    for (const auto& [id, handler] : commands) {
        connect(static_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this,
                [this, handler = handler] { (this->*handler)(); });
    }
}

QWidget* MainDialog::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

QString MainDialog::BoxText(int id) const { return static_cast<QLineEdit*>(Control(id))->text(); }

void MainDialog::SetBoxText(int id, const QString& text) {
    static_cast<QLineEdit*>(Control(id))->setText(text);
}

std::string MainDialog::BoxPath(int id) const { return QFile::encodeName(BoxText(id)).toStdString(); }

int MainDialog::DoModal() {
    OnInitDialog();
    const int result = exec();
    DestroyWindow();
    return result;
}

void MainDialog::OnInitDialog() {
    setWindowIcon(appIcon);

    SetBoxText(control::kGarminPath, settings.GetProfileString(kSection, kGarminKey, QString()));
    OnListGarminWaypoints();
    SetBoxText(control::kGtmPath, settings.GetProfileString(kSection, kGtmKey, QString()));
    OnListGtmWaypoints();
    SetBoxText(control::kPrefix,
               settings.GetProfileString(kSection, kPrefixKey, FromCp950(kDefaultPrefix)));

    // The first control of the tab order, the Correct button, starts with the focus.
    Control(control::kCorrect)->setFocus();
}

void MainDialog::DestroyWindow() {
    source.reset();
    document.reset();
}

void MainDialog::ChooseFile(int pathBox, const QString& filter, void (MainDialog::*listCommand)()) {
    const QString chosen = prompts.ChooseFile(filter, BoxText(pathBox));
    if (chosen.isEmpty()) return;  // cancelled: nothing changes
    SetBoxText(pathBox, chosen);
    (this->*listCommand)();
}

void MainDialog::OnChooseGarminFile() {
    ChooseFile(control::kGarminPath, kGarminFilter, &MainDialog::OnListGarminWaypoints);
}

void MainDialog::OnChooseGtmFile() {
    ChooseFile(control::kGtmPath, kGtmFilter, &MainDialog::OnListGtmWaypoints);
}

void MainDialog::OnListGarminWaypoints() {
    const QString text = BoxText(control::kGarminPath);
    if (text.isEmpty()) return;
    const std::string path = BoxPath(control::kGarminPath);

    garminLines->ResetContent();
    source.reset();
    source = CreateWaypointSource(path);
    if (!source) return;  // an extension no reader reads
    source->keepTrackPoints = false;  // the dialog shows no tracks

    // After a failed load the reader stays with what it read, and the count
    // and the remembered path keep their values.
    if (source->Load(path, garminLines.get(), nullptr) == 1) {
        static_cast<QLabel*>(Control(control::kGarminCount))->setNum(static_cast<int>(source->waypointCount));
        settings.WriteProfileString(kSection, kGarminKey, text);
    }
}

void MainDialog::OnListGtmWaypoints() {
    const QString text = BoxText(control::kGtmPath);
    if (text.isEmpty()) return;
    const std::string path = BoxPath(control::kGtmPath);

    gtmLines->ResetContent();
    document.reset();
    document = std::make_unique<GtmDocument>();
    document->Load(path, *gtmLines);
    static_cast<QLabel*>(Control(control::kGtmCount))->setNum(static_cast<int>(document->waypointCount));
    // Remembered whether or not the file could be read, so the next start
    // tries it again.
    settings.WriteProfileString(kSection, kGtmKey, text);
}

void MainDialog::OnCorrect() {
    if (!document || !source || document->waypointCount == 0 || source->waypointCount == 0 ||
        !document->waypoints || !source->waypoints) {
        return;
    }
    correctedLines->ResetContent();
    document->CorrectNames(source->waypointCount, source->waypoints.get(), *correctedLines);
    static_cast<QLabel*>(Control(control::kCorrectedCount))->setNum(static_cast<int>(document->correctedCount));
    if (document->correctedCount < document->waypointCount) prompts.Inform(message::kIncompleteCorrection);
}

void MainDialog::OnSave() {
    if (!document || document->correctedCount == 0) return;

    if (document->NeedsPrefix() == 1 && prompts.Ask(message::kPrefixQuestion)) {
        // The box's text counts in code page 950 bytes: the arrow is 2 bytes.
        std::string prefix = ToCp950(BoxText(control::kPrefix));
        if (prefix.size() != 2) prefix = kDefaultPrefix;
        document->ApplyPrefix(prefix.c_str());
        settings.WriteProfileString(kSection, kPrefixKey, FromCp950(prefix));
    }

    if (document->Save() == 1) {
        OnListGtmWaypoints();  // show the file as it now is on disk
    } else {
        // The file is untouched; the corrections stay and Save can be pressed again.
        prompts.Inform(message::kSaveFailed);
    }
}

void MainDialog::SelectNewest(int pathBox, void (MainDialog::*listCommand)()) {
    std::string path = BoxPath(pathBox);
    if (FindNewestFile(NewestFilePattern(path), path) != 1) return;
    SetBoxText(pathBox, QFile::decodeName(QByteArray::fromStdString(path)));
    (this->*listCommand)();
}

void MainDialog::OnSelectNewest() {
    SelectNewest(control::kGarminPath, &MainDialog::OnListGarminWaypoints);
    SelectNewest(control::kGtmPath, &MainDialog::OnListGtmWaypoints);
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    // Enter ends the dialog unless a push button has the focus (the button
    // then takes the key itself); Escape is the base class's.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~Qt::KeypadModifier) && !qobject_cast<QPushButton*>(focusWidget())) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

#include <QFontInfo>
#include <QFontMetrics>

#include "DialogTestSupport.h"
#include "app/AppIcon.h"
#include "app/MessageBoxPrompts.h"

namespace {

using namespace control;

TEST_F(DialogTest, ControlsStandAtTheirTemplateRectangles) {
    Start();
    EXPECT_EQ(dialog->windowTitle(), "Lorvane 1.19");
    const QSize base = DialogBaseUnits(dialog->font());
    EXPECT_EQ(dialog->size(), MapDialogRect(QRect(0, 0, 310, 224), base).size());
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());  // not resizable

    // Every template entry is one child, created in template order.
    QList<QWidget*> children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), kDialogControlCount);
    for (int i = 0; i < kDialogControlCount; ++i) {
        const ControlTemplate& item = kDialogControls[i];
        SCOPED_TRACE(item.caption);
        QWidget* widget = children[i];
        EXPECT_EQ(widget->geometry(), MapDialogRect(item.rect, base));
        if (item.id != kNone) {
            EXPECT_EQ(dialog->Control(item.id), widget);
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), QString::fromUtf8(item.caption));
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), QString::fromUtf8(item.caption));
        }
    }
}

TEST(DialogUnits, MapBothCornersWithRounding) {
    // A font whose letters average 7 pixels and whose lines are 15 high.
    const QSize base(7, 15);
    EXPECT_EQ(MapDialogRect(QRect(7, 22, 296, 14), base), QRect(12, 41, 518, 27));
    EXPECT_EQ(MapDialogRect(QRect(0, 0, 310, 224), base), QRect(0, 0, 543, 420));
}

TEST_F(DialogTest, TheTabOrderIsTheTemplateOrderFromTheCorrectButton) {
    Start();
    std::vector<QWidget*> expected;
    for (int i = 0; i < kDialogControlCount; ++i) {
        const ControlTemplate& item = kDialogControls[i];
        if (item.kind == ControlKind::PushButton || item.kind == ControlKind::EditBox ||
            item.kind == ControlKind::ListBox)
            expected.push_back(dialog->Control(item.id));
    }
    ASSERT_EQ(expected.front(), dialog->Control(kCorrect));
    std::vector<QWidget*> chain{expected.front()};
    for (QWidget* next = expected.front()->nextInFocusChain(); chain.size() < expected.size();
         next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus) chain.push_back(next);
    }
    EXPECT_EQ(chain, expected);

    dialog->activateWindow();
    QApplication::setActiveWindow(dialog.get());
    EXPECT_EQ(dialog->focusWidget(), dialog->Control(kCorrect));
}

TEST_F(DialogTest, TheDialogFontIsATraditionalChineseFaceOfNinePoints) {
    Start();
    const QFont font = dialog->font();
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(font.families().value(0), QString::fromUtf8("新細明體"));
    // Whatever face is found, it draws the dialog's Chinese texts.
    const QFontMetrics metrics(font);
    for (QChar c : QString::fromUtf8("校正存檔選擇列出航點已英數轉中文名稱前置自動最新檔←"))
        EXPECT_TRUE(metrics.inFont(c)) << QFontInfo(font).family().toStdString();
}

TEST_F(DialogTest, TheIconHas32And16Pixels) {
    Start();
    const QList<QSize> sizes = dialog->appIcon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_FALSE(dialog->windowIcon().isNull());
    // Drawn, not blank.
    const QImage image = dialog->appIcon.pixmap(16, 16).toImage();
    EXPECT_NE(image.pixelColor(8, 8), image.pixelColor(0, 0));
}

TEST(ChooserNameFilters, ShowTheDescriptionAndMatchEveryLetterCase) {
    const QStringList filters = ChooserNameFilters(
        "Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;*.gdb||");
    ASSERT_EQ(filters.size(), 1);
    EXPECT_EQ(filters[0],
              "Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb) "
              "(*.[wW][tT][rR] *.[eE][vV][oO] *.[mM][pP][sS] *.[gG][dD][bB])");
    EXPECT_EQ(ChooserNameFilters("GPS TrackMaker Files (*.gtm)|*.gtm||"),
              QStringList{"GPS TrackMaker Files (*.gtm) (*.[gG][tT][mM])"});
}

}  // namespace

#include <QFontInfo>
#include <QFontMetrics>

#include "DialogTestSupport.h"
#include "app/MessageBoxPrompts.h"

namespace {

TEST(DialogUnits, MapBothCornersWithRounding) {
    // A font whose letters average 7 pixels and whose lines are 15 high.
    EXPECT_EQ(MapDialogRect(QRect(7, 22, 296, 14), QSize(7, 15)), QRect(12, 41, 518, 27));
    EXPECT_EQ(MapDialogRect(QRect(0, 0, 310, 224), QSize(7, 15)), QRect(0, 0, 543, 420));
}

TEST_F(DialogTest, ControlsStandAtTheirTemplateRectanglesInTabOrder) {
    Start();
    EXPECT_EQ(dialog->windowTitle(), "Lorvane 1.19");
    const QSize base = DialogBaseUnits(dialog->font());
    EXPECT_EQ(dialog->size(), MapDialogRect(QRect(0, 0, 310, 224), base).size());
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());  // not resizable

    // Every template entry is one child, created in template order; buttons,
    // boxes and lists are the tab stops in that order, from the Correct button.
    const QList<QWidget*> children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), kDialogControlCount);
    std::vector<QWidget*> stops;
    for (int i = 0; i < kDialogControlCount; ++i) {
        const ControlTemplate& item = kDialogControls[i];
        SCOPED_TRACE(item.caption);
        QWidget* widget = children[i];
        EXPECT_EQ(widget->geometry(), MapDialogRect(item.rect, base));
        EXPECT_TRUE(item.id == kNone || dialog->Control(item.id) == widget);
        auto* button = qobject_cast<QPushButton*>(widget);
        auto* label = qobject_cast<QLabel*>(widget);
        const QString caption = QString::fromUtf8(item.caption);
        EXPECT_EQ(button ? button->text() : label ? label->text() : caption, caption);
        const ControlKind kind = item.kind;
        if (kind == ControlKind::PushButton || kind == ControlKind::EditBox || kind == ControlKind::ListBox) {
            stops.push_back(widget);
        }
    }
    ASSERT_EQ(stops.front(), dialog->Control(kCorrect));
    std::vector<QWidget*> chain{stops.front()};
    for (QWidget* next = chain[0]->nextInFocusChain(); chain.size() < stops.size(); next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus) chain.push_back(next);
    }
    EXPECT_EQ(chain, stops);
    dialog->activateWindow();
    QApplication::setActiveWindow(dialog.get());
    EXPECT_EQ(dialog->focusWidget(), dialog->Control(kCorrect));
}

TEST_F(DialogTest, ATraditionalChineseFontOfNinePointsAndAnIconOf32And16Pixels) {
    Start();
    const QFont font = dialog->font();
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(font.families().value(0), QString::fromUtf8("新細明體"));
    // Whatever face is found, it draws the dialog's Chinese texts.
    const QFontMetrics metrics(font);
    for (QChar c : QString::fromUtf8("校正存檔選擇列出航點已英數轉中文名稱前置自動最新檔←"))
        EXPECT_TRUE(metrics.inFont(c)) << QFontInfo(font).family().toStdString();

    const QList<QSize> sizes = dialog->appIcon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(16, 16)));
    EXPECT_FALSE(dialog->windowIcon().isNull());
    const QImage image = dialog->appIcon.pixmap(16, 16).toImage();
    EXPECT_NE(image.pixelColor(8, 8), image.pixelColor(0, 0));  // drawn, not blank
}

TEST(ChooserNameFilters, ShowTheDescriptionAndMatchEveryLetterCase) {
    EXPECT_EQ(ChooserNameFilters("Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;*.gdb||"),
              QStringList{"Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb) "
                          "(*.[wW][tT][rR] *.[eE][vV][oO] *.[mM][pP][sS] *.[gG][dD][bB])"});
    EXPECT_EQ(ChooserNameFilters("GPS TrackMaker Files (*.gtm)|*.gtm||"),
              QStringList{"GPS TrackMaker Files (*.gtm) (*.[gG][tT][mM])"});
}

}  // namespace

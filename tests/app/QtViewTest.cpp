// The Qt front end: the template's layout, the forwarding of clicks, the keys
// that end the dialog, the settings file and the chooser's filters.
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "DialogTestSupport.h"
#include "app/MainApp.h"
#include "app/qt/QtDialogView.h"
#include "app/qt/QtPrompts.h"
#include "app/qt/SettingsProfileStore.h"

namespace {

TEST(QtDialogView, BuildsTheTemplateInTabOrderWithAChineseFont) {
    QtDialogView view;
    EXPECT_EQ(view.windowTitle(), "Lorvane 1.19");
    const QSize base = DialogBaseUnits(view.font());
    EXPECT_EQ(view.size(), QSize(MapDialogRect({0, 0, 310, 224}, base.width(), base.height()).width,
                                 MapDialogRect({0, 0, 310, 224}, base.width(), base.height()).height));
    const QList<QWidget*> children = view.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), kDialogControlCount);
    QWidget* stop = view.Control(kCorrect);
    for (int i = 0; i < kDialogControlCount; ++i) {
        const ControlTemplate& item = kDialogControls[i];
        const DialogRect r = MapDialogRect(item.rect, base.width(), base.height());
        EXPECT_EQ(children[i]->geometry(), QRect(r.x, r.y, r.width, r.height)) << item.caption;
        if (!(children[i]->focusPolicy() & Qt::TabFocus)) continue;
        EXPECT_EQ(children[i], stop) << item.caption;  // the tab order is the template's
        do stop = stop->nextInFocusChain(); while (!(stop->focusPolicy() & Qt::TabFocus));
    }
    EXPECT_EQ(view.font().pointSize(), 9);
    for (QChar c : QString::fromUtf8("校正存檔選擇列出航點已英數轉中文名稱前置自動最新檔←"))
        EXPECT_TRUE(QFontMetrics(view.font()).inFont(c));
    EXPECT_TRUE(view.windowIcon().availableSizes().contains(QSize(16, 16)));
}

TEST(QtDialogView, ForwardsClicksShowsListLinesAndEndsOnEnterOrEscape) {
    TempDir files;
    const std::string gtm = files.Write("a.gtm", GtmBuilder().waypoint(Big5("玉池"), 3000.0f).build());
    QtDialogView view;
    FakePrompts prompts;
    FakeStore store;
    MainDialog dialog(view, prompts, store);
    view.SetCommandTarget(&dialog);
    dialog.OnInitDialog();
    view.show();
    EXPECT_EQ(view.GetText(kPrefix), "←");
    view.SetText(kGtmPath, gtm);
    auto* listButton = static_cast<QPushButton*>(view.Control(kListGtm));
    listButton->setFocus();
    QTest::keyClick(listButton, Qt::Key_Return);  // a button takes Enter itself
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(static_cast<QListWidget*>(view.Control(kGtmList))->item(0)->text(), QString::fromUtf8("玉池       3000"));
    EXPECT_EQ(static_cast<QLabel*>(view.Control(kGtmCount))->text(), "1");
    view.Control(kGtmPath)->setFocus();
    QTest::keyClick(view.Control(kGtmPath), Qt::Key_Return);
    EXPECT_EQ(view.result(), QDialog::Accepted);
    view.show();
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(view.result(), QDialog::Rejected);
}

TEST(SettingsProfileStore, KeepsTheValuesInNestedFoldersOfTheUsersOwnFile) {
    TempDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(home.path().string()));
    SettingsProfileStore store(MainApp::kRegistryKey, MainApp::kProfileName);
    EXPECT_EQ(store.Location().toStdString(), (home.path() / "Tobrin/Ellaste/Lorvane.conf").string());
    EXPECT_EQ(store.GetProfileString("Dialog", "Prefix", "default"), "default");
    store.WriteProfileString("Dialog", "GTMFile", "/gps/航點.gtm");
    QFile file(store.Location());  // written at once
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[Dialog]\nGTMFile="));
    EXPECT_EQ(SettingsProfileStore(MainApp::kRegistryKey, MainApp::kProfileName).GetProfileString("Dialog", "GTMFile", ""),
              "/gps/航點.gtm");
}

TEST(ChooserNameFilters, ShowTheDescriptionAndMatchEveryLetterCase) {
    EXPECT_EQ(ChooserNameFilters(MainDialog::kGarminFilter),
              (QStringList{"Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb) "
                           "(*.[wW][tT][rR] *.[eE][vV][oO] *.[mM][pP][sS] *.[gG][dD][bB])",
                           "GPX Files (*.gpx) (*.[gG][pP][xX])"}));
}

}  // namespace

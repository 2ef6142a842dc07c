// The Qt front end: the template's layout and font, clicks and list lines,
// the keys that end the dialog, the settings file, the icon. The tests run in
// a QApplication on the offscreen platform, with the settings in a folder of
// this run, never the user's own.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include "DialogTestSupport.h"
#include "app/MainApp.h"
#include "app/icon/IconFiles.h"
#include "app/qt/QtDialogView.h"
#include "app/qt/SettingsProfileStore.h"

TEST(QtDialogView, BuildsTheTemplateInTabOrderWithAChineseFontAndForwardsClicksKeysSelectionsAndDroppedFiles) {
    TempDir files;
    QtDialogView view;
    FakePrompts prompts;
    FakeStore store;
    MainDialog dialog(view, prompts, store);
    view.SetCommandTarget(&dialog);
    const QSize base = DialogBaseUnits(view.font());
    auto pixels = [&](const DialogRect& units) {
        const DialogRect r = MapDialogRect(units, base.width(), base.height());
        return QRect(r.x, r.y, r.width, r.height);
    };
    EXPECT_EQ(view.size(), pixels({0, 0, 310, 224}).size());
    const QList<QWidget*> children = view.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), kDialogControlCount);
    QWidget* stop = view.Control(kCorrect);
    for (int i = 0; i < kDialogControlCount; ++i) {
        EXPECT_EQ(children[i]->geometry(), pixels(kDialogControls[i].rect)) << kDialogControls[i].caption;
        if (!(children[i]->focusPolicy() & Qt::TabFocus)) continue;
        EXPECT_EQ(children[i], stop) << kDialogControls[i].caption;  // the tab order is the template's
        do stop = stop->nextInFocusChain(); while (!(stop->focusPolicy() & Qt::TabFocus));
    }
    EXPECT_EQ(view.windowTitle(), "Lorvane 1.19");
    EXPECT_EQ(view.font().pointSize(), 9);
    for (QChar c : QString::fromUtf8("校正存檔選擇列出航點已英數轉中文名稱前置自動最新檔←"))
        EXPECT_TRUE(QFontMetrics(view.font()).inFont(c));

    view.show();
    view.SetText(kGtmPath, files.Write("a.gtm", GtmBuilder().waypoint(Big5("玉池"), 3000.0f).build()));
    view.Control(kListGtm)->setFocus();
    QTest::keyClick(view.Control(kListGtm), Qt::Key_Return);  // a focused button takes Enter itself
    EXPECT_EQ(static_cast<QListWidget*>(view.Control(kGtmList))->item(0)->text(), QString::fromUtf8("玉池       3000"));
    EXPECT_EQ(static_cast<QLabel*>(view.Control(kGtmCount))->text(), "1");
    EXPECT_EQ(view.GetText(kGtmPath), store.values["Dialog/GTMFile"]);
    view.Control(kGtmPath)->setFocus();
    QTest::keyClick(view.Control(kGtmPath), Qt::Key_Return);
    EXPECT_EQ(view.result(), QDialog::Accepted);
    view.show();
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(view.result(), QDialog::Rejected);

    // Two dropped files are listed; the row without a name is marked and selected.
    QMimeData mime;
    const std::string gtmFile = files.Write("航點.gtm", GtmBuilder().waypoint("ZZ", 5000.0f).waypoint(Zeroed("玉池"), 3000.0f).build());
    const std::string wtrFile = files.Write("g.WTR", WtrBuilder().waypoint(Big5("玉池"), 3000.0f).build());
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(gtmFile)), QUrl::fromLocalFile(QString::fromStdString(wtrFile))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    for (QEvent* event : std::initializer_list<QEvent*>{&enter, &drop}) QApplication::sendEvent(&view, event);
    EXPECT_EQ(store.values["Dialog/GTMFile"] + store.values["Dialog/WTRFile"], gtmFile + wtrFile);
    QTest::mouseClick(view.Control(kCorrect), Qt::LeftButton);
    auto* gtm = static_cast<QListWidget*>(view.Control(kGtmList));
    EXPECT_EQ(gtm->item(0)->foreground().color(), QColor(0xB0, 0x00, 0x20));
    EXPECT_EQ(gtm->item(1)->foreground(), QBrush());
    EXPECT_EQ(gtm->selectedItems(), QList<QListWidgetItem*>{gtm->item(0)});
    QTest::mouseClick(gtm->viewport(), Qt::LeftButton, {}, gtm->visualItemRect(gtm->item(1)).center());
    EXPECT_EQ(static_cast<QListWidget*>(view.Control(kCorrectedList))->currentRow(), 0);  // linked
}

TEST(SettingsProfileStore, KeepsTheValuesInNestedFoldersOfTheUsersOwnFile) {
    TempDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(home.path().string()));
    SettingsProfileStore store(MainApp::kRegistryKey, MainApp::kProfileName);
    EXPECT_EQ(store.Location().toStdString(), (home.path() / "Tobrin/Ellaste/Lorvane.conf").string());
    store.WriteProfileString("Dialog", "GTMFile", "/gps/航點.gtm");
    SettingsProfileStore next(MainApp::kRegistryKey, MainApp::kProfileName);  // written at once
    EXPECT_EQ(next.GetProfileString("Dialog", "GTMFile", "") + next.GetProfileString("Dialog", "Prefix", "-"),
              "/gps/航點.gtm-");
}

// The Windows resource's icon is the drawing as the icon tool writes it, and
// the PNGs decode to the drawing: transparent corners, an opaque tile.
TEST(AppIcon, TheCommittedIcoIsTheDrawingAndThePngsDecode) {
    EXPECT_EQ(ReadBytes(LORVANE_SOURCE_DIR "/app/win32/lorvane.ico"), EncodeIco({DrawAppIcon(16), DrawAppIcon(32)}));
    for (int side : {16, 32, 48}) {
        const std::vector<uint8_t> png = EncodePng(DrawAppIcon(side));
        const QImage image = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
        ASSERT_EQ(image.size(), QSize(side, side));
        EXPECT_EQ(qAlpha(image.pixel(0, 0)) + qAlpha(image.pixel(side / 2, side / 2)), 255);
    }
}

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TempDir configHome;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(configHome.path().string()));
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}

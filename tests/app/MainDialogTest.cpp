#include <QEvent>
#include <QFile>
#include <QTimer>
#include <filesystem>

#include "app/StringTable.h"
#include "samples/DemoPair.h"
#include "DialogTestSupport.h"

namespace {

namespace fs = std::filesystem;

const QString kArrow = QString::fromUtf8("←");

// A repair the way users meet it: three Garmin waypoints with Chinese names,
// one of which begins with a letter and a digit, and the GTM file made from
// them with the Chinese characters lost.
class RepairTest : public DialogTest {
protected:
    RepairTest() {
        garminPath = files.Write("garmin.wtr", WtrBuilder().waypoint(Big5("玉池"), 3000.0f).waypoint(Big5("A1營"), 2620.0f)
                                                   .waypoint(Big5("日月潭"), 748.0f).build());
        gtmPath = files.Write("repair.gtm", GtmFile({Zeroed("玉池"), Zeroed("A1營"), Zeroed("日月潭")}));
    }

    // A GTM file of the three waypoints with these names (padded with blanks).
    static std::vector<uint8_t> GtmFile(const std::vector<std::string>& names) {
        const float altitudes[] = {3000.0f, 2620.0f, 748.0f};
        GtmBuilder builder;
        for (size_t i = 0; i < names.size(); ++i) builder.waypoint(names[i], altitudes[i]);
        return builder.build();
    }

    // Both files listed and corrected, as before every save.
    void ListBothAndCorrect() {
        Start();
        List(kGarminPath, garminPath);
        List(kGtmPath, gtmPath);
        Click(kCorrect);
        ASSERT_EQ(Text(kCorrectedCount), "3");
        store->writes.clear();
    }

    const QStringList garminLines = {NameLine("玉池", 3000), NameLine("A1營", 2620), NameLine("日月潭", 748)};
    std::string garminPath, gtmPath;
};

// --- Start-up and settings ---------------------------------------------------

TEST_F(DialogTest, FirstStartShowsEmptyBoxesAndTheArrow) {
    Start();
    for (int box : {kGarminPath, kGtmPath, kGarminCount, kGtmCount, kCorrectedCount}) EXPECT_EQ(Text(box), "");
    EXPECT_EQ(Text(kPrefix), kArrow);
    for (int list : {kGarminList, kGtmList, kCorrectedList}) EXPECT_TRUE(Lines(list).isEmpty());
    EXPECT_TRUE(WritesSoFar().empty());
    EXPECT_TRUE(prompts.asked.empty() && prompts.informed.empty());
}

TEST_F(RepairTest, StartListsBothRememberedFilesBeforeTheDialogShows) {
    Remember("WTRFile", Q(garminPath));
    Remember("GTMFile", Q(gtmPath));
    store = std::make_unique<RecordingStore>();
    dialog = std::make_unique<MainDialog>(*store, prompts);

    // Look at the lists the moment the window first shows, then close it.
    struct OnFirstShow : QObject {
        std::function<void()> look;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show && look) std::exchange(look, nullptr)();
            return false;
        }
    } watcher;
    QStringList garminWhenShown, gtmWhenShown;
    watcher.look = [&] {
        garminWhenShown = Lines(kGarminList);
        gtmWhenShown = Lines(kGtmList);
    };
    dialog->installEventFilter(&watcher);
    QTimer::singleShot(0, dialog.get(), &QDialog::reject);
    dialog->DoModal();

    EXPECT_EQ(garminWhenShown, garminLines);
    EXPECT_EQ(gtmWhenShown, (QStringList{GtmLine(Zeroed("玉池"), 3000), GtmLine(Zeroed("A1營"), 2620),
                                        GtmLine(Zeroed("日月潭"), 748)}));
    EXPECT_EQ(Text(kGarminPath), Q(garminPath));
    EXPECT_EQ(Text(kGarminCount), "3");
    EXPECT_EQ(Text(kGtmCount), "3");
    // Listing at start writes the settings as the list buttons do.
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(garminPath)}, {"Dialog/GTMFile", Q(gtmPath)}}));

    // A remembered Garmin file that is gone keeps its path and setting.
    fs::remove(garminPath);
    Start();
    EXPECT_EQ(Text(kGarminPath), Q(garminPath));
    EXPECT_TRUE(Lines(kGarminList).isEmpty());
    EXPECT_EQ(Text(kGarminCount), "");
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/GTMFile", Q(gtmPath)}}));
    EXPECT_EQ(Setting("WTRFile"), Q(garminPath));
}

TEST_F(DialogTest, SettingsLiveInNestedFoldersOfTheUsersOwnFile) {
    const fs::path expected = settingsHome.path() / "Tobrin" / "Ellaste" / "Lorvane.conf";
    EXPECT_EQ(UserSettings().Location().toStdString(), expected.string());
    EXPECT_EQ(UserSettings().GetProfileString("Dialog", "Prefix", "default"), "default");  // absent
    Remember("GTMFile", "/gps/a.gtm");
    Remember("Prefix", "");
    EXPECT_EQ(Setting("Prefix"), "");
    // Written at once, not when the program ends.
    QFile file(Q(expected.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[Dialog]\nGTMFile=/gps/a.gtm"));
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(settingsHome.path()))
        EXPECT_EQ(entry.path().filename().string().find('\\'), std::string::npos) << entry.path();

    // A file one level up, as an organisation-wide default, is not read.
    QFile org(Q((settingsHome.path() / "Tobrin" / "Ellaste.conf").string()));
    ASSERT_TRUE(org.open(QIODevice::WriteOnly));
    org.write("[Dialog]\nWTRFile=/gps/b.wtr\n");
    org.close();
    EXPECT_EQ(Setting("WTRFile"), "(none)");
}

TEST_F(DialogTest, TheNextStartFindsTheThreeSettings) {
    fs::create_directory(files.path() / "航點");  // a folder with a Chinese name
    const std::string garmin = files.Write("航點/g.wtr", WtrBuilder().waypoint(Big5("A玉池"), 10.0f).build());
    const std::string gtm = files.Write("航點/t.gtm", GtmBuilder().waypoint(Zeroed("A玉池"), 10.0f).build());
    Start();
    List(kGarminPath, garmin);
    List(kGtmPath, gtm);
    Click(kCorrect);
    Type(kPrefix, QString::fromUtf8("中"));
    prompts.answers = {true};
    Click(kSave);
    ASSERT_EQ(prompts.asked.size(), 1u);
    dialog->close();

    Start();
    EXPECT_EQ(Text(kGarminPath), Q(garmin));
    EXPECT_EQ(Text(kGtmPath), Q(gtm));
    EXPECT_EQ(Text(kPrefix), QString::fromUtf8("中"));
    EXPECT_EQ(Lines(kGarminList), QStringList{NameLine("A玉池", 10)});
    EXPECT_EQ(Lines(kGtmList), QStringList{GtmLine(Big5("中A玉池"), 10)});
}

// --- Listing and choosing ----------------------------------------------------

TEST_F(RepairTest, ListingWhatCannotBeListed) {
    const std::string textFile = files.Write("garmin.txt", ReadBytes(garminPath));
    const std::string broken = files.Write("broken.wtr", ByteBuilder().u8(0xFE).text("Wpt").u8(0xFF).fill(20).bytes());
    const std::string missing = (files.path() / "missing.gtm").string();
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::string>> typed;
        qsizetype garminLines, gtmLines;
        const char* gtmCount;
        Writes writes;
    };
    const Case cases[] = {
        // Nothing changes, not even the lists; reader and document stay.
        {"empty boxes", {{kGarminPath, ""}, {kGtmPath, ""}}, 3, 3, "3", {}},
        // The reader is dropped; the count and the setting keep their values.
        {"unknown extension", {{kGarminPath, textFile}}, 0, 3, "3", {}},
        {"unreadable Garmin file", {{kGarminPath, broken}}, 0, 3, "3", {}},
        // The GTM path is remembered even when its load fails.
        {"missing GTM file", {{kGtmPath, missing}}, 3, 0, "0", {{"Dialog/GTMFile", Q(missing)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListBothAndCorrect();
        for (const auto& [box, path] : c.typed) List(box, path);
        EXPECT_EQ(Lines(kGarminList).size(), c.garminLines);
        EXPECT_EQ(Lines(kGtmList).size(), c.gtmLines);
        EXPECT_EQ(Text(kGarminCount), "3");
        EXPECT_EQ(Text(kGtmCount), c.gtmCount);
        EXPECT_EQ(WritesSoFar(), c.writes);
        EXPECT_EQ(Setting("WTRFile"), Q(garminPath));
        // The list commands leave the corrected list alone; Correct works on
        // when both files are there and does nothing otherwise.
        Click(kCorrect);
        EXPECT_EQ(Lines(kCorrectedList).size(), 3);
        EXPECT_TRUE(prompts.informed.empty());
    }
    Click(kSave);  // with no GTM waypoints, Save does nothing either
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(DialogTest, ABrokenCharacterShowsAsAReplacementCharacter) {
    // The name field ends with the first byte of a double-byte character, so
    // the line holds that byte followed by a blank, which the code page does
    // not define.
    Start();
    List(kGarminPath, files.Write("odd.wtr", WtrBuilder().waypoint("ABCDEFGHI\xA4", 12.0f).build()));
    EXPECT_EQ(Lines(kGarminList), QStringList{QString::fromUtf8("ABCDEFGHI\uFFFD  12")});
}

TEST_F(RepairTest, ChoosingFilesListsThemWhateverTheCaseOfTheExtensionAndCorrectingFindsAll) {
    const std::string upper = files.Write("GARMIN.WTR", ReadBytes(garminPath));
    Start();
    Type(kGarminPath, Q(garminPath));
    prompts.choices = {Q(upper), Q(gtmPath)};
    Click(kChooseGarmin);
    Click(kChooseGtm);
    const decltype(prompts.chooserCalls) calls = {
        // The Garmin chooser starts at the box's path.
        {"Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;*.gdb||", Q(garminPath)},
        {"GPS TrackMaker Files (*.gtm)|*.gtm||", ""}};
    EXPECT_EQ(prompts.chooserCalls, calls);
    EXPECT_EQ(Text(kGarminPath), Q(upper));
    EXPECT_EQ(Text(kGtmPath), Q(gtmPath));
    EXPECT_EQ(Lines(kGarminList), garminLines);
    EXPECT_EQ(Lines(kGtmList).size(), 3);
    EXPECT_EQ(Text(kGarminCount), "3");
    EXPECT_EQ(Text(kGtmCount), "3");
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(upper)}, {"Dialog/GTMFile", Q(gtmPath)}}));
    Click(kCorrect);
    EXPECT_EQ(Lines(kCorrectedList), garminLines);
    EXPECT_EQ(Text(kCorrectedCount), "3");
    EXPECT_TRUE(prompts.asked.empty() && prompts.informed.empty());

    // Cancelling the chooser changes nothing.
    store->writes.clear();
    Type(kGtmPath, "typed.gtm");
    Click(kChooseGtm);
    EXPECT_EQ(Text(kGtmPath), "typed.gtm");
    EXPECT_EQ(Lines(kGtmList).size(), 3);
    EXPECT_TRUE(WritesSoFar().empty());
}

// --- Correcting ----------------------------------------------------------------

TEST_F(RepairTest, AnIncompleteCorrectionWarnsAfterShowingTheCount) {
    // A fourth GTM waypoint has no Garmin waypoint at its altitude.
    gtmPath = files.Write("four.gtm", GtmBuilder().waypoint(Zeroed("玉池"), 3000.0f).waypoint(Zeroed("A1營"), 2620.0f)
                                          .waypoint("ZZ", 5000.0f).waypoint(Zeroed("日月潭"), 748.0f).build());
    Start();
    List(kGarminPath, garminPath);
    List(kGtmPath, gtmPath);
    QString countWhileWarning;
    prompts.onInform = [&] { countWhileWarning = Text(kCorrectedCount); };
    Click(kCorrect);
    EXPECT_EQ(prompts.informed, std::vector<int>{message::kIncompleteCorrection});
    EXPECT_EQ(countWhileWarning, "3");
    EXPECT_EQ(Lines(kCorrectedList), garminLines);
}

TEST_F(RepairTest, CorrectNeedsBothFilesAndSaveACorrection) {
    Start();
    Click(kCorrect);
    List(kGtmPath, gtmPath);
    Click(kCorrect);
    EXPECT_TRUE(Lines(kCorrectedList).isEmpty());
    EXPECT_EQ(Text(kCorrectedCount), "");
    store->writes.clear();
    Click(kSave);
    EXPECT_TRUE(prompts.asked.empty() && prompts.informed.empty());
    EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Zeroed("玉池"), Zeroed("A1營"), Zeroed("日月潭")}));
    EXPECT_TRUE(WritesSoFar().empty());
}

// --- Saving --------------------------------------------------------------------

TEST_F(RepairTest, SavePrefixesNamesThatBeginWithALetterWhenAnsweredYes) {
    struct Case {
        const char* remembered;  // the prefix setting at start, when not nullptr
        const char* typed;       // into the prefix box, when not nullptr
        bool answer;
        const char* used;  // the prefix put before the name, UTF-8
    };
    const Case cases[] = {
        {nullptr, nullptr, true, "←"},  // the box as at the first start
        {nullptr, "ZZ", true, "ZZ"},
        {nullptr, "中", true, "中"},  // one character of two bytes in code page 950
        {nullptr, "Z", true, "←"},    // one byte: the arrow instead
        {nullptr, "ZZZ", true, "←"},  // three bytes: the arrow instead
        {nullptr, "", true, "←"},
        {nullptr, "QQ", false, ""},  // No: no prefix, and the setting stays
        {"XYZ", nullptr, true, "←"},  // a stored prefix of another length shows until replaced by a save
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.remembered << " " << c.typed);
        files.Write("repair.gtm", GtmFile({Zeroed("玉池"), Zeroed("A1營"), Zeroed("日月潭")}));
        if (c.remembered) Remember("Prefix", c.remembered);
        const QString settingBefore = Setting("Prefix");
        prompts.asked.clear();
        ListBothAndCorrect();
        if (c.typed) Type(kPrefix, QString::fromUtf8(c.typed));
        const QString box = Text(kPrefix);
        EXPECT_EQ(box, c.typed ? QString::fromUtf8(c.typed) : c.remembered ? c.remembered : kArrow);
        prompts.answers = {c.answer};
        Click(kSave);
        EXPECT_EQ(prompts.asked, std::vector<int>{message::kPrefixQuestion});
        EXPECT_TRUE(prompts.informed.empty());
        EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), Big5(c.used) + Big5("A1營"), Big5("日月潭")}));
        const Writes prefix = {{"Dialog/Prefix", QString::fromUtf8(c.used)}};
        Writes writes = c.answer ? prefix : Writes{};
        writes.emplace_back("Dialog/GTMFile", Q(gtmPath));
        EXPECT_EQ(WritesSoFar(), writes);
        EXPECT_EQ(Setting("Prefix"), c.answer ? QString::fromUtf8(c.used) : settingBefore);
        EXPECT_EQ(Text(kPrefix), box);  // the box keeps its text
    }
}

TEST_F(RepairTest, SaveAsksNothingWhenEveryNameBeginsWithAChineseCharacter) {
    files.Write("garmin.wtr", WtrBuilder().waypoint(Big5("玉池"), 3000.0f).waypoint(Big5("營A1"), 2620.0f)
                                  .waypoint(Big5("日月潭"), 748.0f).build());
    files.Write("repair.gtm", GtmFile({Zeroed("玉池"), Zeroed("營A1"), Zeroed("日月潭")}));
    ListBothAndCorrect();
    Click(kSave);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), Big5("營A1"), Big5("日月潭")}));
}

TEST_F(RepairTest, AfterASaveTheFileIsListedAgainFromDisk) {
    ListBothAndCorrect();
    prompts.answers = {true};
    Click(kSave);
    EXPECT_EQ(Lines(kGtmList), (QStringList{GtmLine(Big5("玉池"), 3000), GtmLine(Big5("←A1營"), 2620),
                                            GtmLine(Big5("日月潭"), 748)}));
    EXPECT_EQ(Text(kGtmCount), "3");
    EXPECT_EQ(Lines(kGarminList), garminLines);
    EXPECT_EQ(Lines(kCorrectedList), garminLines);
    EXPECT_EQ(Text(kCorrectedCount), "3");

    // The new document has no corrections: a second Save does nothing.
    const std::vector<uint8_t> saved = ReadBytes(gtmPath);
    store->writes.clear();
    Click(kSave);
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(ReadBytes(gtmPath), saved);
    EXPECT_TRUE(WritesSoFar().empty());

    // Save writes the listed file, then lists the file the box names.
    files.Write("repair.gtm", GtmFile({Zeroed("玉池"), Zeroed("A1營"), Zeroed("日月潭")}));
    ListBothAndCorrect();
    const std::vector<uint8_t> otherBytes = GtmBuilder().waypoint("OTHER", 1.0f).build();
    const std::string other = files.Write("other.gtm", otherBytes);
    Type(kGtmPath, Q(other));
    prompts.answers = {false};
    Click(kSave);
    EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), Big5("A1營"), Big5("日月潭")}));
    EXPECT_EQ(ReadBytes(other), otherBytes);
    EXPECT_EQ(Lines(kGtmList), QStringList{GtmLine("OTHER", 1)});
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/GTMFile", Q(other)}}));
}

TEST_F(RepairTest, AFailedSaveSaysSoAndKeepsEverything) {
    // The file lives in a folder that is gone by the time of the save.
    fs::create_directory(files.path() / "gone");
    const std::vector<uint8_t> original = ReadBytes(gtmPath);
    gtmPath = files.Write("gone/repair.gtm", original);
    ListBothAndCorrect();
    fs::remove_all(files.path() / "gone");
    const QStringList gtmBefore = Lines(kGtmList);
    prompts.answers = {false};
    Click(kSave);
    EXPECT_EQ(prompts.informed, std::vector<int>{message::kSaveFailed});
    EXPECT_EQ(LoadMessageString(message::kSaveFailed), QString::fromUtf8("存檔失敗，檔案沒有被更改。"));
    EXPECT_EQ(Lines(kGtmList), gtmBefore);  // not listed again
    EXPECT_TRUE(WritesSoFar().empty());

    // The corrections are kept: once the folder is back, Save works.
    fs::create_directory(files.path() / "gone");
    files.Write("gone/repair.gtm", original);
    prompts.answers = {false};
    Click(kSave);
    EXPECT_EQ(prompts.asked.size(), 2u);
    EXPECT_EQ(prompts.informed.size(), 1u);
    EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), Big5("A1營"), Big5("日月潭")}));
}

TEST_F(DialogTest, TheDemoPairIsTheGeneratorsAndIsRepairedThroughTheDialog) {
    const fs::path demo = LORVANE_DEMO_DIR;
    EXPECT_EQ(ReadBytes((demo / "demo.wtr").string()), MakeDemoWtr());
    EXPECT_EQ(ReadBytes((demo / "demo.gtm").string()), MakeDemoGtm());
    Start();
    List(kGarminPath, files.Write("demo.wtr", MakeDemoWtr()));
    List(kGtmPath, files.Write("demo.gtm", MakeDemoGtm()));
    ASSERT_EQ(Text(kGarminCount), "12");
    ASSERT_EQ(Text(kGtmCount), "12");
    Click(kCorrect);
    EXPECT_EQ(Text(kCorrectedCount), "12");
    EXPECT_TRUE(prompts.informed.empty());  // every name found
    EXPECT_EQ(Lines(kCorrectedList), Lines(kGarminList));
    prompts.answers = {true};
    Click(kSave);
    EXPECT_EQ(prompts.asked.size(), 1u);
    const QStringList repaired = Lines(kGtmList);
    ASSERT_EQ(repaired.size(), 12);
    for (const QString& line : repaired) {
        EXPECT_GE(line.front().unicode(), 0x80) << line.toStdString();  // every name begins in Chinese
        EXPECT_FALSE(line.contains(QChar(0xFFFD))) << line.toStdString();
    }
    EXPECT_TRUE(repaired.contains(GtmLine(Big5("←TWN車站"), 95)));
    EXPECT_TRUE(repaired.contains(GtmLine(Big5("嘉明湖"), 3310)));
}

// --- Ending --------------------------------------------------------------------

TEST_F(RepairTest, EnterEndsTheDialogUnlessAButtonHasTheFocusEscapeEndsIt) {
    Remember("GTMFile", Q(gtmPath));
    Start();
    Button(kListGtm)->setFocus();
    fs::remove(gtmPath);
    QTest::keyClick(Button(kListGtm), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Text(kGtmCount), "0");  // listed again, and the file is gone

    Edit(kGarminPath)->setFocus();
    QTest::keyClick(Edit(kGarminPath), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    Start();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

}  // namespace

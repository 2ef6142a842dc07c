#include <QEvent>
#include <QTimer>

#include "app/StringTable.h"
#include "DialogTestSupport.h"

namespace {

using namespace control;

const QString kArrow = QString::fromUtf8("←");

// A repair the way users meet it: three Garmin waypoints with Chinese names,
// one of which begins with a letter and a digit, and the GTM file made from
// them with the Chinese characters lost.
class RepairTest : public DialogTest {
protected:
    RepairTest() {
        garminPath = files.Write("garmin.wtr", WtrBuilder()
                                                    .waypoint(Big5("玉池"), 3000.0f)
                                                    .waypoint(Big5("A1營"), 2620.0f)
                                                    .waypoint(Big5("日月潭"), 748.0f)
                                                    .build());
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
        Type(kGarminPath, Q(garminPath));
        Click(kListGarmin);
        Type(kGtmPath, Q(gtmPath));
        Click(kListGtm);
        Click(kCorrect);
        ASSERT_EQ(Text(kCorrectedCount), "3");
        store->writes.clear();
    }

    std::string garminPath;
    std::string gtmPath;
};

// --- Start-up --------------------------------------------------------------

TEST_F(DialogTest, FirstStartShowsEmptyBoxesAndTheArrow) {
    Start();
    EXPECT_EQ(Text(kGarminPath), "");
    EXPECT_EQ(Text(kGtmPath), "");
    EXPECT_EQ(Text(kPrefix), kArrow);
    EXPECT_EQ(Big5(Text(kPrefix).toUtf8().constData()), "\xA1\xF6");
    for (int list : {kGarminList, kGtmList, kCorrectedList}) EXPECT_TRUE(Lines(list).isEmpty());
    for (int count : {kGarminCount, kGtmCount, kCorrectedCount}) EXPECT_EQ(Text(count), "");
    EXPECT_TRUE(WritesSoFar().empty());
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(prompts.informed.empty());
}

TEST_F(RepairTest, StartListsBothRememberedFilesBeforeTheDialogShows) {
    Remember("WTRFile", Q(garminPath));
    Remember("GTMFile", Q(gtmPath));
    store = std::make_unique<RecordingStore>();
    dialog = std::make_unique<MainDialog>(*store, prompts);

    // Look at the lists the moment the window first shows, then close it.
    QStringList garminWhenShown, gtmWhenShown;
    OnFirstShow watcher([&] {
        garminWhenShown = Lines(kGarminList);
        gtmWhenShown = Lines(kGtmList);
    });
    dialog->installEventFilter(&watcher);
    QTimer::singleShot(0, dialog.get(), &QDialog::reject);
    dialog->DoModal();

    ASSERT_TRUE(watcher.done);
    EXPECT_EQ(garminWhenShown, (QStringList{NameLine("玉池", 3000), NameLine("A1營", 2620), NameLine("日月潭", 748)}));
    EXPECT_EQ(gtmWhenShown, (QStringList{GtmLine(Zeroed("玉池"), 3000), GtmLine(Zeroed("A1營"), 2620),
                                        GtmLine(Zeroed("日月潭"), 748)}));
    EXPECT_EQ(Text(kGarminPath), Q(garminPath));
    EXPECT_EQ(Text(kGarminCount), "3");
    EXPECT_EQ(Text(kGtmCount), "3");
    // Listing at start writes the settings as the list buttons do.
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(garminPath)}, {"Dialog/GTMFile", Q(gtmPath)}}));
}

TEST_F(RepairTest, ARememberedGarminFileThatIsGoneKeepsItsPath) {
    Remember("WTRFile", Q(garminPath));
    std::filesystem::remove(garminPath);
    Start();
    EXPECT_EQ(Text(kGarminPath), Q(garminPath));
    EXPECT_TRUE(Lines(kGarminList).isEmpty());
    EXPECT_EQ(Text(kGarminCount), "");
    EXPECT_TRUE(WritesSoFar().empty());
    EXPECT_EQ(store->GetProfileString("Dialog", "WTRFile", ""), Q(garminPath));
}

// --- Listing ---------------------------------------------------------------

TEST_F(RepairTest, ListingShowsTheCountAndRemembersThePath) {
    Start();
    Type(kGarminPath, Q(garminPath));
    Click(kListGarmin);
    EXPECT_EQ(Lines(kGarminList), (QStringList{NameLine("玉池", 3000), NameLine("A1營", 2620), NameLine("日月潭", 748)}));
    EXPECT_EQ(Text(kGarminCount), "3");
    Type(kGtmPath, Q(gtmPath));
    Click(kListGtm);
    EXPECT_EQ(Lines(kGtmList).size(), 3);
    EXPECT_EQ(Text(kGtmCount), "3");
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(garminPath)}, {"Dialog/GTMFile", Q(gtmPath)}}));
    EXPECT_TRUE(prompts.informed.empty());
}

TEST_F(RepairTest, ListingAnEmptyBoxChangesNothing) {
    ListBothAndCorrect();
    for (int box : {kGarminPath, kGtmPath}) Type(box, "");
    Click(kListGarmin);
    Click(kListGtm);
    EXPECT_EQ(Lines(kGarminList).size(), 3);  // not even emptied
    EXPECT_EQ(Lines(kGtmList).size(), 3);
    EXPECT_EQ(Text(kGarminCount), "3");
    EXPECT_EQ(Text(kGtmCount), "3");
    EXPECT_TRUE(WritesSoFar().empty());
    // The reader and the document are still there.
    Click(kCorrect);
    EXPECT_EQ(Lines(kCorrectedList).size(), 3);
}

TEST_F(RepairTest, AnUnknownExtensionDropsTheReader) {
    ListBothAndCorrect();
    const std::string textFile = files.Write("garmin.txt", WtrBuilder().waypoint("A", 1.0f).build());
    Type(kGarminPath, Q(textFile));
    Click(kListGarmin);
    EXPECT_TRUE(Lines(kGarminList).isEmpty());
    EXPECT_EQ(Text(kGarminCount), "3");  // the old number stays
    EXPECT_TRUE(WritesSoFar().empty());
    EXPECT_EQ(store->GetProfileString("Dialog", "WTRFile", ""), Q(garminPath));

    // Without a reader there is nothing to correct from.
    Click(kCorrect);
    EXPECT_EQ(Lines(kCorrectedList).size(), 3);  // the last correction still shows
    EXPECT_TRUE(prompts.informed.empty());
}

TEST_F(RepairTest, TheExtensionIsReadWithoutRegardToCase) {
    const std::string upper = files.Write("GARMIN.WTR", ReadBytes(garminPath));
    Start();
    Type(kGarminPath, Q(upper));
    Click(kListGarmin);
    EXPECT_EQ(Lines(kGarminList).size(), 3);
    EXPECT_EQ(Text(kGarminCount), "3");
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(upper)}}));
}

TEST_F(RepairTest, AFailedGarminLoadKeepsTheCountAndTheSetting) {
    ListBothAndCorrect();
    const std::string broken = files.Write("broken.wtr", ByteBuilder().u8(0xFE).text("Wpt").u8(0xFF).fill(20).bytes());
    Type(kGarminPath, Q(broken));
    Click(kListGarmin);
    EXPECT_TRUE(Lines(kGarminList).isEmpty());
    EXPECT_EQ(Text(kGarminCount), "3");
    EXPECT_TRUE(WritesSoFar().empty());
    EXPECT_TRUE(prompts.informed.empty());
}

TEST_F(RepairTest, AMissingGtmFileListsNothingButIsRemembered) {
    ListBothAndCorrect();
    const std::string missing = (files.path() / "missing.gtm").string();
    Type(kGtmPath, Q(missing));
    Click(kListGtm);
    EXPECT_TRUE(Lines(kGtmList).isEmpty());
    EXPECT_EQ(Text(kGtmCount), "0");
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/GTMFile", Q(missing)}}));
    // The list commands leave the corrected list alone; with no GTM
    // waypoints, Correct and Save do nothing.
    EXPECT_EQ(Lines(kCorrectedList).size(), 3);
    Click(kCorrect);
    Click(kSave);
    EXPECT_EQ(Lines(kCorrectedList).size(), 3);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(prompts.informed.empty());
}

TEST_F(DialogTest, ABrokenCharacterShowsAsAReplacementCharacter) {
    // The name field ends with the first byte of a double-byte character, so
    // the line holds that byte followed by a blank, which the code page does
    // not define.
    const std::string path = files.Write("odd.wtr", WtrBuilder().waypoint("ABCDEFGHI\xA4", 12.0f).build());
    Start();
    Type(kGarminPath, Q(path));
    Click(kListGarmin);
    ASSERT_EQ(Lines(kGarminList).size(), 1);
    EXPECT_EQ(Lines(kGarminList)[0], QString::fromUtf8("ABCDEFGHI\uFFFD  12"));
}

TEST_F(RepairTest, ChoosingAFileListsIt) {
    Start();
    Type(kGarminPath, Q(garminPath));
    prompts.choices = {Q(garminPath)};
    Click(kChooseGarmin);
    prompts.choices = {Q(gtmPath)};
    Click(kChooseGtm);
    ASSERT_EQ(prompts.chooserCalls.size(), 2u);
    EXPECT_EQ(prompts.chooserCalls[0].first,
              "Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;*.gdb||");
    EXPECT_EQ(prompts.chooserCalls[0].second, Q(garminPath));  // starts where the box points
    EXPECT_EQ(prompts.chooserCalls[1].first, "GPS TrackMaker Files (*.gtm)|*.gtm||");
    EXPECT_EQ(prompts.chooserCalls[1].second, "");
    EXPECT_EQ(Text(kGtmPath), Q(gtmPath));
    EXPECT_EQ(Lines(kGarminList).size(), 3);
    EXPECT_EQ(Lines(kGtmList).size(), 3);
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(garminPath)}, {"Dialog/GTMFile", Q(gtmPath)}}));
}

TEST_F(RepairTest, CancellingTheChooserChangesNothing) {
    Start();
    Type(kGtmPath, "typed.gtm");
    Click(kChooseGtm);
    EXPECT_EQ(Text(kGtmPath), "typed.gtm");
    EXPECT_EQ(Text(kGtmCount), "");
    EXPECT_TRUE(WritesSoFar().empty());
}

// --- Correcting ------------------------------------------------------------

TEST_F(RepairTest, CorrectingEveryWaypointShowsNoWarning) {
    ListBothAndCorrect();
    EXPECT_EQ(Lines(kCorrectedList), (QStringList{NameLine("玉池", 3000), NameLine("A1營", 2620), NameLine("日月潭", 748)}));
    EXPECT_TRUE(prompts.informed.empty());
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(RepairTest, AnIncompleteCorrectionWarnsAfterShowingTheCount) {
    // A fourth GTM waypoint has no Garmin waypoint at its altitude.
    gtmPath = files.Write("four.gtm", GtmBuilder()
                                          .waypoint(Zeroed("玉池"), 3000.0f)
                                          .waypoint(Zeroed("A1營"), 2620.0f)
                                          .waypoint("ZZ", 5000.0f)
                                          .waypoint(Zeroed("日月潭"), 748.0f)
                                          .build());
    Start();
    Type(kGarminPath, Q(garminPath));
    Click(kListGarmin);
    Type(kGtmPath, Q(gtmPath));
    Click(kListGtm);
    QString countWhileWarning;
    prompts.onInform = [&] { countWhileWarning = Text(kCorrectedCount); };
    Click(kCorrect);
    EXPECT_EQ(prompts.informed, std::vector<int>{message::kIncompleteCorrection});
    EXPECT_EQ(countWhileWarning, "3");
    EXPECT_EQ(Lines(kCorrectedList), (QStringList{NameLine("玉池", 3000), NameLine("A1營", 2620), NameLine("日月潭", 748)}));
}

TEST_F(RepairTest, CorrectNeedsBothFiles) {
    Start();
    Click(kCorrect);
    Type(kGtmPath, Q(gtmPath));
    Click(kListGtm);
    Click(kCorrect);
    EXPECT_TRUE(Lines(kCorrectedList).isEmpty());
    EXPECT_EQ(Text(kCorrectedCount), "");
    EXPECT_TRUE(prompts.informed.empty());
}

// --- Saving ----------------------------------------------------------------

TEST_F(RepairTest, SaveWithYesAndTheArrowPrefixesNamesThatBeginWithALetter) {
    ListBothAndCorrect();
    prompts.answers = {true};
    Click(kSave);
    EXPECT_EQ(prompts.asked, std::vector<int>{message::kPrefixQuestion});
    EXPECT_TRUE(prompts.informed.empty());
    EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), Big5("←A1營"), Big5("日月潭")}));
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/Prefix", kArrow}, {"Dialog/GTMFile", Q(gtmPath)}}));
}

TEST_F(RepairTest, SaveWithYesUsesTheBoxWhenItHoldsTwoBytes) {
    struct Case {
        const char* typed;   // the prefix box
        const char* used;    // the prefix put before the name, UTF-8
    };
    const Case cases[] = {
        {"ZZ", "ZZ"},
        {"中", "中"},   // one character of two bytes in code page 950
        {"Z", "←"},     // one byte: the arrow instead
        {"ZZZ", "←"},   // three bytes: the arrow instead
        {"", "←"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        files.Write("repair.gtm", GtmFile({Zeroed("玉池"), Zeroed("A1營"), Zeroed("日月潭")}));
        prompts.asked.clear();
        ListBothAndCorrect();
        Type(kPrefix, QString::fromUtf8(c.typed));
        prompts.answers = {true};
        Click(kSave);
        const std::string prefixed = Big5(c.used) + Big5("A1營");
        EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), prefixed, Big5("日月潭")}));
        EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/Prefix", QString::fromUtf8(c.used)}, {"Dialog/GTMFile", Q(gtmPath)}}));
        EXPECT_EQ(Text(kPrefix), QString::fromUtf8(c.typed));  // the box keeps what was typed
    }
}

TEST_F(RepairTest, SaveWithNoWritesTheNamesWithoutPrefix) {
    Remember("Prefix", "QQ");
    ListBothAndCorrect();
    prompts.answers = {false};
    Click(kSave);
    EXPECT_EQ(prompts.asked, std::vector<int>{message::kPrefixQuestion});
    EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), Big5("A1營"), Big5("日月潭")}));
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/GTMFile", Q(gtmPath)}}));
    EXPECT_EQ(store->GetProfileString("Dialog", "Prefix", ""), "QQ");
}

TEST_F(RepairTest, SaveAsksNothingWhenEveryNameBeginsWithAChineseCharacter) {
    garminPath = files.Write("garmin.wtr", WtrBuilder()
                                               .waypoint(Big5("玉池"), 3000.0f)
                                               .waypoint(Big5("營A1"), 2620.0f)
                                               .waypoint(Big5("日月潭"), 748.0f)
                                               .build());
    files.Write("repair.gtm", GtmFile({Zeroed("玉池"), Zeroed("營A1"), Zeroed("日月潭")}));
    ListBothAndCorrect();
    Click(kSave);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), Big5("營A1"), Big5("日月潭")}));
}

TEST_F(RepairTest, AfterASaveTheFileIsListedAgainFromDisk) {
    ListBothAndCorrect();
    const QStringList garminBefore = Lines(kGarminList);
    const QStringList correctedBefore = Lines(kCorrectedList);
    prompts.answers = {true};
    Click(kSave);

    EXPECT_EQ(Lines(kGtmList), (QStringList{GtmLine(Big5("玉池"), 3000), GtmLine(Big5("←A1營"), 2620),
                                            GtmLine(Big5("日月潭"), 748)}));
    EXPECT_EQ(Text(kGtmCount), "3");
    EXPECT_EQ(Lines(kGarminList), garminBefore);
    EXPECT_EQ(Lines(kCorrectedList), correctedBefore);
    EXPECT_EQ(Text(kCorrectedCount), "3");

    // The new document has no corrections: a second Save does nothing.
    const std::vector<uint8_t> saved = ReadBytes(gtmPath);
    store->writes.clear();
    Click(kSave);
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(ReadBytes(gtmPath), saved);
    EXPECT_TRUE(WritesSoFar().empty());
}

TEST_F(RepairTest, SaveWritesTheListedFileAndThenListsTheBoxsFile) {
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
    std::filesystem::create_directory(files.path() / "gone");
    const std::vector<uint8_t> original = ReadBytes(gtmPath);
    gtmPath = files.Write("gone/repair.gtm", original);
    ListBothAndCorrect();
    std::filesystem::remove_all(files.path() / "gone");
    const QStringList gtmBefore = Lines(kGtmList);

    prompts.answers = {false};
    Click(kSave);
    EXPECT_EQ(prompts.informed, std::vector<int>{message::kSaveFailed});
    EXPECT_EQ(LoadMessageString(message::kSaveFailed), QString::fromUtf8("存檔失敗，檔案沒有被更改。"));
    EXPECT_EQ(Lines(kGtmList), gtmBefore);  // not listed again
    EXPECT_TRUE(WritesSoFar().empty());

    // The corrections are kept: once the folder is back, Save works.
    std::filesystem::create_directory(files.path() / "gone");
    files.Write("gone/repair.gtm", original);
    prompts.answers = {false};
    Click(kSave);
    EXPECT_EQ(prompts.asked.size(), 2u);
    EXPECT_EQ(prompts.informed.size(), 1u);
    EXPECT_EQ(ReadBytes(gtmPath), GtmFile({Big5("玉池"), Big5("A1營"), Big5("日月潭")}));
}

TEST_F(RepairTest, SaveDoesNothingBeforeACorrection) {
    Start();
    Type(kGtmPath, Q(gtmPath));
    Click(kListGtm);
    const std::vector<uint8_t> before = ReadBytes(gtmPath);
    store->writes.clear();
    Click(kSave);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_TRUE(prompts.informed.empty());
    EXPECT_EQ(ReadBytes(gtmPath), before);
    EXPECT_TRUE(WritesSoFar().empty());
}

// --- Ending ----------------------------------------------------------------

TEST_F(DialogTest, EnterOutsideAButtonAndEscapeEndTheDialog) {
    Start();
    Edit(kGarminPath)->setFocus();
    QTest::keyClick(Edit(kGarminPath), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    Start();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(RepairTest, EnterOnAButtonPressesIt) {
    Remember("GTMFile", Q(gtmPath));
    Start();
    Button(kListGtm)->setFocus();
    const std::filesystem::path gtm(gtmPath);
    std::filesystem::remove(gtm);
    QTest::keyClick(Button(kListGtm), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Text(kGtmCount), "0");  // listed again, and the file is gone
}

}  // namespace

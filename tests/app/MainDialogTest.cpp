#include <filesystem>

#include "DialogTestSupport.h"
#include "app/StringTable.h"
#include "samples/DemoPair.h"

namespace {

namespace fs = std::filesystem;

// Three Garmin waypoints with Chinese names, one beginning with a letter and a
// digit, and the GTM file made from them with the Chinese characters lost.
class RepairTest : public DialogTest {
protected:
    RepairTest() {
        garminPath = files.Write("garmin.wtr", WtrBuilder().waypoint(Big5("玉池"), 3000.0f)
                                                   .waypoint(Big5("A1營"), 2620.0f).waypoint(Big5("日月潭"), 748.0f).build());
        gtmPath = files.Write("repair.gtm", Gtm({Zeroed("玉池"), Zeroed("A1營"), Zeroed("日月潭")}));
    }
    static std::vector<uint8_t> Gtm(const std::vector<std::string>& names) {
        const float altitudes[] = {3000.0f, 2620.0f, 748.0f};
        GtmBuilder builder;
        for (size_t i = 0; i < names.size(); ++i) builder.waypoint(names[i], altitudes[i]);
        return builder.build();
    }
    std::vector<uint8_t> Repaired(const char* prefix = "") const {
        return Gtm({Big5("玉池"), Big5(prefix) + Big5("A1營"), Big5("日月潭")});
    }
    void ListBothAndCorrect() {
        Start();
        List(kGarminPath, garminPath);
        List(kGtmPath, gtmPath);
        Click(kCorrect);
        ASSERT_EQ(Text(kCorrectedCount), "3");
        store.writes.clear();
    }
    const Lines garminLines = {"玉池 3000", "A1營 2620", "日月潭 748"};
    std::string garminPath, gtmPath;
};

TEST_F(DialogTest, FirstStartShowsEmptyBoxesAndTheArrowWithTheFocusOnCorrect) {
    Start();
    for (int id : {kGarminPath, kGtmPath, kGarminCount, kGtmCount, kCorrectedCount}) EXPECT_EQ(Text(id), "");
    EXPECT_EQ(Text(kPrefix), "←");
    for (int id : {kGarminList, kGtmList, kCorrectedList}) EXPECT_TRUE(LinesOf(id).empty());
    EXPECT_EQ(window.focus, kCorrect);
    EXPECT_TRUE(store.writes.empty() && prompts.asked.empty() && prompts.informed.empty());
}

TEST_F(RepairTest, StartListsBothRememberedFilesAndKeepsTheNameOfAGoneOne) {
    store.values = {{"Dialog/WTRFile", garminPath}, {"Dialog/GTMFile", gtmPath}, {"Dialog/Prefix", "XYZ"}};
    Start();
    EXPECT_EQ(LinesOf(kGarminList), garminLines);
    EXPECT_EQ(LinesOf(kGtmList), (Lines{GtmLine(Zeroed("玉池"), 3000), GtmLine(Zeroed("A1營"), 2620),
                                        GtmLine(Zeroed("日月潭"), 748)}));
    EXPECT_EQ(Text(kGarminCount) + Text(kGtmCount) + Text(kPrefix), "33XYZ");
    EXPECT_EQ(store.writes, (Writes{{"Dialog/WTRFile", garminPath}, {"Dialog/GTMFile", gtmPath}}));

    fs::remove(garminPath);
    Start();
    EXPECT_EQ(Text(kGarminPath), garminPath);
    EXPECT_TRUE(LinesOf(kGarminList).empty());
    EXPECT_EQ(Text(kGarminCount), "");
    EXPECT_EQ(store.writes, (Writes{{"Dialog/GTMFile", gtmPath}}));
}

TEST_F(RepairTest, ListingWhatCannotBeListed) {
    const std::string text = files.Write("garmin.txt", ReadBytes(garminPath));
    const std::string broken = files.Write("broken.wtr", ByteBuilder().u8(0xFE).text("Wpt").u8(0xFF).fill(20).bytes());
    const std::string missing = (files.path() / "missing.gtm").string();
    struct Case {
        int box;
        std::string path;
        size_t garminLines, gtmLines;
        const char* gtmCount;
        Writes writes;
    };
    const Case cases[] = {
        {kGarminPath, "", 3, 3, "3", {}},  // an empty box: nothing changes, not even the list
        {kGtmPath, "", 3, 3, "3", {}},
        {kGarminPath, text, 0, 3, "3", {}},    // no reader: count and setting stay
        {kGarminPath, broken, 0, 3, "3", {}},  // a failed load: the same
        {kGtmPath, missing, 3, 0, "0", {{"Dialog/GTMFile", missing}}},  // remembered all the same
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ListBothAndCorrect();
        List(c.box, c.path);
        EXPECT_EQ(LinesOf(kGarminList).size(), c.garminLines);
        EXPECT_EQ(LinesOf(kGtmList).size(), c.gtmLines);
        EXPECT_EQ(Text(kGarminCount) + "/" + Text(kGtmCount), std::string("3/") + c.gtmCount);
        EXPECT_EQ(store.writes, c.writes);
        Click(kCorrect);  // works on only while both files are there
        EXPECT_EQ(LinesOf(kCorrectedList).size(), 3u);
        EXPECT_TRUE(prompts.informed.empty());
    }
    Click(kSave);  // no GTM waypoints: nothing to save
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(RepairTest, ChoosingFilesListsThemWhateverTheCaseOfTheExtension) {
    const std::string upper = files.Write("GARMIN.WTR", ReadBytes(garminPath));
    Start();
    Text(kGarminPath) = garminPath;
    prompts.choices = {upper, gtmPath};
    Click(kChooseGarmin);
    Click(kChooseGtm);
    EXPECT_EQ(prompts.chooserCalls,
              (Writes{{"Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;*.gdb|"
                       "GPX Files (*.gpx)|*.gpx||", garminPath},
                      {"GPS TrackMaker Files (*.gtm)|*.gtm||", ""}}));
    EXPECT_EQ(LinesOf(kGarminList), garminLines);
    EXPECT_EQ(Text(kGarminCount) + Text(kGtmCount), "33");
    EXPECT_EQ(store.writes, (Writes{{"Dialog/WTRFile", upper}, {"Dialog/GTMFile", gtmPath}}));
    store.writes.clear();
    Text(kGtmPath) = "typed.gtm";
    Click(kChooseGtm);  // cancelled: nothing changes
    EXPECT_EQ(Text(kGtmPath), "typed.gtm");
    EXPECT_EQ(LinesOf(kGtmList).size(), 3u);
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(RepairTest, CorrectShowsTheCountAndWarnsWhenSomeNameWasNotFound) {
    ListBothAndCorrect();
    EXPECT_EQ(LinesOf(kCorrectedList), garminLines);
    EXPECT_TRUE(prompts.informed.empty());
    List(kGtmPath, files.Write("four.gtm", GtmBuilder().waypoint(Zeroed("玉池"), 3000.0f).waypoint("ZZ", 5000.0f).build()));
    List(kGarminPath, garminPath);  // fresh records, without the taken markers
    Click(kCorrect);
    EXPECT_EQ(LinesOf(kCorrectedList), Lines{"玉池 3000"});
    EXPECT_EQ(Text(kCorrectedCount), "1");
    EXPECT_EQ(prompts.informed, std::vector<int>{message::kIncompleteCorrection});
    EXPECT_EQ(LoadMessageString(2), std::string("沒有完全校正成功！有些航點找不到對應的名稱，建議不要存檔。"));
    // After the window is gone, nothing is held.
    dialog->DestroyWindow();
    Click(kCorrect);
    Click(kSave);
    EXPECT_EQ(prompts.informed.size(), 1u);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(RepairTest, SavePrefixesNamesThatBeginWithALetterWhenAnsweredYes) {
    struct Case {
        const char* stored;  // the prefix setting at start
        const char* typed;   // into the prefix box, when not null
        bool answer;
        const char* used;  // put before the name and stored
    };
    const Case cases[] = {
        {nullptr, nullptr, true, "←"}, {nullptr, "ZZ", true, "ZZ"}, {nullptr, "中", true, "中"},
        {nullptr, "Z", true, "←"},     {nullptr, "ZZZ", true, "←"}, {nullptr, "", true, "←"},
        {"XYZ", nullptr, true, "←"},   {"QQ", nullptr, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.used);
        files.Write("repair.gtm", Gtm({Zeroed("玉池"), Zeroed("A1營"), Zeroed("日月潭")}));
        store.values.clear();
        if (c.stored) store.values["Dialog/Prefix"] = c.stored;
        prompts.asked.clear();
        ListBothAndCorrect();
        if (c.typed) Text(kPrefix) = c.typed;
        const std::string box = Text(kPrefix);
        prompts.answers = {c.answer};
        Click(kSave);
        EXPECT_EQ(prompts.asked, std::vector<int>{message::kPrefixQuestion});
        EXPECT_EQ(ReadBytes(gtmPath), Repaired(c.used));
        Writes writes = c.answer ? Writes{{"Dialog/Prefix", c.used}} : Writes{};
        writes.emplace_back("Dialog/GTMFile", gtmPath);
        EXPECT_EQ(store.writes, writes);
        EXPECT_EQ(Text(kPrefix), box);  // the box keeps its text
    }
}

TEST_F(RepairTest, SaveListsTheFileAgainAndThenHasNothingToSave) {
    files.Write("all.wtr", WtrBuilder().waypoint(Big5("營A1"), 10.0f).build());
    Start();
    List(kGarminPath, (files.path() / "all.wtr").string());
    List(kGtmPath, files.Write("all.gtm", GtmBuilder().waypoint(Zeroed("營A1"), 10.0f).build()));
    Click(kCorrect);
    Click(kSave);  // every name begins in Chinese: no question
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(LinesOf(kGtmList), Lines{GtmLine(Big5("營A1"), 10)});

    ListBothAndCorrect();
    const std::vector<uint8_t> otherBytes = GtmBuilder().waypoint("OTHER", 1.0f).build();
    const std::string other = files.Write("other.gtm", otherBytes);
    Text(kGtmPath) = other;  // edited after listing: the listed file is saved
    prompts.answers = {true};
    Click(kSave);
    EXPECT_EQ(ReadBytes(gtmPath), Repaired("←"));
    EXPECT_EQ(ReadBytes(other), otherBytes);
    EXPECT_EQ(LinesOf(kGtmList), Lines{GtmLine("OTHER", 1)});
    EXPECT_EQ(LinesOf(kCorrectedList), garminLines);
    store.writes.clear();
    Click(kSave);  // the new document holds no corrections
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(RepairTest, AFailedSaveSaysSoAndKeepsTheCorrections) {
    fs::create_directory(files.path() / "gone");
    const std::vector<uint8_t> original = ReadBytes(gtmPath);
    gtmPath = files.Write("gone/repair.gtm", original);
    ListBothAndCorrect();
    fs::remove_all(files.path() / "gone");
    Click(kSave);
    EXPECT_EQ(prompts.informed, std::vector<int>{message::kSaveFailed});
    EXPECT_EQ(LinesOf(kGtmList).size(), 3u);  // not listed again
    EXPECT_TRUE(store.writes.empty());
    fs::create_directory(files.path() / "gone");
    files.Write("gone/repair.gtm", original);
    Click(kSave);
    EXPECT_EQ(ReadBytes(gtmPath), Repaired());
}

TEST_F(DialogTest, TheDemoPairIsTheGeneratorsAndEveryNameIsRepaired) {
    const fs::path demo = LORVANE_DEMO_DIR;
    EXPECT_EQ(ReadBytes((demo / "demo.wtr").string()), MakeDemoWtr());
    EXPECT_EQ(ReadBytes((demo / "demo.gtm").string()), MakeDemoGtm());
    Start();
    List(kGarminPath, files.Write("demo.wtr", MakeDemoWtr()));
    List(kGtmPath, files.Write("demo.gtm", MakeDemoGtm()));
    Click(kCorrect);
    EXPECT_EQ(Text(kCorrectedCount), "12");
    prompts.answers = {true};
    Click(kSave);
    EXPECT_TRUE(prompts.informed.empty());
    // The bytes every build's dialog must save (the Windows one is checked against them too).
    EXPECT_EQ(ReadBytes(Text(kGtmPath)), ReadBytes((demo / "demo.repaired.gtm").string()));
}

}  // namespace

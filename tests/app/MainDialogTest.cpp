#include <algorithm>
#include <filesystem>

#include "DialogTestSupport.h"
#include "app/StringTable.h"

namespace {

namespace fs = std::filesystem;

// Three Garmin waypoints with Chinese names, one beginning with a letter and a
// digit, and the GTM file made from them with the Chinese characters lost.
class RepairTest : public DialogTest {
protected:
    static std::vector<uint8_t> Gtm(std::string (*name)(const char*), const char* prefix = "") {
        return GtmBuilder().waypoint(name("玉池"), 3000.0f).waypoint(Big5(prefix) + name("A1營"), 2620.0f)
            .waypoint(name("日月潭"), 748.0f).build();
    }
    // Both files listed and corrected, the GTM file as damaged.
    void ListBothAndCorrect(const std::vector<uint8_t>& gtm = Gtm(Zeroed)) {
        files.Write(fs::relative(gtmPath, files.path()), gtm);
        Start();
        List(kGarminPath, garminPath);
        List(kGtmPath, gtmPath);
        prompts.informed.clear();
        Click(kCorrect);
        store.writes.clear();
    }
    const Lines garminLines = {"玉池 3000", "A1營 2620", "日月潭 748"};
    std::string garminPath = files.Write("garmin.wtr", WtrBuilder().waypoint(Big5("玉池"), 3000.0f)
        .waypoint(Big5("A1營"), 2620.0f).waypoint(Big5("日月潭"), 748.0f).build());
    std::string gtmPath = files.Write("repair.gtm", Gtm(Zeroed));
};

TEST_F(RepairTest, StartRestoresTheSettingsListsBothFilesAndKeepsTheNameOfAGoneOne) {
    Start();  // the first start
    EXPECT_EQ(Text(kGarminPath) + Text(kGtmPath) + Text(kGarminCount) + Text(kPrefix), "←");
    EXPECT_TRUE(LinesOf(kGarminList).empty() && store.writes.empty());
    EXPECT_EQ(window.focus, kCorrect);
    store.values = {{"Dialog/WTRFile", garminPath}, {"Dialog/GTMFile", gtmPath}, {"Dialog/Prefix", "XYZ"}};
    Start();
    EXPECT_EQ(LinesOf(kGarminList), garminLines);
    // The 10 name bytes with each lost byte shown as a blank, then the altitude.
    EXPECT_EQ(LinesOf(kGtmList), (Lines{"           3000", "A1         2620", "           748"}));
    EXPECT_EQ(Text(kGarminCount) + Text(kGtmCount) + Text(kPrefix), "33XYZ");
    EXPECT_EQ(store.writes, (Pairs{{"Dialog/WTRFile", garminPath}, {"Dialog/GTMFile", gtmPath}}));
    fs::remove(garminPath);
    Start();
    EXPECT_EQ(Text(kGarminPath) + Text(kGarminCount), garminPath);
    EXPECT_TRUE(LinesOf(kGarminList).empty());
    EXPECT_EQ(store.writes, (Pairs{{"Dialog/GTMFile", gtmPath}}));
}

TEST_F(RepairTest, ListingWhatCannotBeListedKeepsTheCorrectionsUntilTheGtmFileIsListed) {
    const std::string missing = (files.path() / "missing.gtm").string();
    const std::tuple<int, std::string, size_t, const char*> cases[] = {
        {kGarminPath, "", 33, "3/3"},  // an empty box: nothing changes, not even the list
        {kGtmPath, "", 33, "3/3"},
        {kGarminPath, files.Write("garmin.txt", ReadBytes(garminPath)), 3, "3/3"},  // no reader: count, setting stay
        {kGarminPath, files.Write("broken.wtr", std::vector<uint8_t>(20, 0xFE)), 3, "3/3"},  // a failed load: the same
        {kGtmPath, missing, 30, "3/0"},  // the GTM path is remembered all the same
    };
    for (const auto& [box, path, lines, counts] : cases) {
        SCOPED_TRACE(path);
        ListBothAndCorrect();
        List(box, path);
        EXPECT_EQ(LinesOf(kGarminList).size() * 10 + LinesOf(kGtmList).size(), lines);
        EXPECT_EQ(Text(kGarminCount) + "/" + Text(kGtmCount), counts);
        EXPECT_EQ(store.writes, (path == missing ? Pairs{{"Dialog/GTMFile", missing}} : Pairs{}));
        for (int id : {kCorrect, kSave}) Click(id);
        EXPECT_EQ(LinesOf(kCorrectedList).size(), 3u);  // kept by the list commands
        EXPECT_EQ(prompts.asked.size(), lines % 10 ? 1u : 0u);  // the corrections stay until the GTM file is listed
        prompts.asked.clear();
    }
}

TEST_F(RepairTest, ChoosingFilesListsThemWhateverTheCaseOfTheExtensionAndCancellingChangesNothing) {
    const std::string upper = files.Write("GARMIN.WTR", ReadBytes(garminPath));
    Start();
    Text(kGarminPath) = garminPath;
    prompts.choices = {upper, gtmPath};
    for (int id : {kChooseGarmin, kChooseGtm, kChooseGtm}) Click(id);
    EXPECT_EQ(prompts.chooserCalls, (Pairs{{"Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;"
                                            "*.gdb|GPX Files (*.gpx)|*.gpx||", garminPath},
                                           {"GPS TrackMaker Files (*.gtm)|*.gtm||", ""},
                                           {"GPS TrackMaker Files (*.gtm)|*.gtm||", gtmPath}}));
    EXPECT_EQ(LinesOf(kGarminList), garminLines);
    EXPECT_EQ(store.writes, (Pairs{{"Dialog/WTRFile", upper}, {"Dialog/GTMFile", gtmPath}}));
}

TEST_F(RepairTest, ACorrectionMarksItsRowsSelectsTheFirstProblemAndLinksTheListsUntilListedAgain) {
    using enum LineMark;
    // The GTM rows (name, altitude, latitude); the correction's marks and message, the row it selects and the
    // Garmin and corrected lines linked to it; the lines linked to row 2 when the user selects it.
    const std::tuple<std::vector<std::tuple<std::string, float, double>>, std::vector<LineMark>, std::vector<int>, int,
                     std::pair<int, int>, std::pair<int, int>> cases[] = {
        {{{Zeroed("玉池"), 3000, 0}, {Zeroed("A1營"), 2620, 0}, {Zeroed("日月潭"), 748, 0}}, {None, None, None}, {}, -1,
         {-1, -1}, {2, 2}},
        {{{"ZZ", 5000, 0}, {Zeroed("玉池"), 3000, 0}, {Zeroed("日月潭"), 748, 0}}, {NotCorrected, None, None},
         {message::kIncompleteCorrection}, 0, {-1, -1}, {2, 1}},
        // The first row elsewhere: its name is the one the second row took at its own position.
        {{{Zeroed("玉池"), 3000, 1}, {Zeroed("玉池"), 3000, 0}, {Zeroed("日月潭"), 748, 0}}, {Uncertain, None, None},
         {message::kUncertainNames}, 0, {0, 0}, {2, 2}},
        {{{Zeroed("玉池"), 3000, 1}, {"ZZ", 5000, 0}, {Zeroed("玉池"), 3000, 0}}, {Uncertain, NotCorrected, None},
         {message::kIncompleteCorrection}, 0, {0, 0}, {0, 1}},
    };
    auto links = [&](int selectedList = 0) {  // after the user selects line 2 of the list
        if (selectedList) dialog->OnSelectionChange(selectedList, 2);
        return std::pair(window.lists[kGarminList].selected, window.lists[kCorrectedList].selected);
    };
    for (const auto& [rows, marks, informed, first, firstLinks, rowLinks] : cases) {
        GtmBuilder gtm;
        for (const auto& [name, altitude, latitude] : rows) gtm.waypoint({name, altitude, "", 0, latitude});
        ListBothAndCorrect(gtm.build());
        EXPECT_EQ(window.lists[kGtmList].marks, marks);
        EXPECT_EQ(Text(kCorrectedCount), std::to_string(3 - std::count(marks.begin(), marks.end(), NotCorrected)));
        EXPECT_EQ(prompts.informed, informed);
        EXPECT_EQ(std::tuple(window.lists[kGtmList].selected, links()), std::tuple(first, firstLinks));
        EXPECT_EQ(links(kGarminList), firstLinks);  // only the GTM list links
        EXPECT_EQ(links(kGtmList), rowLinks);
        List(kGarminPath, garminPath);  // the taken waypoints are listed no more
        EXPECT_EQ(links(kGtmList), std::pair(-1, rowLinks.second));
        Click(kSave);  // the file listed again from disk: the marks and the links go
        EXPECT_EQ(links(kGtmList), std::pair(-1, -1));
        EXPECT_EQ(window.lists[kGtmList].marks, std::vector(3, None));
    }
}

TEST_F(RepairTest, DroppedFilesGoToTheBoxOfTheirKindAndAreListedAsIfChosen) {
    fs::create_directory(files.path() / "folder.gpx");
    const std::string upper = files.Write("DEMO.GTM", Gtm(Zeroed));
    // The dropped files, then the Garmin and the GTM box afterwards (the first file of each kind counts).
    const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
        {{"a.wtr"}, "a.wtr", ""}, {{"b.EVO"}, "b.EVO", ""}, {{"c.Mps"}, "c.Mps", ""}, {{"d.GDB", "e.gpx"}, "d.GDB", ""},
        {{"f.gtm", "g.wtr"}, "g.wtr", "f.gtm"}, {{"notes.txt", "gtm", (files.path() / "folder.gpx").string()}, "", ""},
        {{upper, garminPath}, garminPath, upper},
    };
    for (const auto& [dropped, garmin, gtm] : cases) {
        store.values.clear(), Start();  // nothing remembered
        dialog->OnDropFiles(dropped);
        EXPECT_EQ(Text(kGarminPath) + "|" + Text(kGtmPath), garmin + "|" + gtm);
    }
    EXPECT_EQ(store.writes, (Pairs{{"Dialog/WTRFile", garminPath}, {"Dialog/GTMFile", upper}}));  // both listed
    dialog->DestroyWindow();  // nothing is held once the window is gone
    for (int id : {kCorrect, kSave}) Click(id);
    EXPECT_TRUE(LinesOf(kCorrectedList).empty() && prompts.asked.empty());
}

TEST_F(RepairTest, SavePrefixesNamesThatBeginWithALetterWhenAnsweredYes) {
    // The stored prefix, the typed one (null: as started), the answer, the prefix used and stored.
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
        {"", nullptr, true, "←"}, {"", "ZZ", true, "ZZ"}, {"", "中", true, "中"}, {"", "Z", true, "←"},
        {"", "ZZZ", true, "←"},   {"", "", true, "←"},    {"XYZ", nullptr, true, "←"}, {"QQ", nullptr, false, ""},
    };
    for (const auto& [stored, typed, answer, used] : cases) {
        SCOPED_TRACE(used);
        store.values = {{"Dialog/Prefix", stored}};
        prompts.asked.clear();
        ListBothAndCorrect();
        if (typed) Text(kPrefix) = typed;
        const std::string box = Text(kPrefix);
        prompts.answers = {answer};
        Click(kSave);
        EXPECT_EQ(ReadBytes(gtmPath), Gtm(Big5, used));
        Pairs writes = answer ? Pairs{{"Dialog/Prefix", used}} : Pairs{};
        writes.emplace_back("Dialog/GTMFile", gtmPath);
        EXPECT_EQ(store.writes, writes);
        EXPECT_EQ(Text(kPrefix) + std::to_string(prompts.asked.size()), box + "1");  // the box keeps its text
    }
}

TEST_F(RepairTest, SaveListsTheBoxsFileAgainAndAFailedSaveKeepsTheCorrections) {
    ListBothAndCorrect();
    const std::string other = files.Write("other.gtm", GtmBuilder().waypoint("OTHER", 1.0f).build());
    Text(kGtmPath) = other;  // edited after listing: the listed file is saved
    for (int id : {kSave, kSave}) Click(id);  // the second finds no corrections in the new document
    EXPECT_EQ(ReadBytes(gtmPath), Gtm(Big5));
    EXPECT_EQ(LinesOf(kGtmList), Lines{"OTHER        1"});
    EXPECT_EQ(store.writes, (Pairs{{"Dialog/GTMFile", other}}));

    fs::create_directory(files.path() / "gone");
    gtmPath = (files.path() / "gone/repair.gtm").string();
    ListBothAndCorrect();
    fs::remove_all(files.path() / "gone");
    Click(kSave);
    EXPECT_EQ(prompts.informed, std::vector<int>{message::kSaveFailed});
    EXPECT_EQ(LinesOf(kGtmList).size() + store.writes.size(), 3u);  // not listed again
    fs::create_directory(files.path() / "gone");
    files.Write("gone/repair.gtm", Gtm(Zeroed));
    Click(kSave);
    EXPECT_EQ(ReadBytes(gtmPath), Gtm(Big5));
}

}  // namespace

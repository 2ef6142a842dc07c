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
    void ListBothAndCorrect() {
        files.Write(fs::relative(gtmPath, files.path()), Gtm(Zeroed));
        Start();
        List(kGarminPath, garminPath);
        List(kGtmPath, gtmPath);
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

TEST_F(RepairTest, AnIncompleteCorrectionWarnsAndNothingIsHeldOnceTheWindowIsGone) {
    Start();
    List(kGarminPath, garminPath);
    List(kGtmPath, files.Write("two.gtm", GtmBuilder().waypoint(Zeroed("玉池"), 3000.0f).waypoint("ZZ", 5000.0f).build()));
    Click(kCorrect);
    EXPECT_EQ(LinesOf(kCorrectedList), Lines{"玉池 3000"});
    EXPECT_EQ(Text(kCorrectedCount), "1");
    EXPECT_EQ(prompts.informed, std::vector<int>{message::kIncompleteCorrection});
    dialog->DestroyWindow();
    for (int id : {kCorrect, kSave}) Click(id);
    EXPECT_EQ(prompts.informed.size() + prompts.asked.size(), 1u);
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

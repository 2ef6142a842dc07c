#include <chrono>
#include <filesystem>

#include "DialogTestSupport.h"
#include "app/NewestFile.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A modification time this long after 2024-03-01 10:00:00 UTC, or since 1970.
fs::file_time_type At(std::chrono::milliseconds offset, bool since1970 = false) {
    return std::chrono::file_clock::from_sys(std::chrono::sys_seconds{since1970 ? 0s : 1709287200s} + offset);
}

// The entry of a folder that a directory listing gives first, among names.
std::string FirstListed(const fs::path& folder, const std::vector<std::string>& names) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (std::find(names.begin(), names.end(), entry.path().filename()) != names.end()) return entry.path().string();
    }
    return {};
}

TEST(NewestFilePattern, KeepsTheFolderAndTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/gps/a.wtr", "/gps/*.wtr"}, {"/gps/a.b.GTM", "/gps/*.GTM"},
        {"/gps/readme", "/gps/*"},          // no extension: every entry
        {"/gps.old/readme", "/gps.old/*"},  // a dot in the folder is no extension
        {"/gps/", "/gps/*"},          {"a.wtr", "*.wtr"},  // the current folder
        {"", "*"},
    };
    for (const auto& [path, pattern] : cases) EXPECT_EQ(NewestFilePattern(path), pattern) << path;
}

class NewestTest : public DialogTest {
protected:
    // A file of that name in the test's folder, modified at that time.
    std::string Make(const std::string& name, fs::file_time_type time, const std::vector<uint8_t>& bytes = {1, 2, 3}) {
        const std::string path = files.Write(name, bytes);
        fs::last_write_time(path, time);
        return path;
    }
    std::string Wtr(const std::string& name, const char* waypoint, std::chrono::milliseconds offset) {
        return Make(name, At(offset), WtrBuilder().waypoint(waypoint, 100.0f).build());
    }
    std::string Gtm(const std::string& name, const char* waypoint, std::chrono::milliseconds offset) {
        return Make(name, At(offset), GtmBuilder().waypoint(waypoint, 100.0f).build());
    }
    std::string In(const std::string& namePattern) const { return (files.path() / namePattern).string(); }
    // A GTM path in a folder that does not exist: the button leaves it alone.
    std::string GoneGtm() const { return In("gone/x.gtm"); }
};

TEST_F(NewestTest, FindTakesTheLatestMatchOfAnyLetterCase) {
    Make("a.wtr", At(0s));
    const std::string b = Make("B.WTR", At(300s));
    Make("c.wtr", At(120s));
    Make("d.gtm", At(900s));  // newer, but of another extension
    std::string path = "unchanged";
    EXPECT_EQ(FindNewestFile(In("*.Wtr"), path), 1);
    EXPECT_EQ(path, b);

    // No folder or no match: the path stays.
    path = "unchanged";
    EXPECT_EQ(FindNewestFile(In("*.evo"), path), 0);
    EXPECT_EQ(FindNewestFile(In("gone/*.wtr"), path), 0);
    EXPECT_EQ(path, "unchanged");

    // Without an extension every entry counts, folders too.
    fs::create_directory(In("newer folder"));
    fs::last_write_time(In("newer folder"), At(1000s));
    EXPECT_EQ(FindNewestFile(In("*"), path), 1);
    EXPECT_EQ(path, In("newer folder"));
}

TEST_F(NewestTest, FindNeverTakesATimeOf1970OrBefore) {
    Make("a.wtr", At(0s, true));
    const std::string b = Make("b.wtr", At(-86400s, true));
    std::string path = "unchanged";
    EXPECT_EQ(FindNewestFile(In("*.wtr"), path), 0);
    EXPECT_EQ(path, "unchanged");
    fs::last_write_time(b, At(1s, true));
    EXPECT_EQ(FindNewestFile(In("*.wtr"), path), 1);
    EXPECT_EQ(path, b);
}

// --- The button ------------------------------------------------------------

TEST_F(NewestTest, SwitchesBothBoxesToTheNewestFilesAndListsThemAgainAndAgain) {
    const std::string a = Wtr("a.wtr", "OLDER", 0s);
    const std::string b = Wtr("b.wtr", "NEWER", 300s);  // five minutes later
    const std::string saved = Gtm("saved.gtm", "SAVED", 0s);
    const std::string newer = Gtm("newer.gtm", "NEWGTM", 3s);
    Remember("WTRFile", Q(a));
    Remember("GTMFile", Q(saved));
    Start();
    ASSERT_EQ(Lines(kGarminList), QStringList{"OLDER 100"});
    store->writes.clear();

    const Writes once = {{"Dialog/WTRFile", Q(b)}, {"Dialog/GTMFile", Q(newer)}};
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), Q(b));
    EXPECT_EQ(Lines(kGarminList), QStringList{"NEWER 100"});
    EXPECT_EQ(Text(kGtmPath), Q(newer));
    EXPECT_EQ(Lines(kGtmList), QStringList{GtmLine("NEWGTM", 100)});
    EXPECT_EQ(WritesSoFar(), once);
    // The newest files are listed again even when already shown.
    Click(kSelectNewest);
    EXPECT_EQ(WritesSoFar(), (Writes{once[0], once[1], once[0], once[1]}));
    EXPECT_TRUE(prompts.informed.empty());
}

TEST_F(NewestTest, ATieInTheSameSecondKeepsTheFileListedFirst) {
    // Within one second the later file does not count as newer, either way round.
    Wtr("a.wtr", "A", 200ms);
    Wtr("b.wtr", "B", 700ms);
    const QString first = Q(FirstListed(files.path(), {"a.wtr", "b.wtr"}));
    Start();
    Type(kGarminPath, Q(In("x.wtr")));
    Type(kGtmPath, Q(GoneGtm()));
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), first);
    fs::last_write_time(In("a.wtr"), At(700ms));
    fs::last_write_time(In("b.wtr"), At(200ms));
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), first);
}

TEST_F(NewestTest, AMissingFolderLeavesItsBoxAndTheOtherIsStillDone) {
    const std::string gone = In("gone/a.wtr");
    const std::string gtm = Gtm("found.gtm", "FOUND", 0s);
    Start();
    Type(kGarminPath, Q(gone));
    Type(kGtmPath, Q(In("old.gtm")));
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), Q(gone));
    EXPECT_TRUE(Lines(kGarminList).isEmpty());
    EXPECT_EQ(Text(kGtmPath), Q(gtm));
    EXPECT_EQ(Lines(kGtmList), QStringList{GtmLine("FOUND", 100)});
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/GTMFile", Q(gtm)}}));
}

TEST_F(NewestTest, EmptyBoxesTakeTheNewestEntryOfTheCurrentFolder) {
    Gtm("track.gtm", "GTM", 0s);
    const std::string newest = Wtr("newest.wtr", "NEWEST", 60s);
    const fs::path before = fs::current_path();
    fs::current_path(files.path());
    Start();
    Click(kSelectNewest);
    fs::current_path(before);

    // Whatever its extension, the newest entry goes into both boxes.
    EXPECT_EQ(Text(kGarminPath), Q(newest));
    EXPECT_EQ(Text(kGtmPath), Q(newest));
    EXPECT_EQ(Lines(kGarminList), QStringList{"NEWEST 100"});
    EXPECT_TRUE(Lines(kGtmList).isEmpty());  // a WTR file is no GTM file
    EXPECT_EQ(Text(kGtmCount), "0");
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(newest)}, {"Dialog/GTMFile", Q(newest)}}));
}

}  // namespace

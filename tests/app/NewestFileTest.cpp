#include <chrono>
#include <filesystem>

#include "DialogTestSupport.h"
#include "app/NewestFile.h"

namespace {

namespace fs = std::filesystem;
using namespace control;
using namespace std::chrono_literals;

// A modification time this many seconds after 2024-03-01 10:00:00 UTC.
fs::file_time_type At(std::chrono::milliseconds offset) {
    const std::chrono::sys_seconds base{std::chrono::seconds{1709287200}};
    return std::chrono::file_clock::from_sys(base + offset);
}

void Touch(const std::string& path, fs::file_time_type time) { fs::last_write_time(path, time); }

// The entry of a folder that a directory listing gives first, among names.
std::string FirstListed(const fs::path& folder, const std::vector<std::string>& names) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        for (const std::string& name : names) {
            if (entry.path().filename() == name) return entry.path().string();
        }
    }
    return {};
}

TEST(NewestFilePattern, KeepsTheFolderAndTheExtension) {
    struct Case {
        const char* path;
        const char* pattern;
    };
    const Case cases[] = {
        {"/gps/a.wtr", "/gps/*.wtr"},
        {"/gps/a.b.GTM", "/gps/*.GTM"},
        {"/gps/readme", "/gps/*"},      // no extension: every entry
        {"/gps.old/readme", "/gps.old/*"},  // a dot in the folder is no extension
        {"/gps/", "/gps/*"},
        {"a.wtr", "*.wtr"},               // the current folder
        {"", "*"},
    };
    for (const Case& c : cases) EXPECT_EQ(NewestFilePattern(c.path), c.pattern) << c.path;
}

class FindNewestFileTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, std::chrono::milliseconds offset) {
        const std::string path = files.Write(name, {1, 2, 3});
        Touch(path, At(offset));
        return path;
    }
    std::string Pattern(const std::string& namePattern) const { return (files.path() / namePattern).string(); }

    TempDir files;
};

TEST_F(FindNewestFileTest, TakesTheLatestMatch) {
    Make("a.wtr", 0s);
    const std::string b = Make("b.wtr", 300s);
    Make("c.wtr", 120s);
    Make("d.gtm", 900s);  // newer, but of another extension
    std::string path = "unchanged";
    EXPECT_EQ(FindNewestFile(Pattern("*.wtr"), path), 1);
    EXPECT_EQ(path, b);
}

TEST_F(FindNewestFileTest, IgnoresLetterCase) {
    Make("a.wtr", 0s);
    const std::string upper = Make("B.WTR", 5s);
    std::string path;
    EXPECT_EQ(FindNewestFile(Pattern("*.Wtr"), path), 1);
    EXPECT_EQ(path, upper);
}

TEST_F(FindNewestFileTest, ATieInTheSameSecondGoesToTheEntryListedFirst) {
    // Within one second the later file does not count as newer.
    Make("a.wtr", 100ms);
    Make("b.wtr", 900ms);
    const std::string first = FirstListed(files.path(), {"a.wtr", "b.wtr"});
    std::string path;
    EXPECT_EQ(FindNewestFile(Pattern("*.wtr"), path), 1);
    EXPECT_EQ(path, first);

    Touch((files.path() / "a.wtr").string(), At(900ms));
    Touch((files.path() / "b.wtr").string(), At(100ms));
    EXPECT_EQ(FindNewestFile(Pattern("*.wtr"), path), 1);
    EXPECT_EQ(path, first);
}

TEST_F(FindNewestFileTest, ATimeOf1970OrBeforeNeverWins) {
    const std::string a = files.Write("a.wtr", {1});
    const std::string b = files.Write("b.wtr", {1});
    fs::last_write_time(a, std::chrono::file_clock::from_sys(std::chrono::sys_seconds{0s}));
    fs::last_write_time(b, std::chrono::file_clock::from_sys(std::chrono::sys_seconds{-86400s}));
    std::string path = "unchanged";
    EXPECT_EQ(FindNewestFile(Pattern("*.wtr"), path), 0);
    EXPECT_EQ(path, "unchanged");

    fs::last_write_time(b, std::chrono::file_clock::from_sys(std::chrono::sys_seconds{1s}));
    EXPECT_EQ(FindNewestFile(Pattern("*.wtr"), path), 1);
    EXPECT_EQ(path, b);
}

TEST_F(FindNewestFileTest, NoFolderOrNoMatchLeavesThePath) {
    Make("a.gtm", 0s);
    std::string path = "unchanged";
    EXPECT_EQ(FindNewestFile(Pattern("*.wtr"), path), 0);
    EXPECT_EQ(FindNewestFile(Pattern("gone/*.wtr"), path), 0);
    EXPECT_EQ(path, "unchanged");
}

TEST_F(FindNewestFileTest, WithoutAnExtensionEveryEntryCountsFoldersToo) {
    Make("a.wtr", 0s);
    Make("notes", 10s);
    const fs::path folder = files.path() / "newer folder";
    fs::create_directory(folder);
    fs::last_write_time(folder, At(20s));
    std::string path;
    EXPECT_EQ(FindNewestFile(Pattern("*"), path), 1);
    EXPECT_EQ(path, folder.string());
}

// --- The button ------------------------------------------------------------

class SelectNewestTest : public DialogTest {
protected:
    // A GTM path in a folder that does not exist: the button leaves it alone.
    std::string GoneGtm() const { return (files.path() / "gone" / "x.gtm").string(); }

    std::string Wtr(const std::string& name, const char* waypoint, std::chrono::milliseconds offset) {
        const std::string path = files.Write(name, WtrBuilder().waypoint(waypoint, 100.0f).build());
        Touch(path, At(offset));
        return path;
    }
    std::string Gtm(const std::string& name, const char* waypoint, std::chrono::milliseconds offset) {
        const std::string path = files.Write(name, GtmBuilder().waypoint(waypoint, 100.0f).build());
        Touch(path, At(offset));
        return path;
    }
};

TEST_F(SelectNewestTest, SwitchesBothBoxesToTheNewestFilesAndListsThem) {
    const std::string a = Wtr("a.wtr", "OLDER", 0s);
    const std::string b = Wtr("b.wtr", "NEWER", 300s);  // five minutes later
    const std::string saved = Gtm("saved.gtm", "SAVED", 0s);
    const std::string newer = Gtm("newer.gtm", "NEWGTM", 3s);
    Remember("WTRFile", Q(a));
    Remember("GTMFile", Q(saved));
    Start();
    ASSERT_EQ(Lines(kGarminList), QStringList{"OLDER 100"});
    store->writes.clear();

    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), Q(b));
    EXPECT_EQ(Lines(kGarminList), QStringList{"NEWER 100"});
    EXPECT_EQ(Text(kGtmPath), Q(newer));
    EXPECT_EQ(Lines(kGtmList), QStringList{GtmLine("NEWGTM", 100)});
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(b)}, {"Dialog/GTMFile", Q(newer)}}));
    EXPECT_TRUE(prompts.informed.empty());
}

TEST_F(SelectNewestTest, TheNewestFileIsListedAgainEvenWhenAlreadyShown) {
    const std::string a = Wtr("a.wtr", "ONLY", 0s);
    Remember("WTRFile", Q(a));
    Remember("GTMFile", Q(GoneGtm()));
    Start();
    store->writes.clear();
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), Q(a));
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/WTRFile", Q(a)}}));
}

TEST_F(SelectNewestTest, ATieKeepsTheFileListedFirst) {
    Wtr("a.wtr", "A", 200ms);
    Wtr("b.wtr", "B", 700ms);
    const std::string first = FirstListed(files.path(), {"a.wtr", "b.wtr"});
    Start();
    Type(kGarminPath, Q((files.path() / "x.wtr").string()));
    Type(kGtmPath, Q(GoneGtm()));
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), Q(first));
}

TEST_F(SelectNewestTest, AMissingFolderLeavesItsBoxAndTheOtherIsStillDone) {
    const std::string gone = (files.path() / "gone" / "a.wtr").string();
    const std::string gtm = Gtm("found.gtm", "FOUND", 0s);
    Start();
    Type(kGarminPath, Q(gone));
    Type(kGtmPath, Q((files.path() / "old.gtm").string()));
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), Q(gone));
    EXPECT_TRUE(Lines(kGarminList).isEmpty());
    EXPECT_EQ(Text(kGtmPath), Q(gtm));
    EXPECT_EQ(Lines(kGtmList), QStringList{GtmLine("FOUND", 100)});
    EXPECT_EQ(WritesSoFar(), (Writes{{"Dialog/GTMFile", Q(gtm)}}));
}

TEST_F(SelectNewestTest, EmptyBoxesTakeTheNewestEntryOfTheCurrentFolder) {
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

TEST_F(SelectNewestTest, NothingNewerThan1970ChangesNothing) {
    const std::string a = files.Write("a.wtr", WtrBuilder().waypoint("A", 1.0f).build());
    fs::last_write_time(a, std::chrono::file_clock::from_sys(std::chrono::sys_seconds{0s}));
    Start();
    Type(kGarminPath, Q(a));
    Type(kGtmPath, Q(GoneGtm()));
    Click(kSelectNewest);
    EXPECT_TRUE(Lines(kGarminList).isEmpty());
    EXPECT_EQ(Text(kGarminCount), "");
    EXPECT_TRUE(WritesSoFar().empty());
}

}  // namespace

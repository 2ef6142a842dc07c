#include <chrono>
#include <filesystem>

#include "DialogTestSupport.h"
#include "app/NewestFile.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A modification time this long after 2024-03-01 10:00:00 UTC (or after 1970).
fs::file_time_type At(std::chrono::milliseconds offset, bool since1970 = false) {
    return std::chrono::file_clock::from_sys(std::chrono::sys_seconds{since1970 ? 0s : 1709287200s} + offset);
}

TEST(NewestFilePattern, KeepsTheFolderAndTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/gps/a.wtr", "/gps/*.wtr"}, {"/gps/a.b.GTM", "/gps/*.GTM"}, {"/gps/readme", "/gps/*"},
        {"/gps.old/readme", "/gps.old/*"}, {"/gps/", "/gps/*"}, {"a.wtr", "*.wtr"}, {"", "*"},
    };
    for (const auto& [path, pattern] : cases) EXPECT_EQ(NewestFilePattern(path), pattern) << path;
}

class NewestTest : public DialogTest {
protected:
    std::string Make(const std::string& name, fs::file_time_type time, std::vector<uint8_t> bytes = {1}) {
        const std::string path = files.Write(name, bytes);
        fs::last_write_time(fs::u8path(path), time);
        return path;
    }
    std::string Wtr(const std::string& name, const char* waypoint, std::chrono::milliseconds offset) {
        return Make(name, At(offset), WtrBuilder().waypoint(waypoint, 100.0f).build());
    }
    std::string Gtm(const std::string& name, const char* waypoint, std::chrono::milliseconds offset) {
        return Make(name, At(offset), GtmBuilder().waypoint(waypoint, 100.0f).build());
    }
    std::string In(const std::string& name) const { return (files.path() / name).string(); }
};

TEST_F(NewestTest, FindTakesTheLatestMatchOfAnyLetterCaseAfter1970) {
    fs::create_directory(files.path() / "航點");  // a folder with a Chinese name
    Make("航點/a.wtr", At(0s));
    const std::string b = Make("航點/B.WTR", At(300s));
    Make("航點/d.gtm", At(900s));  // newer, of another extension
    std::string path = "unchanged";
    EXPECT_EQ(FindNewestFile(In("航點/*.Wtr"), path), 1);
    EXPECT_EQ(path, b);
    path = "unchanged";
    EXPECT_EQ(FindNewestFile(In("航點/*.evo"), path), 0);  // no match
    EXPECT_EQ(FindNewestFile(In("gone/*.wtr"), path), 0);  // no folder
    Make("old.wtr", At(0s, true));
    Make("older.wtr", At(-86400s, true));
    EXPECT_EQ(FindNewestFile(In("*.wtr"), path), 0);  // 1970 and before never win
    EXPECT_EQ(path, "unchanged");
    EXPECT_EQ(FindNewestFile(In("*"), path), 1);  // every entry, folders too
    EXPECT_EQ(path, In("航點"));
}

TEST_F(NewestTest, SwitchesBothBoxesToTheNewestFilesAndListsThemEachTime) {
    const std::string a = Wtr("a.wtr", "OLDER", 0s), b = Wtr("b.wtr", "NEWER", 300s);
    const std::string saved = Gtm("saved.gtm", "SAVED", 0s), newer = Gtm("newer.gtm", "NEWGTM", 3s);
    store.values = {{"Dialog/WTRFile", a}, {"Dialog/GTMFile", saved}};
    Start();
    store.writes.clear();
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath) + Text(kGtmPath), b + newer);
    EXPECT_EQ(LinesOf(kGarminList), Lines{"NEWER 100"});
    EXPECT_EQ(LinesOf(kGtmList), Lines{GtmLine("NEWGTM", 100)});
    Click(kSelectNewest);
    const Writes once = {{"Dialog/WTRFile", b}, {"Dialog/GTMFile", newer}};
    EXPECT_EQ(store.writes, (Writes{once[0], once[1], once[0], once[1]}));
}

TEST_F(NewestTest, ATieKeepsTheFirstListedAndAMissingFolderOnlyItsOwnBox) {
    Wtr("a.wtr", "A", 200ms);
    Wtr("b.wtr", "B", 700ms);  // the same second
    std::string first;
    for (const fs::directory_entry& entry : fs::directory_iterator(files.path())) {
        if (first.empty()) first = entry.path().string();
    }
    Start();
    Text(kGarminPath) = In("x.wtr");
    Text(kGtmPath) = In("gone/x.gtm");
    Click(kSelectNewest);
    EXPECT_EQ(Text(kGarminPath), first);
    EXPECT_EQ(Text(kGtmPath), In("gone/x.gtm"));
    EXPECT_EQ(store.writes, (Writes{{"Dialog/WTRFile", first}}));
}

TEST_F(NewestTest, EmptyBoxesTakeTheNewestEntryOfTheCurrentFolder) {
    Gtm("track.gtm", "GTM", 0s);
    const std::string newest = Wtr("newest.wtr", "NEWEST", 60s);
    const fs::path before = fs::current_path();
    fs::current_path(files.path());
    Start();
    Click(kSelectNewest);
    fs::current_path(before);
    EXPECT_EQ(Text(kGarminPath) + Text(kGtmPath), newest + newest);
    EXPECT_EQ(LinesOf(kGarminList), Lines{"NEWEST 100"});
    EXPECT_EQ(Text(kGtmCount), "0");  // a WTR file is no GTM file
}

}  // namespace

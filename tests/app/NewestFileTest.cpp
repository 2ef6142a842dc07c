#include <chrono>
#include <filesystem>

#include "DialogTestSupport.h"
#include "app/NewestFile.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(NewestFilePattern, KeepsTheFolderAndTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/gps/a.wtr", "/gps/*.wtr"}, {"/gps/a.b.GTM", "/gps/*.GTM"}, {"/gps/readme", "/gps/*"},
        {"/gps.old/readme", "/gps.old/*"}, {"/gps/", "/gps/*"}, {"a.wtr", "*.wtr"}, {"", "*"},
    };
    for (const auto& [path, pattern] : cases) EXPECT_EQ(NewestFilePattern(path), pattern) << path;
}

class NewestTest : public DialogTest {
protected:
    // A file (one waypoint named after it) modified this long after 2024-03-01 10:00 UTC.
    std::string Make(const std::string& name, std::chrono::milliseconds after, std::chrono::seconds base = 1709287200s) {
        const bool gtm = name.ends_with(".gtm");
        const std::string path = files.Write(name, gtm ? GtmBuilder().waypoint("G", 1.0f).build()
                                                       : WtrBuilder().waypoint(name, 1.0f).build());
        fs::last_write_time(fs::u8path(path), std::chrono::file_clock::from_sys(std::chrono::sys_seconds{base} + after));
        return path;
    }
    std::string In(const std::string& name) const { return (files.path() / name).string(); }
};

TEST_F(NewestTest, FindTakesTheLatestMatchOfAnyLetterCaseAfter1970) {
    fs::create_directory(files.path() / "航點");  // a folder with a Chinese name
    Make("航點/a.wtr", 0s);
    const std::string b = Make("航點/B.WTR", 300s);
    Make("航點/d.gtm", 900s);  // newer, of another extension
    std::string path = "unchanged";
    EXPECT_EQ(FindNewestFile(In("航點/*.Wtr"), path), 1);
    EXPECT_EQ(path, b);
    path = "unchanged";
    EXPECT_EQ(FindNewestFile(In("航點/*.evo"), path) + FindNewestFile(In("gone/*.wtr"), path), 0);
    Make("old.wtr", 0s, 0s);
    Make("older.wtr", -86400s, 0s);
    EXPECT_EQ(FindNewestFile(In("*.wtr"), path), 0);  // 1970 and before never win
    EXPECT_EQ(path, "unchanged");
    EXPECT_EQ(FindNewestFile(In("*"), path), 1);  // every entry, folders too
    EXPECT_EQ(path, In("航點"));
}

TEST_F(NewestTest, TheButtonListsTheNewestOfEachBoxsFolderAndLeavesAMissingFolderAlone) {
    Make("a.wtr", 0s);
    const std::string b = Make("b.wtr", 300s), c = Make("c.wtr", 300s + 700ms), gtm = Make("new.gtm", 3s);
    std::string first;  // of two files in the same second, the one listed first wins
    for (const auto& entry : fs::directory_iterator(files.path()))
        if (first.empty() && (entry.path() == b || entry.path() == c)) first = entry.path().string();
    Start();
    Text(kGarminPath) = In("x.wtr");
    Text(kGtmPath) = In("gone/x.gtm");
    Click(kSelectNewest);
    Text(kGtmPath) = In("x.gtm");
    Click(kSelectNewest);
    EXPECT_EQ(store.writes, (Pairs{{"Dialog/WTRFile", first}, {"Dialog/WTRFile", first}, {"Dialog/GTMFile", gtm}}));
    EXPECT_EQ(LinesOf(kGtmList), Lines{"G            1"});
    EXPECT_EQ(Text(kGarminPath) + Text(kGtmPath), first + gtm);

    // Empty boxes: the newest entry of the current folder, whatever its extension.
    Make("newest.wtr", 600s);
    const fs::path before = fs::current_path();
    fs::current_path(files.path());
    store.values.clear();
    Start();
    Click(kSelectNewest);
    fs::current_path(before);
    EXPECT_EQ(Text(kGarminPath) + Text(kGtmPath), In("newest.wtr") + In("newest.wtr"));
    EXPECT_EQ(LinesOf(kGarminList).size(), 1u);
    EXPECT_EQ(Text(kGtmCount), "0");  // a WTR file is no GTM file
}

}  // namespace

#include <chrono>
#include <filesystem>

#include "DialogTestSupport.h"
#include "app/NewestFile.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class NewestTest : public DialogTest {
protected:
    // A file (one waypoint named after it) modified this long after 2024-03-01 10:00 UTC.
    std::string Make(const std::string& name, std::chrono::milliseconds after, std::chrono::seconds base = 1709287200s) {
        const std::string path = files.Write(name, name.ends_with(".gtm") ? GtmBuilder().waypoint("G", 1.0f).build()
                                                                          : WtrBuilder().waypoint(name, 1.0f).build());
        fs::last_write_time(fs::u8path(path), std::chrono::file_clock::from_sys(std::chrono::sys_seconds{base} + after));
        return path;
    }
    std::string In(const std::string& name) const { return (files.path() / name).string(); }
};

TEST(NewestFilePattern, KeepsTheFolderAndTheExtension) {
    const std::pair<const char*, const char*> rows[] = {
        {"/gps/a.wtr", "/gps/*.wtr"}, {"/gps/a.b.GTM", "/gps/*.GTM"}, {"/gps/readme", "/gps/*"},
        {"/gps.old/readme", "/gps.old/*"}, {"/gps/", "/gps/*"}, {"a.wtr", "*.wtr"}, {"", "*"},
    };
    for (const auto& [path, pattern] : rows) EXPECT_EQ(NewestFilePattern(path), pattern) << path;
}

TEST_F(NewestTest, TheLatestMatchOfAnyLetterCaseAfter1970AndTheFirstListedOfOneSecond) {
    fs::create_directory(files.path() / "航點");  // a folder with a Chinese name
    Make("航點/a.wtr", 0s);
    const std::string b = Make("航點/B.WTR", 300s), c = Make("航點/c.wtr", 300s + 700ms);
    Make("航點/d.gtm", 900s);  // newer, of another extension
    std::string path = "unchanged", first;
    for (const auto& entry : fs::directory_iterator(files.path() / "航點"))
        if (first.empty() && (entry.path().string() == b || entry.path().string() == c)) first = entry.path().string();
    EXPECT_EQ(FindNewestFile(In("航點/*.Wtr"), path), 1);
    EXPECT_EQ(path, first);
    path = "unchanged";
    Make("old.wtr", 0s, 0s);
    Make("older.wtr", -86400s, 0s);
    EXPECT_EQ(FindNewestFile(In("航點/*.evo"), path) + FindNewestFile(In("gone/*.wtr"), path) + FindNewestFile(In("*.wtr"), path), 0);
    EXPECT_EQ(path, "unchanged");
    EXPECT_EQ(FindNewestFile(In("*"), path), 1);  // every entry, folders too
    EXPECT_EQ(path, In("航點"));
}

TEST_F(NewestTest, TheButtonListsTheNewestOfEachBoxsFolderAndLeavesAMissingFolderAlone) {
    const std::string wtr = Make("b.wtr", 300s), gtm = Make("new.gtm", 3s);
    Make("a.wtr", 0s);
    Start();
    Text(kGarminPath) = In("x.wtr");
    Text(kGtmPath) = In("gone/x.gtm");
    Click(kSelectNewest);
    Text(kGtmPath) = In("x.gtm");
    Click(kSelectNewest);
    EXPECT_EQ(store.writes, (Pairs{{"Dialog/WTRFile", wtr}, {"Dialog/WTRFile", wtr}, {"Dialog/GTMFile", gtm}}));
    EXPECT_EQ(LinesOf(kGtmList), Lines{"G            1"});
    EXPECT_EQ(Text(kGarminPath) + Text(kGtmPath), wtr + gtm);
}

}  // namespace

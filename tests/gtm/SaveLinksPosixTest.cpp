// Saving a GTM file reached through links: a symbolic link (or a chain of
// them, into other folders) is followed to the file it names, which is
// replaced with the temporary file made beside it; the links stay links. A
// hard link is a second name of the old file, which keeps the old contents.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "SaveFaultSupport.h"

namespace {

namespace fs = std::filesystem;

class SaveLinks : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_.path() / "links");
        fs::create_directories(dir_.path() / "files");
        original_ = GtmBuilder().waypoint("a", 1).build();
        target_ = dir_.Write("files/real.gtm", original_);
    }

    // Loads the file through path, corrects its one name and saves it.
    int Repair(const fs::path& path) {
        GtmDocument document;
        VectorLineList lines;
        if (document.Load(path.string(), lines) != 1) return -1;
        WaypointRecord source{};
        StoreName(source.name, sizeof source.name, "A");
        source.altitude = 1;
        document.CorrectNames(1, &source, lines);
        if (document.correctedCount != 1) return -1;
        return document.Save();
    }

    std::vector<uint8_t> Repaired() const {
        auto bytes = original_;
        const std::string old = "a         ";
        *std::search(bytes.begin(), bytes.end(), old.begin(), old.end()) = 'A';
        return bytes;
    }

    TempDir dir_;
    std::vector<uint8_t> original_;
    std::string target_;
};

TEST_F(SaveLinks, ALinkIntoAnotherFolderReplacesTheFileThere) {
    const fs::path link = dir_.path() / "links" / "link.gtm";
    fs::create_symlink("../files/real.gtm", link);
    ASSERT_EQ(Repair(link), 1);
    EXPECT_EQ(ReadBytes(target_), Repaired());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "../files/real.gtm");
    EXPECT_EQ(Entries(dir_.path() / "links"), std::vector<std::string>{"link.gtm"});
    EXPECT_EQ(Entries(dir_.path() / "files"), std::vector<std::string>{"real.gtm"});
}

TEST_F(SaveLinks, AChainOfLinksIsFollowedToTheEnd) {
    // links/first -> ../files/second (relative to links), files/second ->
    // real.gtm (relative to files), and an absolute link to the first.
    const fs::path first = dir_.path() / "links" / "first.gtm";
    const fs::path second = dir_.path() / "files" / "second.gtm";
    const fs::path absolute = dir_.path() / "absolute.gtm";
    fs::create_symlink("real.gtm", second);
    fs::create_symlink("../files/second.gtm", first);
    fs::create_symlink(first, absolute);
    ASSERT_EQ(Repair(absolute), 1);
    EXPECT_EQ(ReadBytes(target_), Repaired());
    EXPECT_TRUE(fs::is_symlink(first) && fs::is_symlink(second) && fs::is_symlink(absolute));
    EXPECT_EQ(Entries(dir_.path() / "files"), (std::vector<std::string>{"real.gtm", "second.gtm"}));
    EXPECT_EQ(Entries(dir_.path() / "links"), std::vector<std::string>{"first.gtm"});
}

TEST_F(SaveLinks, AnotherHardLinkKeepsTheOldContents) {
    const fs::path other = dir_.path() / "links" / "other.gtm";
    fs::create_hard_link(target_, other);
    ASSERT_EQ(Repair(target_), 1);
    EXPECT_EQ(ReadBytes(target_), Repaired());
    EXPECT_EQ(ReadBytes(other.string()), original_);
    EXPECT_EQ(fs::hard_link_count(other), 1u);
}

}  // namespace

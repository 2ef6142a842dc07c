#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

#include "gtm/GtmDocument.h"
#include "sources/NameField.h"
#include "support/FormatBuilders.h"

namespace {

const char kArrow[] = "\xA1\xF6";

void SetRow(GtmWaypoint& row, std::string name, std::string newName) {
    name.resize(10, ' ');
    std::memcpy(row.name, name.data(), 10);
    StoreName(row.newName, sizeof row.newName, newName);
}

// The name field of record i of a file built with one comment-free record per name.
std::string NameField(const std::vector<uint8_t>& file, size_t firstRecord, size_t i) {
    const size_t at = firstRecord + i * 43 + 16;
    return std::string(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + 10));
}

}  // namespace

TEST(Prefix, Rules) {
    struct Case { std::string name; std::string newName; std::string expected; };
    const std::string nul("\0", 1);
    const Case cases[] = {
        {"ABC", "ABC", "\xA1\xF6" "ABC"},
        {"12345678", "12345678", "\xA1\xF6" "12345678"},
        {"123456789", "123456789", "\xA1\xF6" "3456789"},    // 9 bytes give up the first two
        {"1234567890", "1234567890", "\xA1\xF6" "34567890"},
        {"\xA4\xA4" "A", "\xA4\xA4" "A", "\xA4\xA4" "A"},    // begins with a Chinese character
        {"\xA1\xF6" "AB", "\xA1\xF6" "AB", "\xA1\xF6" "AB"},  // already prefixed
        // Uncorrected names are prefixed too, from their own bytes.
        {"AB", "", "\xA1\xF6" "AB"},
        {"\xA4\xA4" "AB", "", ""},
        {nul + "AB", "", "\xA1\xF6"},                      // the string ends at the NUL
        {"ABCDEFGHI", "", "\xA1\xF6" "CDEFGHI"},
        {nul + "BCDEFGHIJ", "", "\xA1\xF6"},               // nothing left after dropping two bytes
        {"A" + nul + "CDEFGHIJ", "", "\xA1\xF6"},
        {"", "", "\xA1\xF6"},                              // ten blanks
    };
    for (const Case& c : cases) {
        GtmDocument document;
        document.waypointCount = 1;
        document.waypoints.reset(new GtmWaypoint[1]());
        SetRow(document.waypoints[0], c.name, c.newName);
        EXPECT_EQ(document.ApplyPrefix(kArrow), 1);
        EXPECT_EQ(std::string(document.waypoints[0].newName), c.expected) << c.name;
    }
}

TEST(Prefix, NeedsPrefixLooksAtNewNamesOnly) {
    GtmDocument document;
    document.waypointCount = 2;
    document.waypoints.reset(new GtmWaypoint[2]());
    SetRow(document.waypoints[0], "AB", "");
    SetRow(document.waypoints[1], "\0\0", "\xA4\xA4");
    EXPECT_EQ(document.NeedsPrefix(), 0);
    SetRow(document.waypoints[1], "1", "1");
    EXPECT_EQ(document.NeedsPrefix(), 1);
    GtmDocument empty;
    EXPECT_EQ(empty.NeedsPrefix(), 0);
}

TEST(Prefix, OtherPrefixLengthsNeverOverflow) {
    GtmDocument document;
    document.waypointCount = 1;
    document.waypoints.reset(new GtmWaypoint[1]());
    SetRow(document.waypoints[0], "12345678", "12345678");
    document.ApplyPrefix("0123456789ABCDEFGHIJ");
    EXPECT_EQ(std::strlen(document.waypoints[0].newName), 15u);
}

class SaveTest : public ::testing::Test {
protected:
    // Loads the file, corrects it from the source records and returns the document.
    void LoadAndCorrect(const std::vector<uint8_t>& bytes, std::vector<WaypointRecord> source) {
        path_ = dir_.Write("repair.gtm", bytes);
        VectorLineList lines;
        ASSERT_EQ(document_.Load(path_, lines), 1);
        source_ = std::move(source);
        document_.CorrectNames(static_cast<int32_t>(source_.size()), source_.data(), corrected_);
    }
    static WaypointRecord Source(std::string_view name, float altitude) {
        WaypointRecord record{};
        StoreName(record.name, sizeof record.name, name);
        record.altitude = altitude;
        return record;
    }

    TempDir dir_;
    std::string path_;
    GtmDocument document_;
    std::vector<WaypointRecord> source_;
    VectorLineList corrected_;
};

TEST_F(SaveTest, OnlyNameFieldsChange) {
    const std::string nul2("\0\0", 2);
    GtmBuilder builder;
    builder.image("img", "path").waypoint(nul2 + "AB", 100, std::string(300, 'c'))
        .waypoint(nul2 + nul2, 200, "").waypoint("1" + nul2, 300, "x").waypoint("none", 400, "");
    const auto original = builder.build();
    LoadAndCorrect(original, {Source("\xA4\xA4" "AB", 100), Source("\xA4\xA5\xA4\xA6", 200), Source("1\xB5\xB6", 300)});
    ASSERT_EQ(document_.correctedCount, 3);
    ASSERT_EQ(document_.Save(), 1);

    // The expected file: the original with the new names laid over the start
    // of each name field; the rest of each field keeps its old bytes.
    auto expected = original;
    auto put = [&](const std::string& oldField, const std::string& newName) {
        auto at = std::search(expected.begin(), expected.end(), oldField.begin(), oldField.end());
        ASSERT_NE(at, expected.end());
        std::copy(newName.begin(), newName.end(), at);
    };
    put(nul2 + "AB      ", "\xA4\xA4" "AB");
    put(nul2 + nul2 + "      ", "\xA4\xA5\xA4\xA6");
    put("1" + nul2 + "       ", "1\xB5\xB6");
    EXPECT_EQ(ReadBytes(path_), expected);
}

TEST_F(SaveTest, PrefixedNamesAreWrittenInPlace) {
    GtmBuilder builder;
    builder.waypoint("ABC", 1).waypoint("123456789", 2).waypoint("XY", 3);
    const auto original = builder.build();
    LoadAndCorrect(original, {Source("ABC", 1), Source("123456789", 2)});
    ASSERT_EQ(document_.NeedsPrefix(), 1);
    document_.ApplyPrefix(kArrow);
    ASSERT_EQ(document_.Save(), 1);
    const auto saved = ReadBytes(path_);
    ASSERT_EQ(saved.size(), original.size());
    const size_t first = original.size() - std::string("tracks and other data").size() - 3 * 43;
    EXPECT_EQ(NameField(saved, first, 0), "\xA1\xF6" "ABC     ");
    EXPECT_EQ(NameField(saved, first, 1), "\xA1\xF6" "3456789 ");  // the tenth byte keeps its old blank
    EXPECT_EQ(NameField(saved, first, 2), "\xA1\xF6" "XY      ");   // uncorrected, but prefixed

    // The saved file loads again with the new names.
    GtmDocument reloaded;
    VectorLineList lines;
    ASSERT_EQ(reloaded.Load(path_, lines), 1);
    EXPECT_EQ(std::string(reloaded.waypoints[0].name, 10), "\xA1\xF6" "ABC     ");
}

TEST_F(SaveTest, NothingCorrectedWritesNothing) {
    const auto original = GtmBuilder().waypoint("A", 1).build();
    LoadAndCorrect(original, {Source("B", 1)});
    ASSERT_EQ(document_.correctedCount, 0);
    std::filesystem::remove(path_);
    EXPECT_EQ(document_.Save(), 1);
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(SaveTest, KeepsPermissionsAndFollowsLinks) {
    const auto original = GtmBuilder().waypoint("a", 1).build();
    const std::string target = dir_.Write("real.gtm", original);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read);
    const std::filesystem::path link = dir_.path() / "link.gtm";
    std::filesystem::create_symlink("real.gtm", link);
    GtmDocument document;
    VectorLineList lines;
    ASSERT_EQ(document.Load(link.string(), lines), 1);
    WaypointRecord source[] = {Source("A", 1)};
    document.CorrectNames(1, source, lines);
    ASSERT_EQ(document.Save(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::string(document.waypoints[0].newName), "A");
    EXPECT_NE(ReadBytes(target), original);
    EXPECT_EQ(std::filesystem::status(target).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
}

TEST_F(SaveTest, ReadOnlyFileIsNotReplaced) {
    // The folder may be written, the file may not: the save must refuse, as
    // writing the file itself would. Run as an ordinary user, so that the
    // rights are checked (root may write anything).
    const auto original = GtmBuilder().waypoint("a", 1).build();
    const std::string path = dir_.Write("readonly.gtm", original);
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::all);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    auto save = [&] {
        GtmDocument document;
        VectorLineList lines;
        if (document.Load(path, lines) != 1) return 2;
        WaypointRecord source[] = {Source("A", 1)};
        document.CorrectNames(1, source, lines);
        return document.Save();
    };
    int result = -1;
    if (::geteuid() == 0) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
            ::_exit(save());
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        result = WEXITSTATUS(status);
    } else {
        result = save();
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

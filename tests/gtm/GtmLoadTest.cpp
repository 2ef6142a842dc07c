#include <gtest/gtest.h>

#include "gtm/GtmDocument.h"
#include "support/FormatBuilders.h"

namespace {

struct LoadedGtm {
    int result = 0;
    GtmDocument document;
    VectorLineList lines;
};

std::unique_ptr<LoadedGtm> LoadGtm(const std::vector<uint8_t>& bytes) {
    static TempDir dir;
    auto loaded = std::make_unique<LoadedGtm>();
    loaded->result = loaded->document.Load(dir.Write("file.gtm", bytes), loaded->lines);
    return loaded;
}

}  // namespace

TEST(GtmLoad, ReadsRowsAndLines) {
    auto bytes = GtmBuilder()
                     .image("map.bmp", "c:\\maps")
                     .waypoint(GtmRecord{std::string("\0\0AB", 4), 7.0f, "a comment", 42, 25.5, 121.25})
                     .waypoint(GtmRecord{"ABCDEFGHIJ", 12000.0f, "", -3})
                     .build();
    auto loaded = LoadGtm(bytes);
    ASSERT_EQ(loaded->result, 1);
    const GtmDocument& d = loaded->document;
    ASSERT_EQ(d.waypointCount, 2);
    EXPECT_EQ(std::string(d.waypoints[0].name, 11), std::string("\0\0AB      \0", 11));
    EXPECT_EQ(d.waypoints[0].icon, 42);
    EXPECT_DOUBLE_EQ(d.waypoints[0].latitude, 25.5);
    EXPECT_DOUBLE_EQ(d.waypoints[0].longitude, 121.25);
    EXPECT_STREQ(d.waypoints[1].name, "ABCDEFGHIJ");
    EXPECT_EQ(d.waypoints[1].icon, -3);
    // NUL bytes show as blanks; no altitude cap in the GTM list.
    EXPECT_EQ(loaded->lines.lines, (std::vector<std::string>{"  AB         7", "ABCDEFGHIJ 12000"}));
    EXPECT_EQ(d.imageSize, static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(d.image, bytes);
}

TEST(GtmLoad, HeaderChecks) {
    auto valid = GtmBuilder().waypoint("A", 1).build();
    auto badSignature = GtmBuilder().waypoint("A", 1).signatureByte(0x00).build();
    auto badLetter = valid;
    badLetter[2] = 't';
    auto anyFirstBytes = valid;
    anyFirstBytes[0] = 0x00;
    anyFirstBytes[1] = 0xFF;
    EXPECT_EQ(LoadGtm(valid)->result, 1);
    EXPECT_EQ(LoadGtm(badSignature)->result, 0);
    EXPECT_EQ(LoadGtm(badLetter)->result, 0);
    EXPECT_EQ(LoadGtm(anyFirstBytes)->result, 1);
    EXPECT_EQ(LoadGtm({})->result, 0);
}

TEST(GtmLoad, NoWaypointsIsValidButEmpty) {
    auto loaded = LoadGtm(GtmBuilder().build());
    EXPECT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->document.waypointCount, 0);
    EXPECT_EQ(loaded->document.waypoints, nullptr);
    EXPECT_TRUE(loaded->document.image.empty());
    EXPECT_TRUE(loaded->lines.lines.empty());
}

TEST(GtmLoad, ImageRecordCounts) {
    // A negative image count skips no image records.
    auto negative = LoadGtm(GtmBuilder().waypoint("A", 1).imageCount(-5).build());
    EXPECT_EQ(negative->result, 1);
    auto two = LoadGtm(GtmBuilder().image("a", "b").image("", "cc").waypoint("A", 5).build());
    ASSERT_EQ(two->result, 1);
    EXPECT_FLOAT_EQ(two->document.waypoints[0].altitude, 5);
}

TEST(GtmLoad, FilesThatLieOrAreCutAreRefusedWhole) {
    std::vector<std::vector<uint8_t>> liars = {
        GtmBuilder().waypoint("A", 1).waypointCount(2).tail("").build(),
        GtmBuilder().waypoint("A", 1).waypointCount(-1).build(),
        GtmBuilder().waypoint("A", 1).waypointCount(INT32_MAX).build(),
        GtmBuilder().waypoint("A", 1).imageCount(1000).build(),
        GtmBuilder().waypoint("A", 1).imageCount(INT32_MAX).build(),
    };
    liars.push_back(GtmBuilder().waypoint("A", 1).build());
    liars.back()[99] = 0xFF;  // the first string claims 65535 bytes
    liars.back()[100] = 0xFF;
    for (size_t i = 0; i < liars.size(); ++i) {
        auto loaded = LoadGtm(liars[i]);
        EXPECT_EQ(loaded->result, 0) << i;
        EXPECT_EQ(loaded->document.waypointCount, 0) << i;
        EXPECT_EQ(loaded->document.waypoints, nullptr) << i;
        EXPECT_TRUE(loaded->lines.lines.empty()) << i;
    }
    // A comment length that runs past the end.
    auto bytes = GtmBuilder().waypoint("A", 1, "comment").tail("").build();
    for (size_t size = 1; size < bytes.size(); ++size) {
        auto loaded = LoadGtm(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(size)));
        EXPECT_EQ(loaded->result, 0) << size;
        EXPECT_TRUE(loaded->lines.lines.empty()) << size;
    }
    EXPECT_EQ(LoadGtm(bytes)->result, 1);
}

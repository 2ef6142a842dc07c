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
                     .image("map.bmp", "c:\\maps").image("", "x")
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
    const auto cut = std::vector<uint8_t>(valid.begin(), valid.begin() + 66);  // the image count's last byte missing
    EXPECT_EQ(LoadGtm(valid)->result + LoadGtm(anyFirstBytes)->result, 2);
    EXPECT_EQ(LoadGtm(badSignature)->result + LoadGtm(badLetter)->result + LoadGtm(cut)->result, 0);
}

TEST(GtmLoad, NoWaypointsIsValidButEmpty) {
    auto loaded = LoadGtm(GtmBuilder().image("a", "b").build());
    EXPECT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->document.waypoints, nullptr);
    EXPECT_TRUE(loaded->document.image.empty() && loaded->lines.lines.empty());
    // A negative image count skips no image records.
    EXPECT_EQ(LoadGtm(GtmBuilder().waypoint("A", 1).imageCount(-5).build())->result, 1);
}

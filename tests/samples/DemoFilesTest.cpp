// The demo files are what the demo tool writes, and the demo GTM file is
// repaired from the demo WTR file and from the demo GPX file into
// demo.repaired.gtm, the file every build's repair is compared with.
#include <gtest/gtest.h>

#include "gtm/GtmDocument.h"
#include "samples/DemoPair.h"
#include "sources/CreateWaypointSource.h"
#include "support/ByteBuilder.h"

namespace {

// A GTM file (the demo's by default) as saved after a repair from the Garmin file, with the prefix unless told not to.
std::vector<uint8_t> RepairedFrom(const std::string& garminName, const std::vector<uint8_t>& garmin,
                                  const std::vector<uint8_t>& gtm = MakeDemoGtm(), bool prefix = true) {
    TempDir dir;
    const std::string garminPath = dir.Write(garminName, garmin);
    const std::string gtmPath = dir.Write("demo.gtm", gtm);
    std::unique_ptr<WaypointSource> source = CreateWaypointSource(garminPath);
    GtmDocument document;
    VectorLineList lines;
    EXPECT_EQ(source->Load(garminPath, &lines, nullptr), 1);
    EXPECT_EQ(document.Load(gtmPath, lines), 1);
    EXPECT_EQ(document.CorrectNames(source->waypointCount, source->waypoints.get(), lines), 1);
    for (int32_t i = 0; i < document.waypointCount; ++i) EXPECT_TRUE(document.waypoints[i].atPosition) << i;
    if (prefix) {
        EXPECT_EQ(document.ApplyPrefix("\xA1\xF6"), 1);
    }
    EXPECT_EQ(document.Save(), 1);
    return ReadBytes(gtmPath);
}

TEST(DemoFiles, AreTheToolsAndRepairFromWtrAndGpxIntoTheRepairedFile) {
    const std::string demo = LORVANE_DEMO_DIR;
    EXPECT_EQ(ReadBytes(demo + "/demo.wtr"), MakeDemoWtr());
    EXPECT_EQ(ReadBytes(demo + "/demo.gpx"), MakeDemoGpx());
    EXPECT_EQ(ReadBytes(demo + "/demo.gtm"), MakeDemoGtm());
    for (const char* garmin : {"demo.wtr", "demo.gpx"})
        EXPECT_EQ(RepairedFrom(garmin, ReadBytes(demo + "/" + garmin)), ReadBytes(demo + "/demo.repaired.gtm")) << garmin;
}

// Waypoints made on a map have no elevations, and a GTM file need not keep the Garmin file's order: then every
// Chinese name of one length is alike, and only the positions tell the waypoints apart.
TEST(DemoFiles, RepairByPositionWithoutElevationsInAnotherOrder) {
    const std::vector<size_t> order = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    EXPECT_EQ(RepairedFrom("demo.wtr", MakeDemoWtr(false), MakeDemoGtm(false, order), false),
              MakeDemoGtm(false, order, true));
}

}  // namespace

// The demo GPX file holds the demo WTR file's waypoints: the demo GTM file is
// repaired from either into the same bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "gtm/GtmDocument.h"
#include "samples/DemoPair.h"
#include "sources/CreateWaypointSource.h"
#include "support/ByteBuilder.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> RepairedFrom(const std::string& garminName, const std::vector<uint8_t>& garmin,
                                  std::unique_ptr<WaypointSource>& source) {
    TempDir dir;
    const std::string garminPath = dir.Write(garminName, garmin);
    const std::string gtmPath = dir.Write("demo.gtm", MakeDemoGtm());
    source = CreateWaypointSource(garminPath);
    GtmDocument document;
    VectorLineList lines;
    EXPECT_EQ(source->Load(garminPath, &lines, nullptr), 1);
    EXPECT_EQ(document.Load(gtmPath, lines), 1);
    EXPECT_EQ(document.CorrectNames(source->waypointCount, source->waypoints.get(), lines), 1);
    EXPECT_EQ(document.correctedCount, 12);
    EXPECT_EQ(document.ApplyPrefix("\xA1\xF6"), 1);
    EXPECT_EQ(document.Save(), 1);
    return ReadAll(gtmPath);
}

TEST(DemoGpx, RepairsTheDemoGtmAsTheWtrDoes) {
    EXPECT_EQ(ReadAll(LORVANE_DEMO_DIR "/demo.gpx"), MakeDemoGpx());
    std::unique_ptr<WaypointSource> wtr, gpx;
    const std::vector<uint8_t> fromWtr = RepairedFrom("demo.wtr", MakeDemoWtr(), wtr);
    EXPECT_EQ(RepairedFrom("demo.gpx", MakeDemoGpx(), gpx), fromWtr);
    EXPECT_NE(fromWtr, MakeDemoGtm());
    ASSERT_EQ(gpx->waypointCount, wtr->waypointCount);
    for (int i = 0; i < wtr->waypointCount; ++i) {
        const WaypointRecord& a = wtr->waypoints[i];
        const WaypointRecord& b = gpx->waypoints[i];
        EXPECT_TRUE(std::memcmp(a.name, b.name, sizeof a.name) == 0 && a.latitude == b.latitude &&
                    a.longitude == b.longitude && a.altitude == b.altitude) << i;
    }
}

}  // namespace

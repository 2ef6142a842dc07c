// The demo GPX file holds the demo WTR file's waypoints: the demo GTM file is
// repaired from either into the same bytes.
#include <gtest/gtest.h>

#include "gtm/GtmDocument.h"
#include "samples/DemoPair.h"
#include "sources/CreateWaypointSource.h"
#include "support/ByteBuilder.h"

namespace {

// The demo GTM file as saved after a repair from the Garmin file, with the prefix.
std::vector<uint8_t> RepairedFrom(const std::string& garminName, const std::vector<uint8_t>& garmin) {
    TempDir dir;
    const std::string garminPath = dir.Write(garminName, garmin);
    const std::string gtmPath = dir.Write("demo.gtm", MakeDemoGtm());
    std::unique_ptr<WaypointSource> source = CreateWaypointSource(garminPath);
    GtmDocument document;
    VectorLineList lines;
    EXPECT_EQ(source->Load(garminPath, &lines, nullptr), 1);
    EXPECT_EQ(document.Load(gtmPath, lines), 1);
    EXPECT_EQ(document.CorrectNames(source->waypointCount, source->waypoints.get(), lines), 1);
    EXPECT_EQ(document.correctedCount, 12);
    EXPECT_EQ(document.ApplyPrefix("\xA1\xF6"), 1);
    EXPECT_EQ(document.Save(), 1);
    return ReadBytes(gtmPath);
}

TEST(DemoGpx, RepairsTheDemoGtmAsTheWtrDoes) {
    EXPECT_EQ(ReadBytes(LORVANE_DEMO_DIR "/demo.gpx"), MakeDemoGpx());
    const std::vector<uint8_t> fromWtr = RepairedFrom("demo.wtr", MakeDemoWtr());
    EXPECT_NE(fromWtr, MakeDemoGtm());
    EXPECT_EQ(RepairedFrom("demo.gpx", MakeDemoGpx()), fromWtr);
}

}  // namespace

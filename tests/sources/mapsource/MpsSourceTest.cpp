#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "sources/mapsource/MpsSource.h"
#include "MapSourceBuilder.h"

using namespace mstest;

// Two waypoints, the second read right where the first ends, then two tracks; names are copied byte for byte.
TEST(MpsSource, WaypointsWithAnyCountryAndEitherBlockAndTracksOf31BytePoints) {
    struct Case { const char* firstBody; const char* country; size_t block, tail; };
    // The classic layout; a long country and nothing after the symbol; after a first head record "d", a 17-byte block.
    const Case cases[] = {{"g", "US", 22, 24}, {"g", "Deutschland", 22, 0}, {"d", "", 17, 24}};
    const MpsTrack track{.name = "\xE4\xB8\xAD", .points = {{358657865, -1092953023, 1.0, 0}, {1, 2, -3.25, 86399}}};
    const std::vector<std::string> waypointLines{"\xE4\xB8\xAD 183", "\xE4\xB8\xAD 183"};
    const std::vector<std::string> trackLines{"\xE4\xB8\xAD (2)", "Track (0)"};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstBody << " '" << c.country << "' " << c.block << " " << c.tail);
        const MpsWaypoint w{.name = "\xE4\xB8\xAD", .country = c.country, .blockSize = c.block, .latitude = 430578619,
                            .longitude = -1034127312, .altitude = 182.7, .symbol = 8255, .tailSize = c.tail};
        const Loaded loaded(".mps", MsFile::Mps(612, c.firstBody).W(w).W(w).T(track).T(MpsTrack{}).bytes());
        ASSERT_EQ(loaded.result, 1);
        const WaypointRecord& r = loaded.Waypoint(1);
        EXPECT_EQ(std::make_tuple(loaded.Name(1), r.latitude, r.longitude, r.altitude, r.symbol),
                  std::make_tuple(std::string("\xE4\xB8\xAD"), 430578619, -1034127312, 182.7f, int16_t{8255}));
        EXPECT_EQ(loaded.waypointLines.lines, waypointLines);
        ASSERT_EQ(loaded.trackLines.lines, trackLines);
        const TrackPoint &p = loaded.Point(0, 0), &q = loaded.Point(0, 1);
        EXPECT_EQ(std::make_tuple(p.latitude, p.longitude, p.altitude, p.time),
                  std::make_tuple(358657865, -1092953023, 1.0f, 0u));
        EXPECT_EQ(std::make_tuple(q.latitude, q.longitude, q.altitude, q.time), std::make_tuple(1, 2, -3.25f, 86399u));
    }
}

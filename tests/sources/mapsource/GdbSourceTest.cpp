#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "sources/mapsource/GdbSource.h"
#include "MapSourceBuilder.h"

using namespace mstest;

TEST(GdbSource, WaypointsAndTrackPointsWithAndWithoutTheirOptionalFields) {
    struct Case { GdbWaypoint w; float altitude; const char* line; };
    const Case cases[] = {
        {{.name = "PLAIN", .latitude = 606990317, .longitude = -148342070, .symbol = 63}, 0.0f, "PLAIN   0"},
        {{.name = "FLAGGED", .latitude = -1, .longitude = 1, .altitude = 3886.2, .thirdText = "a comment",
          .flaggedValue = true, .symbol = -2}, 3886.2f, "FLAGGED 3886"},
        // The records keep the altitude as read; the lines show one above 9999 as 0.
        {{.altitude = 1e300}, HUGE_VALF, "WPT   0"}, {{.altitude = -1e300}, -HUGE_VALF, "WPT -inf"},
    };
    const GdbTrack track{.name = std::string(40, 'T'),  // cut to 31 bytes
                         .points = {GdbPoint{10, 20}, GdbPoint{-11, -21, 100.0, 57600, -5.5},
                                    GdbPoint{12, 22, 200.0, 7200, 1.0, 15.0}, GdbPoint{13, 23, {}, 60, {}, 20.0}},
                         .after = {}};  // no byte after the last point
    MsFile file = MsFile::Gdb();
    for (const Case& c : cases) file.W(c.w);
    const Loaded loaded(".gdb", file.T(track).T(GdbTrack{.name = "EMPTY"}).bytes());  // a byte after the count
    ASSERT_EQ(loaded.result, 1);
    ASSERT_EQ(loaded.source->waypointCount, static_cast<int32_t>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const WaypointRecord& r = loaded.Waypoint(static_cast<int>(i));
        const Case& c = cases[i];
        EXPECT_EQ(loaded.waypointLines.lines.at(i), c.line);
        EXPECT_EQ(std::make_tuple(r.latitude, r.longitude, r.altitude, r.symbol),
                  std::make_tuple(c.w.latitude, c.w.longitude, c.altitude, c.w.symbol)) << c.line;
    }
    const std::vector<std::string> trackLines{std::string(31, 'T') + " (4)", "EMPTY (0)"};
    ASSERT_EQ(loaded.trackLines.lines, trackLines);
    for (int j = 0; j < 4; ++j) {  // an absent altitude or time is 0
        const GdbPoint& p = track.points[j];
        const TrackPoint& q = loaded.Point(0, j);
        EXPECT_EQ(std::make_tuple(q.latitude, q.longitude, double{q.altitude}, q.time),
                  std::make_tuple(p.latitude, p.longitude, p.altitude.value_or(0), p.time.value_or(0))) << j;
    }
}

TEST(GdbSource, WaypointNamesAreUtf8FromVersion612AndInBaseCampFiles) {
    const std::tuple<uint16_t, const char*, const char*> cases[] = {
        {611, "MapSource", "\xE4\xB8\xAD"},  // copied byte for byte
        {612, "MapSource", "\xA4\xA4"}, {0xFFFF, "MapSource", "\xA4\xA4"}, {408, "BaseCamp", "\xA4\xA4"},
    };
    for (const auto& [version, program, name] : cases) {
        MsFile file = MsFile::Gdb(version, program).W(GdbWaypoint{.name = "\xE4\xB8\xAD"});
        const Loaded loaded(".gdb", file.T(GdbTrack{.name = "\xE4\xB8\xAD"}).bytes());
        ASSERT_EQ(loaded.result, 1) << version;
        EXPECT_EQ(loaded.Name(0), name) << version;
        EXPECT_EQ(loaded.TrackName(0), "\xE4\xB8\xAD") << version;  // track names are never converted
    }
}

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "sources/mapsource/GdbSource.h"
#include "MapSourceBuilder.h"

using namespace mstest;
struct GdbLoad : Loaded {
    explicit GdbLoad(const Bytes& bytes) : Loaded(".gdb", bytes) {}
};

TEST(GdbSource, WaypointBodiesWithAndWithoutOptionalFields) {
    struct Case { GdbWaypoint w; float altitude; const char* line; };
    const Case cases[] = {
        {{.name = "PLAIN", .latitude = 606990317, .longitude = -148342070, .symbol = 63}, 0.0f, "PLAIN   0"},
        {{.name = "HIGH", .latitude = -1, .longitude = 1, .altitude = 3886.2, .thirdText = "a comment"}, 3886.2f,
         "HIGH 3886"},
        {{.name = "FLAGGED", .altitude = 3886.2, .thirdText = "x", .flaggedValue = true, .symbol = -2}, 3886.2f,
         "FLAGGED 3886"},
        // The records keep the altitude as read; the lines show one above 9999 as 0.
        {{.name = "A", .altitude = 9999.5}, 9999.5f, "A   0"}, {{.name = "A", .altitude = -1e300}, -HUGE_VALF, "A -inf"},
        {{.name = "A", .altitude = 1e300}, HUGE_VALF, "A   0"},
        // Names of more than 11 bytes are cut after the last whole character.
        {{.name = "Altenburg-Umgehung"}, 0.0f, "Altenburg-U   0"},
        {{.name = "AB\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4"}, 0.0f, "AB\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4   0"},
        // Bodies that end with the symbol, and ones whose fields after it take
        // another form (city and facility texts), read alike.
        {{.name = "BARE", .latitude = 1, .symbol = 7, .fixedTail = false}, 0.0f, "BARE   0"},
        {{.name = "CITY", .altitude = 10.25, .flaggedValue = true, .fixedTail = false,
          .extra = ByteBuilder().fill(3).cstr("").u16(0).u8(1).text("Leipzig").bytes()}, 10.25f, "CITY  10"},  // no NUL
    };
    MsFile file = MsFile::Gdb();
    for (const Case& c : cases) file.W(c.w);
    const GdbLoad loaded(file.bytes());
    ASSERT_EQ(loaded.result, 1);
    ASSERT_EQ(loaded.source->waypointCount, static_cast<int32_t>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const WaypointRecord& r = loaded.Waypoint(static_cast<int>(i));
        const Case& c = cases[i];
        EXPECT_EQ(loaded.waypointLines.lines.at(i), c.line);
        EXPECT_EQ(std::make_tuple(r.latitude, r.longitude, r.altitude, r.symbol),
                  std::make_tuple(c.w.latitude, c.w.longitude, c.altitude, c.w.symbol)) << c.line;
    }
}

TEST(GdbSource, WaypointNamesAreUtf8FromVersion612AndInBaseCampFiles) {
    const std::tuple<uint16_t, const char*, const char*> cases[] = {
        {611, "MapSource", "\xE4\xB8\xAD"},  // copied byte for byte
        {612, "MapSource", "\xA4\xA4"},     {0xFFFF, "MapSource", "\xA4\xA4"}, {408, "MapSource", "\xE4\xB8\xAD"},
        {408, "BaseCamp", "\xA4\xA4"},      {0, "BaseCamp", "\xA4\xA4"},
    };
    for (const auto& [version, program, name] : cases) {
        SCOPED_TRACE(testing::Message() << version << program);
        MsFile file = MsFile::Gdb(version, program);
        const GdbLoad loaded(file.W(GdbWaypoint{.name = "\xE4\xB8\xAD"}).T(GdbTrack{.name = "\xE4\xB8\xAD"}).bytes());
        ASSERT_EQ(loaded.result, 1);
        EXPECT_EQ(loaded.Name(0), name);
        EXPECT_EQ(loaded.TrackName(0), "\xE4\xB8\xAD");  // track names are never converted
    }
}

TEST(GdbSource, TrackPointsWithAndWithoutTheirOptionalFields) {
    const GdbTrack classic{.name = "ACTIVE LOG 001",
                           .points = {GdbPoint{610076113, 148160530, 146.26, 0}, GdbPoint{-1, -2, -3.5, 57600}}};
    const GdbTrack flagged{.name = std::string(40, 'T'),  // cut to 31 bytes
                           .points = {GdbPoint{10, 20}, GdbPoint{11, 21, 100.0, 3600, -5.5},
                                      GdbPoint{12, 22, 200.0, 7200, 1.0, 15.0}, GdbPoint{13, 23, {}, 60, {}, 20.0}},
                           .after = {}};  // no byte after the last point
    const GdbTrack trailing{.points = {GdbPoint{1, 2, 3.0, 4}}, .after = {0, 1, 2, 3, 4}};  // not examined
    const GdbLoad loaded(
        MsFile::Gdb().W(GdbWaypoint{}).T(classic).T(GdbTrack{.name = "EMPTY"}).T(flagged).T(trailing).bytes());
    ASSERT_EQ(loaded.result, 1);
    EXPECT_EQ(loaded.trackLines.lines,
              (std::vector<std::string>{"ACTIVE LOG 001 (2)", "EMPTY (0)", std::string(31, 'T') + " (4)",
                                        "ACTIVE LOG (1)"}));
    const std::pair<int, const GdbTrack*> written[] = {{0, &classic}, {2, &flagged}, {3, &trailing}};
    for (const auto& [k, track] : written) {
        const TrackRecord& read = loaded.source->tracks[k];
        ASSERT_EQ(read.pointCount, static_cast<int32_t>(track->points.size()));
        for (int j = 0; j < read.pointCount; ++j) {
            // An absent altitude or time is 0.
            const GdbPoint& p = track->points[j];
            const TrackPoint& q = read.points[j];
            EXPECT_EQ(std::make_tuple(q.latitude, q.longitude, q.altitude, q.time),
                      std::make_tuple(p.latitude, p.longitude, static_cast<float>(p.altitude.value_or(0)),
                                      p.time.value_or(0)))
                << k << " " << j;
        }
    }
    EXPECT_DOUBLE_EQ(loaded.source->tracks[0].points[0].latitudeDegrees, 610076113 * kSemicircleFactor);
    EXPECT_EQ(loaded.source->tracks[0].points[1].hour, 0);
}

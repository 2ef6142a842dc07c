#include <gtest/gtest.h>

#include <cstring>

#include "sources/CreateWaypointSource.h"
#include "sources/EvoSource.h"
#include "sources/mapsource/GdbSource.h"
#include "sources/mapsource/MpsSource.h"
#include "support/FormatBuilders.h"

namespace {

struct Loaded {
    int result;
    WaypointSource source;
    VectorLineList lines;
    VectorLineList trackLines;
};

std::unique_ptr<Loaded> LoadWtr(const std::vector<uint8_t>& bytes) {
    static TempDir dir;
    auto loaded = std::make_unique<Loaded>();
    std::string path = dir.Write("file.wtr", bytes);
    loaded->result = loaded->source.Load(path, &loaded->lines, &loaded->trackLines);
    return loaded;
}

}  // namespace

TEST(WtrReader, ReadsWaypointsAndTrack) {
    auto bytes = WtrBuilder()
                     .waypoint({"\xA4\xA4" "AB", 123456, -654321, 5.4f, 7})
                     .waypoint({"0123456789", 1, 2, 3886.2f, 8})
                     .track("Walk", {{10, 20, 0, 1.5f}, {30, 40, 57599, 2.5f}})
                     .build();
    auto loaded = LoadWtr(bytes);
    ASSERT_EQ(loaded->result, 1);
    const WaypointSource& s = loaded->source;
    ASSERT_EQ(s.waypointCount, 2);
    EXPECT_STREQ(s.waypoints[0].name, "\xA4\xA4" "AB");
    EXPECT_EQ(s.waypoints[0].latitude, 123456);
    EXPECT_EQ(s.waypoints[0].longitude, -654321);
    EXPECT_EQ(s.waypoints[0].symbol, 7);
    EXPECT_STREQ(s.waypoints[1].name, "0123456789");
    EXPECT_EQ(loaded->lines.lines, (std::vector<std::string>{"\xA4\xA4" "AB   5", "0123456789 3886"}));

    ASSERT_EQ(s.trackCount, 1);
    const TrackRecord& track = s.tracks[0];
    EXPECT_STREQ(track.name, "Walk");
    ASSERT_EQ(track.pointCount, 2);
    EXPECT_EQ(track.points[1].latitude, 30);
    EXPECT_EQ(track.points[1].hour, 23);
    EXPECT_EQ(track.points[1].minute, 59);
    EXPECT_EQ(track.points[1].second, 59);
    EXPECT_EQ(track.points[0].hour, 8);
    EXPECT_DOUBLE_EQ(track.points[0].latitudeDegrees, 10 * kSemicircleFactor);
    EXPECT_EQ(loaded->trackLines.lines, std::vector<std::string>{"Walk (2)"});
}

TEST(WtrReader, AltitudeCapAndLines) {
    struct Case { float altitude; float stored; const char* line; };
    const Case cases[] = {{9999.0f, 9999.0f, "A 9999"}, {9999.5f, 0.0f, "A   0"}, {10000.0f, 0.0f, "A   0"},
                          {-12.6f, -12.6f, "A -13"}, {7.0f, 7.0f, "A   7"}};
    for (const Case& c : cases) {
        auto loaded = LoadWtr(WtrBuilder().waypoint("A", c.altitude).build());
        ASSERT_EQ(loaded->result, 1);
        EXPECT_FLOAT_EQ(loaded->source.waypoints[0].altitude, c.stored) << c.altitude;
        EXPECT_EQ(loaded->lines.lines[0], c.line) << c.altitude;
    }
}

TEST(WtrReader, OddButValidFiles) {
    // No waypoints: loaded, and the track is not read.
    auto empty = LoadWtr(WtrBuilder().track("T", {{}}).build());
    EXPECT_EQ(empty->result, 1);
    EXPECT_EQ(empty->source.waypointCount, 0);
    EXPECT_EQ(empty->source.trackCount, 0);

    // No track header: waypoints only.
    auto noTrack = LoadWtr(WtrBuilder().waypoint("A", 1).build());
    EXPECT_EQ(noTrack->result, 1);
    EXPECT_EQ(noTrack->source.trackCount, 0);
    EXPECT_EQ(noTrack->source.tracks, nullptr);

    // A track without points.
    auto noPoints = LoadWtr(WtrBuilder().waypoint("A", 1).track("T", {}).build());
    EXPECT_EQ(noPoints->result, 1);
    EXPECT_EQ(noPoints->source.tracks[0].pointCount, 0);
    EXPECT_EQ(noPoints->trackLines.lines, std::vector<std::string>{"T (0)"});

    // The ten-byte cut ignores double-byte characters.
    auto cut = LoadWtr(WtrBuilder().waypoint("ABCDEFGHI\xA4", 1).build());
    EXPECT_STREQ(cut->source.waypoints[0].name, "ABCDEFGHI\xA4");
}

TEST(WtrReader, TrackPointsCanBeLeftOut) {
    static TempDir dir;
    const std::string path = dir.Write("points.wtr", WtrBuilder().waypoint("A", 1).track("T", {{1, 2, 3, 4}}).build());
    WaypointSource source;
    source.keepTrackPoints = false;
    VectorLineList lines, trackLines;
    ASSERT_EQ(source.Load(path, &lines, &trackLines), 1);
    EXPECT_EQ(source.tracks[0].pointCount, 1);
    EXPECT_EQ(source.tracks[0].points, nullptr);
    EXPECT_EQ(trackLines.lines, std::vector<std::string>{"T (1)"});
}

TEST(WtrReader, RefusesWrongMagicAndEmptyFile) {
    auto bytes = WtrBuilder().waypoint("A", 1).build();
    bytes[0] = 0xFE;
    EXPECT_EQ(LoadWtr(bytes)->result, 0);
    EXPECT_EQ(LoadWtr({})->result, 0);
    WaypointSource source;
    EXPECT_EQ(source.Load("/nonexistent/folder/file.wtr", nullptr, nullptr), 0);
}

TEST(WtrReader, TruncatedFilesNeverReadPastTheEnd) {
    // Every prefix of a valid file: the markers that end the scans are missing,
    // so the load fails, keeping only what was complete before.
    auto bytes = WtrBuilder().waypoint("A", 1).waypoint("B", 2).track("Track", {{1, 2, 3, 4}, {5, 6, 7, 8}}).build();
    const size_t trackMarker = 16 + 2 * 64;
    for (size_t size = 1; size < bytes.size() - 8; ++size) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(size));
        auto loaded = LoadWtr(cut);
        EXPECT_EQ(loaded->result, 0) << size;
        if (size < trackMarker + 5) EXPECT_EQ(loaded->source.waypoints, nullptr) << size;
        else EXPECT_EQ(loaded->lines.lines.size(), 2u) << size;
    }
    EXPECT_EQ(LoadWtr(bytes)->result, 1);
}

TEST(WtrReader, LongTrackNameIsCutToItsField) {
    auto bytes = WtrBuilder().waypoint("A", 1).track("", {}).build();
    // Overwrite the name with 40 letters and no NUL, pushing the route marker on.
    const size_t nameAt = 16 + 64 + 34;
    std::vector<uint8_t> longName(bytes.begin(), bytes.begin() + static_cast<long>(nameAt));
    for (int i = 0; i < 16; ++i) longName.push_back('N');
    for (int i = 0; i < 21; ++i) longName.push_back('P');  // one point of letters
    longName.insert(longName.end(), {0xFF, 'R', 't', 'e', 0xFF});
    auto loaded = LoadWtr(longName);
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(std::strlen(loaded->source.tracks[0].name), 31u);
    EXPECT_EQ(loaded->source.tracks[0].pointCount, 1);
}

TEST(ReaderSelection, ByExtensionIgnoringCase) {
    EXPECT_STREQ(CreateWaypointSource("a/b.WTR")->Kind(), "wtr");
    EXPECT_STREQ(CreateWaypointSource("b.Wtr")->Kind(), "wtr");
    EXPECT_STREQ(CreateWaypointSource("x.evo")->Kind(), "evo");
    EXPECT_STREQ(CreateWaypointSource("x.MPS")->Kind(), "mps");
    EXPECT_STREQ(CreateWaypointSource("x.gdb")->Kind(), "gdb");
    EXPECT_EQ(CreateWaypointSource("b.wtr.bak"), nullptr);
    EXPECT_EQ(CreateWaypointSource("folder.wtr/file"), nullptr);
    EXPECT_EQ(CreateWaypointSource("noextension"), nullptr);
    EXPECT_EQ(CreateWaypointSource(""), nullptr);
}

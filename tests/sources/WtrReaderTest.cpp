// The WTR reader, and the choice of reader by the file's extension.
#include <gtest/gtest.h>

#include <tuple>

#include "sources/CreateWaypointSource.h"
#include "support/FormatBuilders.h"

using namespace std::string_literals;

namespace {

struct Loaded {
    int result;
    WaypointSource source;
    VectorLineList lines;
    VectorLineList trackLines;
};

std::unique_ptr<Loaded> LoadWtr(const std::vector<uint8_t>& bytes, bool keepPoints = true) {
    static TempDir dir;
    auto loaded = std::make_unique<Loaded>();
    loaded->source.keepTrackPoints = keepPoints;
    loaded->result = loaded->source.Load(dir.Write("file.wtr", bytes), &loaded->lines, &loaded->trackLines);
    return loaded;
}

}  // namespace

TEST(WtrReader, ReadsWaypointsAndTrack) {
    auto bytes = WtrBuilder()
                     .waypoint({"\xA4\xA4" "AB", 123456, -654321, 5.4f, 7})
                     .waypoint({"ABCDEFGHI\xA4", 1, 2, 9999.5f, 8})  // the field ignores double-byte characters; above 9999 is 0
                     .track("Walk", {{10, 20, 0, 1.5f}, {30, 40, 57599, 2.5f}})
                     .build();
    for (bool keep : {true, false}) {
        auto loaded = LoadWtr(bytes, keep);
        ASSERT_EQ(loaded->result, 1);
        const WaypointSource& s = loaded->source;
        ASSERT_EQ(s.waypointCount, 2);
        const WaypointRecord& w = s.waypoints[0];
        EXPECT_EQ(std::tuple(std::string(w.name), w.latitude, w.longitude, w.symbol), std::tuple("\xA4\xA4" "AB"s, 123456, -654321, 7));
        EXPECT_EQ(std::tuple(std::string(s.waypoints[1].name), s.waypoints[1].altitude), std::tuple("ABCDEFGHI\xA4"s, 0.0f));
        EXPECT_EQ(loaded->lines.lines, (std::vector<std::string>{"\xA4\xA4" "AB   5", "ABCDEFGHI\xA4   0"}));
        ASSERT_EQ(s.trackCount, 1);
        EXPECT_EQ(loaded->trackLines.lines, std::vector<std::string>{"Walk (2)"});
        ASSERT_EQ(s.tracks[0].points != nullptr, keep);
        if (!keep) continue;
        const TrackPoint& p = s.tracks[0].points[1];
        EXPECT_EQ(std::tuple(p.latitude, p.longitude, p.time, p.altitude, p.hour, p.minute, p.second), std::tuple(30, 40, 57599u, 2.5f, 23, 59, 59));
        EXPECT_EQ(s.tracks[0].points[0].hour, 8);
        EXPECT_DOUBLE_EQ(s.tracks[0].points[0].latitudeDegrees, 10 * kSemicircleFactor);
        EXPECT_DOUBLE_EQ(s.tracks[0].points[0].longitudeDegrees, 20 * kSemicircleFactor);
    }
}

TEST(WtrReader, OddButValidFiles) {
    // No waypoints: loaded, and the track is not read.
    auto empty = LoadWtr(WtrBuilder().track("T", {{}}).build());
    EXPECT_EQ(empty->result + empty->source.waypointCount + empty->source.trackCount, 1);
    // No track header: waypoints only.
    auto noTrack = LoadWtr(WtrBuilder().waypoint("A", 1).build());
    EXPECT_EQ(noTrack->result, 1);
    EXPECT_EQ(noTrack->source.tracks, nullptr);
    // A track without points.
    auto noPoints = LoadWtr(WtrBuilder().waypoint("A", 1).track("T", {}).build());
    EXPECT_EQ(noPoints->result, 1);
    EXPECT_EQ(noPoints->trackLines.lines, std::vector<std::string>{"T (0)"});
}

TEST(WtrReader, RefusesAnotherMarkerAndAMissingFile) {
    auto bytes = WtrBuilder().waypoint("A", 1).build();
    bytes[0] = 0xFE;
    EXPECT_EQ(LoadWtr(bytes)->result, 0);
    WaypointSource source;
    EXPECT_EQ(source.Load("/nonexistent/folder/file.wtr", nullptr, nullptr), 0);
}

TEST(WtrReader, TrackNameRunsUpToANulOr32Bytes) {
    // No NUL in the 16 bytes before the points: the name runs on, over the
    // route marker too, 32 bytes in all, stored cut at a whole character.
    const std::string n16(16, 'N'), route = "\xFFRte\xFF", x9(9, 'x');
    const auto bytes = WtrBuilder().waypoint("A", 1).track("", {}).build();
    for (const auto& [after, result, name, points] : {
             std::tuple(n16 + route + x9 + "\xA4" "x", 1, n16 + route + x9, 0),
             std::tuple(n16 + route + x9 + "\xA4", 0, std::string(), 0),  // the file ends inside the 32 bytes
             std::tuple(n16 + std::string(21, 'P') + route, 1, n16 + std::string(15, 'P'), 1),  // a point of letters
         }) {
        std::vector<uint8_t> file = bytes;
        file.resize(16 + 64 + 34);
        for (char c : after) file.push_back(static_cast<uint8_t>(c));
        auto loaded = LoadWtr(file);
        ASSERT_EQ(loaded->result, result) << after;
        if (!result) continue;
        EXPECT_EQ(loaded->source.tracks[0].name, name);
        EXPECT_EQ(loaded->source.tracks[0].pointCount, points);
    }
}

TEST(ReaderSelection, ByExtensionIgnoringCase) {
    const std::pair<const char*, const char*> rows[] = {
        {"a/b.WTR", "wtr"}, {"b.Wtr", "wtr"}, {"x.evo", "evo"}, {"x.MPS", "mps"}, {"x.gdb", "gdb"}, {"a\\B.GpX", "gpx"},
        {"dir/.wtr", "wtr"}, {"b.wtr.bak", ""}, {"folder.wtr/file", ""}, {"folder.wtr\\file", ""}, {"noextension", ""}, {"", ""},
    };
    for (const auto& [path, kind] : rows) {
        auto source = CreateWaypointSource(path);
        EXPECT_EQ(source ? source->Kind() : "", std::string(kind)) << path;
    }
    EXPECT_EQ(PathExtension("dir./name"), "");
    EXPECT_EQ(PathExtension("a/b.c.Gtm"), ".Gtm");
}

// What the ".gdb" and ".mps" readers do alike: runs, refused heads, tracks
// without lists or points.
#include <gtest/gtest.h>

#include <vector>

#include "sources/mapsource/GdbSource.h"
#include "sources/mapsource/MpsSource.h"
#include "MapSourceBuilder.h"

using namespace mstest;

namespace {

struct Gdb {
    using Source = GdbSource;
    static MsFile File() { return MsFile::Gdb(612); }
    static MsFile OtherKind() { return MsFile::Mps(); }
    static Bytes Waypoint() { return GdbWaypoint{.altitude = 12.0, .flaggedValue = true}.Body(); }
    // Points with every field and classic points by turns; nothing after the last.
    static Bytes Track(int points) {
        GdbTrack track{.after = {}};
        for (int j = 0; j < points; ++j) {
            track.points.push_back(j % 2 ? GdbPoint{1, 2, 3.0, 4} : GdbPoint{1, 2, 3.0, 4, 5.0, 6.0});
        }
        return track.Body();
    }
};

struct Mps {
    using Source = MpsSource;
    static MsFile File() { return MsFile::Mps(); }
    static MsFile OtherKind() { return MsFile::Gdb(); }
    static Bytes Waypoint() { return MpsWaypoint{}.Body(); }
    static Bytes Track(int points) { return MpsTrack{.points = std::vector<MpsPoint>(points, {1, 2, 3.0, 4})}.Body(); }
};

template <typename Format>
class MapSourceReader : public testing::Test {};

// A track whose last point lacks its last byte.
template <typename F>
Bytes BrokenTrack() {
    Bytes body = F::Track(2);
    body.pop_back();
    return body;
}

using Formats = testing::Types<Gdb, Mps>;
TYPED_TEST_SUITE(MapSourceReader, Formats);

}  // namespace

TYPED_TEST(MapSourceReader, RunsStopAtARecordOfAnotherType) {
    using F = TypeParam;
    using Load = Loaded<typename F::Source>;
    // A route between the waypoints and the tracks: the tracks and whatever
    // follows are never read.
    const Load routed(F::File().Add('W', F::Waypoint()).Add('W', F::Waypoint()).Add('R', {1, 2, 3})
                          .Add('T', BrokenTrack<F>()).bytes());
    ASSERT_EQ(routed.result, 1);
    EXPECT_EQ(routed.source.waypointCount, 2);
    EXPECT_EQ(routed.source.trackCount, 0);
    EXPECT_EQ(routed.source.lRecords.count, 0);

    // No waypoints: nothing to correct from, so the tracks are not read.
    const Load none(F::File().Add('T', BrokenTrack<F>()).bytes());
    ASSERT_EQ(none.result, 1);
    EXPECT_EQ(none.source.waypointCount, 0);
    EXPECT_EQ(none.source.trackCount, 0);
    EXPECT_EQ(none.source.waypoints, nullptr);

    // Waypoints, tracks and 'L' records of any layout, then anything.
    const Load full(F::File().Add('W', F::Waypoint()).Add('T', F::Track(1)).Add('L', {0}).Add('L', {1, 2})
                        .Add('V', {0}).bytes());
    ASSERT_EQ(full.result, 1);
    EXPECT_EQ(full.source.trackCount, 1);
    EXPECT_EQ(full.source.lRecords.count, 2);
}

TYPED_TEST(MapSourceReader, RefusesTheOtherHeadAnEmptyFileAndAMissingOne) {
    using F = TypeParam;
    using Load = Loaded<typename F::Source>;
    EXPECT_EQ(Load(F::OtherKind().Add('W', F::Waypoint()).bytes()).result, 0);
    EXPECT_EQ(Load(Bytes{}).result, 0);
    typename F::Source missing;
    VectorLineList lines;
    EXPECT_EQ(missing.Load("/nonexistent/file", &lines, &lines), 0);
    EXPECT_TRUE(lines.lines.empty());
}

TYPED_TEST(MapSourceReader, TracksWithoutATrackListOrWithoutTheirPoints) {
    using F = TypeParam;
    using Load = Loaded<typename F::Source>;
    const MsFile head = F::File().Add('W', F::Waypoint()).Add('T', F::Track(2));
    for (const auto& [bytes, result] :
         {std::pair(MsFile(head).Add('T', F::Track(1)).bytes(), 1), std::pair(MsFile(head).Add('T', BrokenTrack<F>()).bytes(), 0)}) {
        const Load all(bytes), unlisted(bytes, false), pointless(bytes, true, false);
        EXPECT_EQ(all.result, result);
        for (const Load* other : {&unlisted, &pointless}) {
            EXPECT_EQ(other->result, all.result);
            EXPECT_EQ(other->waypointLines.lines, all.waypointLines.lines);
            EXPECT_EQ(other->source.trackCount, all.source.trackCount);
        }
        EXPECT_TRUE(unlisted.trackLines.lines.empty());
        EXPECT_EQ(pointless.trackLines.lines, all.trackLines.lines);
        if (all.result != 1) continue;
        EXPECT_EQ(unlisted.source.tracks[1].pointCount, 1);  // filled all the same
        EXPECT_NE(unlisted.source.tracks[1].points, nullptr);
        EXPECT_EQ(pointless.TrackName(0), all.TrackName(0));
        EXPECT_EQ(pointless.source.tracks[0].pointCount, 2);
        EXPECT_EQ(pointless.source.tracks[0].points, nullptr);
    }
}


#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "sources/mapsource/MpsSource.h"
#include "MapSourceBuilder.h"

using namespace mstest;
struct MpsLoad : Loaded {
    explicit MpsLoad(const Bytes& bytes) : Loaded(".mps", bytes) {}
};

namespace {

const MpsWaypoint kSample{
    .name = "GC1A37", .latitude = 430578619, .longitude = -1034127312, .altitude = 182.7, .symbol = 8255};

auto Fields(const MpsLoad& loaded, int i) {
    const WaypointRecord& r = loaded.source->waypoints[i];
    return std::make_tuple(loaded.Name(i), r.latitude, r.longitude, r.altitude, r.symbol);
}
const auto kSampleFields = std::make_tuple(std::string("GC1A37"), 430578619, -1034127312, 182.7f, int16_t{8255});

}  // namespace

TEST(MpsSource, WaypointBodiesWithAnyCountryAndEitherBlock) {
    struct Case {
        const char* firstBody;  // of the head's first record
        const char* country;
        size_t block, tail;
        bool reads;
    };
    const Case cases[] = {
        {"g", "US", 22, 24, true},  // the classic layout
        {"g", "", 22, 24, true},    {"g", "D", 22, 24, true}, {"g", "Deutschland", 22, 24, true},
        {"g", "US", 22, 1, true},   {"g", "US", 22, 0, true},  // nothing after the symbol is needed
        {"d", "", 17, 24, true},    // a first record "d": a 17-byte block
        {"g", "", 17, 24, false},   {"d", "US", 22, 24, false},  // the other block is read 5 bytes off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstBody << " '" << c.country << "' " << c.block << " " << c.tail);
        MpsWaypoint w = kSample;
        w.country = c.country;
        w.blockSize = c.block;
        w.tailSize = c.tail;
        const MpsLoad loaded(MsFile::Mps(302, c.firstBody).W(w).W(w).bytes());
        if (!c.reads) {
            EXPECT_TRUE(loaded.result == 0 || Fields(loaded, 0) != kSampleFields);
            continue;
        }
        ASSERT_EQ(loaded.result, 1);
        EXPECT_EQ(Fields(loaded, 0), kSampleFields);
        EXPECT_EQ(Fields(loaded, 1), kSampleFields);
        EXPECT_EQ(loaded.waypointLines.lines, (std::vector<std::string>{"GC1A37 183", "GC1A37 183"}));
    }
}

// Names are copied byte for byte, whatever the version.
TEST(MpsSource, TrackBodiesOf31BytePointsExactly) {
    const MpsTrack track{.name = "\xE4\xB8\xAD",
                         .points = {{358657865, -1092953023, 1.0, 0}, {1, 2, -3.25, 57600}, {3, 4, 0, 86399}}};
    MpsWaypoint w = kSample;
    w.name = "\xE4\xB8\xAD";
    const MpsLoad loaded(MsFile::Mps(612).W(w).T(track).T(MpsTrack{.name = "Empty"}).bytes());
    ASSERT_EQ(loaded.result, 1);
    EXPECT_EQ(loaded.waypointLines.lines, std::vector<std::string>{"\xE4\xB8\xAD 183"});
    EXPECT_EQ(loaded.trackLines.lines, (std::vector<std::string>{"\xE4\xB8\xAD (3)", "Empty (0)"}));
    const TrackRecord& read = loaded.source->tracks[0];
    ASSERT_EQ(read.pointCount, 3);
    for (int j = 0; j < 3; ++j) {
        const MpsPoint& p = track.points[j];
        const TrackPoint& q = read.points[j];
        EXPECT_EQ(std::make_tuple(q.latitude, q.longitude, q.altitude, q.time),
                  std::make_tuple(p.latitude, p.longitude, static_cast<float>(p.altitude), p.time));
    }
    EXPECT_DOUBLE_EQ(read.points[0].longitudeDegrees, -1092953023 * kSemicircleFactor);
}

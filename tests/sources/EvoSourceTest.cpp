#include "sources/EvoSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "support/ByteBuilder.h"

namespace {

using namespace std::string_literals;

struct EvoPoint {
    int32_t latitude;
    int32_t longitude;
    uint32_t time;
    float altitude;
};

// An EVO file image, field by field: a 48-byte header with the two counts,
// then waypoint entries (found by 00 FF 00) and track entries (found by
// 00 00 "AC"). Unread bytes are 0x11, so they never form a pattern.
class EvoImage {
public:
    EvoImage(uint16_t waypointCount, uint16_t trackCount) {
        bytes.fill(32, 0x11).u16(waypointCount).u16(0x1111).u16(trackCount).fill(10, 0x11);
    }
    // The 52 bytes of a waypoint entry before its name.
    EvoImage& WaypointHead(int32_t latitude, int32_t longitude, float altitude, bool pattern = true) {
        if (pattern) bytes.u8(0).u8(0xFF).u8(0);
        else bytes.fill(3, 0x11);
        bytes.fill(21, 0x11).i32(latitude).i32(longitude).f32(altitude).fill(16, 0x11);
        return *this;
    }
    // The ten name bytes (padded with NUL), then the symbol where a name of
    // stored bytes puts it: 10 bytes after the stored text. The bytes between
    // are 0x22, so a symbol read elsewhere shows.
    EvoImage& WaypointTail(std::string_view nameBytes, size_t stored, int16_t symbol) {
        bytes.field(nameBytes, 10).fill(stored, 0x22).i16(symbol);
        return *this;
    }
    EvoImage& Waypoint(std::string_view name, int16_t symbol = 7, float altitude = 100.0f) {
        return WaypointHead(1, 2, altitude).WaypointTail(name, name.size(), symbol);
    }
    // 00 00, the name bytes as given (with whatever ends them), the count.
    EvoImage& TrackHead(std::string_view nameBytes, int32_t count) {
        bytes.u16(0).text(nameBytes).i32(count);
        return *this;
    }
    EvoImage& Point(const EvoPoint& p) {
        bytes.i32(p.latitude).i32(p.longitude).u32(p.time).f32(p.altitude).fill(8, 0x33);
        return *this;
    }
    EvoImage& Track(std::string_view nameBytes, int32_t points) {
        TrackHead(nameBytes, points);
        for (int32_t j = 0; j < points; ++j) Point({j, -j, 60u * j, 1.5f});
        return *this;
    }
    EvoImage& Fill(size_t count) {
        bytes.fill(count, 0x11);
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes.bytes(); }

    ByteBuilder bytes;
};

struct EvoLoad {
    explicit EvoLoad(const std::vector<uint8_t>& image) {
        TempDir dir;
        result = source.Load(dir.Write("file.evo", image), &waypointLines, &trackLines);
    }
    EvoSource source;
    VectorLineList waypointLines;
    VectorLineList trackLines;
    int result = 0;
};

std::string Name(const char* field, size_t capacity) { return std::string(field, strnlen(field, capacity)); }

std::vector<std::string> Lines(std::initializer_list<const char*> lines) { return {lines.begin(), lines.end()}; }

// A file with two waypoints, the second one without its pattern and so found
// by the 256-byte rule, and two tracks, one name ended by NUL, one by newline.
EvoImage SampleImage() {
    EvoImage image(2, 2);
    image.WaypointHead(1, 2, 100.0f).WaypointTail("HOME  \n", 4, 11);  // the next scan begins at 48 + 52
    image.Fill(356 - image.bytes.size());
    image.WaypointHead(3, 4, 5.4f, false).WaypointTail("FAR", 3, 12);
    image.TrackHead("ACT\0"s, 2).Point({0x10000000, -0x20000000, 57599, 12.5f}).Point({5, 6, 0, -3.0f});
    image.Track("ACTIVE LOG\n", 1);
    return image;
}

TEST(EvoSource, ReadsWaypointsAndTracks) {
    EvoLoad load(SampleImage().Bytes());
    ASSERT_EQ(load.result, 1);
    EXPECT_STREQ(load.source.Kind(), "evo");
    EXPECT_EQ(load.waypointLines.lines, Lines({"HOME 100", "FAR   5"}));
    EXPECT_EQ(load.trackLines.lines, Lines({"ACT (2)", "ACTIVE LOG (1)"}));

    ASSERT_EQ(load.source.waypointCount, 2);
    const WaypointRecord& far = load.source.waypoints[1];
    EXPECT_EQ(Name(far.name, sizeof far.name), "FAR");
    EXPECT_EQ(far.latitude, 3);
    EXPECT_EQ(far.longitude, 4);
    EXPECT_FLOAT_EQ(far.altitude, 5.4f);
    EXPECT_EQ(far.symbol, 12);
    EXPECT_EQ(load.source.waypoints[0].symbol, 11);

    ASSERT_EQ(load.source.trackCount, 2);
    const TrackRecord& track = load.source.tracks[0];
    ASSERT_EQ(track.pointCount, 2);
    const TrackPoint& point = track.points[0];
    EXPECT_EQ(point.latitude, 0x10000000);
    EXPECT_EQ(point.longitude, -0x20000000);
    EXPECT_EQ(point.latitudeDegrees, 0x10000000 * kSemicircleFactor);
    EXPECT_EQ(point.longitudeDegrees, -0x20000000 * kSemicircleFactor);
    EXPECT_EQ(point.time, 57599u);
    EXPECT_EQ(point.hour, 23);
    EXPECT_EQ(point.minute, 59);
    EXPECT_EQ(point.second, 59);
    EXPECT_EQ(point.altitude, 12.5f);
    EXPECT_EQ(track.points[1].hour, 8);

    EvoSource unlisted;
    TempDir dir;
    EXPECT_EQ(unlisted.Load(dir.Write("file.evo", SampleImage().Bytes()), nullptr, nullptr), 1);
    EXPECT_EQ(unlisted.tracks[1].pointCount, 1);
}

TEST(EvoSource, CountsFromOneTo9999) {
    struct Case {
        uint16_t waypoints, tracks;
        int result;
        size_t waypointLines, trackLines;
    };
    const Case cases[] = {
        {0, 1, 0, 0, 0},        {10000, 1, 0, 0, 0}, {9999, 1, 1, 9999, 1},
        {1, 0, 0, 1, 0},        {1, 10000, 0, 1, 0}, {1, 9999, 1, 1, 9999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.waypoints << " waypoints, " << c.tracks << " tracks");
        EvoImage image(c.waypoints, c.tracks);
        int waypoints = c.waypoints >= 1 && c.waypoints <= 9999 ? c.waypoints : 1;
        int tracks = c.tracks >= 1 && c.tracks <= 9999 ? c.tracks : 1;
        for (int k = 0; k < waypoints; ++k) image.Waypoint("WPT");
        for (int t = 0; t < tracks; ++t) image.Track("AC\n", 0);
        EvoLoad load(image.Bytes());
        EXPECT_EQ(load.result, c.result);
        EXPECT_EQ(load.waypointLines.lines.size(), c.waypointLines);
        EXPECT_EQ(load.trackLines.lines.size(), c.trackLines);
        EXPECT_EQ(load.source.waypointCount, c.waypoints);
        if (c.waypointLines > 0) {
            EXPECT_EQ(load.source.trackCount, c.tracks);
        }
        if (c.trackLines == 0) {
            EXPECT_FALSE(load.source.tracks);
        }
    }
}

TEST(EvoSource, WaypointNameEndsAndSymbolFollowsStoredName) {
    struct Case {
        std::string bytes;  // the ten name bytes, padded with NUL
        std::string stored;
    };
    const Case cases[] = {
        {"HOME  \n", "HOME"},                     // blanks before the newline do not count
        {"ABCDEFGHIJ", "ABCDEFGHIJ"},             // ten bytes, no end byte
        {std::string(10, ' '), ""},               // only blanks
        {"AB\nCDEFGHI", "AB"},                    // everything after a newline goes
        {"AB  \0XYZ"s, "AB"},                     // blanks before a NUL go too
        {"  A B", "  A B"},                       // blanks in front and inside stay
        {"ABCDEFGHI\xA4", "ABCDEFGHI\xA4"},       // a lead byte in tenth place stays alone
        {"\xA4\xA4\xA4\xA4\xA4\n", "\xA4\xA4\xA4\xA4\xA4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EvoImage image(1, 1);
        image.WaypointHead(1, 2, 100.0f).WaypointTail(c.bytes, c.stored.size(), 4321).Track("AC\n", 0);
        EvoLoad load(image.Bytes());
        EXPECT_EQ(load.result, 1);
        const WaypointRecord& record = load.source.waypoints[0];
        EXPECT_EQ(Name(record.name, sizeof record.name), c.stored);
        EXPECT_EQ(record.symbol, 4321);
        EXPECT_EQ(load.waypointLines.lines, std::vector<std::string>{c.stored + " 100"});
    }
}

TEST(EvoSource, WaypointAltitudeAbove9999IsZero) {
    struct Case {
        float read, stored;
        const char* line;
    };
    const Case cases[] = {
        {9999.0f, 9999.0f, "W 9999"}, {9999.5f, 0.0f, "W   0"}, {-12.6f, -12.6f, "W -13"}, {5.4f, 5.4f, "W   5"}};
    for (const Case& c : cases) {
        EvoImage image(1, 1);
        image.Waypoint("W", 7, c.read).Track("AC\n", 0);
        EvoLoad load(image.Bytes());
        EXPECT_EQ(load.source.waypoints[0].altitude, c.stored);
        EXPECT_EQ(load.waypointLines.lines, Lines({c.line}));
    }
    EvoImage image(1, 1);
    image.Waypoint("W", 7, std::numeric_limits<float>::quiet_NaN()).Track("AC\n", 0);
    EXPECT_TRUE(std::isnan(EvoLoad(image.Bytes()).source.waypoints[0].altitude));
}

TEST(EvoSource, WaypointPatternWithin256PositionsOrAssumedAfterThem) {
    struct Case {
        size_t distance;  // from the scan position, which is 48 for the first entry
        bool pattern;
    };
    const Case cases[] = {{0, true}, {1, true}, {255, true}, {256, true}, {256, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.distance << (c.pattern ? " with pattern" : " without pattern"));
        EvoImage image(1, 1);
        image.Fill(c.distance).WaypointHead(-5, 6, 7.0f, c.pattern).WaypointTail("WPT", 3, 99).Track("AC\n", 0);
        EvoLoad load(image.Bytes());
        EXPECT_EQ(load.result, 1);
        const WaypointRecord& record = load.source.waypoints[0];
        EXPECT_EQ(Name(record.name, sizeof record.name), "WPT");
        EXPECT_EQ(record.latitude, -5);
        EXPECT_EQ(record.symbol, 99);
    }
}

TEST(EvoSource, NextWaypointScanStartsAtTheNameOfTheLastOne) {
    // The first waypoint's name bytes begin with the pattern itself (so its
    // name is empty and its symbol 10 bytes on): the second entry overlaps it.
    // A pattern in the unread bytes before the name is passed over.
    EvoImage image(2, 1);
    image.WaypointHead(1, 2, 3.0f);
    image.bytes.bytes()[48 + 40] = 0x00;
    image.bytes.bytes()[48 + 41] = 0xFF;
    image.bytes.bytes()[48 + 42] = 0x00;
    image.WaypointHead(8, 9, 10.0f).WaypointTail("SECOND", 6, 22).Track("AC\n", 0);
    const int16_t firstSymbol = 33;
    std::memcpy(image.bytes.bytes().data() + 48 + 62, &firstSymbol, 2);

    EvoLoad load(image.Bytes());
    ASSERT_EQ(load.result, 1);
    EXPECT_EQ(load.waypointLines.lines, Lines({"   3", "SECOND  10"}));
    EXPECT_EQ(load.source.waypoints[0].symbol, 33);
    EXPECT_EQ(load.source.waypoints[1].latitude, 8);
    EXPECT_EQ(load.source.waypoints[1].symbol, 22);
}

TEST(EvoSource, TrackPatternNeedsCapitalAC) {
    EvoImage found(1, 1);
    found.Waypoint("W").Track("Active\n", 1).Track("ACTIVE LOG\n", 2);
    EvoLoad load(found.Bytes());
    EXPECT_EQ(load.result, 1);
    EXPECT_EQ(load.trackLines.lines, Lines({"ACTIVE LOG (2)"}));

    // No track pattern before the end: the waypoints stay listed.
    EvoImage missing(1, 1);
    missing.Waypoint("W").Track("Active\n", 1);
    EvoLoad failed(missing.Bytes());
    EXPECT_EQ(failed.result, 0);
    EXPECT_EQ(failed.waypointLines.lines, Lines({"W 100"}));
    EXPECT_TRUE(failed.trackLines.lines.empty());
}

TEST(EvoSource, TrackNameEndsAndCountFollowsStoredName) {
    const std::string letters30(30, 'x');
    struct Case {
        std::string bytes;  // from the name's first byte up to the count
        std::string stored;
    };
    const Case cases[] = {
        {"ACTIVE LOG\n", "ACTIVE LOG"},
        {"ACT\0"s, "ACT"},                                          // NUL ends the text
        {"AC" + letters30.substr(1) + "\n", "AC" + letters30.substr(1)},  // 31 bytes fit
        {"AC" + letters30, "AC" + letters30.substr(1)},             // 32 bytes: cut to 31, count after 32
        // 30 bytes and a lead byte whose pair would pass the 31: the count
        // follows the 30 stored bytes and the lead byte.
        {"AC" + letters30.substr(2) + "\xA4", "AC" + letters30.substr(2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EvoImage image(1, 1);
        image.Waypoint("W").TrackHead(c.bytes, 1).Point({1, 2, 3, 4.0f}).Fill(32);
        EvoLoad load(image.Bytes());
        EXPECT_EQ(load.result, 1);
        EXPECT_EQ(Name(load.source.tracks[0].name, 32), c.stored);
        EXPECT_EQ(load.trackLines.lines, std::vector<std::string>{c.stored + " (1)"});
        ASSERT_TRUE(load.source.tracks[0].points);
        EXPECT_EQ(load.source.tracks[0].points[0].latitude, 1);
    }
}

TEST(EvoSource, TrackNameBytesMustBeInTheFile) {
    // A name ended by NUL is read as 32 bytes, so a short last track fails;
    // one ended by a newline needs only the bytes up to the newline.
    EvoImage nul(1, 1);
    nul.Waypoint("W").TrackHead("AC\0"s, 0);
    EvoLoad failed(nul.Bytes());
    EXPECT_EQ(failed.result, 0);
    EXPECT_EQ(failed.waypointLines.lines.size(), 1u);
    EXPECT_TRUE(failed.trackLines.lines.empty());

    EvoImage newline(1, 1);
    newline.Waypoint("W").TrackHead("AC\n", 0);
    EXPECT_EQ(EvoLoad(newline.Bytes()).result, 1);
}

TEST(EvoSource, NextTrackScanStartsAfterTheLastPoint) {
    // The first track's point holds the track pattern, and the second track
    // comes right after the first one's count field.
    EvoImage image(1, 3);
    image.Waypoint("W").TrackHead("ACONE\n", 1).Point({0x43410000, 0, 0, 0.0f});
    image.Track("ACEMPTY\n", 0).Track("ACTWO\n", 1);
    EvoLoad load(image.Bytes());
    EXPECT_EQ(load.result, 1);
    EXPECT_EQ(load.trackLines.lines, Lines({"ACONE (1)", "ACEMPTY (0)", "ACTWO (1)"}));
    EXPECT_EQ(load.source.tracks[1].pointCount, 0);
}

TEST(EvoSource, PointCountBeyondTheFileFailsBeforeAllocating) {
    const int32_t cases[] = {3, 178956971 /* times 24 wraps 32 bits */, std::numeric_limits<int32_t>::max(),
                             std::numeric_limits<int32_t>::min(), -1};
    for (int32_t count : cases) {
        SCOPED_TRACE(count);
        EvoImage image(1, 2);
        image.Waypoint("W").Track("ACFIRST\n", 1).TrackHead("ACHUGE\n", count).Point({}).Point({});
        EvoLoad load(image.Bytes());
        EXPECT_EQ(load.result, 0);
        EXPECT_EQ(load.trackLines.lines, Lines({"ACFIRST (1)"}));
        const TrackRecord& huge = load.source.tracks[1];
        EXPECT_EQ(Name(huge.name, sizeof huge.name), "ACHUGE");
        EXPECT_EQ(huge.pointCount, count);
        EXPECT_FALSE(huge.points);
    }
}

TEST(EvoSource, EveryCutOfAValidFileFailsAndListsOnlyWhatItRead) {
    const std::vector<uint8_t> whole = SampleImage().Bytes();
    EvoLoad full(whole);
    ASSERT_EQ(full.result, 1);
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        EvoLoad cut(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_EQ(cut.result, 0);
        const auto& wl = cut.waypointLines.lines;
        const auto& tl = cut.trackLines.lines;
        ASSERT_LE(wl.size(), full.waypointLines.lines.size());
        ASSERT_LE(tl.size(), full.trackLines.lines.size());
        EXPECT_TRUE(std::equal(wl.begin(), wl.end(), full.waypointLines.lines.begin()));
        EXPECT_TRUE(std::equal(tl.begin(), tl.end(), full.trackLines.lines.begin()));
    }
}

}  // namespace

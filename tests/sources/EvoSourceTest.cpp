#include "sources/EvoSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "sources/NameField.h"
#include "support/ByteBuilder.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

struct EvoPoint {
    int32_t latitude = 0, longitude = 0;
    uint32_t time = 0;
    float altitude = 0;
};

// An EVO file image, field by field: a 48-byte header with the two counts,
// then waypoint entries (found by 00 FF 00) and track entries (found by
// 00 00 "AC"). Unread bytes are 0x11, so they never form a pattern.
struct EvoImage : ByteBuilder {
    EvoImage(uint16_t waypointCount, uint16_t trackCount) {
        fill(32, 0x11).u16(waypointCount).u16(0x1111).u16(trackCount).fill(10, 0x11);
    }
    // The 52 bytes of a waypoint entry before its name.
    EvoImage& WaypointHead(int32_t latitude, int32_t longitude, float altitude, bool pattern = true) {
        (pattern ? raw("\x00\xFF\x00", 3) : fill(3, 0x11)).fill(21, 0x11).i32(latitude).i32(longitude);
        f32(altitude).fill(16, 0x11);
        return *this;
    }
    // The ten name bytes (padded with NUL), then the symbol where a name of
    // stored bytes puts it: 10 bytes after the stored text. The bytes between
    // are 0x22, so a symbol read elsewhere shows.
    EvoImage& WaypointTail(std::string_view nameBytes, size_t stored, int16_t symbol) {
        field(nameBytes, 10).fill(stored, 0x22).i16(symbol);
        return *this;
    }
    EvoImage& Waypoint(std::string_view name, int16_t symbol = 7, float altitude = 100.0f) {
        return WaypointHead(1, 2, altitude).WaypointTail(name, name.size(), symbol);
    }
    // 00 00, the name bytes as given (with whatever ends them), the count.
    EvoImage& TrackHead(std::string_view nameBytes, int32_t count) { u16(0).text(nameBytes).i32(count); return *this; }
    EvoImage& Point(const EvoPoint& p) {
        i32(p.latitude).i32(p.longitude).u32(p.time).f32(p.altitude).fill(8, 0x33);
        return *this;
    }
    EvoImage& Track(std::string_view nameBytes, int32_t points) {
        TrackHead(nameBytes, points);
        for (int32_t j = 0; j < points; ++j) Point({j, -j, 60u * j, 1.5f});
        return *this;
    }
    EvoImage& Fill(size_t count) { fill(count, 0x11); return *this; }
};

struct EvoLoad {
    explicit EvoLoad(const std::vector<uint8_t>& image, bool listed = true) {
        TempDir dir;
        source.keepTrackPoints = listed;
        result = source.Load(dir.Write("file.evo", image), listed ? &waypointLines : nullptr,
                             listed ? &trackLines : nullptr);
    }
    std::string Name(int k) const { return std::string(FieldText(source.waypoints[k].name, 12)); }
    std::string TrackName(int t) const { return std::string(FieldText(source.tracks[t].name, 32)); }

    EvoSource source;
    VectorLineList waypointLines, trackLines;
    int result = 0;
};

// Two waypoints, the second one without its pattern and so found by the
// 256-byte rule, and two tracks, one name ended by NUL, one by newline.
EvoImage SampleImage() {
    EvoImage image(2, 2);
    image.WaypointHead(1, 2, 100.0f).WaypointTail("HOME  \n", 4, 11);  // the next scan begins at 48 + 52
    image.Fill(356 - image.size());
    image.WaypointHead(3, 4, 5.4f, false).WaypointTail("FAR", 3, 12);
    image.TrackHead("ACT\0"s, 2).Point({0x10000000, -0x20000000, 57599, 12.5f}).Point({5, 6, 0, -3.0f});
    image.Track("ACTIVE LOG\n", 1);
    return image;
}

TEST(EvoSource, ReadsWaypointsAndTracks) {
    const EvoLoad load(SampleImage().bytes());
    ASSERT_EQ(load.result, 1);
    EXPECT_STREQ(load.source.Kind(), "evo");
    EXPECT_EQ(load.waypointLines.lines, Lines({"HOME 100", "FAR   5"}));
    EXPECT_EQ(load.trackLines.lines, Lines({"ACT (2)", "ACTIVE LOG (1)"}));
    ASSERT_EQ(load.source.waypointCount, 2);
    const WaypointRecord& far = load.source.waypoints[1];
    EXPECT_EQ(std::make_tuple(load.Name(1), far.latitude, far.longitude, far.altitude, far.symbol),
              std::make_tuple("FAR"s, 3, 4, 5.4f, int16_t{12}));
    EXPECT_EQ(load.source.waypoints[0].symbol, 11);
    ASSERT_EQ(load.source.trackCount, 2);
    ASSERT_EQ(load.source.tracks[0].pointCount, 2);
    const TrackPoint& point = load.source.tracks[0].points[0];
    EXPECT_EQ(std::make_tuple(point.latitude, point.longitude, point.time, point.altitude),
              std::make_tuple(0x10000000, -0x20000000, 57599u, 12.5f));
    EXPECT_EQ(point.second, 59);

    // Without lists, and without keeping the track points.
    const EvoLoad unlisted(SampleImage().bytes(), false);
    EXPECT_EQ(unlisted.result, 1);
    EXPECT_EQ(unlisted.source.tracks[1].pointCount, 1);
    EXPECT_FALSE(unlisted.source.tracks[1].points);
}

TEST(EvoSource, CountsFromOneTo9999) {
    struct Case {
        uint16_t waypoints, tracks;
        int result;
        size_t waypointLines, trackLines;
    };
    const Case cases[] = {
        {0, 1, 0, 0, 0}, {10000, 1, 0, 0, 0}, {9999, 1, 1, 9999, 1},
        {1, 0, 0, 1, 0}, {1, 10000, 0, 1, 0}, {1, 9999, 1, 1, 9999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.waypoints << " waypoints, " << c.tracks << " tracks");
        EvoImage image(c.waypoints, c.tracks);
        for (int k = 0; k < std::clamp<int>(c.waypoints, 1, 9999); ++k) image.Waypoint("WPT");
        for (int t = 0; t < std::clamp<int>(c.tracks, 1, 9999); ++t) image.Track("AC\n", 0);
        const EvoLoad load(image.bytes());
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

TEST(EvoSource, WaypointNameEndsSymbolOffsetAndAltitude) {
    struct Case {
        std::string bytes;  // the ten name bytes, padded with NUL
        std::string stored;
        float altitude;
        const char* line;  // after the name
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"HOME  \n", "HOME", 100.0f, " 100"},         // blanks before the newline do not count
        {"ABCDEFGHIJ", "ABCDEFGHIJ", 100.0f, " 100"},  // ten bytes, no end byte
        {std::string(10, ' '), "", 100.0f, " 100"},    // only blanks
        {"AB\nCDEFGHI", "AB", 100.0f, " 100"},         // everything after a newline goes
        {"AB  \0XYZ"s, "AB", 100.0f, " 100"},          // blanks before a NUL go too
        {"  A B", "  A B", 100.0f, " 100"},            // blanks in front and inside stay
        {"ABCDEFGHI\xA4", "ABCDEFGHI\xA4", 100.0f, " 100"},  // a lead byte in tenth place stays alone
        {"\xA4\xA4\xA4\xA4\xA4\n", "\xA4\xA4\xA4\xA4\xA4", 100.0f, " 100"},
        // Altitudes above 9999 are stored as 0.
        {"W", "W", 9999.0f, " 9999"}, {"W", "W", 9999.5f, "   0"}, {"W", "W", -12.6f, " -13"}, {"W", "W", 5.4f, "   5"},
        {"W", "W", nan, " nan"},
    };
    EvoImage image(static_cast<uint16_t>(std::size(cases)), 1);
    int16_t symbol = 4321;
    for (const Case& c : cases) image.WaypointHead(1, 2, c.altitude).WaypointTail(c.bytes, c.stored.size(), symbol++);
    const EvoLoad load(image.Track("AC\n", 0).bytes());
    ASSERT_EQ(load.result, 1);
    for (int k = 0; k < load.source.waypointCount; ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(load.Name(k), c.stored);
        EXPECT_EQ(load.source.waypoints[k].symbol, 4321 + k);
        EXPECT_EQ(load.waypointLines.lines.at(k), c.stored + c.line);
        const float altitude = load.source.waypoints[k].altitude;
        const float expected = c.altitude > 9999.0f ? 0.0f : c.altitude;
        EXPECT_TRUE(std::isnan(c.altitude) ? std::isnan(altitude) : altitude == expected)
            << altitude;
    }
}

TEST(EvoSource, WaypointPatternWithin256PositionsOrAssumedAfterThem) {
    const std::pair<size_t, bool> cases[] = {{0, true}, {1, true}, {255, true}, {256, true}, {256, false}};
    for (const auto& [distance, pattern] : cases) {  // from the scan position, 48 for the first entry
        SCOPED_TRACE(testing::Message() << distance << (pattern ? " with pattern" : " without pattern"));
        EvoImage image(1, 1);
        image.Fill(distance).WaypointHead(-5, 6, 7.0f, pattern).WaypointTail("WPT", 3, 99).Track("AC\n", 0);
        const EvoLoad load(image.bytes());
        EXPECT_EQ(load.result, 1);
        EXPECT_EQ(std::make_tuple(load.Name(0), load.source.waypoints[0].latitude, load.source.waypoints[0].symbol),
                  std::make_tuple("WPT"s, -5, int16_t{99}));
    }
}

TEST(EvoSource, NextWaypointScanStartsAtTheNameOfTheLastOne) {
    // The first waypoint's name bytes begin with the pattern itself (so its
    // name is empty and its symbol 10 bytes on): the second entry overlaps it.
    // A pattern in the unread bytes before the name is passed over.
    EvoImage image(2, 1);
    image.WaypointHead(1, 2, 3.0f);
    std::memcpy(image.bytes().data() + 48 + 40, "\x00\xFF\x00", 3);
    image.WaypointHead(8, 9, 10.0f).WaypointTail("SECOND", 6, 22).Track("AC\n", 0);
    const int16_t firstSymbol = 33;
    std::memcpy(image.bytes().data() + 48 + 62, &firstSymbol, 2);
    const EvoLoad load(image.bytes());
    ASSERT_EQ(load.result, 1);
    EXPECT_EQ(load.waypointLines.lines, Lines({"   3", "SECOND  10"}));
    EXPECT_EQ(load.source.waypoints[0].symbol, 33);
    EXPECT_EQ(load.source.waypoints[1].latitude, 8);
    EXPECT_EQ(load.source.waypoints[1].symbol, 22);
}

TEST(EvoSource, TrackPatternNeedsCapitalACAndTheNextScanStartsAfterTheLastPoint) {
    // The first track's point holds the track pattern ("AC" at 0x43410000),
    // and the next track comes right after the previous one's count field.
    EvoImage image(1, 4);
    image.Waypoint("W").Track("Active\n", 1).TrackHead("ACONE\n", 1).Point({0x43410000, 0, 0, 0.0f});
    image.Track("ACEMPTY\n", 0).Track("ACTWO\n", 1).Track("ACTIVE LOG\n", 2);
    const EvoLoad load(image.bytes());
    EXPECT_EQ(load.result, 1);
    EXPECT_EQ(load.trackLines.lines, Lines({"ACONE (1)", "ACEMPTY (0)", "ACTWO (1)", "ACTIVE LOG (2)"}));

    // No track pattern before the end: the waypoints stay listed.
    EvoImage missing(1, 1);
    const EvoLoad failed(missing.Waypoint("W").Track("Active\n", 1).bytes());
    EXPECT_EQ(failed.result, 0);
    EXPECT_EQ(failed.waypointLines.lines, Lines({"W 100"}));
    EXPECT_TRUE(failed.trackLines.lines.empty());
}

TEST(EvoSource, TrackNameEndsAndCountFollowsStoredName) {
    const std::string x30(30, 'x');
    const std::pair<std::string, std::string> cases[] = {  // the bytes up to the count, the name stored
        {"ACTIVE LOG\n", "ACTIVE LOG"},
        {"ACT\0"s, "ACT"},                            // NUL ends the text
        {"AC" + x30.substr(1) + "\n", "AC" + x30.substr(1)},  // 31 bytes fit
        {"AC" + x30, "AC" + x30.substr(1)},           // 32 bytes: cut to 31, count after 32
        // 30 bytes and a lead byte whose pair would pass the 31: the count
        // follows the 30 stored bytes and the lead byte.
        {"AC" + x30.substr(2) + "\xA4", "AC" + x30.substr(2)},
    };
    for (const auto& [bytes, stored] : cases) {
        SCOPED_TRACE(bytes);
        EvoImage image(1, 1);
        const EvoLoad load(image.Waypoint("W").TrackHead(bytes, 1).Point({1, 2, 3, 4.0f}).Fill(32).bytes());
        EXPECT_EQ(load.result, 1);
        EXPECT_EQ(load.trackLines.lines, Lines{stored + " (1)"});
        ASSERT_TRUE(load.source.tracks[0].points);
        EXPECT_EQ(load.source.tracks[0].points[0].latitude, 1);
    }

    // A name ended by NUL is read as 32 bytes, so a short last track fails;
    // one ended by a newline needs only the bytes up to the newline.
    EvoImage nul(1, 1), newline(1, 1);
    const EvoLoad failed(nul.Waypoint("W").TrackHead("AC\0"s, 0).bytes());
    EXPECT_EQ(failed.result, 0);
    EXPECT_EQ(failed.waypointLines.lines.size(), 1u);
    EXPECT_TRUE(failed.trackLines.lines.empty());
    EXPECT_EQ(EvoLoad(newline.Waypoint("W").TrackHead("AC\n", 0).bytes()).result, 1);
}

TEST(EvoSource, PointCountBeyondTheFileFailsBeforeAllocating) {
    const int32_t counts[] = {3, 178956971 /* times 24 wraps 32 bits */, std::numeric_limits<int32_t>::max(),
                              std::numeric_limits<int32_t>::min(), -1};
    for (int32_t count : counts) {
        SCOPED_TRACE(count);
        EvoImage image(1, 2);
        image.Waypoint("W").Track("ACFIRST\n", 1).TrackHead("ACHUGE\n", count).Point({}).Point({});
        const EvoLoad load(image.bytes());
        EXPECT_EQ(load.result, 0);
        EXPECT_EQ(load.trackLines.lines, Lines({"ACFIRST (1)"}));
        EXPECT_EQ(load.TrackName(1), "ACHUGE");
        EXPECT_EQ(load.source.tracks[1].pointCount, count);
        EXPECT_FALSE(load.source.tracks[1].points);
    }
}

TEST(EvoSource, EveryCutOfAValidFileFailsAndListsOnlyWhatItRead) {
    const std::vector<uint8_t> whole = SampleImage().bytes();
    const EvoLoad full(whole);
    ASSERT_EQ(full.result, 1);
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        const EvoLoad cut(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_EQ(cut.result, 0);
        for (const auto& [part, all] : {std::pair(&cut.waypointLines.lines, &full.waypointLines.lines),
                                        std::pair(&cut.trackLines.lines, &full.trackLines.lines)}) {
            ASSERT_LE(part->size(), all->size());
            EXPECT_TRUE(std::equal(part->begin(), part->end(), all->begin()));
        }
    }
}

}  // namespace

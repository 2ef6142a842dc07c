#include "sources/EvoSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "sources/NameField.h"
#include "support/FormatBuilders.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

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
    const TrackPoint& point = load.source.tracks[0].points[0];
    EXPECT_EQ(std::make_tuple(point.latitude, point.longitude, point.time, point.altitude, point.second),
              std::make_tuple(0x10000000, -0x20000000, 57599u, 12.5f, 59));

    // Without lists, and without keeping the track points.
    const EvoLoad unlisted(SampleImage().bytes(), false);
    EXPECT_EQ(unlisted.result, 1);
    EXPECT_EQ(unlisted.source.tracks[1].pointCount, 1);
    EXPECT_FALSE(unlisted.source.tracks[1].points);
}

TEST(EvoSource, WaypointNameEndsSymbolOffsetAndAltitude) {
    struct Case { std::string bytes, stored; float altitude; const char* line; };  // ten name bytes, padded with NUL; the line after the name
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
        EXPECT_TRUE(std::isnan(c.altitude) ? std::isnan(altitude) : altitude == (c.altitude > 9999.0f ? 0.0f : c.altitude));
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

}  // namespace

#include "sources/EvoSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sources/mapsource/MapSourceBuilder.h"
#include "support/FormatBuilders.h"

namespace {

using namespace std::string_literals;

// Each waypoint entry after gap filler bytes; its pattern is looked for from
// the scan position (48, then the previous entry's name: its ten bytes, the
// stored bytes and the symbol lie before the gap).
TEST(EvoSource, WaypointFoundNameEndsSymbolOffsetAndAltitude) {
    // Ten name bytes (padded with NUL), the name stored, the line after it, the filler before the entry.
    struct Case { std::string bytes, stored; float altitude; const char* line; size_t gap = 0; bool pattern = true; };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"ABCDEFGHIJ", "ABCDEFGHIJ", 100.0f, " 100"},  // ten bytes, no end byte
        {std::string(10, ' '), "", 100.0f, " 100"},    // only blanks
        {"AB\nCDEFGHI", "AB", 100.0f, " 100"},         // everything after a newline goes
        {"AB  \0XYZ"s, "AB", 100.0f, " 100"},          // blanks before a NUL go too
        // Altitudes above 9999 are stored as 0.
        {"W", "W", 9999.0f, " 9999"}, {"W", "W", 9999.5f, "   0"}, {"W", "W", -12.6f, " -13"}, {"W", "W", nan, " nan"},
        // The pattern 255 positions from the scan, or none: the entry is taken to be 256 after it.
        {"WPT", "WPT", 7.0f, "   7", 255 - 13}, {"WPT", "WPT", 7.0f, "   7", 256 - 15, false},
    };
    EvoImage image(static_cast<uint16_t>(std::size(cases)), 1);
    int16_t symbol = 4321;
    for (const Case& c : cases) {
        image.Fill(c.gap).WaypointHead(symbol, -symbol, c.altitude, c.pattern);
        image.WaypointTail(c.bytes, c.stored.size(), symbol++);
    }
    const mstest::Loaded load(".evo", image.Track("AC\n", 0).bytes());
    ASSERT_EQ(load.result, 1);
    for (int k = 0; k < load.source->waypointCount; ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.bytes);
        const WaypointRecord& w = load.Waypoint(k);
        EXPECT_EQ(load.Name(k), c.stored);
        EXPECT_EQ(std::make_tuple(w.latitude, w.longitude, w.symbol),
                  std::make_tuple(4321 + k, -4321 - k, static_cast<int16_t>(4321 + k)));
        EXPECT_EQ(load.waypointLines.lines.at(k), c.stored + c.line);
        EXPECT_TRUE(std::isnan(c.altitude) ? std::isnan(w.altitude)
                                           : w.altitude == (c.altitude > 9999.0f ? 0.0f : c.altitude));
    }
}

// Each track entry is found by 00 00 "AC" from the end of the previous one's
// points ("Active" is no entry, nor the pattern inside the first point, "AC" at
// 0x43410000). The name runs to a newline or 32 bytes, and the count follows
// the stored name and the byte after it.
TEST(EvoSource, TracksFoundByPatternNamedAndCounted) {
    const std::string x30(30, 'x');
    const std::pair<std::string, std::string> names[] = {  // the bytes up to the count, the name stored
        {"ACTIVE LOG\n", "ACTIVE LOG"},
        {"ACT\0"s, "ACT"},                            // NUL ends the text
        {"AC" + x30.substr(1) + "\n", "AC" + x30.substr(1)},  // 31 bytes fit
        {"AC" + x30, "AC" + x30.substr(1)},           // 32 bytes: cut to 31, count after 32
        // 30 bytes and a lead byte whose pair would pass the 31: the count
        // follows the 30 stored bytes and the lead byte.
        {"AC" + x30.substr(2) + "\xA4", "AC" + x30.substr(2)},
    };
    EvoImage image(1, static_cast<uint16_t>(4 + std::size(names)));
    image.Waypoint("W").Track("Active\n", 1).TrackHead("ACONE\n", 1).Point(0x43410000, 0, 0, 0.0f);
    image.Track("ACEMPTY\n", 0).Track("ACTWO\n", 1).Track("ACTIVE LOG\n", 2);
    std::vector<std::string> expected = {"ACONE (1)", "ACEMPTY (0)", "ACTWO (1)", "ACTIVE LOG (2)"};
    for (const auto& [bytes, stored] : names) {
        image.TrackHead(bytes, 1).Point(1, -2, 57599, 4.5f);
        expected.push_back(stored + " (1)");
    }
    const mstest::Loaded load(".evo", image.Fill(32).bytes());
    ASSERT_EQ(load.result, 1);
    EXPECT_EQ(load.trackLines.lines, expected);
}

}  // namespace

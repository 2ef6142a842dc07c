#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gtm/GtmDocument.h"
#include "sources/NameField.h"

namespace {

WaypointRecord Source(std::string_view name, float altitude, int16_t symbol = 0) {
    WaypointRecord record{};
    StoreName(record.name, sizeof record.name, name);
    record.altitude = altitude;
    record.symbol = symbol;
    return record;
}

// A loaded document without a file: rows are enough for the correction.
void SetRows(GtmDocument& document, const std::vector<std::pair<std::string, float>>& rows) {
    document.waypointCount = static_cast<int32_t>(rows.size());
    document.waypoints.reset(new GtmWaypoint[rows.size()]());
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string name = rows[i].first;
        name.resize(10, ' ');
        std::memcpy(document.waypoints[i].name, name.data(), 10);
        document.waypoints[i].altitude = rows[i].second;
    }
}

std::string NewName(const GtmDocument& document, int i) { return document.waypoints[i].newName; }

}  // namespace

TEST(CorrectNames, ThreeComparisons) {
    struct Case { std::string gtm; std::string source; int a, b, c; std::string taken; };
    const std::string nul2("\0\0", 2);
    const Case cases[] = {
        {"abc", "ABC", 1, 0, 1, "ABC"},
        {nul2 + "AB", "\xA4\xA4" "AB", 0, 1, 1, "\xA4\xA4" "AB"},
        {nul2 + "AB", "\xA4\xA4" "ab", 0, 0, 1, "\xA4\xA4" "ab"},
        {nul2 + "AB", "\xA4\xA4" "AC", 0, 0, 0, ""},
        {"ABC", "ABCD", 0, 0, 0, ""},                 // lengths differ
        {std::string("AB\0", 3), "AB", 0, 0, 0, ""},  // a NUL counts as a name byte
    };
    for (const Case& c : cases) {
        GtmDocument document;
        SetRows(document, {{c.gtm, 100.0f}});
        WaypointRecord source[] = {Source(c.source, 100.0f)};
        VectorLineList lines;
        ASSERT_EQ(document.CorrectNames(1, source, lines), 1);
        const GtmWaypoint& row = document.waypoints[0];
        EXPECT_EQ(row.altitudeMatches, 1);
        EXPECT_EQ(row.caselessMatches, c.a) << c.source;
        EXPECT_EQ(row.maskedMatches, c.b) << c.source;
        EXPECT_EQ(row.maskedCaselessMatches, c.c) << c.source;
        EXPECT_EQ(NewName(document, 0), c.taken);
        EXPECT_EQ(document.correctedCount, c.taken.empty() ? 0 : 1);
        EXPECT_EQ(source[0].symbol, c.taken.empty() ? 0 : kTakenMarker);
    }
}

TEST(CorrectNames, AltitudeWindow) {
    struct Case { float gtm; float source; bool passes; };
    const Case cases[] = {
        {300.0625f, 300, true}, {300.125f, 300, false}, {2999, 3000, true}, {3001, 3000, true},
        {3001.0625f, 3000, false}, {-50.0625f, -50, true}, {-50.125f, -50, false},
        {10000, 10000, true}, {10000.5f, 0, true},  // above 10000 counts as 0
        {0.0625f, 10001, true}, {NAN, 5, true}, {5, NAN, true},
    };
    for (const Case& c : cases) {
        GtmDocument document;
        SetRows(document, {{"A", c.gtm}});
        WaypointRecord source[] = {Source("A", c.source)};
        VectorLineList lines;
        document.CorrectNames(1, source, lines);
        EXPECT_EQ(document.waypoints[0].altitudeMatches, c.passes ? 1 : 0) << c.gtm << " vs " << c.source;
    }
}

TEST(CorrectNames, LinesShowCappedGtmAltitude) {
    GtmDocument document;
    SetRows(document, {{"A", 12000.0f}, {"B", 5.4f}, {"C", 1.0f}});
    WaypointRecord source[] = {Source("A", 0), Source("B", 5.4f)};
    VectorLineList lines;
    document.CorrectNames(2, source, lines);
    EXPECT_EQ(lines.lines, (std::vector<std::string>{"A   0", "B   5"}));
    EXPECT_EQ(document.correctedCount, 2);
}

TEST(CorrectNames, TieBreaksAndMarkers) {
    const std::string masked = std::string("\0\0", 2) + "AB";
    {
        // Same name and altitude: waypoint 1 ends on source 1 by the same-position rule.
        GtmDocument document;
        SetRows(document, {{masked, 10}, {masked, 10}});
        WaypointRecord source[] = {Source("\xA4\xA4" "AB", 10), Source("\xA5\xA5" "AB", 10)};
        VectorLineList lines;
        document.CorrectNames(2, source, lines);
        EXPECT_EQ(NewName(document, 0), "\xA4\xA4" "AB");
        EXPECT_EQ(NewName(document, 1), "\xA5\xA5" "AB");
    }
    {
        // Source 0 is taken by waypoint 0, so waypoint 1 moves on to source 2.
        GtmDocument document;
        SetRows(document, {{masked, 10}, {masked, 10}});
        WaypointRecord source[] = {Source("\xA4\xA4" "AB", 10), Source("XY", 10), Source("\xA5\xA5" "AB", 10)};
        VectorLineList lines;
        document.CorrectNames(3, source, lines);
        EXPECT_EQ(NewName(document, 0), "\xA4\xA4" "AB");
        EXPECT_EQ(NewName(document, 1), "\xA5\xA5" "AB");
        EXPECT_EQ(source[1].symbol, 0);
        EXPECT_EQ(source[2].symbol, kTakenMarker);
    }
    {
        // The only match gives its name to both.
        GtmDocument document;
        SetRows(document, {{masked, 10}, {masked, 10}});
        WaypointRecord source[] = {Source("\xA4\xA4" "AB", 10)};
        VectorLineList lines;
        document.CorrectNames(1, source, lines);
        EXPECT_EQ(NewName(document, 1), "\xA4\xA4" "AB");
        EXPECT_EQ(document.correctedCount, 2);
    }
    {
        // The last A match wins and replaces a B choice.
        GtmDocument document;
        SetRows(document, {{"ab", 10}});
        WaypointRecord source[] = {Source("AB", 10), Source("aB", 10)};
        VectorLineList lines;
        document.CorrectNames(2, source, lines);
        EXPECT_EQ(NewName(document, 0), "aB");
        EXPECT_EQ(document.waypoints[0].caselessMatches, 2);
    }
}

TEST(CorrectNames, MarkersStayBetweenRuns) {
    // In the second run waypoint 0's first B match carries the marker of the
    // first run, so a later B match replaces it.
    const std::string masked = std::string("\0\0", 2) + "AB";
    GtmDocument document;
    SetRows(document, {{masked, 10}, {"Q", 10}});
    WaypointRecord source[] = {Source("Q", 10), Source("\xA4\xA4" "AB", 10), Source("\xA5\xA5" "AB", 10)};
    VectorLineList lines;
    document.CorrectNames(3, source, lines);
    EXPECT_EQ(NewName(document, 0), "\xA4\xA4" "AB");
    EXPECT_EQ(source[2].symbol, 0);
    VectorLineList again;
    document.CorrectNames(3, source, again);
    EXPECT_EQ(NewName(document, 0), "\xA5\xA5" "AB");
    EXPECT_EQ(again.lines.size(), 2u);
}

TEST(CorrectNames, BlankNamesAndMissingTable) {
    GtmDocument document;
    SetRows(document, {{"", 10}});
    WaypointRecord source[] = {Source("", 10)};
    VectorLineList lines;
    document.CorrectNames(1, source, lines);
    EXPECT_EQ(document.correctedCount, 0);
    EXPECT_EQ(document.waypoints[0].maskedMatches, 1);
    EXPECT_EQ(source[0].symbol, 0);

    GtmDocument empty;
    empty.correctedCount = 5;
    EXPECT_EQ(empty.CorrectNames(1, source, lines), 0);
    EXPECT_EQ(empty.correctedCount, 5);
}

// The rules of the name correction and of the prefix, one row each. Names are
// written in UTF-8 and stored in code page 950; in a GTM name "~" stands for
// a zero byte (a Chinese byte the damaging program lost).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "common/CodePage.h"
#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"
#include "sources/NameField.h"

namespace {

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> parts;
    std::stringstream in(list);
    for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
    if (!list.empty() && list.back() == ',') parts.emplace_back();
    return parts;
}

// "\\x" in front stands for two bytes of 0x80, which no code page 950 text holds.
std::string Cp950(const std::string& utf8, bool zeros = false) {
    if (utf8.rfind("\\x", 0) == 0) return "\x80\x80" + utf8.substr(2);
    std::string bytes = codepage::Utf8ToCp950(utf8);
    for (char& c : bytes) c = zeros && c == '~' ? '\0' : c;
    return bytes;
}

// GTM rows (name, altitude) corrected from sources; a source name ending in
// "*" carries the taken marker already. With far, 1100 sources no window
// holds follow, so that the correction takes its indexed path.
struct Repair {
    Repair(const std::string& gtm, const std::string& sources, float gtmAltitude = 10, float sourceAltitude = 10,
           bool far = false) {
        const std::vector<std::string> rows = Split(gtm);
        document.waypointCount = static_cast<int32_t>(rows.size());
        document.waypoints.reset(new GtmWaypoint[rows.size()]());
        for (size_t i = 0; i < rows.size(); ++i) {
            std::string name = Cp950(rows[i], true);
            name.resize(10, ' ');
            std::memcpy(document.waypoints[i].name, name.data(), 10);
            document.waypoints[i].altitude = gtmAltitude;
        }
        for (std::string name : Split(sources)) {
            WaypointRecord& r = records.emplace_back(WaypointRecord{});
            if (!name.empty() && name.back() == '*') r.symbol = kTakenMarker, name.pop_back();
            StoreName(r.name, sizeof r.name, Cp950(name));
            r.altitude = sourceAltitude;
        }
        real = records.size();
        if (far) records.resize(real + 1100, WaypointRecord{{'#'}, 0, 0, -5000.0f, 0});
        result = document.CorrectNames(static_cast<int32_t>(records.size()), records.data(), lines);
    }
    std::string NewNames() const {
        std::string names;
        for (int32_t i = 0; i < document.waypointCount; ++i) names.append(i ? "," : "").append(document.waypoints[i].newName);
        return names;
    }
    std::string Marks() const {
        std::string marks;
        for (size_t j = 0; j < real; ++j) marks += records[j].symbol == kTakenMarker ? 'T' : '.';
        return marks;
    }
    std::string Counts(int i = 0) const {
        const GtmWaypoint& w = document.waypoints[i];
        return std::to_string(w.altitudeMatches) + std::to_string(w.caselessMatches) + std::to_string(w.maskedMatches) +
               std::to_string(w.maskedCaselessMatches);
    }
    GtmDocument document;
    std::vector<WaypointRecord> records;
    size_t real = 0;
    VectorLineList lines;
    int result = -1;
};

}  // namespace

TEST(CorrectNames, MatchingRulesOnBothPaths) {
    // counts: of the first row, windows, caseless, masked and masked caseless matches.
    struct Row { const char* gtm; const char* sources; const char* names; const char* marks; const char* counts; };
    const Row rows[] = {
        {"abc", "ABC", "ABC", "T", "1101"},                  // A: equal but for case
        {"~~AB", "中AB", "中AB", "T", "1011"},               // B: equal once Chinese bytes are zero
        {"~~AB", "中ab", "中ab", "T", "1001"},               // C: both
        {"~~AB", "\\xAB", "\\xAB", "T", "1011"},     // 0x80 is the first byte zeroed
        {"~~AB", "中AC", "", ".", "1000"},
        {"ABC", "ABCD,AB", "", "..", "2000"},                // lengths differ
        {"AB~", "AB", "", ".", "1000"},                      // a zero byte counts as a name byte
        {"ABCDEFGHIJ", "abcdefghij", "abcdefghij", "T", "1101"},  // ten bytes
        {" ", ",A", "", "..", "2111"},                        // a blank name finds a blank one: nothing to take
        {"ab", "AB,aB", "aB", ".T", "2202"},                 // the last A match wins
        {"~~AB", "中AB,文AB", "中AB", "T.", "2022"},         // the first B match wins...
        {"~~AB,~~AB", "中AB,文AB", "中AB,文AB", "TT", "2022"},  // ...but the one at the same position
        {"~~AB,~~AB", "中AB,XY,文AB", "中AB,文AB", "T.T", "3022"},  // ...or one after a taken choice
        {"~~AB", "中AB*,文AB", "文AB", "TT", "2022"},
        {"~~AB,~~AB", "中AB", "中AB,中AB", "T", "1011"},      // one source may serve many rows
        {"~~AB", "中ab,文ab", "中ab", "T.", "2002"},         // the first C match wins...
        {"~~XY,~~AB", "中ab,文ab", ",文ab", ".T", "2000"},   // ...but the one at the same position
        {"~~AB", "中ab,文AB", "文AB", ".T", "2012"},         // a B match beats an earlier C match
        {"~~AB", "中AB,文ab", "中AB", "T.", "2012"},         // and a later C match does not beat it
    };
    for (const Row& row : rows) {
        for (bool far : {false, true}) {
            SCOPED_TRACE(testing::Message() << row.gtm << " from " << row.sources << (far ? " indexed" : ""));
            const Repair repair(row.gtm, row.sources, 10, 10, far);
            EXPECT_EQ(repair.result, 1);
            EXPECT_EQ(repair.NewNames(), Cp950(row.names));
            EXPECT_EQ(repair.Marks(), row.marks);
            EXPECT_EQ(repair.Counts(), row.counts);
        }
    }
}

TEST(CorrectNames, AltitudeWindowEdges) {
    const float nan = NAN;
    const std::tuple<float, float, bool> rows[] = {
        {300.0625f, 300, true}, {300.125f, 300, false}, {2999, 3000, true}, {3001, 3000, true},
        {3001.00025f, 3000, false}, {3001.0625f, 3000, false}, {-50.0625f, -50, true}, {-50.125f, -50, false},
        {10000, 10000, true}, {10000, 0, false}, {10000.5f, 0, true},  // above 10000 counts as 0
        {0.0625f, 10001, true}, {nan, 5, true}, {5, nan, true}, {INFINITY, INFINITY, true}, {5, -INFINITY, false},
    };
    for (const auto& [gtm, source, passes] : rows) {
        for (bool far : {false, true}) {
            // A NaN GTM altitude lies in every window, the far ones' too.
            const Repair repair("A", "A", gtm, source, far);
            const GtmWaypoint& w = repair.document.waypoints[0];
            EXPECT_EQ(w.altitudeMatches, passes + (far && std::isnan(gtm) ? 1100 : 0)) << gtm << " vs " << source << far;
            EXPECT_EQ(w.caselessMatches, passes) << gtm << " vs " << source << (far ? " indexed" : "");
        }
    }
}

TEST(CorrectNames, LinesCountsMissingTablesAndMarkersBetweenRuns) {
    GtmDocument document;
    VectorLineList lines;
    WaypointRecord source[1] = {};
    EXPECT_EQ(document.CorrectNames(1, source, lines), 0);  // nothing loaded
    EXPECT_EQ(Repair("", "A").result, 1);  // no rows
    const Repair capped("A,B,C", "A", 12000, 0);
    EXPECT_EQ(capped.lines.lines, std::vector<std::string>{"A   0"});
    EXPECT_EQ(capped.document.correctedCount, 1);

    // No source table, or a negative count: nothing corrected, on both paths.
    Repair none("~~AB", "中AB");
    for (int32_t count : {5, -1, 2000}) {
        none.document.correctedCount = 7;
        EXPECT_EQ(none.document.CorrectNames(count, count < 0 ? none.records.data() : nullptr, lines), 1);
        EXPECT_EQ(none.document.correctedCount, 0);
        EXPECT_EQ(correction::CorrectNamesByScan(none.document, count, count < 0 ? none.records.data() : nullptr, lines), 1);
        EXPECT_EQ(none.document.waypoints[0].newName[0], '\0');
    }

    correction::CorrectionIndex index;
    EXPECT_EQ(index.Build(5, nullptr), 1);
    EXPECT_EQ(index.CountWithinWindow(10), 0);

    // The second run sees the markers of the first: a later B match replaces the taken one.
    Repair twice("~~AB,Q", "Q,中AB,文AB");
    EXPECT_EQ(twice.NewNames(), Cp950("中AB,Q"));
    VectorLineList again;
    twice.document.CorrectNames(3, twice.records.data(), again);
    EXPECT_EQ(twice.NewNames(), Cp950("文AB,Q"));
    EXPECT_EQ(again.lines.size(), 2u);
}

TEST(Prefix, Rules) {
    const std::string nul("\0", 1), arrow = "\xA1\xF6";
    const std::tuple<std::string, std::string, std::string> rows[] = {  // GTM name, new name, after the prefix
        {"ABC", "ABC", arrow + "ABC"},
        {"12345678", "12345678", arrow + "12345678"},
        {"123456789", "123456789", arrow + "3456789"},  // longer than 8 bytes: the first two go
        {"1234567890", "1234567890", arrow + "34567890"},
        {"\xA4\xA4" "A", "\xA4\xA4" "A", "\xA4\xA4" "A"},  // begins with a Chinese character
        {arrow + "AB", arrow + "AB", arrow + "AB"},        // already prefixed
        // Uncorrected names are prefixed too, from their own bytes up to a zero byte, without trailing blanks.
        {"AB", "", arrow + "AB"},
        {"\xA4\xA4" "AB", "", ""},
        {nul + "AB", "", arrow},
        {"ABCDEFGH", "", arrow + "ABCDEFGH"},
        {"ABCDEFGHI", "", arrow + "CDEFGHI"},
        {"ABCDEFGHIJ", "", arrow + "CDEFGHIJ"},
        {nul + "BCDEFGHIJ", "", arrow},  // nothing left after dropping two bytes
        {"A" + nul + "CDEFGHIJ", "", arrow},
        {"", "", arrow},  // ten blanks
    };
    GtmDocument document;
    document.waypointCount = static_cast<int32_t>(std::size(rows));
    document.waypoints.reset(new GtmWaypoint[std::size(rows)]());
    for (size_t i = 0; i < std::size(rows); ++i) {
        std::string name = std::get<0>(rows[i]);
        name.resize(10, ' ');
        std::memcpy(document.waypoints[i].name, name.data(), 10);
        StoreName(document.waypoints[i].newName, 16, std::get<1>(rows[i]));
    }
    EXPECT_EQ(document.NeedsPrefix(), 1);
    EXPECT_EQ(document.ApplyPrefix(arrow.c_str()), 1);
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(document.waypoints[i].newName, std::get<2>(rows[i])) << i;

    // Only new names beginning with a single byte need it; a long prefix never overflows.
    document.waypointCount = 1;
    document.waypoints[0] = document.waypoints[7];  // uncorrected
    EXPECT_EQ(document.NeedsPrefix(), 0);
    StoreName(document.waypoints[0].newName, 16, "12345678");
    EXPECT_EQ(document.NeedsPrefix(), 1);
    document.ApplyPrefix("0123456789ABCDEFGHIJ");
    EXPECT_EQ(std::strlen(document.waypoints[0].newName), 15u);
    EXPECT_EQ(GtmDocument().NeedsPrefix(), 0);
}

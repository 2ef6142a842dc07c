// The rules of the name correction and of the prefix, one row each. Names are
// written in UTF-8 and stored in code page 950; in a GTM name "~" stands for
// a zero byte (a Chinese byte the damaging program lost).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/CodePage.h"
#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"
#include "sources/NameField.h"
#include "support/FormatBuilders.h"

namespace {

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> parts(list.empty() ? 0 : 1);
    for (char c : list) c == ',' ? parts.emplace_back() : parts.back() += c;
    return parts;
}

// "\\x" in front stands for two bytes of 0x80, which no code page 950 text holds.
std::string Cp950(const std::string& utf8, bool zeros = false) {
    if (utf8.rfind("\\x", 0) == 0) return "\x80\x80" + utf8.substr(2);
    std::string bytes = codepage::Utf8ToCp950(utf8);
    for (char& c : bytes) c = zeros && c == '~' ? '\0' : c;
    return bytes;
}

// GTM rows (name, altitude) corrected from sources. So few rows and sources
// take the plain scan; the index is compared with it in CorrectionIndexTest.
struct Repair {
    Repair(const std::string& gtm, const std::string& sources, float gtmAltitude = 10, float sourceAltitude = 10) {
        const std::vector<std::string> rows = Split(gtm);
        document.waypointCount = static_cast<int32_t>(rows.size());
        document.waypoints.reset(new GtmWaypoint[rows.size()]());
        for (size_t i = 0; i < rows.size(); ++i) {
            std::memcpy(document.waypoints[i].name, (Cp950(rows[i], true) + std::string(10, ' ')).data(), 10);
            document.waypoints[i].altitude = gtmAltitude;
        }
        for (const std::string& name : Split(sources)) {
            StoreName(records.emplace_back(WaypointRecord{}).name, sizeof records.back().name, Cp950(name));
            records.back().altitude = sourceAltitude;
        }
        result = document.CorrectNames(static_cast<int32_t>(records.size()), records.data(), lines);
    }
    // The new names, the taken markers (T) of the sources and the first row's
    // windows, caseless, masked and masked caseless matches.
    std::string Outcome() const {
        std::string out;
        for (int32_t i = 0; i < document.waypointCount; ++i) out.append(i ? "," : "").append(document.waypoints[i].newName);
        out += ' ';
        for (const WaypointRecord& r : records) out += r.symbol == kTakenMarker ? 'T' : '.';
        const GtmWaypoint& w = document.waypoints[0];
        for (int32_t n : {w.altitudeMatches, w.caselessMatches, w.maskedMatches, w.maskedCaselessMatches})
            out += ' ' + std::to_string(n);
        return out;
    }
    GtmDocument document;
    std::vector<WaypointRecord> records;
    VectorLineList lines;
    int result = -1;
};

}  // namespace

TEST(CorrectNames, MatchingRulesAndAltitudeWindows) {
    const std::tuple<const char*, const char*, const char*> matching[] = {  // GTM rows, sources, outcome
        {"~~AB", "\\xAB", "\\xAB T 1 0 1 1"},             // 0x80 is the first byte zeroed
        {"~~AB", "中AC", " . 1 0 0 0"},
        {"ABC", "ABCD,AB", " .. 2 0 0 0"},                // lengths differ
        {"AB~", "AB", " . 1 0 0 0"},                      // a zero byte counts as a name byte
        {"ABCDEFGHIJ", "abcdefghij", "abcdefghij T 1 1 0 1"},  // ten bytes
        {" ", ",A", " .. 2 1 1 1"},                       // a blank name finds a blank one: nothing to take
        {"ab", "AB,aB", "aB .T 2 2 0 2"},                 // A, equal but for case: the last match wins
        {"~~AB", "中AB,文AB", "中AB T. 2 0 2 2"},         // B, equal once Chinese bytes are zero: the first...
        {"~~AB,~~AB", "中AB,文AB", "中AB,文AB TT 2 0 2 2"},  // ...but the one at the same position
        {"~~AB,~~AB", "中AB,XY,文AB", "中AB,文AB T.T 3 0 2 2"},  // ...or one after a taken choice
        {"~~AB,~~AB", "中AB", "中AB,中AB T 1 0 1 1"},      // one source may serve many rows
        {"~~AB", "中ab,文ab", "中ab T. 2 0 0 2"},         // C, both: the first match wins...
        {"~~XY,~~AB", "中ab,文ab", ",文ab .T 2 0 0 0"},   // ...but the one at the same position
        {"~~AB", "中ab,文AB", "文AB .T 2 0 1 2"},         // a B match beats an earlier C match
        {"~~AB", "中AB,文ab", "中AB T. 2 0 1 2"},         // and a later C match does not beat it
    };
    for (const auto& [gtm, sources, outcome] : matching)
        EXPECT_EQ(Repair(gtm, sources).Outcome(), Cp950(outcome)) << gtm << " from " << sources;
    // Each source's window: its altitude, above 10000 counted as 0, give or
    // take a 3000th of it and at least 0.1. A NaN GTM altitude lies in every
    // window.
    const std::tuple<float, float, bool> windows[] = {
        {300.0625f, 300, true}, {300.125f, 300, false}, {2999, 3000, true}, {3001, 3000, true},
        {3001.00025f, 3000, false}, {-50.0625f, -50, true}, {-50.125f, -50, false},
        {10000, 10000, true}, {10000, 0, false}, {10000.5f, 0, true}, {0.0625f, 10001, true},
        {NAN, 5, true}, {5, NAN, true}, {INFINITY, INFINITY, true}, {5, -INFINITY, false},
    };
    for (const auto& [gtm, source, passes] : windows)
        EXPECT_EQ(Repair("A", "A", gtm, source).Outcome(), passes ? "A T 1 1 1 1" : " . 0 0 0 0") << gtm << " vs " << source;
}

TEST(CorrectNames, LinesCountsMissingTablesAndMarkersBetweenRuns) {
    VectorLineList lines;
    WaypointRecord source[1] = {};
    EXPECT_EQ(GtmDocument().CorrectNames(1, source, lines), 0);  // nothing loaded
    EXPECT_EQ(Repair("", "A").result, 1);                        // no rows
    const Repair capped("A,B,C", "A", 12000, 0);
    EXPECT_EQ(capped.lines.lines, std::vector<std::string>{"A   0"});
    EXPECT_EQ(capped.document.correctedCount, 1);

    // No source table: nothing corrected, by either path.
    Repair none("~~AB", "中AB");
    none.document.correctedCount = 7;
    EXPECT_EQ(none.document.CorrectNames(5, nullptr, lines), 1);
    EXPECT_EQ(none.document.correctedCount, 0);
    EXPECT_EQ(correction::CorrectNamesByScan(none.document, 5, nullptr, lines), 1);
    EXPECT_EQ(none.document.waypoints[0].newName[0], '\0');

    // The second run sees the markers of the first: a later B match replaces the taken one.
    Repair twice("~~AB,Q", "Q,中AB,文AB");
    EXPECT_EQ(twice.Outcome(), Cp950("中AB,Q TT. 3 0 2 2"));
    VectorLineList again;
    twice.document.CorrectNames(3, twice.records.data(), again);
    EXPECT_EQ(twice.Outcome(), Cp950("文AB,Q TTT 3 0 2 2"));
    EXPECT_EQ(again.lines.size(), 2u);
}

TEST(Prefix, Rules) {
    // Corrected names that begin with a single byte get the arrow, giving up
    // their first two bytes when longer than 8; uncorrected ones too, from
    // their own bytes up to a zero byte, without trailing blanks.
    Repair repair("ABC,12345678,123456789,中A,AB,中AB,~AB,ABCDEFGH,ABCDEFGHI,ABCDEFGHIJ,A~CDEFGHIJ, ",
                  "ABC,12345678,123456789,中A");
    EXPECT_EQ(repair.document.NeedsPrefix(), 1);
    EXPECT_EQ(repair.document.ApplyPrefix("\xA1\xF6"), 1);
    EXPECT_EQ(repair.Outcome(), Cp950("←ABC,←12345678,←3456789,中A,←AB,,←,←ABCDEFGH,←CDEFGHI,←CDEFGHIJ,←,← TTTT 4 1 1 1"));
    // Only corrected names beginning with a single byte need it; a long prefix never overflows.
    EXPECT_EQ(Repair("AB,中A", "中A").document.NeedsPrefix() + GtmDocument().NeedsPrefix(), 0);
    Repair longPrefix("12345678", "12345678");
    EXPECT_EQ(longPrefix.document.ApplyPrefix("0123456789ABCDEFGHIJ") + GtmDocument().ApplyPrefix("\xA1\xF6"), 2);
    EXPECT_EQ(std::strlen(longPrefix.document.waypoints[0].newName), 15u);
}

TEST(GtmLoad, ReadsRowsAndLinesAndChecksTheSignature) {
    TempDir dir;
    VectorLineList lines;
    auto load = [&](const std::vector<uint8_t>& bytes) { return GtmDocument().Load(dir.Write("a.gtm", bytes), lines); };
    const auto bytes = GtmBuilder().image("map.bmp", "c:\\maps").waypoint(std::string("\0\0AB", 4), 7, "a comment").waypoint("ABCDEFGHIJ", 12000).build();
    ASSERT_EQ(load(bytes), 1);
    // NUL bytes show as blanks; no altitude cap in the GTM list.
    EXPECT_EQ(lines.lines, (std::vector<std::string>{"  AB         7", "ABCDEFGHIJ 12000"}));
    // Any first two bytes; the signature's letters and last byte checked; no waypoints, or a negative image count, is no fault.
    auto otherFirst = bytes, badLetter = bytes;
    otherFirst[0] = 0x00, otherFirst[1] = 0xFF, badLetter[2] = 't';
    EXPECT_EQ(load(otherFirst) + load(GtmBuilder().build()) + load(GtmBuilder().waypoint("A", 1).imageCount(-5).build()), 3);
    EXPECT_EQ(load(badLetter) + load(GtmBuilder().waypoint("A", 1).signatureByte(0x00).build()), 0);
}

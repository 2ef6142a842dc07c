// The rules of the name correction and of the prefix, one row each. Names are written in UTF-8 and stored in code page
// 950; in a GTM name "~" stands for a zero byte (a Chinese byte the damaging program lost). The indexed correction must
// give the plain scan's results on random inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>

#include "common/CodePage.h"
#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"
#include "sources/NameField.h"

namespace {

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> parts(list.empty() ? 0 : 1);
    for (char c : list) c == ',' ? parts.emplace_back() : parts.back() += c;
    return parts;
}

// "\\x" in front stands for two bytes of 0x80, which no code page 950 text holds.
std::string Cp950(const std::string& utf8, bool zeros = false) {
    std::string bytes = utf8.rfind("\\x", 0) == 0 ? "\x80\x80" + utf8.substr(2) : codepage::Utf8ToCp950(utf8);
    for (char& c : bytes) c = zeros && c == '~' ? '\0' : c;
    return bytes;
}

// A name with its position in degrees after "@": one value for both coordinates, or latitude/longitude. Without one a
// GTM row lies nowhere (NaN) and a source at 0/0.
struct Placed {
    explicit Placed(const std::string& text, double none) : name(text.substr(0, text.find('@'))), latitude(none), longitude(none) {
        if (name.size() == text.size()) return;
        char* end = nullptr;
        latitude = longitude = std::strtod(text.c_str() + name.size() + 1, &end);
        if (*end == '/') longitude = std::strtod(end + 1, nullptr);
    }
    std::string name;
    double latitude, longitude;
};

// GTM rows (name, altitude) corrected from sources. So few rows and sources
// take the plain scan, which the index is compared with below.
struct Repair {
    Repair(const std::string& gtm, const std::string& sources, float gtmAltitude = 10, float sourceAltitude = 10) {
        const std::vector<std::string> rows = Split(gtm);
        document.waypointCount = static_cast<int32_t>(rows.size());
        document.waypoints.reset(new GtmWaypoint[rows.size()]());
        for (size_t i = 0; i < rows.size(); ++i) {
            const Placed row(rows[i], NAN);
            std::memcpy(document.waypoints[i].name, (Cp950(row.name, true) + std::string(10, ' ')).data(), 10);
            document.waypoints[i].altitude = gtmAltitude;
            document.waypoints[i].latitude = row.latitude;
            document.waypoints[i].longitude = row.longitude;
        }
        for (const std::string& text : Split(sources)) {
            const Placed source(text, 0);
            WaypointRecord& r = records.emplace_back(WaypointRecord{});
            StoreName(r.name, sizeof r.name, Cp950(source.name));
            r.altitude = sourceAltitude;
            r.latitude = static_cast<int32_t>(std::lround(source.latitude / kSemicircleFactor));
            r.longitude = static_cast<int32_t>(std::lround(source.longitude / kSemicircleFactor));
        }
        document.CorrectNames(static_cast<int32_t>(records.size()), records.data(), lines);
    }
    // Each row's source ("-" for none), "P" when it lies at the row's position and "?" when the name is uncertain,
    // then the taken markers.
    std::string Decisions() const {
        std::string out;
        for (int32_t i = 0; i < document.waypointCount; ++i) {
            const GtmWaypoint& w = document.waypoints[i];
            out.append(i ? "," : "").append(w.source < 0 ? "-" : std::to_string(w.source));
            out.append(w.atPosition ? "P" : "").append(w.uncertain ? "?" : "");
            EXPECT_STREQ(w.newName, w.source < 0 ? "" : records[static_cast<size_t>(w.source)].name);
        }
        out += ' ';
        for (const WaypointRecord& r : records) out += r.symbol == kTakenMarker ? 'T' : '.';
        return out;
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
};

// Random inputs, the same for the scan and the index.
struct Inputs {
    Inputs(uint32_t seed, int crowd, size_t sourceCount, size_t rowCount) : rng(seed) {
        // crowd 0: realistic spreads; 1: few altitudes; 2: few altitudes and names.
        static const float kEdges[] = {0.0f, -0.0f, 5.0f, 299.9f, 300.0f, 300.1f, 2999.0f, 3000.0f, 3001.0f, -50.0f,
                                       -0.1f, 9999.0f, 10000.0f, 10000.5f, NAN, -INFINITY, 3e38f};
        auto altitude = [&] {
            if (Chance(crowd == 2 ? 90 : 0)) return 1500.0f;
            if (Chance(crowd ? 70 : 15)) return kEdges[Below(std::size(kEdges))];
            return crowd ? 2990.0f + Below(2000) / 100.0f : -100.0f + Below(400000) / 100.0f;
        };
        sources.resize(sourceCount, WaypointRecord{});
        for (WaypointRecord& r : sources) {
            std::string name;
            for (size_t c = crowd == 2 ? 2 : Below(7); c > 0; --c)
                if (Chance(crowd == 2 ? 90 : 50))
                    name += {"\xA4\xA5\x80"[Below(crowd ? 2 : 3)], "\xA4\x61\x41\xF6\x40"[Below(crowd ? 2 : 5)]};
                else name += "aAbB1 z"[Below(crowd ? 3 : 7)];
            if (Chance(2)) std::memset(r.name, 'A', sizeof r.name);  // 12 bytes without a NUL
            else std::memcpy(r.name, name.data(), std::min(name.size(), sizeof r.name - 1));
            r.altitude = altitude();
            r.symbol = Chance(crowd == 2 ? 40 : 5) ? kTakenMarker : static_cast<int16_t>(Below(20));
            // Crowded: few places, each waypoint up to 1.5e-5 degrees from its place.
            const auto place = static_cast<int32_t>(Below(crowd ? 6 : 100000));
            r.latitude = place * 1000 + static_cast<int32_t>(Below(3)) * 90;
            r.longitude = place * -700 + static_cast<int32_t>(Below(3)) * 90;
        }
        // Rows made from sources as a damaged file holds them: Chinese bytes
        // zero, letters in another case, altitudes on or next to a window's edge.
        document.waypointCount = static_cast<int32_t>(rowCount);
        document.waypoints.reset(new GtmWaypoint[rowCount]());
        for (size_t i = 0; i < rowCount; ++i) {
            const WaypointRecord& from = sources[i < sourceCount && Chance(50) ? i : Below(sourceCount)];
            std::string name(Chance(90) ? FieldText(from.name, sizeof from.name) : "a\xA4\xA4");
            const size_t mask = Chance(70) ? 100 : Chance(70) ? 0 : 50;  // the percentage of Chinese bytes lost
            for (char& c : name) {
                const auto b = static_cast<unsigned char>(c);
                if (b >= 0x80) c = Chance(mask) ? '\0' : Chance(90) ? c : static_cast<char>(b ^ 1);
                else if (std::isalpha(b) && Chance(30)) c = static_cast<char>(b ^ 0x20);
            }
            name.resize(10, Chance(10) ? '\0' : ' ');
            std::memcpy(document.waypoints[i].name, name.data(), 10);
            // At the source's position, next to it, at another source's, or nowhere.
            GtmWaypoint& row = document.waypoints[i];
            const WaypointRecord& at = Chance(70) ? from : sources[Below(sourceCount)];
            row.latitude = at.latitude * kSemicircleFactor + (Chance(20) ? (Chance(50) ? 0.9e-5 : -1.1e-5) : 0);
            row.longitude = Chance(5) ? NAN : at.longitude * kSemicircleFactor;
            float& a = row.altitude = Chance(90) ? from.altitude : altitude();
            const double s = correction::CapAltitude(a);
            if (!std::isnan(s) && Chance(80)) {
                a = static_cast<float>(Chance(50) ? s + correction::Tolerance(s) : s - correction::Tolerance(s));
                for (int k = static_cast<int>(Below(5)) - 2; k != 0; k += k > 0 ? -1 : 1) a = std::nextafter(a, k > 0 ? INFINITY : -INFINITY);
                if (Chance(5)) a += 10000.0f;
            }
        }
    }
    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); }
    bool Chance(size_t percent) { return Below(100) < percent; }

    // One run, by the scan or the index: each row's counts, new name and
    // decision, the sources' symbols (the taken markers) and the lines.
    std::string Run(bool indexed) {
        VectorLineList lines;
        const auto count = static_cast<int32_t>(sources.size());
        EXPECT_EQ(indexed ? document.CorrectNames(count, sources.data(), lines)
                          : correction::CorrectNamesByScan(document, count, sources.data(), lines), 1);
        std::ostringstream out;
        for (int32_t i = 0; i < document.waypointCount; ++i) {
            const GtmWaypoint& w = document.waypoints[i];
            out << i << ": " << w.altitudeMatches << ' ' << w.caselessMatches << ' ' << w.maskedMatches << ' '
                << w.maskedCaselessMatches << ' ' << w.newName << ' ' << w.source << w.atPosition << w.uncertain << '\n';
        }
        for (const WaypointRecord& r : sources) out << r.symbol << ' ';
        for (const std::string& line : lines.lines) out << line << '\n';
        return out.str();
    }

    std::mt19937 rng;
    std::vector<WaypointRecord> sources;
    GtmDocument document;
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
        {"~~AB", "中ab,文AB", "文AB .T 2 0 1 2"},         // and a B match beats an earlier C match
    };
    for (const auto& [gtm, sources, outcome] : matching)
        EXPECT_EQ(Repair(gtm, sources).Outcome(), Cp950(outcome)) << gtm << " from " << sources;
    // Each source's window: its altitude, above 10000 counted as 0, give or take a 3000th of it and at least 0.1. A NaN
    // GTM altitude lies in every window.
    const std::tuple<float, float, bool> windows[] = {
        {300.0625f, 300, true}, {300.125f, 300, false}, {2999, 3000, true}, {3001, 3000, true},
        {3001.00025f, 3000, false}, {-50.0625f, -50, true}, {-50.125f, -50, false}, {10000, 0, false},
        {10000.5f, 0, true}, {0.0625f, 10001, true}, {NAN, 5, true}, {5, NAN, true}, {5, -INFINITY, false},
    };
    for (const auto& [gtm, source, passes] : windows)
        EXPECT_EQ(Repair("A", "A", gtm, source).Outcome(), passes ? "A T 1 1 1 1" : " . 0 0 0 0")
            << gtm << " vs " << source;
}

TEST(CorrectNames, SourceAtTheRowsPositionWinsAndUnconfirmedNamesAreFlagged) {
    const std::tuple<const char*, const char*, const char*> cases[] = {  // GTM rows, sources, decisions and markers
        {"~~AB@1", "中AB@2,文AB@1", "1P .T"},             // over the first B match
        {"~~XY,~~AB@1", "中AB@1,文AB@2", "-,0P T."},      // over the same position
        {"ab@1", "AB@1,aB@2", "0P T."},                   // over the last A match
        {"~~AB@1", "中AB@2,中ab@1", "1P .T"},             // a C match at the position, after a B match
        {"~~AB@0.010009", "中AB,文AB@0.01", "1P .T"},     // 0.9e-5 degrees off
        {"~~AB@0.009991/0.010009", "中AB,文AB@0.01", "1P .T"},
        {"~~AB@0.00001/-0.00001", "中AB@1,文AB@0", "1P .T"},  // exactly 1e-5 off
        {"~~AB@0.010011", "中AB,文AB@0.01", "0? T."},     // 1.1e-5 degrees off: the first B match, one of two
        {"~~AB@0.01/0.010011", "中AB,文AB@0.01", "0? T."},
        {"~~AB@nan/0", "中AB@nan,文AB@0", "0? T."},       // a NaN is at no position
        {"ab@2", "AB@1,aB", "1? .T"},                     // A decides, two A matches
        {"~~AB@2", "中AB@1,中ab", "0? T."},                // B-or-C decides: one B match, two C matches
        {"~~AB@2", "中AB@1", "0 T"},                       // one candidate elsewhere: not flagged
        {"~~AB@5,~~AB@1", "中AB@1", "0?,0P T"},            // taken at a later row's own position
        {"~~AB@1,~~AB@5", "中AB@1", "0P,0? T"},
        {"中A@1", "文A@1,中a@2", "1 .T"},                 // a name with Chinese bytes passes A only
    };
    for (const auto& [gtm, sources, decisions] : cases)
        EXPECT_EQ(Repair(gtm, sources).Decisions(), Cp950(decisions)) << gtm << " from " << sources;
}

TEST(CorrectNames, LinesCountsAndMissingTables) {
    const Repair capped("A,B,C", "A", 12000, 0);
    EXPECT_EQ(capped.lines.lines, std::vector<std::string>{"A   0"});

    // Nothing loaded: refused. No source table: nothing corrected, by either path, and nothing left of the last run.
    Repair none("~~AB@1,~~AB", "中AB@1,文AB");
    ASSERT_EQ(none.Decisions(), "0P,1? TT");
    EXPECT_EQ(GtmDocument().CorrectNames(0, nullptr, none.lines), 0);
    GtmDocument empty;
    EXPECT_EQ(correction::CorrectNamesByScan(empty, 0, nullptr, none.lines), 0);
    empty.waypoints.reset(new GtmWaypoint[1]());
    EXPECT_EQ(correction::CorrectNamesByScan(empty, 0, nullptr, none.lines), 1);
    EXPECT_EQ(none.document.CorrectNames(5, nullptr, none.lines), 1);
    EXPECT_EQ(none.document.correctedCount, 0);
    EXPECT_EQ(none.Decisions(), "-,- TT");
    EXPECT_EQ(correction::CorrectNamesByScan(none.document, 5, nullptr, none.lines), 1);
    EXPECT_EQ(none.document.waypoints[0].newName[0], '\0');
}

TEST(CorrectionIndex, GivesTheScansResultsOnRandomInputs) {
    const std::pair<size_t, size_t> sizes[] = {{40, 40}, {200, 60}, {60, 200}, {500, 500}, {1, 2000}, {2000, 3}};
    uint32_t seed = 1;
    for (int crowd : {0, 1, 2})
        for (const auto& [sources, rows] : sizes)
            for (int repeat = 0; repeat < 4; ++repeat, ++seed) {
                // Three runs: the markers of one carry into the next.
                Inputs scanned(seed, crowd, sources, rows), indexed(seed, crowd, sources, rows);
                for (int run = 0; run < 3; ++run)
                    ASSERT_EQ(scanned.Run(false), indexed.Run(true)) << "seed " << seed << " run " << run;
            }
}

TEST(Prefix, Rules) {
    // Corrected names that begin with a single byte get the arrow, giving up their first two bytes when longer than 8;
    // uncorrected ones too, from their own bytes up to a zero byte, without trailing blanks.
    Repair repair("ABC,12345678,123456789,中A,AB,中AB,~AB,ABCDEFGH,ABCDEFGHI,ABCDEFGHIJ,A~CDEFGHIJ, ",
                  "ABC,12345678,123456789,中A");
    EXPECT_EQ(repair.document.NeedsPrefix(), 1);
    EXPECT_EQ(repair.document.ApplyPrefix("\xA1\xF6"), 1);
    EXPECT_EQ(repair.Outcome(), Cp950("←ABC,←12345678,←3456789,中A,←AB,,←,←ABCDEFGH,←CDEFGHI,←CDEFGHIJ,←,← TTTT 4 1 1 1"));
    // Only corrected names beginning with a single byte need it.
    EXPECT_EQ(Repair("AB,中A", "中A").document.NeedsPrefix(), 0);
}

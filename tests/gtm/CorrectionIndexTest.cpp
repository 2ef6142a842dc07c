#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"
#include "sources/ListLines.h"
#include "sources/NameField.h"

namespace {

using correction::CorrectionIndex;

// ---- The reference: every source for every GTM waypoint, in order ----------

double RefCap(float altitude) {
    double value = altitude;
    return value > 10000.0 ? 0.0 : value;
}

bool RefWindow(double gtm, double source) {
    if (gtm == source) return true;
    double tolerance = source * (1.0 / 3000.0);
    if (tolerance < 0.1) tolerance = 0.1;
    return !(source + tolerance < gtm || source - tolerance > gtm);
}

unsigned char RefUpper(unsigned char b) { return b >= 'a' && b <= 'z' ? b - 0x20 : b; }

int ReferenceCorrect(GtmDocument& doc, int32_t sourceCount, WaypointRecord* sources, LineList& list) {
    if (!doc.waypoints) return 0;
    doc.correctedCount = 0;
    if (doc.waypointCount <= 0) return 1;
    if (!sources) sourceCount = 0;
    for (int32_t i = 0; i < doc.waypointCount; ++i) {
        GtmWaypoint& row = doc.waypoints[i];
        const auto* g = reinterpret_cast<const unsigned char*>(row.name);
        const double gtm = RefCap(row.altitude);
        row.altitudeMatches = row.caselessMatches = row.maskedMatches = row.maskedCaselessMatches = 0;
        std::memset(row.newName, 0, sizeof row.newName);
        size_t n = 10;
        while (n > 0 && row.name[n - 1] == ' ') --n;
        int32_t chosen = -1;
        for (int32_t j = 0; j < sourceCount; ++j) {
            const WaypointRecord& r = sources[j];
            if (!RefWindow(gtm, RefCap(r.altitude))) continue;
            ++row.altitudeMatches;
            unsigned char w[12] = {};
            const std::string_view name = FieldText(r.name, sizeof r.name);
            if (name.size() != n) continue;
            std::memcpy(w, name.data(), n);
            bool equal = true;
            for (size_t k = 0; k < n; ++k) equal = equal && RefUpper(w[k]) == RefUpper(g[k]);
            if (equal) {
                ++row.caselessMatches;
                StoreName(row.newName, sizeof row.newName, name);
                chosen = j;
            }
            for (size_t k = 0; k < n; ++k) {
                if (w[k] >= 0x80) w[k] = 0;
            }
            if (std::memcmp(w, g, n) == 0) {
                ++row.maskedMatches;
                const bool taken = chosen != -1 && sources[chosen].symbol == kTakenMarker;
                if (row.caselessMatches == 0 && (row.maskedMatches == 1 || j == i || taken)) {
                    StoreName(row.newName, sizeof row.newName, name);
                    chosen = j;
                }
            }
            equal = true;
            for (size_t k = 0; k < n; ++k) equal = equal && RefUpper(w[k]) == RefUpper(g[k]);
            if (equal) {
                ++row.maskedCaselessMatches;
                if (row.caselessMatches == 0 && ((row.maskedMatches == 0 && row.maskedCaselessMatches == 1) || j == i)) {
                    StoreName(row.newName, sizeof row.newName, name);
                    chosen = j;
                }
            }
        }
        if (row.newName[0] != '\0') {
            sources[chosen].symbol = kTakenMarker;
            ++doc.correctedCount;
            list.AddLine(FormatWaypointLine(FieldText(row.newName, sizeof row.newName), gtm));
        }
    }
    return 1;
}

// ---- Random inputs with many collisions ------------------------------------

// How alike the inputs are: realistic spreads, or few altitudes and names so
// that windows and name keys hold many sources at once.
enum class Spread { Wide, Narrow, Degenerate };

class InputMaker {
public:
    InputMaker(uint32_t seed, Spread spread) : rng_(seed), spread_(spread) {}

    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng_); }
    bool Chance(uint32_t percent) { return Below(100) < percent; }

    float SourceAltitude() {
        static const float kSpecial[] = {0.0f, -0.0f, 5.0f, 299.9f, 300.0f, 300.1f, 1234.5f, 2999.0f, 3000.0f,
                                         3001.0f, -50.0f, -0.1f, 9999.0f, 10000.0f, 10000.5f, 10001.0f,
                                         std::numeric_limits<float>::quiet_NaN(),
                                         -std::numeric_limits<float>::infinity(), 3e38f};
        if (spread_ == Spread::Degenerate) return Chance(90) ? 1500.0f : kSpecial[Below(std::size(kSpecial))];
        if (Chance(spread_ == Spread::Narrow ? 70 : 15)) return kSpecial[Below(std::size(kSpecial))];
        const float range = spread_ == Spread::Narrow ? 20.0f : 4000.0f;
        const float base = spread_ == Spread::Narrow ? 2990.0f : -100.0f;
        return base + range * static_cast<float>(Below(100000)) / 100000.0f;
    }

    // A GTM altitude: often on or next to the edge of some source's window.
    float GtmAltitude(const std::vector<WaypointRecord>& sources) {
        if (sources.empty() || Chance(10)) return SourceAltitude();
        const double s = correction::CapAltitude(sources[Below(static_cast<uint32_t>(sources.size()))].altitude);
        if (std::isnan(s) || Chance(20)) return static_cast<float>(s);
        const double t = correction::Tolerance(s);
        float edge = static_cast<float>(Chance(50) ? s + t : s - t);
        const int steps = static_cast<int>(Below(5)) - 2;
        for (int k = 0; k < std::abs(steps); ++k) edge = std::nextafter(edge, steps > 0 ? INFINITY : -INFINITY);
        if (Chance(5)) return edge + 10000.0f;  // above the cap: taken as 0
        return edge;
    }

    // A name of ASCII letters, digits, blanks and Big5 characters, some of
    // whose trail bytes are ASCII letters.
    std::string SourceName() {
        const size_t chars = spread_ == Spread::Degenerate ? 2 : Below(7);
        std::string name;
        for (size_t c = 0; c < chars && name.size() < 12; ++c) {
            if (Chance(spread_ == Spread::Degenerate ? 90 : 50)) {
                static const unsigned char kLead[] = {0xA4, 0xA5};
                static const unsigned char kTrail[] = {0xA4, 0xF6, 0x61, 0x41, 0x40};
                name += static_cast<char>(kLead[Below(2)]);
                name += static_cast<char>(kTrail[Below(spread_ == Spread::Wide ? 5 : 2)]);
            } else {
                static const char kAscii[] = {'a', 'A', 'b', 'B', '1', ' ', 'z'};
                name += kAscii[Below(spread_ == Spread::Wide ? 7 : 3)];
            }
        }
        return name;
    }

    // A GTM name made from a source name as a damaged file holds it (bytes
    // of 0x80 and above zeroed, letters in another case), or at random.
    std::string GtmName(const std::vector<std::string>& sourceNames) {
        std::string name = sourceNames.empty() || Chance(10) ? SourceName() : sourceNames[Below(static_cast<uint32_t>(sourceNames.size()))];
        const bool mask = Chance(70);
        for (char& c : name) {
            auto b = static_cast<unsigned char>(c);
            if (b >= 0x80 && mask) c = '\0';
            else if (b >= 'a' && b <= 'z' && Chance(30)) c = static_cast<char>(b - 0x20);
            else if (b >= 'A' && b <= 'Z' && Chance(30)) c = static_cast<char>(b + 0x20);
        }
        name.resize(std::min<size_t>(name.size(), 10));
        name.resize(10, Chance(10) ? '\0' : ' ');
        return name;
    }

    // Sources and GTM rows; the GTM rows follow the sources' order loosely.
    void Make(size_t sourceCount, size_t rowCount, std::vector<WaypointRecord>& sources, GtmDocument& doc) {
        sources.assign(sourceCount, WaypointRecord{});
        std::vector<std::string> names;
        for (WaypointRecord& r : sources) {
            std::string name = SourceName();
            if (Chance(2)) {
                std::memset(r.name, 'A', sizeof r.name);  // 12 bytes without a NUL
            } else {
                std::memcpy(r.name, name.data(), std::min(name.size(), sizeof r.name - 1));
            }
            r.altitude = SourceAltitude();
            r.symbol = Chance(5) ? kTakenMarker : static_cast<int16_t>(Below(20));
            names.push_back(name);
        }
        doc.waypointCount = static_cast<int32_t>(rowCount);
        doc.waypoints.reset(new GtmWaypoint[rowCount]());
        for (size_t i = 0; i < rowCount; ++i) {
            GtmWaypoint& row = doc.waypoints[i];
            const bool samePosition = i < sourceCount && Chance(50);
            const std::string name = GtmName(samePosition ? std::vector<std::string>{names[i]} : names);
            std::memcpy(row.name, name.data(), 10);
            row.altitude = samePosition && Chance(60) ? sources[i].altitude : GtmAltitude(sources);
        }
    }

private:
    std::mt19937 rng_;
    Spread spread_;
};

void CopyRows(const GtmDocument& doc, GtmDocument& copy) {
    copy.waypointCount = doc.waypointCount;
    copy.waypoints.reset(new GtmWaypoint[static_cast<size_t>(doc.waypointCount)]());
    std::memcpy(copy.waypoints.get(), doc.waypoints.get(), sizeof(GtmWaypoint) * static_cast<size_t>(doc.waypointCount));
}

void ExpectSameRows(const GtmDocument& expected, const GtmDocument& actual, const std::string& what) {
    ASSERT_EQ(expected.correctedCount, actual.correctedCount) << what;
    for (int32_t i = 0; i < expected.waypointCount; ++i) {
        const GtmWaypoint& e = expected.waypoints[i];
        const GtmWaypoint& a = actual.waypoints[i];
        ASSERT_EQ(e.altitudeMatches, a.altitudeMatches) << what << " row " << i;
        ASSERT_EQ(e.caselessMatches, a.caselessMatches) << what << " row " << i;
        ASSERT_EQ(e.maskedMatches, a.maskedMatches) << what << " row " << i;
        ASSERT_EQ(e.maskedCaselessMatches, a.maskedCaselessMatches) << what << " row " << i;
        ASSERT_EQ(0, std::memcmp(e.newName, a.newName, sizeof e.newName)) << what << " row " << i;
    }
}

void ExpectSameSymbols(const std::vector<WaypointRecord>& expected, const std::vector<WaypointRecord>& actual,
                       const std::string& what) {
    for (size_t j = 0; j < expected.size(); ++j) ASSERT_EQ(expected[j].symbol, actual[j].symbol) << what << " source " << j;
}

using Correct = int (*)(GtmDocument&, int32_t, WaypointRecord*, LineList&);

int Indexed(GtmDocument& doc, int32_t count, WaypointRecord* sources, LineList& list) {
    return doc.CorrectNames(count, sources, list);
}

// Runs the reference and the correction under test three times each on
// copies of the same input: the markers of one run carry into the next.
void CompareRuns(Correct correct, size_t sourceCount, size_t rowCount, uint32_t seed, Spread spread) {
    InputMaker maker(seed, spread);
    std::vector<WaypointRecord> sources;
    GtmDocument reference;
    maker.Make(sourceCount, rowCount, sources, reference);
    GtmDocument tested;
    CopyRows(reference, tested);
    std::vector<WaypointRecord> testedSources = sources;
    for (int run = 0; run < 3; ++run) {
        const std::string what = "seed " + std::to_string(seed) + " run " + std::to_string(run) + " sizes " +
                                 std::to_string(sourceCount) + "x" + std::to_string(rowCount);
        VectorLineList expectedLines, actualLines;
        const int expected = ReferenceCorrect(reference, static_cast<int32_t>(sources.size()), sources.data(), expectedLines);
        const int actual = correct(tested, static_cast<int32_t>(testedSources.size()), testedSources.data(), actualLines);
        ASSERT_EQ(expected, actual) << what;
        ExpectSameRows(reference, tested, what);
        ExpectSameSymbols(sources, testedSources, what);
        ASSERT_EQ(expectedLines.lines, actualLines.lines) << what;
    }
}

}  // namespace

TEST(CorrectionIndex, IndexedCorrectionKeepsTheScanResults) {
    struct Size { size_t sources, rows; };
    const Size sizes[] = {{40, 40}, {200, 60}, {60, 200}, {500, 500}, {1, 2000}, {2000, 3}};
    uint32_t seed = 1;
    for (Spread spread : {Spread::Wide, Spread::Narrow, Spread::Degenerate}) {
        for (const Size& size : sizes) {
            for (int repeat = 0; repeat < 8; ++repeat) {
                CompareRuns(Indexed, size.sources, size.rows, seed++, spread);
                if (HasFatalFailure()) return;
            }
        }
    }
}

TEST(CorrectionIndex, SmallInputsAndTheScanKeepTheResults) {
    uint32_t seed = 5000;
    for (Spread spread : {Spread::Wide, Spread::Narrow, Spread::Degenerate}) {
        for (int repeat = 0; repeat < 40; ++repeat) {
            CompareRuns(Indexed, 1 + seed % 12, 1 + seed % 7, seed, spread);  // below the indexing size
            CompareRuns(correction::CorrectNamesByScan, 150, 150, seed, spread);
            if (HasFatalFailure()) return;
            ++seed;
        }
    }
}

TEST(CorrectionIndex, LargeRealisticInputKeepsTheScanResults) {
    CompareRuns(Indexed, 3000, 3000, 99, Spread::Wide);
}

TEST(CorrectionIndex, NoSourcesOrNoTable) {
    GtmDocument noTable;
    VectorLineList lines;
    noTable.correctedCount = 7;
    EXPECT_EQ(noTable.CorrectNames(0, nullptr, lines), 0);
    EXPECT_EQ(noTable.correctedCount, 7);

    InputMaker maker(3, Spread::Wide);
    std::vector<WaypointRecord> sources;
    GtmDocument doc;
    maker.Make(0, 2000, sources, doc);
    EXPECT_EQ(doc.CorrectNames(0, nullptr, lines), 1);
    EXPECT_EQ(doc.correctedCount, 0);
    EXPECT_EQ(doc.waypoints[1999].altitudeMatches, 0);
}

// The index may count and cut windows by binary search only because both ends
// of a window grow with the source altitude: check that on every kind of
// float the altitudes can hold, including neighbours around the places where
// the tolerance changes its rule.
TEST(CorrectionIndex, WindowEndsGrowWithTheSourceAltitude) {
    auto check = [](float a, float b) {
        const double s1 = correction::CapAltitude(a), s2 = correction::CapAltitude(b);
        if (std::isnan(s1) || std::isnan(s2) || !(s1 <= s2)) return;
        const double up1 = s1 + correction::Tolerance(s1), up2 = s2 + correction::Tolerance(s2);
        const double down1 = s1 - correction::Tolerance(s1), down2 = s2 - correction::Tolerance(s2);
        ASSERT_LE(up1, up2) << a << " " << b;
        ASSERT_LE(down1, down2) << a << " " << b;
    };
    for (float start : {-1e-6f, 299.99f, 2999.99f, 9999.99f, -0.2f, 0.05f}) {
        float s = start;
        for (int k = 0; k < 200000; ++k) {
            const float next = std::nextafter(s, INFINITY);
            check(s, next);
            s = next;
        }
    }
    std::mt19937 rng(7);
    for (int k = 0; k < 1000000; ++k) {
        uint32_t bits = static_cast<uint32_t>(rng());
        float a;
        std::memcpy(&a, &bits, 4);
        const float b = std::nextafter(a, INFINITY);
        check(a, b);
        bits = static_cast<uint32_t>(rng());
        float c;
        std::memcpy(&c, &bits, 4);
        if (a <= c) check(a, c); else check(c, a);
        if (HasFatalFailure()) return;
    }
}

// Against every source one by one: the count of windows, and the candidates
// (in source order) with a name that passes any of the three comparisons.
TEST(CorrectionIndex, CountsAndCandidatesMatchAWalkOverEverySource) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        InputMaker maker(seed, seed % 3 == 0 ? Spread::Degenerate : seed % 3 == 1 ? Spread::Narrow : Spread::Wide);
        std::vector<WaypointRecord> sources;
        GtmDocument doc;
        maker.Make(300, 300, sources, doc);
        CorrectionIndex index;
        ASSERT_EQ(index.Build(static_cast<int32_t>(sources.size()), sources.data()), 1);
        for (int32_t i = 0; i < doc.waypointCount; ++i) {
            const GtmWaypoint& row = doc.waypoints[i];
            const double gtm = correction::CapAltitude(row.altitude);
            const size_t n = correction::TrimmedLength(row.name);
            std::vector<int32_t> visited;
            index.ForEachCandidate(row.name, n, gtm, [&](int32_t j) { visited.push_back(j); });

            int32_t inWindow = 0;
            std::vector<int32_t> keyed;
            for (int32_t j = 0; j < static_cast<int32_t>(sources.size()); ++j) {
                if (!RefWindow(gtm, RefCap(sources[j].altitude))) continue;
                ++inWindow;
                const std::string_view name = FieldText(sources[j].name, sizeof sources[j].name);
                if (name.size() != n) continue;
                bool a = true, b = true, c = true;
                for (size_t k = 0; k < n; ++k) {
                    const auto w = static_cast<unsigned char>(name[k]);
                    const auto g = static_cast<unsigned char>(row.name[k]);
                    const unsigned char masked = w >= 0x80 ? 0 : w;
                    a = a && RefUpper(w) == RefUpper(g);
                    b = b && masked == g;
                    c = c && RefUpper(masked) == RefUpper(g);
                }
                const bool sameKey = correction::MakeNameKey(name.data(), n) == correction::MakeNameKey(row.name, n);
                if (a || b || c) {
                    ASSERT_TRUE(sameKey) << "a match outside the key, seed " << seed << " row " << i;
                }
                if (sameKey) keyed.push_back(j);
            }
            ASSERT_EQ(index.CountWithinWindow(gtm), inWindow) << "seed " << seed << " row " << i;
            ASSERT_EQ(visited, keyed) << "seed " << seed << " row " << i;
        }
    }
}

TEST(CorrectionIndex, NanAltitudesPassEveryWindow) {
    std::vector<WaypointRecord> sources(40);
    for (size_t j = 0; j < sources.size(); ++j) {
        sources[j].name[0] = 'A';
        sources[j].altitude = j % 4 == 0 ? NAN : static_cast<float>(j * 100);
    }
    CorrectionIndex index;
    ASSERT_EQ(index.Build(static_cast<int32_t>(sources.size()), sources.data()), 1);
    EXPECT_EQ(index.CountWithinWindow(NAN), 40);
    EXPECT_EQ(index.CountWithinWindow(500.0), 10 + 1);  // the NaN sources and the one at 500
    std::vector<int32_t> visited;
    index.ForEachCandidate("a         ", 1, NAN, [&](int32_t j) { visited.push_back(j); });
    EXPECT_EQ(visited.size(), 40u);
    visited.clear();
    index.ForEachCandidate("A         ", 1, 500.0, [&](int32_t j) { visited.push_back(j); });
    EXPECT_EQ(visited, (std::vector<int32_t>{0, 4, 5, 8, 12, 16, 20, 24, 28, 32, 36}));
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"
#include "sources/ListLines.h"
#include "sources/NameField.h"

namespace {

using correction::CorrectionIndex;

// ---- The reference: every source for every GTM waypoint, in order ----------

double RefCap(float altitude) { return altitude > 10000.0 ? 0.0 : altitude; }

bool RefWindow(double gtm, double source) {
    const double tolerance = std::max(source * (1.0 / 3000.0), 0.1);
    return gtm == source || !(source + tolerance < gtm || source - tolerance > gtm);
}

unsigned char RefUpper(unsigned char b) { return b >= 'a' && b <= 'z' ? b - 0x20 : b; }

// The three name comparisons of a source name with a GTM name of n bytes:
// equal but for letter case; equal once the source's bytes of 0x80 and above
// are 0; both at once.
std::tuple<bool, bool, bool> RefCompare(std::string_view source, const char* gtm, size_t n) {
    bool caseless = source.size() == n, masked = caseless, both = caseless;
    for (size_t k = 0; k < n && source.size() == n; ++k) {
        const auto w = static_cast<unsigned char>(source[k]), g = static_cast<unsigned char>(gtm[k]);
        const unsigned char zeroed = w >= 0x80 ? 0 : w;
        caseless = caseless && RefUpper(w) == RefUpper(g);
        masked = masked && zeroed == g;
        both = both && RefUpper(zeroed) == RefUpper(g);
    }
    return {caseless, masked, both};
}

int ReferenceCorrect(GtmDocument& doc, int32_t sourceCount, WaypointRecord* sources, LineList& list) {
    if (!doc.waypoints) return 0;
    doc.correctedCount = 0;
    if (!sources) sourceCount = 0;
    for (int32_t i = 0; i < doc.waypointCount; ++i) {
        GtmWaypoint& row = doc.waypoints[i];
        const double gtm = RefCap(row.altitude);
        row.altitudeMatches = row.caselessMatches = row.maskedMatches = row.maskedCaselessMatches = 0;
        std::memset(row.newName, 0, sizeof row.newName);
        size_t n = 10;
        while (n > 0 && row.name[n - 1] == ' ') --n;
        int32_t chosen = -1;
        for (int32_t j = 0; j < sourceCount; ++j) {
            if (!RefWindow(gtm, RefCap(sources[j].altitude))) continue;
            ++row.altitudeMatches;
            const std::string_view name = FieldText(sources[j].name, sizeof sources[j].name);
            const auto [caseless, masked, both] = RefCompare(name, row.name, n);
            bool take = false;
            if (caseless) {
                ++row.caselessMatches;
                take = true;
            }
            if (masked) {
                ++row.maskedMatches;
                const bool taken = chosen != -1 && sources[chosen].symbol == kTakenMarker;
                take |= row.caselessMatches == 0 && (row.maskedMatches == 1 || j == i || taken);
            }
            if (both) {
                ++row.maskedCaselessMatches;
                const bool first = row.maskedMatches == 0 && row.maskedCaselessMatches == 1;
                take |= row.caselessMatches == 0 && (first || j == i);
            }
            if (take) {
                StoreName(row.newName, sizeof row.newName, name);
                chosen = j;
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

    // Sources and GTM rows; the GTM rows follow the sources' order loosely.
    void Make(size_t sourceCount, size_t rowCount, std::vector<WaypointRecord>& sources, GtmDocument& doc) {
        sources.assign(sourceCount, WaypointRecord{});
        std::vector<std::string> names;
        for (WaypointRecord& r : sources) {
            const std::string& name = names.emplace_back(SourceName());
            if (Chance(2)) std::memset(r.name, 'A', sizeof r.name);  // 12 bytes without a NUL
            else std::memcpy(r.name, name.data(), std::min(name.size(), sizeof r.name - 1));
            r.altitude = SourceAltitude();
            r.symbol = Chance(5) ? kTakenMarker : static_cast<int16_t>(Below(20));
        }
        doc.waypointCount = static_cast<int32_t>(rowCount);
        doc.waypoints.reset(new GtmWaypoint[rowCount]());
        for (size_t i = 0; i < rowCount; ++i) {
            GtmWaypoint& row = doc.waypoints[i];
            const bool samePosition = i < sourceCount && Chance(50);
            std::memcpy(row.name, GtmName(samePosition ? std::vector<std::string>{names[i]} : names).data(), 10);
            row.altitude = samePosition && Chance(60) ? sources[i].altitude : GtmAltitude(sources);
        }
    }

private:
    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng_); }
    bool Chance(uint32_t percent) { return Below(100) < percent; }

    float SourceAltitude() {
        static const float kSpecial[] = {0.0f,    -0.0f,    5.0f,     299.9f,   300.0f,   300.1f,  1234.5f,
                                         2999.0f, 3000.0f,  3001.0f,  -50.0f,   -0.1f,    9999.0f, 10000.0f,
                                         10000.5f, 10001.0f, NAN,     -INFINITY, 3e38f};
        if (spread_ == Spread::Degenerate) return Chance(90) ? 1500.0f : kSpecial[Below(std::size(kSpecial))];
        if (Chance(spread_ == Spread::Narrow ? 70 : 15)) return kSpecial[Below(std::size(kSpecial))];
        const float range = spread_ == Spread::Narrow ? 20.0f : 4000.0f;
        const float base = spread_ == Spread::Narrow ? 2990.0f : -100.0f;
        return base + range * static_cast<float>(Below(100000)) / 100000.0f;
    }

    // A GTM altitude: often on or next to the edge of some source's window,
    // sometimes above the cap.
    float GtmAltitude(const std::vector<WaypointRecord>& sources) {
        if (sources.empty() || Chance(10)) return SourceAltitude();
        const double s = correction::CapAltitude(sources[Below(static_cast<uint32_t>(sources.size()))].altitude);
        if (std::isnan(s) || Chance(20)) return static_cast<float>(s);
        const double t = correction::Tolerance(s);
        float edge = static_cast<float>(Chance(50) ? s + t : s - t);
        const int steps = static_cast<int>(Below(5)) - 2;
        for (int k = 0; k < std::abs(steps); ++k) edge = std::nextafter(edge, steps > 0 ? INFINITY : -INFINITY);
        return Chance(5) ? edge + 10000.0f : edge;
    }

    // A name of ASCII letters, digits, blanks and Big5 characters, some of
    // whose trail bytes are ASCII letters.
    std::string SourceName() {
        static const unsigned char kLead[] = {0xA4, 0xA5};
        static const unsigned char kTrail[] = {0xA4, 0xF6, 0x61, 0x41, 0x40};
        static const char kAscii[] = {'a', 'A', 'b', 'B', '1', ' ', 'z'};
        const size_t chars = spread_ == Spread::Degenerate ? 2 : Below(7);
        std::string name;
        for (size_t c = 0; c < chars && name.size() < 12; ++c) {
            if (Chance(spread_ == Spread::Degenerate ? 90 : 50)) {
                name += static_cast<char>(kLead[Below(2)]);
                name += static_cast<char>(kTrail[Below(spread_ == Spread::Wide ? 5 : 2)]);
            } else {
                name += kAscii[Below(spread_ == Spread::Wide ? 7 : 3)];
            }
        }
        return name;
    }

    // A GTM name made from a source name as a damaged file holds it (bytes
    // of 0x80 and above zeroed, letters in another case), or at random.
    std::string GtmName(const std::vector<std::string>& sourceNames) {
        std::string name = sourceNames.empty() || Chance(10)
                               ? SourceName()
                               : sourceNames[Below(static_cast<uint32_t>(sourceNames.size()))];
        const bool mask = Chance(70);
        for (char& c : name) {
            const auto b = static_cast<unsigned char>(c);
            if (b >= 0x80 && mask) c = '\0';
            else if (b >= 'a' && b <= 'z' && Chance(30)) c = static_cast<char>(b - 0x20);
            else if (b >= 'A' && b <= 'Z' && Chance(30)) c = static_cast<char>(b + 0x20);
        }
        name.resize(std::min<size_t>(name.size(), 10));
        name.resize(10, Chance(10) ? '\0' : ' ');
        return name;
    }

    std::mt19937 rng_;
    Spread spread_;
};

constexpr Spread kSpreads[] = {Spread::Wide, Spread::Narrow, Spread::Degenerate};

// What a correction leaves in every row: the four counters and the new name.
std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t, std::string>> Outcome(const GtmDocument& doc) {
    std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t, std::string>> rows;
    for (int32_t i = 0; i < doc.waypointCount; ++i) {
        const GtmWaypoint& w = doc.waypoints[i];
        rows.emplace_back(w.altitudeMatches, w.caselessMatches, w.maskedMatches, w.maskedCaselessMatches,
                          std::string(w.newName, sizeof w.newName));
    }
    return rows;
}

std::vector<int16_t> Symbols(const std::vector<WaypointRecord>& sources) {
    std::vector<int16_t> symbols;
    for (const WaypointRecord& r : sources) symbols.push_back(r.symbol);
    return symbols;
}

using Correct = int (*)(GtmDocument&, int32_t, WaypointRecord*, LineList&);

int Indexed(GtmDocument& doc, int32_t count, WaypointRecord* sources, LineList& list) {
    return doc.CorrectNames(count, sources, list);
}

// Runs the reference and the correction under test three times each on
// copies of the same input: the markers of one run carry into the next.
void CompareRuns(Correct correct, size_t sourceCount, size_t rowCount, uint32_t seed, Spread spread) {
    std::vector<WaypointRecord> sources;
    GtmDocument reference, tested;
    InputMaker(seed, spread).Make(sourceCount, rowCount, sources, reference);
    tested.waypointCount = reference.waypointCount;
    tested.waypoints.reset(new GtmWaypoint[rowCount]);
    std::copy_n(reference.waypoints.get(), rowCount, tested.waypoints.get());
    std::vector<WaypointRecord> testedSources = sources;
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " run " << run << ", " << sourceCount << "x" << rowCount);
        VectorLineList expectedLines, actualLines;
        ASSERT_EQ(ReferenceCorrect(reference, static_cast<int32_t>(sources.size()), sources.data(), expectedLines),
                  correct(tested, static_cast<int32_t>(testedSources.size()), testedSources.data(), actualLines));
        ASSERT_EQ(reference.correctedCount, tested.correctedCount);
        ASSERT_EQ(Outcome(reference), Outcome(tested));
        ASSERT_EQ(Symbols(sources), Symbols(testedSources));
        ASSERT_EQ(expectedLines.lines, actualLines.lines);
    }
}

}  // namespace

TEST(CorrectionIndex, KeepsThePlainLoopsResultsOnRandomInputs) {
    // The indexed correction at sizes where it indexes.
    const std::pair<size_t, size_t> sizes[] = {{40, 40}, {200, 60}, {60, 200}, {500, 500}, {1, 2000}, {2000, 3}};
    uint32_t seed = 1;
    for (Spread spread : kSpreads) {
        for (const auto& [sources, rows] : sizes) {
            for (int repeat = 0; repeat < 8; ++repeat) {
                CompareRuns(Indexed, sources, rows, seed++, spread);
                if (HasFatalFailure()) return;
            }
        }
    }
    // Below the indexing size, and the plain scan the correction falls back on.
    seed = 5000;
    for (Spread spread : kSpreads) {
        for (int repeat = 0; repeat < 40; ++repeat, ++seed) {
            CompareRuns(Indexed, 1 + seed % 12, 1 + seed % 7, seed, spread);
            CompareRuns(correction::CorrectNamesByScan, 150, 150, seed, spread);
            if (HasFatalFailure()) return;
        }
    }
    CompareRuns(Indexed, 3000, 3000, 99, Spread::Wide);  // large and realistic
    CompareRuns(Indexed, 0, 2000, 3, Spread::Wide);      // no sources
}

// The index may count and cut windows by binary search only because both ends
// of a window grow with the source altitude: check that on every kind of
// float the altitudes can hold, including neighbours around the places where
// the tolerance changes its rule.
TEST(CorrectionIndex, WindowEndsGrowWithTheSourceAltitude) {
    auto check = [](float a, float b) {
        const double s1 = correction::CapAltitude(std::min(a, b)), s2 = correction::CapAltitude(std::max(a, b));
        if (std::isnan(s1) || std::isnan(s2) || !(s1 <= s2)) return;
        ASSERT_LE(s1 + correction::Tolerance(s1), s2 + correction::Tolerance(s2)) << a << " " << b;
        ASSERT_LE(s1 - correction::Tolerance(s1), s2 - correction::Tolerance(s2)) << a << " " << b;
    };
    for (float s : {-1e-6f, 299.99f, 2999.99f, 9999.99f, -0.2f, 0.05f}) {
        for (int k = 0; k < 200000; ++k, s = std::nextafter(s, INFINITY)) check(s, std::nextafter(s, INFINITY));
    }
    std::mt19937 rng(7);
    auto randomFloat = [&rng] {
        const auto bits = static_cast<uint32_t>(rng());
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    };
    for (int k = 0; k < 1000000 && !HasFatalFailure(); ++k) {
        const float a = randomFloat();
        check(a, std::nextafter(a, INFINITY));
        check(a, randomFloat());
    }
}

// Against every source one by one: the count of windows, and the candidates
// (in source order) with a name that passes any of the three comparisons.
TEST(CorrectionIndex, CountsAndCandidatesMatchAWalkOverEverySource) {
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        std::vector<WaypointRecord> sources;
        GtmDocument doc;
        InputMaker(seed, kSpreads[2 - seed % 3]).Make(300, 300, sources, doc);
        CorrectionIndex index;
        ASSERT_EQ(index.Build(static_cast<int32_t>(sources.size()), sources.data()), 1);
        for (int32_t i = 0; i < doc.waypointCount; ++i) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " row " << i);
            const GtmWaypoint& row = doc.waypoints[i];
            const double gtm = correction::CapAltitude(row.altitude);
            const size_t n = correction::TrimmedLength(row.name);
            std::vector<int32_t> visited, keyed;
            index.ForEachCandidate(row.name, n, gtm, [&](int32_t j) { visited.push_back(j); });
            int32_t inWindow = 0;
            for (int32_t j = 0; j < static_cast<int32_t>(sources.size()); ++j) {
                if (!RefWindow(gtm, RefCap(sources[j].altitude))) continue;
                ++inWindow;
                const std::string_view name = FieldText(sources[j].name, sizeof sources[j].name);
                const auto [caseless, masked, both] = RefCompare(name, row.name, n);
                const bool sameKey =
                    name.size() == n && correction::MakeNameKey(name.data(), n) == correction::MakeNameKey(row.name, n);
                ASSERT_TRUE(sameKey || !(caseless || masked || both)) << "a match outside the key";
                if (sameKey) keyed.push_back(j);
            }
            ASSERT_EQ(index.CountWithinWindow(gtm), inWindow);
            ASSERT_EQ(visited, keyed);
        }
    }
}

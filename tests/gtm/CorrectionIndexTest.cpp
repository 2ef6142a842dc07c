// The indexed correction against the plain scan it replaces: on random inputs
// crowded with equal names and window edges, three runs each (the markers of
// one run carry into the next) must leave the same rows, markers and lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"

namespace {

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

std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t, std::string>> Outcome(const GtmDocument& doc) {
    std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t, std::string>> rows;
    for (int32_t i = 0; i < doc.waypointCount; ++i) {
        const GtmWaypoint& w = doc.waypoints[i];
        rows.emplace_back(w.altitudeMatches, w.caselessMatches, w.maskedMatches, w.maskedCaselessMatches,
                          std::string(w.newName, sizeof w.newName));
    }
    return rows;
}

void CompareRuns(size_t sourceCount, size_t rowCount, uint32_t seed, Spread spread) {
    std::vector<WaypointRecord> sources;
    GtmDocument scanned, indexed;
    InputMaker(seed, spread).Make(sourceCount, rowCount, sources, scanned);
    indexed.waypointCount = scanned.waypointCount;
    indexed.waypoints.reset(new GtmWaypoint[rowCount]);
    std::copy_n(scanned.waypoints.get(), rowCount, indexed.waypoints.get());
    std::vector<WaypointRecord> indexedSources = sources;
    const auto count = static_cast<int32_t>(sources.size());
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " run " << run << ", " << sourceCount << "x" << rowCount);
        VectorLineList expected, actual;
        ASSERT_EQ(correction::CorrectNamesByScan(scanned, count, sources.data(), expected), 1);
        ASSERT_EQ(indexed.CorrectNames(count, indexedSources.data(), actual), 1);
        ASSERT_EQ(scanned.correctedCount, indexed.correctedCount);
        ASSERT_EQ(Outcome(scanned), Outcome(indexed));
        for (size_t j = 0; j < sources.size(); ++j) ASSERT_EQ(sources[j].symbol, indexedSources[j].symbol) << j;
        ASSERT_EQ(expected.lines, actual.lines);
    }
}

}  // namespace

TEST(CorrectionIndex, GivesTheScansResultsOnRandomInputs) {
    const std::pair<size_t, size_t> sizes[] = {{40, 40}, {200, 60}, {60, 200}, {500, 500}, {1, 2000}, {2000, 3}};
    uint32_t seed = 1;
    for (Spread spread : {Spread::Wide, Spread::Narrow, Spread::Degenerate}) {
        for (const auto& [sources, rows] : sizes) {
            for (int repeat = 0; repeat < 4 && !HasFatalFailure(); ++repeat) CompareRuns(sources, rows, seed++, spread);
        }
    }
    CompareRuns(3000, 3000, 99, Spread::Wide);  // large and realistic
    CompareRuns(0, 2000, 3, Spread::Wide);      // no sources
}

// The indexed correction against the plain scan it replaces: on random inputs
// crowded with equal names, alike altitudes and window edges, three runs each
// (the markers of one run carry into the next) must leave the same rows,
// markers and lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>

#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"

namespace {

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
        std::vector<std::string> names;
        sources.resize(sourceCount, WaypointRecord{});
        for (WaypointRecord& r : sources) {
            std::string& name = names.emplace_back();
            for (size_t c = crowd == 2 ? 2 : Below(7); c > 0; --c) {
                if (Chance(crowd == 2 ? 90 : 50))
                    name += {"\xA4\xA5\x80"[Below(crowd ? 2 : 3)], "\xA4\x61\x41\xF6\x40"[Below(crowd ? 2 : 5)]};
                else name += "aAbB1 z"[Below(crowd ? 3 : 7)];
            }
            if (Chance(2)) std::memset(r.name, 'A', sizeof r.name);  // 12 bytes without a NUL
            else std::memcpy(r.name, name.data(), std::min(name.size(), sizeof r.name - 1));
            r.altitude = altitude();
            r.symbol = Chance(5) ? kTakenMarker : static_cast<int16_t>(Below(20));
        }
        // Rows made from sources as a damaged file holds them: Chinese bytes
        // zero, letters in another case, altitudes on or next to a window's edge.
        document.waypointCount = static_cast<int32_t>(rowCount);
        document.waypoints.reset(new GtmWaypoint[rowCount]());
        for (size_t i = 0; i < rowCount; ++i) {
            const size_t from = i < sourceCount && Chance(50) ? i : sourceCount ? Below(sourceCount) : 0;
            std::string name = sourceCount && Chance(90) ? names[from] : "a\xA4\xA4";
            const bool mask = Chance(70);
            for (char& c : name) {
                const auto b = static_cast<unsigned char>(c);
                if (b >= 0x80 && mask) c = '\0';
                else if (std::isalpha(b) && Chance(30)) c = static_cast<char>(b ^ 0x20);
            }
            name.resize(std::min<size_t>(name.size(), 10));
            name.resize(10, Chance(10) ? '\0' : ' ');
            std::memcpy(document.waypoints[i].name, name.data(), 10);
            float a = sourceCount && Chance(90) ? sources[from].altitude : altitude();
            const double s = correction::CapAltitude(a);
            if (!std::isnan(s) && Chance(80)) {
                a = static_cast<float>(Chance(50) ? s + correction::Tolerance(s) : s - correction::Tolerance(s));
                for (int k = static_cast<int>(Below(5)) - 2; k != 0; k += k > 0 ? -1 : 1) a = std::nextafter(a, k > 0 ? INFINITY : -INFINITY);
                if (Chance(5)) a += 10000.0f;
            }
            document.waypoints[i].altitude = a;
        }
    }
    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); }
    bool Chance(size_t percent) { return Below(100) < percent; }

    // One run, by the scan or the index; all it leaves: the lines, each row's
    // counts and new name, and the sources' symbols (the taken markers).
    std::string Run(bool indexed) {
        VectorLineList lines;
        const auto count = static_cast<int32_t>(sources.size());
        EXPECT_EQ(indexed ? document.CorrectNames(count, sources.data(), lines)
                          : correction::CorrectNamesByScan(document, count, sources.data(), lines), 1);
        std::ostringstream out;
        for (const std::string& line : lines.lines) out << line << '\n';
        out << document.correctedCount << " corrected\n";
        for (int32_t i = 0; i < document.waypointCount; ++i) {
            const GtmWaypoint& w = document.waypoints[i];
            out << i << ": " << w.altitudeMatches << ' ' << w.caselessMatches << ' ' << w.maskedMatches << ' '
                << w.maskedCaselessMatches << ' ' << w.newName << '\n';
        }
        for (const WaypointRecord& r : sources) out << r.symbol << ' ';
        return out.str();
    }

    std::mt19937 rng;
    std::vector<WaypointRecord> sources;
    GtmDocument document;
};

}  // namespace

TEST(CorrectionIndex, GivesTheScansResultsOnRandomInputs) {
    const std::pair<size_t, size_t> sizes[] = {{40, 40}, {200, 60}, {60, 200}, {500, 500}, {1, 2000}, {2000, 3}};
    uint32_t seed = 1;
    auto compare = [&](size_t sources, size_t rows, int crowd) {
        Inputs scanned(seed, crowd, sources, rows), indexed(seed, crowd, sources, rows);
        for (int run = 0; run < 3; ++run) ASSERT_EQ(scanned.Run(false), indexed.Run(true)) << "seed " << seed << " run " << run;
        ++seed;
    };
    for (int crowd : {0, 1, 2}) {
        for (const auto& [sources, rows] : sizes)
            for (int repeat = 0; repeat < 4 && !HasFatalFailure(); ++repeat) compare(sources, rows, crowd);
    }
    seed = 99;
    compare(3000, 3000, 0);  // large and realistic
}

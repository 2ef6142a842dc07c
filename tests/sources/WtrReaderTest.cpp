// The WTR reader, and the choice of reader by the file's extension.
#include <gtest/gtest.h>

#include <tuple>

#include "sources/mapsource/MapSourceBuilder.h"
#include "support/FormatBuilders.h"

using namespace std::string_literals;
using mstest::Loaded;

TEST(WtrReader, ReadsWaypointsAndTrack) {
    // A lone lead byte in tenth place stays; an altitude above 9999 is 0.
    const Loaded loaded(".wtr", WtrBuilder()
                                    .waypoint({"\xA4\xA4" "AB", 123456, -654321, 5.4f, 7})
                                    .waypoint({"ABCDEFGHI\xA4", 1, 2, 9999.5f, 8})
                                    .track("Walk", {{10, 20, 0, 1.5f}, {30, 40, 57599, 2.5f}})
                                    .build());
    ASSERT_EQ(loaded.result, 1);
    const WaypointRecord& w = loaded.Waypoint(0);
    EXPECT_EQ(std::tuple(loaded.Name(0), w.latitude, w.longitude, w.symbol),
              std::tuple("\xA4\xA4" "AB"s, 123456, -654321, 7));
    EXPECT_EQ(std::tuple(loaded.Name(1), loaded.Waypoint(1).altitude), std::tuple("ABCDEFGHI\xA4"s, 0.0f));
    EXPECT_EQ(loaded.waypointLines.lines, (std::vector<std::string>{"\xA4\xA4" "AB   5", "ABCDEFGHI\xA4   0"}));
    EXPECT_EQ(loaded.trackLines.lines, std::vector<std::string>{"Walk (2)"});
    const TrackPoint& p = loaded.Point(0, 1);
    EXPECT_EQ(std::tuple(p.latitude, p.longitude, p.time, p.altitude, p.hour, p.minute, p.second),
              std::tuple(30, 40, 57599u, 2.5f, 23, 59, 59));
}

TEST(WtrReader, TrackNameRunsUpToANulOr32Bytes) {
    // No NUL in the 16 bytes before the points: the name runs on, over the
    // route marker too, 32 bytes in all, stored cut at a whole character.
    const std::string n16(16, 'N'), route = "\xFFRte\xFF", x9(9, 'x');
    for (const auto& [after, result, name, points] : {
             std::tuple(n16 + route + x9 + "\xA4" "x", 1, n16 + route + x9, 0),
             std::tuple(n16 + route + x9 + "\xA4", 0, std::string(), 0),  // the file ends inside the 32 bytes
             std::tuple(n16 + std::string(21, 'P') + route, 1, n16 + std::string(15, 'P'), 1),  // a point of letters
         }) {
        std::vector<uint8_t> file = WtrBuilder().waypoint("A", 1).track("", {}).build();
        file.resize(16 + 64 + 34);
        file.insert(file.end(), after.begin(), after.end());
        const Loaded loaded(".wtr", file);
        ASSERT_EQ(loaded.result, result) << after;
        if (!result) continue;
        EXPECT_EQ(std::tuple(loaded.TrackName(0), loaded.source->tracks[0].pointCount), std::tuple(name, points));
    }
}

TEST(ReaderSelection, ByExtensionIgnoringCase) {
    const std::pair<const char*, const char*> rows[] = {
        {"a/b.WTR", "wtr"}, {"b.Wtr", "wtr"}, {"x.evo", "evo"}, {"x.MPS", "mps"}, {"x.gdb", "gdb"}, {"a\\B.GpX", "gpx"},
        {"dir/.wtr", "wtr"}, {"b.wtr.bak", ""}, {"folder.wtr/file", ""}, {"folder.wtr\\file", ""}, {"noextension", ""}, {"", ""},
    };
    for (const auto& [path, kind] : rows) {
        auto source = CreateWaypointSource(path);
        EXPECT_EQ(source ? source->Kind() : "", std::string(kind)) << path;
    }
    EXPECT_EQ(PathExtension("a/b.c.Gtm"), ".Gtm");
}

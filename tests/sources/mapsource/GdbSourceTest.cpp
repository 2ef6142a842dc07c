#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "sources/NameField.h"
#include "sources/mapsource/GdbSource.h"
#include "MapSourceBuilder.h"

using namespace mstest;

namespace {

// A ".gdb" file: the head, then the records in the order given.
struct GdbFile {
    ByteBuilder file;
    explicit GdbFile(uint16_t version = 609, std::string_view program = "MapSource") : file(GdbHead(version, program)) {}
    GdbFile& W(const GdbWaypoint& w) { AppendRecord(file, 'W', w.Body()); return *this; }
    GdbFile& T(const GdbTrack& t) { AppendRecord(file, 'T', t.Body()); return *this; }
    GdbFile& Record(char type, const std::vector<uint8_t>& body) { AppendRecord(file, type, body); return *this; }
};

struct GdbResult {
    GdbSource source;
    VectorLineList waypointLines;
    VectorLineList trackLines;
    int result = 0;

    std::string Name(int i) const { return std::string(FieldText(source.waypoints[i].name, 12)); }
    std::string TrackName(int k) const { return std::string(FieldText(source.tracks[k].name, 32)); }
};

std::unique_ptr<GdbResult> Load(const GdbFile& gdb, bool withTrackList = true) {
    auto loaded = std::make_unique<GdbResult>();
    loaded->result = LoadBytes(loaded->source, gdb.file.bytes(), &loaded->waypointLines,
                               withTrackList ? &loaded->trackLines : nullptr, ".gdb");
    return loaded;
}

}  // namespace

TEST(GdbSource, WaypointFieldsWithAndWithoutOptionalFields) {
    GdbWaypoint plain;
    plain.name = "PLAIN";
    plain.latitude = 606990317;
    plain.longitude = -148342070;
    plain.symbol = 63;
    GdbWaypoint high = plain;
    high.name = "HIGH";
    high.altitude = 3886.2;
    high.thirdText = "a comment";
    GdbWaypoint flagged = high;
    flagged.name = "FLAGGED";
    flagged.flaggedValue = true;
    flagged.symbol = -2;

    auto loaded = Load(GdbFile().W(plain).W(high).W(flagged));
    ASSERT_EQ(loaded->result, 1);
    ASSERT_EQ(loaded->source.waypointCount, 3);
    const WaypointRecord* w = loaded->source.waypoints.get();
    EXPECT_EQ(loaded->Name(0), "PLAIN");
    EXPECT_EQ(w[0].latitude, 606990317);
    EXPECT_EQ(w[0].longitude, -148342070);
    EXPECT_EQ(w[0].altitude, 0.0f);
    EXPECT_EQ(w[0].symbol, 63);
    EXPECT_EQ(w[1].altitude, 3886.2f);
    EXPECT_EQ(w[1].symbol, 63);
    EXPECT_EQ(w[2].altitude, 3886.2f);
    EXPECT_EQ(w[2].symbol, -2);
    EXPECT_EQ(loaded->waypointLines.lines, (std::vector<std::string>{"PLAIN   0", "HIGH 3886", "FLAGGED 3886"}));
}

TEST(GdbSource, WaypointLinesShowAltitudesAbove9999AsZero) {
    struct Case {
        double altitude;
        float stored;
        const char* line;
    };
    const Case cases[] = {
        {123.4, 123.4f, "A 123"},   {9999.0, 9999.0f, "A 9999"}, {9999.5, 9999.5f, "A   0"},
        {-12.6, -12.6f, "A -13"},   {5.4, 5.4f, "A   5"},        {1e300, HUGE_VALF, "A   0"},
    };
    for (const Case& c : cases) {
        GdbWaypoint w;
        w.name = "A";
        w.altitude = c.altitude;
        auto loaded = Load(GdbFile().W(w));
        ASSERT_EQ(loaded->result, 1);
        EXPECT_EQ(loaded->source.waypoints[0].altitude, c.stored);
        EXPECT_EQ(loaded->waypointLines.lines.at(0), c.line);
    }
}

TEST(GdbSource, LongNamesAreCutAfterTheLastWholeCharacter) {
    GdbWaypoint ascii;
    ascii.name = "Altenburg-Umgehung";
    GdbWaypoint big5;
    big5.name = "AB\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4";  // 12 bytes
    GdbTrack track;
    track.name = std::string(40, 'T');
    auto loaded = Load(GdbFile().W(ascii).W(big5).T(track));
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->Name(0), "Altenburg-U");
    EXPECT_EQ(loaded->Name(1), "AB\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4");
    EXPECT_EQ(loaded->TrackName(0), std::string(31, 'T'));
    EXPECT_EQ(loaded->waypointLines.lines.at(0), "Altenburg-U   0");
}

TEST(GdbSource, NamesAreUtf8FromVersion612AndInBaseCampFiles) {
    struct Case {
        uint16_t version;
        const char* program;
        const char* name;
    };
    const Case cases[] = {
        {611, "MapSource", "\xE4\xB8\xAD"},  // copied byte for byte
        {612, "MapSource", "\xA4\xA4"},
        {0xFFFF, "MapSource", "\xA4\xA4"},
        {408, "MapSource", "\xE4\xB8\xAD"},
        {408, "BaseCamp", "\xA4\xA4"},
        {0, "BaseCamp", "\xA4\xA4"},
    };
    for (const Case& c : cases) {
        GdbWaypoint w;
        w.name = "\xE4\xB8\xAD";
        GdbTrack t;
        t.name = "\xE4\xB8\xAD";
        auto loaded = Load(GdbFile(c.version, c.program).W(w).T(t));
        ASSERT_EQ(loaded->result, 1) << c.version << c.program;
        EXPECT_EQ(loaded->Name(0), c.name) << c.version << c.program;
        EXPECT_EQ(loaded->TrackName(0), "\xE4\xB8\xAD");  // track names are never converted
    }
}

TEST(GdbSource, WaypointBodyNeedsNothingAfterTheSymbol) {
    // Bodies MapSource writes for plain waypoints (the full set of fields after
    // the symbol), bodies that end with the symbol, and bodies whose fields
    // after the symbol take another form (city and facility texts) read alike.
    GdbWaypoint full;
    full.name = "FULL";
    full.latitude = 1;
    full.longitude = 2;
    full.altitude = 10.5;
    full.symbol = 7;
    GdbWaypoint bare = full;
    bare.fixedTail = false;
    GdbWaypoint cityFacility = full;
    cityFacility.fixedTail = false;
    cityFacility.extra = ByteBuilder().fill(3).cstr("").u16(0).u8(1).text("Leipzig").bytes();  // no NUL: runs off

    for (const GdbWaypoint& w : {full, bare, cityFacility}) {
        auto loaded = Load(GdbFile().W(w));
        ASSERT_EQ(loaded->result, 1);
        const WaypointRecord& r = loaded->source.waypoints[0];
        EXPECT_EQ(loaded->Name(0), "FULL");
        EXPECT_EQ(r.latitude, 1);
        EXPECT_EQ(r.longitude, 2);
        EXPECT_EQ(r.altitude, 10.5f);
        EXPECT_EQ(r.symbol, 7);
    }

    // One byte short of the symbol fails the record, and with it the load.
    std::vector<uint8_t> body = bare.Body();
    body.pop_back();
    auto loaded = Load(GdbFile().Record('W', body));
    EXPECT_EQ(loaded->result, 0);
}

TEST(GdbSource, EveryWaypointFieldUpToTheSymbolMustFit) {
    GdbWaypoint w;
    w.altitude = 1.0;
    w.flaggedValue = true;
    w.fixedTail = false;
    const std::vector<uint8_t> body = w.Body();
    for (size_t length = 1; length < body.size(); ++length) {
        std::vector<uint8_t> cut(body.begin(), body.begin() + static_cast<long>(length));
        auto loaded = Load(GdbFile().Record('W', cut));
        EXPECT_EQ(loaded->result, 0) << length;
        EXPECT_EQ(loaded->source.waypointCount, 0);
    }
}

TEST(GdbSource, ClassicTrackBodiesKeepTheirPoints) {
    GdbTrack track;
    track.name = "ACTIVE LOG 001";
    track.points = {GdbPoint::Classic(610076113, 148160530, 146.26, 0),
                    GdbPoint::Classic(-1, -2, -3.5, 57600), GdbPoint::Classic(3, 4, 0, 86399)};
    GdbTrack empty;
    empty.name = "EMPTY";
    auto loaded = Load(GdbFile().W(GdbWaypoint{}).T(track).T(empty));
    ASSERT_EQ(loaded->result, 1);
    ASSERT_EQ(loaded->source.trackCount, 2);
    const TrackRecord& t = loaded->source.tracks[0];
    ASSERT_EQ(t.pointCount, 3);
    EXPECT_EQ(t.points[0].latitude, 610076113);
    EXPECT_EQ(t.points[0].longitude, 148160530);
    EXPECT_EQ(t.points[0].altitude, 146.26f);
    EXPECT_DOUBLE_EQ(t.points[0].latitudeDegrees, 610076113 * 8.381903202764329e-8);
    EXPECT_EQ(t.points[0].hour, 8);
    EXPECT_EQ(t.points[1].longitudeDegrees, -2 * 8.381903202764329e-8);
    EXPECT_EQ(t.points[1].time, 57600u);
    EXPECT_EQ(t.points[1].hour, 0);
    EXPECT_EQ(t.points[2].hour, 7);
    EXPECT_EQ(t.points[2].minute, 59);
    EXPECT_EQ(t.points[2].second, 59);
    EXPECT_EQ(loaded->source.tracks[1].pointCount, 0);
    EXPECT_EQ(loaded->trackLines.lines, (std::vector<std::string>{"ACTIVE LOG 001 (3)", "EMPTY (0)"}));
}

TEST(GdbSource, TrackPointFieldsBehindFlags) {
    GdbPoint bare{10, 20, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    GdbPoint depth{11, 21, 100.0, 3600, -5.5, std::nullopt};
    GdbPoint all{12, 22, 200.0, 7200, 1.0, 15.0};
    GdbPoint timeOnly{13, 23, std::nullopt, 60, std::nullopt, 20.0};
    GdbTrack track;
    track.points = {bare, depth, all, timeOnly};
    track.after.clear();  // no byte after the last point
    GdbTrack trailing;
    trailing.points = {GdbPoint::Classic(1, 2, 3, 4)};
    trailing.after = {0, 1, 2, 3, 4};  // bytes after the last point are not examined

    auto loaded = Load(GdbFile().W(GdbWaypoint{}).T(track).T(trailing));
    ASSERT_EQ(loaded->result, 1);
    const TrackPoint* p = loaded->source.tracks[0].points.get();
    ASSERT_EQ(loaded->source.tracks[0].pointCount, 4);
    EXPECT_EQ(p[0].latitude, 10);
    EXPECT_EQ(p[0].altitude, 0.0f);
    EXPECT_EQ(p[0].time, 0u);
    EXPECT_EQ(p[0].hour, 8);
    EXPECT_EQ(p[1].latitude, 11);
    EXPECT_EQ(p[1].altitude, 100.0f);
    EXPECT_EQ(p[1].hour, 9);
    EXPECT_EQ(p[2].longitude, 22);
    EXPECT_EQ(p[2].altitude, 200.0f);
    EXPECT_EQ(p[2].time, 7200u);
    EXPECT_EQ(p[3].altitude, 0.0f);
    EXPECT_EQ(p[3].minute, 1);
    EXPECT_EQ(loaded->source.tracks[1].points[0].time, 4u);
}

TEST(GdbSource, TrackBodiesMustHoldEveryPoint) {
    GdbTrack shortLast;
    shortLast.points = {GdbPoint::Classic(1, 2, 3, 4), GdbPoint::Classic(1, 2, 3, 4)};
    shortLast.after.clear();
    std::vector<uint8_t> body = shortLast.Body();
    body.pop_back();

    GdbTrack hugeCount;
    hugeCount.pointCount = 0xFFFFFFFF;
    GdbTrack oneMore;
    oneMore.points = {GdbPoint::Classic(1, 2, 3, 4)};
    oneMore.pointCount = 2;

    std::vector<uint8_t> noHead = ByteBuilder().cstr("NAME").u8(1).u32(0).bytes();  // count missing

    for (const std::vector<uint8_t>& track : {body, hugeCount.Body(), oneMore.Body(), noHead}) {
        auto loaded = Load(GdbFile().W(GdbWaypoint{}).Record('T', track));
        EXPECT_EQ(loaded->result, 0);
        EXPECT_EQ(loaded->source.waypointCount, 1);  // the waypoints stay usable
        EXPECT_EQ(loaded->waypointLines.lines.size(), 1u);
        EXPECT_EQ(loaded->source.tracks, nullptr);
    }
}

TEST(GdbSource, WithoutTrackListTracksAreStillFilled) {
    GdbTrack track;
    track.points = {GdbPoint::Classic(1, 2, 3, 4)};
    auto loaded = Load(GdbFile().W(GdbWaypoint{}).T(track), false);
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->source.trackCount, 1);
    EXPECT_EQ(loaded->source.tracks[0].pointCount, 1);
    EXPECT_TRUE(loaded->trackLines.lines.empty());
}

TEST(GdbSource, RunsStopAtARecordOfAnotherType) {
    // A route between the waypoints and the tracks: the tracks and whatever
    // follows are never read.
    std::vector<uint8_t> broken = ByteBuilder().cstr("BROKEN").bytes();
    auto loaded = Load(GdbFile().W(GdbWaypoint{}).W(GdbWaypoint{}).Record('R', {1, 2, 3}).Record('T', broken));
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->source.waypointCount, 2);
    EXPECT_EQ(loaded->source.trackCount, 0);
    EXPECT_EQ(loaded->source.lRecords.count, 0);

    // No waypoints: the tracks are not read either.
    loaded = Load(GdbFile().Record('T', broken));
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->source.waypointCount, 0);
    EXPECT_EQ(loaded->source.trackCount, 0);
    EXPECT_EQ(loaded->source.waypoints, nullptr);

    // Waypoints, tracks and 'L' records of any layout, then anything.
    loaded = Load(GdbFile().W(GdbWaypoint{}).T(GdbTrack{}).Record('L', {0}).Record('L', {1, 2}).Record('V', {0}));
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->source.lRecords.count, 2);
}

TEST(GdbSource, AtMost9999Tracks) {
    for (int tracks : {9999, 10000}) {
        GdbFile gdb;
        gdb.W(GdbWaypoint{}).W(GdbWaypoint{});
        const std::vector<uint8_t> body = GdbTrack{}.Body();
        for (int k = 0; k < tracks; ++k) gdb.Record('T', body);
        auto loaded = Load(gdb);
        EXPECT_EQ(loaded->result, tracks == 9999 ? 1 : 0);
        EXPECT_EQ(loaded->waypointLines.lines.size(), 2u);
        EXPECT_EQ(loaded->source.trackCount, tracks);
        EXPECT_EQ(loaded->source.tracks != nullptr, tracks == 9999);
        EXPECT_EQ(loaded->trackLines.lines.size(), tracks == 9999 ? 9999u : 0u);
    }
}

TEST(GdbSource, RefusesHeadsItCannotRead) {
    VectorLineList lines;
    GdbSource mps;
    EXPECT_EQ(LoadBytes(mps, MpsHead().bytes(), &lines, nullptr, ".gdb"), 0);
    GdbSource empty;
    EXPECT_EQ(LoadBytes(empty, {}, &lines, nullptr, ".gdb"), 0);
    GdbSource missing;
    EXPECT_EQ(missing.Load("/nonexistent/file.gdb", &lines, nullptr), 0);
    EXPECT_TRUE(lines.lines.empty());
}

TEST(GdbSource, CutOrDamagedFilesNeverReadOutside) {
    GdbWaypoint w;
    w.altitude = 12.0;
    w.flaggedValue = true;
    GdbTrack t;
    t.points = {GdbPoint{1, 2, 3.0, 4u, 5.0, 6.0}, GdbPoint::Classic(1, 2, 3, 4)};
    const std::vector<uint8_t> whole = GdbFile(612).W(w).W(w).T(t).Record('L', {1, 2, 3}).file.bytes();
    for (size_t length = 0; length < whole.size(); ++length) {
        GdbSource source;
        VectorLineList lines;
        int result = LoadBytes(source, std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)),
                               &lines, &lines, ".gdb");
        EXPECT_LE(source.waypointCount, 2);
        (void)result;
    }
    for (size_t at = 0; at < whole.size(); ++at) {
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x80}}) {
            std::vector<uint8_t> damaged = whole;
            damaged[at] = value;
            GdbSource source;
            VectorLineList lines;
            LoadBytes(source, damaged, &lines, &lines, ".gdb");
        }
    }
}

TEST(GdbSource, TrackPointsCanBeLeftOutWithTheSameResult) {
    GdbTrack track;
    track.name = "ACTIVE LOG";
    track.points = {GdbPoint::Classic(1, 2, 3, 4), GdbPoint{5, 6, std::nullopt, 7, 8.0, std::nullopt}};
    GdbTrack broken = track;
    broken.pointCount = 3;
    for (const GdbTrack& second : {track, broken}) {
        GdbFile file;
        file.W(GdbWaypoint{}).T(track).T(second);
        auto kept = Load(file);
        auto left = std::make_unique<GdbResult>();
        left->source.keepTrackPoints = false;
        left->result = LoadBytes(left->source, file.file.bytes(), &left->waypointLines, &left->trackLines, ".gdb");
        EXPECT_EQ(left->result, kept->result);
        EXPECT_EQ(left->waypointLines.lines, kept->waypointLines.lines);
        EXPECT_EQ(left->trackLines.lines, kept->trackLines.lines);
        ASSERT_EQ(left->source.trackCount, kept->source.trackCount);
        if (kept->result == 1) {
            EXPECT_EQ(left->TrackName(0), "ACTIVE LOG");
            EXPECT_EQ(left->source.tracks[0].pointCount, 2);
            EXPECT_EQ(left->source.tracks[0].points, nullptr);
        }
    }
}

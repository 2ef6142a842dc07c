#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sources/NameField.h"
#include "sources/mapsource/MpsSource.h"
#include "MapSourceBuilder.h"

using namespace mstest;

namespace {

// A ".mps" file: the head, then the records in the order given.
struct MpsFile {
    ByteBuilder file;
    explicit MpsFile(uint16_t version = 406, std::string_view firstBody = "g") : file(MpsHead(version, firstBody)) {}
    MpsFile& W(const MpsWaypoint& w) { AppendRecord(file, 'W', w.Body()); return *this; }
    MpsFile& T(const MpsTrack& t) { AppendRecord(file, 'T', t.Body()); return *this; }
    MpsFile& Record(char type, const std::vector<uint8_t>& body) { AppendRecord(file, type, body); return *this; }
};

struct MpsResult {
    MpsSource source;
    VectorLineList waypointLines;
    VectorLineList trackLines;
    int result = 0;

    std::string Name(int i) const { return std::string(FieldText(source.waypoints[i].name, 12)); }
};

std::unique_ptr<MpsResult> Load(const MpsFile& mps, bool withTrackList = true) {
    auto loaded = std::make_unique<MpsResult>();
    loaded->result = LoadBytes(loaded->source, mps.file.bytes(), &loaded->waypointLines,
                               withTrackList ? &loaded->trackLines : nullptr, ".mps");
    return loaded;
}

MpsWaypoint Sample() {
    MpsWaypoint w;
    w.name = "GC1A37";
    w.latitude = 430578619;
    w.longitude = -1034127312;
    w.altitude = 182.7;
    w.secondText = "The Troll";
    w.symbol = 8255;
    return w;
}

void ExpectSample(const MpsResult& loaded, int i) {
    const WaypointRecord& r = loaded.source.waypoints[i];
    EXPECT_EQ(loaded.Name(i), "GC1A37");
    EXPECT_EQ(r.latitude, 430578619);
    EXPECT_EQ(r.longitude, -1034127312);
    EXPECT_EQ(r.altitude, 182.7f);
    EXPECT_EQ(r.symbol, 8255);
}

}  // namespace

TEST(MpsSource, ClassicWaypointBodies) {
    // A two-letter country, a 22-byte block and 24 bytes after the symbol.
    auto loaded = Load(MpsFile().W(Sample()).W(Sample()));
    ASSERT_EQ(loaded->result, 1);
    ASSERT_EQ(loaded->source.waypointCount, 2);
    ExpectSample(*loaded, 0);
    ExpectSample(*loaded, 1);
    EXPECT_EQ(loaded->waypointLines.lines, (std::vector<std::string>{"GC1A37 183", "GC1A37 183"}));
}

TEST(MpsSource, CountryTextsOfAnyLength) {
    for (const char* country : {"", "D", "US", "Deutschland"}) {
        MpsWaypoint w = Sample();
        w.country = country;
        auto loaded = Load(MpsFile().W(w));
        ASSERT_EQ(loaded->result, 1) << country;
        ExpectSample(*loaded, 0);
    }
}

TEST(MpsSource, ShortBlockAfterAFirstRecordD) {
    MpsWaypoint w = Sample();
    w.blockSize = 17;
    w.country = "";
    auto loaded = Load(MpsFile(302, "d").W(w));
    ASSERT_EQ(loaded->result, 1);
    ExpectSample(*loaded, 0);

    // The same body in a file without that first record is read 5 bytes off.
    loaded = Load(MpsFile(302, "g").W(w));
    if (loaded->result == 1) {
        EXPECT_NE(loaded->source.waypoints[0].latitude, 430578619);
    }

    // And a 22-byte block in a "d" file is not read as one.
    loaded = Load(MpsFile(302, "d").W(Sample()));
    if (loaded->result == 1) {
        EXPECT_NE(loaded->source.waypoints[0].latitude, 430578619);
    }
}

TEST(MpsSource, WaypointBodyNeedsNothingAfterTheSymbol) {
    // The classic body has 24 bytes after the symbol; a body that ends with
    // the symbol is read alike, one byte less fails the whole load.
    for (size_t tail : {24u, 1u, 0u}) {
        MpsWaypoint w = Sample();
        w.tailSize = tail;
        auto loaded = Load(MpsFile().W(w));
        ASSERT_EQ(loaded->result, 1) << tail;
        ExpectSample(*loaded, 0);
    }
    MpsWaypoint w = Sample();
    w.tailSize = 0;
    const std::vector<uint8_t> body = w.Body();
    for (size_t length = 1; length < body.size(); ++length) {
        auto loaded = Load(MpsFile().Record('W', std::vector<uint8_t>(body.begin(), body.begin() + static_cast<long>(length))));
        EXPECT_EQ(loaded->result, 0) << length;
    }
}

TEST(MpsSource, NamesAreCopiedByteForByteWhateverTheVersion) {
    MpsWaypoint w = Sample();
    w.name = "\xE4\xB8\xAD";
    MpsTrack t;
    t.name = "\xE4\xB8\xAD";
    auto loaded = Load(MpsFile(612).W(w).T(t));
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->Name(0), "\xE4\xB8\xAD");
    EXPECT_EQ(FieldText(loaded->source.tracks[0].name, 32), "\xE4\xB8\xAD");
}

TEST(MpsSource, TrackBodiesOf31BytePointsExactly) {
    MpsTrack track;
    track.name = "Track";
    track.points = {{358657865, -1092953023, 1.0, 0}, {1, 2, -3.25, 57600}, {3, 4, 0, 86399}};
    MpsTrack empty;
    empty.name = "Empty";
    auto loaded = Load(MpsFile().W(Sample()).T(track).T(empty));
    ASSERT_EQ(loaded->result, 1);
    ASSERT_EQ(loaded->source.trackCount, 2);
    const TrackRecord& t = loaded->source.tracks[0];
    ASSERT_EQ(t.pointCount, 3);
    EXPECT_EQ(t.points[0].latitude, 358657865);
    EXPECT_EQ(t.points[0].longitude, -1092953023);
    EXPECT_DOUBLE_EQ(t.points[0].longitudeDegrees, -1092953023 * 8.381903202764329e-8);
    EXPECT_EQ(t.points[0].altitude, 1.0f);
    EXPECT_EQ(t.points[0].hour, 8);
    EXPECT_EQ(t.points[1].altitude, -3.25f);
    EXPECT_EQ(t.points[1].hour, 0);
    EXPECT_EQ(t.points[2].second, 59);
    EXPECT_EQ(loaded->source.tracks[1].pointCount, 0);
    EXPECT_EQ(loaded->trackLines.lines, (std::vector<std::string>{"Track (3)", "Empty (0)"}));

    for (std::vector<uint8_t> after : {std::vector<uint8_t>{0}, std::vector<uint8_t>{}}) {
        MpsTrack t2 = track;
        t2.after = after;
        std::vector<uint8_t> body = t2.Body();
        if (after.empty()) body.pop_back();
        auto bad = Load(MpsFile().W(Sample()).Record('T', body));
        EXPECT_EQ(bad->result, 0);
        EXPECT_EQ(bad->source.waypointCount, 1);
        EXPECT_EQ(bad->source.tracks, nullptr);
    }

    std::vector<uint8_t> huge = ByteBuilder().cstr("X").u8(0).u32(0).u32(0x08421085).fill(27).bytes();
    EXPECT_EQ(Load(MpsFile().W(Sample()).Record('T', huge))->result, 0);
}

TEST(MpsSource, RunsStopAtARecordOfAnotherType) {
    std::vector<uint8_t> broken = ByteBuilder().cstr("BROKEN").bytes();
    auto loaded = Load(MpsFile().W(Sample()).Record('R', {1}).Record('T', broken));
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->source.waypointCount, 1);
    EXPECT_EQ(loaded->source.trackCount, 0);

    loaded = Load(MpsFile().Record('T', broken));
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->source.waypointCount, 0);

    loaded = Load(MpsFile().W(Sample()).T(MpsTrack{}).Record('L', {9}).Record('V', {0, 1}));
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->source.trackCount, 1);
    EXPECT_EQ(loaded->source.lRecords.count, 1);
}

TEST(MpsSource, AtMost9999Tracks) {
    for (int tracks : {9999, 10000}) {
        MpsFile mps;
        mps.W(Sample());
        const std::vector<uint8_t> body = MpsTrack{}.Body();
        for (int k = 0; k < tracks; ++k) mps.Record('T', body);
        auto loaded = Load(mps, false);
        EXPECT_EQ(loaded->result, tracks == 9999 ? 1 : 0);
        EXPECT_EQ(loaded->waypointLines.lines.size(), 1u);
        EXPECT_EQ(loaded->source.trackCount, tracks);
        EXPECT_EQ(loaded->source.tracks != nullptr, tracks == 9999);
    }
}

TEST(MpsSource, RefusesAGdbHead) {
    MpsSource source;
    VectorLineList lines;
    EXPECT_EQ(LoadBytes(source, GdbHead().bytes(), &lines, nullptr, ".mps"), 0);
}

TEST(MpsSource, CutOrDamagedFilesNeverReadOutside) {
    MpsTrack t;
    t.points = {{1, 2, 3, 4}};
    const std::vector<uint8_t> whole = MpsFile().W(Sample()).T(t).Record('L', {1}).file.bytes();
    for (size_t length = 0; length < whole.size(); ++length) {
        MpsSource source;
        VectorLineList lines;
        LoadBytes(source, std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)), &lines,
                  &lines, ".mps");
    }
    for (size_t at = 0; at < whole.size(); ++at) {
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}}) {
            std::vector<uint8_t> damaged = whole;
            damaged[at] = value;
            MpsSource source;
            VectorLineList lines;
            LoadBytes(source, damaged, &lines, &lines, ".mps");
        }
    }
}

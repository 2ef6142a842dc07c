// What every reader and the GTM loader must survive: files cut at every
// length, damaged bytes, counts that lie or wrap, and memory running out.
// Each gives a clear result, lists nothing it did not read, and never reads
// outside the file (a sanitizer build shows any such read).
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <tuple>

#include "gtm/GtmDocument.h"
#include "sources/CreateWaypointSource.h"
#include "sources/NameField.h"
#include "sources/mapsource/MapSourceBuilder.h"
#include "support/FormatBuilders.h"

namespace {

// Every record array of the core is made by a nothrow new[]: the one after
// this many more fails, and only that one.
int allocationsBeforeFailure = -1;
bool allocationFailed = false;

}  // namespace

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (allocationsBeforeFailure == 0) {
        allocationsBeforeFailure = -1;
        allocationFailed = true;
        return nullptr;
    }
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

using namespace std::string_literals;
using namespace mstest;
using Lines = std::vector<std::string>;

struct Outcome { int result = -1; Lines waypoints, tracks; };

// Loads bytes as a file of the extension, with the reader the program picks for it.
Outcome Load(const std::string& extension, const Bytes& bytes) {
    if (extension != ".gtm") {
        const Loaded loaded(extension, bytes);
        return {loaded.result, loaded.waypointLines.lines, loaded.trackLines.lines};
    }
    static TempDir dir;
    VectorLineList waypoints;
    GtmDocument document;
    const int result = document.Load(dir.Write("航點.gtm", bytes), waypoints);
    return {result, waypoints.lines, {}};
}

const std::string kTwoGpx = "<wpt lat=\"1\" lon=\"2\"><name>A</name></wpt><wpt lat=\"3\" lon=\"4\"><name>B</name></wpt>";
std::string Gpx(const std::string& body) { return "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\">" + body + "</gpx>"; }

struct Sample {
    const char* extension;
    Bytes bytes;
    bool cutsFail;  // every shorter file is refused (MapSource files may end after any whole record)
};

std::vector<Sample> Samples() {
    Bytes wtr = WtrBuilder().waypoint("A", 1).waypoint("B", 2).track("Track", {{1, 2, 3, 4}, {5, 6, 7, 8}}).build();
    wtr.erase(wtr.end() - 8, wtr.end());  // nothing after the route marker is read
    EvoImage evo(2, 2);  // the second waypoint has no pattern: it is found 256 bytes after the first one's name
    evo.Waypoint("HOME").Fill(356 - evo.size()).WaypointHead(3, 4, 5.4f, false).WaypointTail("FAR\n", 3, 12);
    evo.Track("ACT\0"s, 2).Track("ACTIVE LOG\n", 1);
    return {
        {".wtr", wtr, true},
        {".evo", evo.bytes(), true},
        {".gpx", Text(Gpx(kTwoGpx + "<trk><name>T</name><trkseg><trkpt lat=\"1\" lon=\"2\"><ele>3</ele></trkpt></trkseg></trk>")), true},
        {".gdb", MsFile::Gdb(612).W(GdbWaypoint{.name = "\xE4\xB8\xAD", .altitude = 3.0, .flaggedValue = true})
                     .W(GdbWaypoint{.fixedTail = false}).Add('R', {1}).Add('T', {}).bytes(), false},
        {".gdb", MsFile::Gdb().W(GdbWaypoint{}).W(GdbWaypoint{}).T(GdbTrack{.points = {GdbPoint{1, 2, 3.0, 4, 5.0, 6.0}, GdbPoint{7, 8}}})
                     .T(GdbTrack{}).Add('L', {1, 2, 3}).Add('V', {0}).bytes(), false},
        {".mps", MsFile::Mps().W(MpsWaypoint{}).W(MpsWaypoint{.name = "B"}).T(MpsTrack{.points = {{1, 2, 3.0, 4}, {}}}).bytes(), false},
        {".gtm", GtmBuilder().image("a", "b").waypoint("A", 1, "comment").waypoint("B", 2).tail("").build(), true},
    };
}

bool StartsWith(const Lines& whole, const Lines& part) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

}  // namespace

// A byte damaged to 00 or FF anywhere never crashes a reader either.
TEST(HostileInput, EveryCutFailsOrListsOnlyWhatItRead) {
    for (const Sample& sample : Samples()) {
        const Outcome whole = Load(sample.extension, sample.bytes);
        ASSERT_EQ(whole.result, 1) << sample.extension;
        ASSERT_EQ(whole.waypoints.size(), 2u) << sample.extension;
        if (sample.extension != ".gtm"s) {
            // Without a track list, or without keeping the points, a file reads alike, with no track lines or no points.
            const Loaded unlisted(sample.extension, sample.bytes, false), pointless(sample.extension, sample.bytes, true, false);
            for (const Loaded* other : {&unlisted, &pointless}) {
                EXPECT_EQ(other->result, 1) << sample.extension;
                EXPECT_EQ(other->waypointLines.lines, whole.waypoints) << sample.extension;
            }
            EXPECT_TRUE(unlisted.trackLines.lines.empty());
            for (int k = 0; k < pointless.source->trackCount; ++k) EXPECT_FALSE(pointless.source->tracks[k].points);
        }
        for (size_t length = 0; length < sample.bytes.size(); ++length) {
            SCOPED_TRACE(testing::Message() << sample.extension << " cut to " << length);
            const Outcome cut = Load(sample.extension, Cut(sample.bytes, length));
            EXPECT_TRUE(!sample.cutsFail || cut.result == 0);
            EXPECT_TRUE(StartsWith(whole.waypoints, cut.waypoints));
            EXPECT_TRUE(StartsWith(whole.tracks, cut.tracks));
            // A GTM file that cannot be read whole is refused whole.
            EXPECT_TRUE(sample.extension != ".gtm"s || cut.waypoints.empty());
            for (uint8_t value : {0x00, 0xFF}) {
                Bytes damaged = sample.bytes;
                damaged[length] = value;
                EXPECT_LE(Load(sample.extension, damaged).result, 1) << "damaged to " << int{value};
            }
        }
    }
}

TEST(HostileInput, AMissingFileOrAFolderIsRefused) {
    TempDir dir;
    for (const char* extension : {".wtr", ".evo", ".gpx", ".gdb", ".mps", ".gtm"}) {
        const std::filesystem::path folder = dir.path() / (std::string("folder") + extension);
        std::filesystem::create_directory(folder);
        for (const std::string& path : {(dir.path() / (std::string("missing") + extension)).string(), folder.string()}) {
            VectorLineList lines;
            GtmDocument document;
            EXPECT_EQ(extension == ".gtm"s ? document.Load(path, lines) : CreateWaypointSource(path)->Load(path, &lines, &lines), 0) << path;
        }
    }
}

TEST(HostileInput, CountsAtTheLimitsAndCountsThatLie) {
    auto evo = [](uint16_t waypoints, uint16_t tracks, int present = 1) {
        EvoImage image(waypoints, tracks);
        for (int k = 0; k < present; ++k) image.Waypoint("W");
        return image;
    };
    auto evoTracks = [&](uint16_t count) {
        EvoImage image = evo(1, count);
        for (int t = 0; t < count; ++t) image.Track("AC\n", 0);
        return image.bytes();
    };
    auto gdbTracks = [](int count) {
        MsFile file = MsFile::Gdb().W(GdbWaypoint{});
        for (int k = 0; k < count; ++k) file.T(GdbTrack{});
        return file.bytes();
    };
    auto overwrite = [](Bytes bytes, size_t at, std::string_view values) {
        std::copy(values.begin(), values.end(), bytes.begin() + static_cast<long>(at));
        return bytes;
    };
    Bytes mpsShort = MpsTrack{.points = {{}}}.Body(), mpsLonger = mpsShort;
    Bytes gdbShort = GdbTrack{.points = {GdbPoint{1, 2, 3.0, 4}}, .after = {}}.Body();
    mpsShort.pop_back(), gdbShort.pop_back(), mpsLonger.push_back(0);  // a byte short of the last point, or one more
    const Bytes lPastTheEnd = ByteBuilder().u32(50).u8('L').fill(10).bytes();
    std::string gpxTracks;
    for (int k = 0; k < 10000; ++k) gpxTracks += "<trk/>";
    struct Row { std::string what; const char* extension; Bytes bytes; int result; size_t waypoints, tracks; };
    std::vector<Row> rows = {
        {"no waypoints", ".evo", evo(0, 1).bytes(), 0, 0, 0},
        {"10000 waypoints", ".evo", evo(10000, 1, 10000).Track("AC\n", 0).bytes(), 0, 0, 0},
        {"9999 waypoints", ".evo", evo(9999, 1, 9999).Track("AC\n", 0).bytes(), 1, 9999, 1},
        {"no tracks", ".evo", evo(1, 0).Track("AC\n", 0).bytes(), 0, 1, 0},
        {"10000 tracks", ".evo", evoTracks(10000), 0, 1, 0},
        {"9999 tracks", ".evo", evoTracks(9999), 1, 1, 9999},
        {"no track entry, a head that would read as one", ".evo", overwrite(evo(1, 1).Track("Active\n", 0).bytes(), 2, "\n\0\0\0\0"s), 0, 1, 0},
        {"negative points", ".evo", evo(1, 1).TrackHead("ACX\n", -1).Point().bytes(), 0, 1, 0},
        {"a last track name ended by NUL, short", ".evo", evo(1, 1).TrackHead("AC\0"s, 0).bytes(), 0, 1, 0},
        {"a point short", ".gdb", MsFile::Gdb().W(GdbWaypoint{}).Add('T', gdbShort).bytes(), 0, 1, 0},
        {"2^32-1 points", ".gdb", MsFile::Gdb().W(GdbWaypoint{}).T(GdbTrack{.pointCount = 0xFFFFFFFF}).bytes(), 0, 1, 0},
        {"no point count, after a track", ".gdb", MsFile::Gdb().W(GdbWaypoint{}).T(GdbTrack{}).Add('T', ByteBuilder().cstr("N").u8(1).u32(0).bytes()).bytes(), 0, 1, 0},
        {"9999 tracks", ".gdb", gdbTracks(9999), 1, 1, 9999},
        {"10000 tracks", ".gdb", gdbTracks(10000), 0, 1, 0},
        {"a record length of 2^32-1", ".gdb", ByteBuilder().append(MsFile::Gdb().bytes()).u32(0xFFFFFFFF).u8('W').fill(60).bytes(), 1, 0, 0},
        {"L records, then one past the end", ".gdb", MsFile::Gdb().W(GdbWaypoint{}).Add('L', {7}).Add('L', Text("no NUL")).append(lPastTheEnd).bytes(), 1, 1, 0},
        {"an mps head", ".gdb", MsFile::Mps().W(GdbWaypoint{}).bytes(), 0, 0, 0},
        {"no waypoints, a broken track", ".gdb", MsFile::Gdb().Add('T', gdbShort).bytes(), 1, 0, 0},
        {"a byte more than the points", ".mps", MsFile::Mps().W(MpsWaypoint{}).Add('T', mpsLonger).bytes(), 0, 1, 0},
        {"a byte less, after a track", ".mps", MsFile::Mps().W(MpsWaypoint{}).T(MpsTrack{}).Add('T', mpsShort).bytes(), 0, 1, 0},
        {"no point count, after a track", ".mps", MsFile::Mps().W(MpsWaypoint{}).T(MpsTrack{}).Add('T', ByteBuilder().cstr("N").u8(0).u32(0).bytes()).bytes(), 0, 1, 0},
        {"a gdb head", ".mps", MsFile::Gdb().W(MpsWaypoint{}).bytes(), 0, 0, 0},
        {"no waypoints, a broken track", ".mps", MsFile::Mps().Add('T', mpsShort).bytes(), 1, 0, 0},
        {"a route, a broken track", ".mps", MsFile::Mps().W(MpsWaypoint{}).Add('R', {1}).Add('T', mpsShort).bytes(), 1, 1, 0},
        {"10000 tracks", ".gpx", Text(Gpx(kTwoGpx + gpxTracks)), 0, 2, 9999},
        {"tracks only", ".gpx", Text(Gpx("<trk><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></trk>")), 1, 0, 0},
        {"any first two bytes", ".gtm", overwrite(GtmBuilder().waypoint("A", 1).build(), 0, "\0\xFF"s), 1, 1, 0},
        {"a signature letter changed", ".gtm", overwrite(GtmBuilder().waypoint("A", 1).build(), 2, "t"), 0, 0, 0},
        {"a signature byte of 00", ".gtm", GtmBuilder().waypoint("A", 1).signatureByte(0x00).build(), 0, 0, 0},
        {"no waypoints, a negative image count", ".gtm", GtmBuilder().imageCount(-5).build(), 1, 0, 0},
        {"-1 waypoints", ".gtm", GtmBuilder().waypoint("A", 1).waypointCount(-1).build(), 0, 0, 0},
        {"INT32_MAX waypoints", ".gtm", GtmBuilder().waypoint("A", 1).waypointCount(INT32_MAX).build(), 0, 0, 0},
        {"INT32_MAX images", ".gtm", GtmBuilder().waypoint("A", 1).imageCount(INT32_MAX).build(), 0, 0, 0},
        {"no waypoints", ".wtr", WtrBuilder().track("T", {{}}).build(), 1, 0, 0},
        {"no track header", ".wtr", WtrBuilder().waypoint("A", 1).build(), 1, 1, 0},
        {"another marker", ".wtr", overwrite(WtrBuilder().waypoint("A", 1).build(), 0, "\xFE"), 0, 0, 0},
    };
    // Every field up to the symbol must be in a MapSource waypoint's body.
    for (const auto& [extension, file, body] : {std::tuple(".gdb", MsFile::Gdb(), GdbWaypoint{.fixedTail = false}.Body()),
                                                std::tuple(".mps", MsFile::Mps(), MpsWaypoint{.tailSize = 0}.Body())}) {
        for (size_t length = 1; length < body.size(); ++length) {
            const Bytes cut = MsFile(file).Add('W', Cut(body, length)).bytes();
            rows.push_back({"a waypoint body cut to " + std::to_string(length), extension, cut, 0, 0, 0});
        }
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.extension + ": "s + row.what);
        const Outcome outcome = Load(row.extension, row.bytes);
        EXPECT_EQ(outcome.result, row.result);
        EXPECT_EQ(outcome.waypoints.size(), row.waypoints);
        EXPECT_EQ(outcome.tracks.size(), row.tracks);
    }
}

TEST(HostileInput, NoMemoryFailsTheLoadAndTheCorrectionTakesThePlainScan) {
    for (const Sample& sample : Samples()) {
        for (int n = 0;; ++n) {
            allocationsBeforeFailure = n;
            allocationFailed = false;
            const Outcome outcome = Load(sample.extension, sample.bytes);
            allocationsBeforeFailure = -1;
            if (!allocationFailed) break;
            EXPECT_EQ(outcome.result, 0) << sample.extension << ": allocation " << n << " failed";
        }
    }
    // 40 by 40: enough to be indexed. Without memory for the index the result is the same.
    std::vector<WaypointRecord> sources(40, WaypointRecord{});
    GtmDocument document;
    document.waypointCount = 40;
    document.waypoints.reset(new GtmWaypoint[40]());
    for (int i = 0; i < 40; ++i) {
        StoreName(sources[i].name, 12, "\xA4\xA4" + std::to_string(i % 7));
        sources[i].altitude = static_cast<float>(i % 5);
        std::memcpy(document.waypoints[i].name, ("\0\0"s + std::to_string(i % 7) + "       ").data(), 10);
        document.waypoints[i].altitude = static_cast<float>(i % 3);
    }
    std::vector<std::string> expected;
    for (int n = -1; n < 8; ++n) {
        std::vector<WaypointRecord> copy = sources;
        VectorLineList lines;
        allocationsBeforeFailure = n;
        EXPECT_EQ(document.CorrectNames(40, copy.data(), lines), 1);
        allocationsBeforeFailure = -1;
        if (n == -1) expected = lines.lines;
        EXPECT_EQ(lines.lines, expected) << n;
        EXPECT_EQ(document.correctedCount, static_cast<int32_t>(expected.size()));
    }
    EXPECT_FALSE(expected.empty());
}

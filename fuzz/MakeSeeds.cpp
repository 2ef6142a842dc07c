// Writes the seed inputs of the fuzz targets: files made with the test
// builders (valid files of every kind, with the variations the formats allow),
// the real sample files, and repair inputs that pair a Garmin file with a GTM
// file whose names lost their double-byte characters, so that the correction
// has something to find.
//
//   lorvane_fuzz_seeds OUTPUT_FOLDER [SAMPLES_FOLDER...]
//
// Writes OUTPUT_FOLDER/<target>/<name> for the targets wtr, evo, gdb, mps, gpx,
// gtm and repair.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/CodePage.h"
#include "gtm/GtmDocument.h"
#include "sources/CreateWaypointSource.h"
#include "sources/mapsource/MapSourceBuilder.h"
#include "support/FormatBuilders.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using namespace std::string_literals;

fs::path output;
int written = 0;

void Seed(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path folder = output / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ++written;
}

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A waypoint of the seeds: a name in code page 950 and an altitude.
struct Named {
    std::string name;
    float altitude;
};

const std::vector<Named> kWaypoints = {
    {"\xA4\xA4\xA4\xE5" "AB", 12.5f},   // Chinese and ASCII
    {"\xA5\x5F\xA4\xBB", 3886.2f},      // Chinese only
    {"Home", 5.4f},                     // ASCII only
    {"\xA4\xA4" "1234567", 9999.5f},    // nine bytes, altitude above the cap
    {"abc", -12.6f},
    {"\xA4\xA4" "x", 300.0f},
};

// A WTR file.
Bytes Wtr(const std::vector<Named>& waypoints, bool track) {
    WtrBuilder builder;
    int16_t symbol = 1;
    for (const Named& w : waypoints) builder.waypoint(WtrWaypoint{w.name, 100 * symbol, -200 * symbol, w.altitude, symbol++});
    if (track) builder.track("ACTIVE LOG", {{1, 2, 57600, 1.5f}, {3, 4, 0, -2.0f}, {5, 6, 86399, 9999.0f}});
    return builder.build();
}

// An EVO file: a 48-byte header with the two counts, waypoint entries found
// by 00 FF 00, track entries found by 00 00 "AC".
Bytes Evo(const std::vector<Named>& waypoints, int trackPoints) {
    ByteBuilder b;
    b.fill(32, 0x11).u16(static_cast<uint16_t>(waypoints.size())).u16(0x1111).u16(2).fill(10, 0x11);
    int16_t symbol = 1;
    for (const Named& w : waypoints) {
        b.u8(0).u8(0xFF).u8(0).fill(21, 0x11).i32(1000 * symbol).i32(-1000 * symbol).f32(w.altitude).fill(16, 0x11);
        // The symbol stands 10 bytes after the stored name text.
        b.field(w.name, 10).fill(std::min<size_t>(w.name.size(), 10), 0x22).i16(symbol++);
    }
    // One track name ended by a newline, one by a NUL.
    for (const std::string& name : {"ACTIVE LOG\n"s, "AC2\0"s}) {
        b.u16(0).text(name).i32(trackPoints);
        for (int j = 0; j < trackPoints; ++j) b.i32(j).i32(-j).u32(3600u * static_cast<uint32_t>(j)).f32(1.5f).fill(8, 0x33);
    }
    return b.bytes();
}

// The 'L' record MapSource writes after the tracks: two values, three texts,
// two values.
Bytes LBody() { return ByteBuilder().u32(1).u32(2).cstr("a").cstr("").cstr("c").u32(3).u32(4).bytes(); }

Bytes Gdb(const std::vector<Named>& waypoints, uint16_t version, bool tracks) {
    mstest::MsFile file = mstest::MsFile::Gdb(version);
    int16_t symbol = 1;
    for (const Named& w : waypoints) {
        // Name, value, text, 22-byte block, position, altitude behind its
        // flag, text, a value behind its flag, two values, the symbol, and
        // the fields MapSource writes after it.
        ByteBuilder body;
        body.cstr(w.name).u32(0).cstr("").fill(22, 0xFF).i32(1000 * symbol).i32(-1000 * symbol);
        body.u8(1).f64(w.altitude).cstr("").u8(symbol % 2);
        if (symbol % 2) body.fill(8, 0x5A);
        body.u32(1).u32(0).i16(symbol++);
        body.fill(3).cstr("").fill(2).u8(0).fill(7).cstr("").fill(2).u8(0).u8(0);
        file.Add('W', body.bytes());
    }
    if (tracks) {
        // Name, two values, the point count, points (position, then altitude,
        // time, depth and temperature, each behind its flag), one more byte.
        ByteBuilder track;
        track.cstr("ACTIVE LOG").u8(1).u32(0).u32(3);
        track.i32(1).i32(2).u8(1).f64(3.5).u8(1).u32(57600).u8(0).u8(0);
        track.i32(-1).i32(-2).u8(1).f64(9999.5).u8(1).u32(0).u8(1).f64(2.0).u8(1).f64(20.0);
        track.i32(5).i32(6).u8(0).u8(0).u8(0).u8(0);
        track.u8(0);
        file.Add('T', track.bytes());
        file.Add('T', ByteBuilder().cstr("EMPTY").u8(1).u32(0).u32(0).u8(0).bytes());
        file.Add('L', LBody());
    }
    return file.bytes();
}

Bytes Mps(const std::vector<Named>& waypoints, bool tracks) {
    mstest::MsFile file = mstest::MsFile::Mps(406);
    int16_t symbol = 1;
    for (const Named& w : waypoints) {
        // Name, 46-byte block (a value, a country, a block, the position, a
        // byte, the altitude), a text, 43-byte block with the symbol.
        ByteBuilder body;
        body.cstr(w.name).u32(0).cstr("US").fill(22, 0xFF).i32(1000 * symbol).i32(-1000 * symbol).u8(0);
        body.f64(w.altitude).cstr("").fill(17).i16(symbol++).fill(24);
        file.Add('W', body.bytes());
    }
    if (tracks) {
        // Name, two values, the point count, 31-byte points.
        ByteBuilder track;
        track.cstr("Track").u8(1).u32(0).u32(2);
        track.i32(1).i32(2).u8(1).f64(3.5).u8(1).u32(57600).fill(9);
        track.i32(-1).i32(-2).u8(1).f64(9999.5).u8(1).u32(0).fill(9);
        file.Add('T', track.bytes());
        file.Add('L', LBody());
    }
    return file.bytes();
}

// A GPX document of the waypoints (names in UTF-8) and of a track of two
// segments, with the root element given (its namespace, or a prefix that the
// other elements carry as well).
Bytes Gpx(const std::vector<Named>& waypoints, const std::string& root = "gpx", const std::string& prefix = "",
          const std::string& declarations = " xmlns=\"http://www.topografix.com/GPX/1/1\"") {
    const std::string p = prefix.empty() ? "" : prefix + ":";
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + p + root + " version=\"1.1\"" + declarations + ">\n";
    int k = 0;
    for (const Named& w : waypoints) {
        text += "<" + p + "wpt lat=\"" + std::to_string(23.5 + k) + "\" lon=\"-" + std::to_string(120.25 + k) + "\">";
        text += "<" + p + "ele>" + std::to_string(w.altitude) + "</" + p + "ele><" + p + "name>" +
                codepage::Cp950ToUtf8(w.name) + " &amp;</" + p + "name>";
        text += "<" + p + "extensions><x:y xmlns:x=\"urn:x\"><" + p + "name>no</" + p + "name></x:y></" + p + "extensions></" + p + "wpt>\n";
        ++k;
    }
    text += "<" + p + "rte><" + p + "rtept lat=\"1\" lon=\"2\"/></" + p + "rte>\n<" + p + "trk><" + p + "name>ACTIVE LOG</" + p + "name>";
    for (const char* time : {"2005-05-01T10:12:47Z", "2005-05-01T18:12:47.5+08:00"}) {
        text += "<" + p + "trkseg><" + p + "trkpt lat=\"-89.5\" lon=\"179.25\"><" + p + "ele>12.5</" + p + "ele><" + p + "time>" +
                time + "</" + p + "time></" + p + "trkpt><" + p + "trkpt lat=\"0\" lon=\"0\"/></" + p + "trkseg>";
    }
    text += "</" + p + "trk>\n</" + p + root + ">\n";
    return Bytes(text.begin(), text.end());
}

// UTF-16 (little-endian, with a byte order mark) of an ASCII document.
Bytes Utf16(const std::string& ascii) {
    Bytes bytes = {0xFF, 0xFE};
    for (char c : ascii) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

// A GTM file holding the names as a damaged file has them: every byte of 0x80
// and above is 0, and some ASCII letters changed case.
Bytes DamagedGtm(const std::vector<Named>& waypoints, bool withImages) {
    GtmBuilder builder;
    if (withImages) builder.image("map.bmp", "C:\\maps").image("", "x");
    int k = 0;
    for (const Named& w : waypoints) {
        std::string name = w.name.substr(0, 10);
        for (char& c : name) {
            if (static_cast<unsigned char>(c) >= 0x80) c = '\0';
            else if (k % 3 == 1 && c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
        }
        builder.waypoint(GtmRecord{name, w.altitude, k % 2 ? "comment " + std::to_string(k) : "", static_cast<int16_t>(k), 1.0 * k, -2.0 * k});
        ++k;
    }
    return builder.build();
}

// The waypoints a reader takes from a file, as names and altitudes.
std::vector<Named> Read(const Bytes& bytes, const std::string& extension) {
    TempDir dir;
    const std::string path = dir.Write("file" + extension, bytes);
    std::vector<Named> named;
    std::unique_ptr<WaypointSource> source = CreateWaypointSource(path);
    if (!source) return named;
    source->Load(path, nullptr, nullptr);
    for (int32_t i = 0; source->waypoints && i < source->waypointCount; ++i) {
        named.push_back({std::string(source->waypoints[i].name), source->waypoints[i].altitude});
    }
    return named;
}

// A repair input: the control byte, the prefix bytes, the Garmin file's
// length, the Garmin file, the GTM file.
Bytes RepairInput(uint8_t control, const char* prefix, const Bytes& garmin, const Bytes& gtm) {
    ByteBuilder b;
    b.u8(control).u8(static_cast<uint8_t>(prefix[0])).u8(static_cast<uint8_t>(prefix[1]));
    b.u32(static_cast<uint32_t>(garmin.size())).append(garmin).append(gtm);
    return b.bytes();
}

void RepairSeeds(const std::string& name, int kind, const std::string& extension, const Bytes& garmin) {
    const std::vector<Named> named = Read(garmin, extension);
    const Bytes gtm = DamagedGtm(named, kind % 2 == 1);
    Seed("repair", name + "-plain", RepairInput(static_cast<uint8_t>(kind), "\0\0", garmin, gtm));
    Seed("repair", name + "-arrow", RepairInput(static_cast<uint8_t>(kind | 4), "\0\0", garmin, gtm));
    Seed("repair", name + "-ascii-prefix", RepairInput(static_cast<uint8_t>(kind | 12), "->", garmin, gtm));
}

void BuilderSeeds() {
    const std::vector<Named> one(kWaypoints.begin(), kWaypoints.begin() + 1);

    Seed("wtr", "waypoints-and-track", Wtr(kWaypoints, true));
    Seed("wtr", "waypoints-only", Wtr(kWaypoints, false));
    Seed("wtr", "no-waypoints", Wtr({}, true));
    Seed("wtr", "long-names", Wtr({{"1234567890AB", 1}, {"\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4", 2}}, true));

    Seed("evo", "waypoints-and-tracks", Evo(kWaypoints, 3));
    Seed("evo", "one-waypoint", Evo(one, 0));

    Seed("gdb", "version-609", Gdb(kWaypoints, 609, true));
    Seed("gdb", "version-612", Gdb({{"\xE4\xB8\xAD" "AB", 1}, {"\xE6\x96\x87" "x", 2}, {"ASCII", 3}}, 612, true));
    Seed("gdb", "no-tracks", Gdb(one, 609, false));
    Seed("gdb", "no-waypoints", Gdb({}, 609, true));

    Seed("mps", "waypoints-and-track", Mps(kWaypoints, true));
    Seed("mps", "no-tracks", Mps(one, false));

    Seed("gpx", "gpx11", Gpx(kWaypoints));
    Seed("gpx", "gpx10", Gpx(one, "gpx", "", " xmlns=\"http://www.topografix.com/GPX/1/0\""));
    Seed("gpx", "no-namespace", Gpx(kWaypoints, "gpx", "", ""));
    Seed("gpx", "prefixed", Gpx(one, "gpx", "g", " xmlns:g=\"http://www.topografix.com/GPX/1/1\""));
    Seed("gpx", "not-gpx", Gpx(one, "kml"));
    Seed("gpx", "utf16", Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><gpx><wpt lat=\"1\" lon=\"2\"><name>A</name></wpt></gpx>"));
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><gpx><wpt lat=\"1\" lon=\"2\"><name>H\xE4</name></wpt></gpx>";
    Seed("gpx", "latin1", Bytes(latin1.begin(), latin1.end()));

    Seed("gtm", "damaged", DamagedGtm(kWaypoints, false));
    Seed("gtm", "damaged-with-images", DamagedGtm(kWaypoints, true));
    Seed("gtm", "no-waypoints", GtmBuilder().build());
    Seed("gtm", "long-comment", GtmBuilder().waypoint("A", 1, std::string(300, 'c')).waypoint("B", 2).build());

    RepairSeeds("wtr", 0, ".wtr", Wtr(kWaypoints, true));
    RepairSeeds("evo", 1, ".evo", Evo(kWaypoints, 1));
    RepairSeeds("gdb", 2, ".gdb", Gdb(kWaypoints, 609, true));
    RepairSeeds("gdb-utf8", 2, ".gdb", Gdb({{"\xE4\xB8\xAD" "AB", 1}, {"\xE6\x96\x87" "x", 2}}, 612, true));
    RepairSeeds("mps", 3, ".mps", Mps(kWaypoints, true));
    RepairSeeds("gpx", 16, ".gpx", Gpx(kWaypoints));
}

// The real files: as they are for their readers, and in repair inputs with a
// GTM file made from their waypoints (and with the GTM file of the same name
// beside them, where there is one). A GTM file whose signature byte is not
// 0xFF is also given with that byte mended, so that its records are reached.
void SampleSeeds(const fs::path& samples) {
    std::error_code error;
    if (samples.empty() || !fs::is_directory(samples, error)) return;
    for (const auto& entry : fs::directory_iterator(samples, error)) {
        const std::string extension = entry.path().extension().string();
        // demo.wtr and demo.gpx share a stem: the GPX seeds say what they are.
        const std::string name = "sample-" + entry.path().stem().string() + (extension == ".gpx" ? "-gpx" : "");
        const Bytes bytes = ReadAll(entry.path());
        if (extension == ".gtm") {
            Seed("gtm", name, bytes);
            if (bytes.size() > 12 && bytes[12] != 0xFF) {
                Bytes mended = bytes;
                mended[12] = 0xFF;
                Seed("gtm", name + "-mended", mended);
            }
            continue;
        }
        const int kind = extension == ".wtr" ? 0 : extension == ".evo" ? 1 : extension == ".gdb" ? 2 : extension == ".mps" ? 3
                       : extension == ".gpx" ? 16 : -1;
        if (kind < 0) continue;
        Seed(extension.substr(1), name, bytes);
        RepairSeeds(name, kind, extension, bytes);
        // A GTM file of the same name beside it is the file to repair.
        fs::path gtm = entry.path();
        gtm.replace_extension(".gtm");
        if (fs::is_regular_file(gtm, error)) {
            Seed("repair", name + "-pair", RepairInput(static_cast<uint8_t>(kind | 4), "\0\0", bytes, ReadAll(gtm)));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [SAMPLES_FOLDER...]\n", argv[0]);
        return 2;
    }
    output = argv[1];
    BuilderSeeds();
    for (int i = 2; i < argc; ++i) SampleSeeds(argv[i]);
    std::printf("%d seeds in %s\n", written, output.c_str());
    return 0;
}

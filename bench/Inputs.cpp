#include "bench/Inputs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "common/CodePage.h"
#include "support/ByteBuilder.h"

namespace bench {
namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
    double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
    bool Chance(double p) { return Unit() < p; }

private:
    uint64_t state_;
};

using Bytes = ByteBuilder;

// A MapSource record: body length, type letter, body.
void AppendRecord(ByteBuilder& file, char type, const ByteBuilder& body) {
    file.u32(static_cast<uint32_t>(body.size())).u8(static_cast<uint8_t>(type)).append(body.bytes());
}

constexpr double kSemicirclesPerDegree = 2147483648.0 / 180.0;

int32_t Semicircles(double degrees) { return static_cast<int32_t>(std::lround(degrees * kSemicirclesPerDegree)); }
double Degrees(int32_t semicircles) { return semicircles / kSemicirclesPerDegree; }

// One character of the frequently used Big5 range: both bytes 0x80 and above.
void AppendChinese(Random& random, std::string& name) {
    name += static_cast<char>(0xA4 + random.Below(0xC5 - 0xA4 + 1));
    name += static_cast<char>(0xA1 + random.Below(0xFE - 0xA1 + 1));
}

std::string WaypointName(Random& random) {
    static const char kDigits[] = "0123456789";
    static const char kLetters[] = "ABCDEFGHJKLMNPRSTUVWXYZabcdefghkmnprstuvwxyz";
    std::string name;
    const double kind = random.Unit();
    if (kind < 0.55) {  // Chinese only: a peak, a hut, a trail fork
        const uint32_t chars = 2 + random.Below(4);
        for (uint32_t c = 0; c < chars; ++c) AppendChinese(random, name);
    } else if (kind < 0.85) {  // Chinese with a number or letter: 2nd camp, A hut
        const uint32_t chars = 1 + random.Below(3);
        if (random.Chance(0.3)) name += kLetters[random.Below(sizeof kLetters - 1)];
        for (uint32_t c = 0; c < chars; ++c) AppendChinese(random, name);
        const uint32_t digits = 1 + random.Below(2);
        for (uint32_t d = 0; d < digits && name.size() < 10; ++d) name += kDigits[random.Below(10)];
    } else {  // device names and codes: WPT0123, TP12, GC1A37
        static const char* const kPrefixes[] = {"WPT", "TP", "GC", "Camp", "pt"};
        name = kPrefixes[random.Below(5)];
        const uint32_t digits = 2 + random.Below(4);
        for (uint32_t d = 0; d < digits && name.size() < 10; ++d) {
            name += random.Chance(0.8) ? kDigits[random.Below(10)] : kLetters[random.Below(sizeof kLetters - 1)];
        }
    }
    return name;
}

// Unix time as ISO 8601 in UTC.
std::string IsoTime(uint32_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

}  // namespace

World MakeWorld(uint64_t seed, const Sizes& sizes) {
    Random random(seed);
    World world;
    world.waypoints.reserve(sizes.waypoints);
    static const int16_t kSymbols[] = {18, 0, 8, 150, 178, 6, 156};
    for (size_t i = 0; i < sizes.waypoints; ++i) {
        Waypoint w;
        w.name = WaypointName(random);
        w.latitude = Semicircles(21.9 + 3.4 * random.Unit());
        w.longitude = Semicircles(120.0 + 2.0 * random.Unit());
        // Most altitudes lie low, a few near the summits; some devices record none.
        w.altitude = random.Chance(0.03) ? 0.0f : static_cast<float>(3952.0 * std::pow(random.Unit(), 1.6));
        w.symbol = kSymbols[random.Below(std::size(kSymbols))];
        world.waypoints.push_back(std::move(w));
    }
    const size_t trackCount = sizes.points == 0 ? 0 : std::max<size_t>(sizes.tracks, 1);
    uint32_t time = 1199145600;  // 2008-01-01
    for (size_t k = 0; k < trackCount; ++k) {
        Track track;
        char name[32];
        std::snprintf(name, sizeof name, "ACTIVE LOG %03zu", k + 1);
        track.name = name;
        const size_t count = sizes.points / trackCount + (k < sizes.points % trackCount ? 1 : 0);
        track.points.reserve(count);
        double latitude = 22.5 + 2.5 * random.Unit();
        double longitude = 120.5 + 1.0 * random.Unit();
        double altitude = 3000.0 * random.Unit();
        time += 86400;
        for (size_t p = 0; p < count; ++p) {
            latitude += (random.Unit() - 0.5) * 1e-4;
            longitude += (random.Unit() - 0.5) * 1e-4;
            altitude = std::clamp(altitude + (random.Unit() - 0.5) * 4.0, -10.0, 3952.0);
            time += 1 + random.Below(10);
            track.points.push_back(Point{Semicircles(latitude), Semicircles(longitude), static_cast<float>(altitude), time});
        }
        world.tracks.push_back(std::move(track));
    }
    return world;
}

std::vector<unsigned char> WtrFile(const World& world) {
    Bytes b;
    b.u8(0xFF).text("Wpt").u8(0xFF).fill(11);
    for (const Waypoint& w : world.waypoints) {
        b.field(w.name, 10, 0).fill(10).i32(w.latitude).i32(w.longitude).f32(w.altitude).fill(8).i16(w.symbol).fill(22);
    }
    b.u8(0xFF).text("Trk").u8(0xFF).fill(11);
    b.u8(0xEE).text("hdr").u8(0xEE).fill(13);
    b.field(world.tracks.empty() ? std::string() : world.tracks[0].name, 16, 0);
    for (const Track& track : world.tracks) {
        for (const Point& p : track.points) b.i32(p.latitude).i32(p.longitude).u32(p.time).f32(p.altitude).fill(5);
    }
    b.u8(0xFF).text("Rte").u8(0xFF).fill(11);
    return std::move(b.bytes());
}

std::vector<unsigned char> EvoFile(const World& world) {
    const size_t waypointCount = std::min<size_t>(world.waypoints.size(), 9999);
    const size_t trackCount = std::min<size_t>(world.tracks.size(), 9999);
    Bytes b;
    b.text("EVO waypoint and track file").fill(5, 0x20);  // 32 bytes not read
    b.u16(static_cast<uint16_t>(waypointCount)).u16(0).u16(static_cast<uint16_t>(trackCount)).fill(10);
    for (size_t i = 0; i < waypointCount; ++i) {
        const Waypoint& w = world.waypoints[i];
        // The entry pattern, then fields at fixed distances from it. The bytes
        // around the name never form the entry or track pattern by chance.
        b.u8(0x00).u8(0xFF).u8(0x00).fill(21, 0x20);
        b.i32(w.latitude).i32(w.longitude).f32(w.altitude).fill(16, 0x20);
        b.text(w.name).u8(0x0A).fill(9, 0x20).i16(w.symbol).fill(6, 0x20);
    }
    for (size_t k = 0; k < trackCount; ++k) {
        const Track& track = world.tracks[k];
        b.u8(0).u8(0).cstr(track.name).u32(static_cast<uint32_t>(track.points.size()));
        for (const Point& p : track.points) b.i32(p.latitude).i32(p.longitude).u32(p.time).f32(p.altitude).fill(8);
    }
    return std::move(b.bytes());
}

std::vector<unsigned char> GdbFile(const World& world, bool utf8Names) {
    Bytes b;
    b.text("MsRcf").u8(0);
    AppendRecord(b, 'D', Bytes().cstr("m"));
    AppendRecord(b, 'A', Bytes().u16(utf8Names ? 612 : 609).cstr("SQA").cstr("Aug 15 2006").cstr("11:44:48"));
    b.cstr("MapSource");
    for (const Waypoint& w : world.waypoints) {
        Bytes body;
        body.cstr(utf8Names ? codepage::Cp950ToUtf8(w.name) : w.name).u32(0).cstr("");
        body.fill(4).fill(12, 0xFF).fill(2).fill(4, 0xFF);  // 22-byte block
        body.i32(w.latitude).i32(w.longitude);
        if (w.altitude != 0.0f) {
            body.u8(1).f64(w.altitude);
        } else {
            body.u8(0);
        }
        body.cstr("").u8(0).u32(0).u32(0).i16(w.symbol);
        body.fill(3).cstr("").u16(0).u8(0).fill(7).cstr("").u16(0).u8(0).u8(0);
        AppendRecord(b, 'W', body);
    }
    for (const Track& track : world.tracks) {
        Bytes body;
        body.cstr(track.name).u8(0).u32(0xFFFFFFFF).u32(static_cast<uint32_t>(track.points.size()));
        for (const Point& p : track.points) {
            body.i32(p.latitude).i32(p.longitude).u8(1).f64(p.altitude).u8(1).u32(p.time).u8(0).u8(0);
        }
        body.u8(0);
        AppendRecord(b, 'T', body);
    }
    AppendRecord(b, 'L', Bytes().u32(1).u32(2).cstr("http://www.garmin.com").cstr("").cstr("").u32(0).u32(0));
    AppendRecord(b, 'V', Bytes().cstr("Local Folder").u8(1));
    return std::move(b.bytes());
}

std::vector<unsigned char> MpsFile(const World& world) {
    Bytes b;
    b.text("MsRcd").u8(0);
    AppendRecord(b, 'D', Bytes().cstr("g"));
    AppendRecord(b, 'A', Bytes().u16(406).cstr("SQA").cstr("Oct 18 2005").cstr("12:03:34"));
    for (const Waypoint& w : world.waypoints) {
        Bytes body;
        body.cstr(w.name).u32(0).cstr("TW").fill(22, 0xFF);
        body.i32(w.latitude).i32(w.longitude).u8(1).f64(w.altitude);
        body.cstr("").fill(17).i16(w.symbol).fill(24);
        AppendRecord(b, 'W', body);
    }
    for (const Track& track : world.tracks) {
        Bytes body;
        body.cstr(track.name).u8(0).u32(0xFFFFFFFF).u32(static_cast<uint32_t>(track.points.size()));
        for (const Point& p : track.points) {
            body.i32(p.latitude).i32(p.longitude).u8(1).f64(p.altitude).u8(1).u32(p.time).fill(9);
        }
        AppendRecord(b, 'T', body);
    }
    AppendRecord(b, 'L', Bytes().u32(1).u32(2).cstr("http://www.garmin.com").cstr("").cstr("").u32(0).u32(0));
    return std::move(b.bytes());
}

void MakeAlikeWithoutElevations(World& world, uint64_t seed) {
    Random random(seed);
    for (Waypoint& w : world.waypoints) {
        w.name.clear();
        for (int c = 0; c < 3; ++c) AppendChinese(random, w.name);
        w.altitude = 0.0f;
    }
}

std::vector<unsigned char> GtmFile(const World& world, uint64_t seed, double shift) {
    Random random(seed);
    Bytes b;
    b.u16(211).text("TrackMaker").u8(0xFF).fill(22);
    b.i32(static_cast<int32_t>(world.waypoints.size())).fill(24).i32(0).fill(32);
    for (const char* s : {"WGS 84", "", "Taiwan", "Lorvane bench"}) b.u16(static_cast<uint16_t>(std::strlen(s))).text(s);
    b.fill(58, 0x01);
    for (const Waypoint& w : world.waypoints) {
        std::string name = w.name;
        const bool otherCase = random.Chance(0.1);
        for (char& c : name) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) c = '\0';
            else if (otherCase && byte >= 'a' && byte <= 'z') c = static_cast<char>(byte - 0x20);
            else if (otherCase && byte >= 'A' && byte <= 'Z') c = static_cast<char>(byte + 0x20);
        }
        float altitude = w.altitude;
        if (random.Chance(0.2)) altitude = static_cast<float>(static_cast<float>(altitude / 0.3048) * 0.3048);
        const std::string comment = random.Chance(0.3) ? "from GPS" : "";
        b.f64(Degrees(w.latitude) + shift).f64(Degrees(w.longitude) + shift).field(name, 10, ' ');
        b.u16(static_cast<uint16_t>(comment.size())).text(comment).i16(48).fill(7).f32(altitude).fill(2);
    }
    b.text("the tracks, routes and maps follow here");
    return std::move(b.bytes());
}

std::string GpxFile(const World& world) {
    std::string gpx;
    gpx.reserve(world.waypoints.size() * 160 + 2000);
    gpx += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"lorvane-make-inputs\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    char line[256];
    for (const Waypoint& w : world.waypoints) {
        std::snprintf(line, sizeof line, "<wpt lat=\"%.9f\" lon=\"%.9f\"><ele>%.3f</ele><name>", Degrees(w.latitude),
                      Degrees(w.longitude), static_cast<double>(w.altitude));
        gpx += line;
        gpx += codepage::Cp950ToUtf8(w.name);
        gpx += "</name><sym>Flag, Blue</sym></wpt>\n";
    }
    for (const Track& track : world.tracks) {
        gpx += "<trk><name>" + track.name + "</name><trkseg>\n";
        for (const Point& p : track.points) {
            std::snprintf(line, sizeof line, "<trkpt lat=\"%.9f\" lon=\"%.9f\"><ele>%.3f</ele><time>%s</time></trkpt>\n",
                          Degrees(p.latitude), Degrees(p.longitude), static_cast<double>(p.altitude),
                          IsoTime(p.time).c_str());
            gpx += line;
        }
        gpx += "</trkseg></trk>\n";
    }
    gpx += "</gpx>\n";
    return gpx;
}

int WriteFile(const std::string& path, const void* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written ? 1 : 0;
}

}  // namespace bench

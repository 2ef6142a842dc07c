#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/LineList.h"
#include "sources/CreateWaypointSource.h"
#include "sources/NameField.h"
#include "support/ByteBuilder.h"

// Builders for MapSource files, field by field: a signature, a head of two records, then length-prefixed records.

namespace mstest {

using Bytes = std::vector<uint8_t>;

inline Bytes ABody(uint16_t version) {
    // The texts with their NULs in one piece: built one by one, g++ 12's MinGW build warns of a false overflow.
    static constexpr std::string_view texts("SQA\0Oct 18 2005\0" "12:03:34", 24);
    return ByteBuilder().u16(version).cstr(texts).bytes();
}

template <typename T> ByteBuilder& Flagged(ByteBuilder& b, const std::optional<T>& value) {
    return value ? b.u8(1).raw(&*value, sizeof(T)) : b.u8(0);
}

// A whole file: the head, then the records in the order added.
struct MsFile : ByteBuilder {
    static MsFile Gdb(uint16_t version = 609, std::string_view program = "MapSource") {
        MsFile file;
        file.cstr("MsRcf");
        return static_cast<MsFile&>(file.Add('D', {'l', 0}).Add('A', ABody(version)).cstr(program));
    }
    // ".mps": firstBody is the text of the first head record.
    static MsFile Mps(uint16_t version = 406, std::string_view firstBody = "g") {
        MsFile file;
        file.cstr("MsRcd");
        return file.Add('D', ByteBuilder().cstr(firstBody).bytes()).Add('A', ABody(version));
    }
    MsFile& Add(char type, const Bytes& body) {
        return static_cast<MsFile&>(u32(static_cast<uint32_t>(body.size())).u8(type).append(body));
    }
    template <typename Body> MsFile& W(const Body& w) { return Add('W', w.Body()); }
    template <typename Body> MsFile& T(const Body& t) { return Add('T', t.Body()); }
};

// A ".gdb" waypoint body. With fixedTail, the fields after the symbol follow as MapSource writes them for plain
// waypoints; without it the body ends with the symbol.
struct GdbWaypoint {
    std::string name = "WPT";
    int32_t latitude = 0, longitude = 0;
    std::optional<double> altitude{};
    std::string thirdText{};
    bool flaggedValue = false;
    int16_t symbol = 18;
    bool fixedTail = true;

    Bytes Body() const {
        ByteBuilder b;
        b.cstr(name).u32(0).cstr("").fill(4).fill(12, 0xFF).fill(2).fill(4, 0xFF);  // 22-byte block
        Flagged(b.i32(latitude).i32(longitude), altitude).cstr(thirdText);
        (flaggedValue ? b.u8(1).fill(8, 0x5A) : b.u8(0)).u32(1).u32(0).i16(symbol);
        if (fixedTail) b.fill(3).cstr("").fill(2).u8(0).fill(7).cstr("").fill(2).u8(0).u8(0);
        return b.bytes();
    }
};

// A track point. In ".gdb" files each optional field is written behind its flag (a point of altitude and time
// alone is the classic 24-byte point); ".mps" files write an absent altitude or time as 0.
struct GdbPoint {
    int32_t latitude = 0, longitude = 0;
    std::optional<double> altitude{};
    std::optional<uint32_t> time{};
    std::optional<double> depth{}, temperature{};
};

struct GdbTrack {
    std::string name = "ACTIVE LOG";
    std::vector<GdbPoint> points{};
    std::optional<uint32_t> pointCount{};  // the count written, when not points.size()
    Bytes after = {0};                     // bytes after the last point

    Bytes Body() const {
        auto b = ByteBuilder().cstr(name).u8(1).u32(0).u32(pointCount.value_or(static_cast<uint32_t>(points.size())));
        for (const GdbPoint& p : points) {
            b.i32(p.latitude).i32(p.longitude);
            Flagged(b, p.altitude), Flagged(b, p.time), Flagged(b, p.depth), Flagged(b, p.temperature);
        }
        return b.append(after).bytes();
    }
};

// A ".mps" waypoint body. The classic layout has a two-letter country, a 22-byte block and 24 bytes after the symbol.
struct MpsWaypoint {
    std::string name = "WPT";
    std::string country = "US";
    size_t blockSize = 22;
    int32_t latitude = 0, longitude = 0;
    double altitude = 0;
    int16_t symbol = 18;
    size_t tailSize = 24;

    Bytes Body() const {
        return ByteBuilder().cstr(name).u32(0).cstr(country).fill(blockSize, 0xFF).i32(latitude).i32(longitude).u8(0)
            .f64(altitude).cstr("The Troll").fill(17).i16(symbol).fill(tailSize).bytes();
    }
};

// A ".mps" track: 31-byte points of latitude, longitude, flag, altitude, flag, time and 9 more bytes.
struct MpsTrack {
    std::string name = "Track";
    std::vector<GdbPoint> points{};  // depth and temperature are not written

    Bytes Body() const {
        ByteBuilder b = ByteBuilder().cstr(name).u8(1).u32(0).u32(static_cast<uint32_t>(points.size()));
        for (const GdbPoint& p : points)
            b.i32(p.latitude).i32(p.longitude).u8(1).f64(p.altitude.value_or(0)).u8(1).u32(p.time.value_or(0)).fill(9);
        return b.bytes();
    }
};

// The reader the program picks for a file of the extension, after loading bytes through such a file (named in
// Chinese: the path is UTF-8, as the program's paths are).
struct Loaded {
    Loaded(const std::string& extension, const Bytes& bytes, bool listTracks = true, bool keepTrackPoints = true) {
        static TempDir dir;
        const std::string path = dir.Write("航點" + extension, bytes);
        source = CreateWaypointSource(path);
        source->keepTrackPoints = keepTrackPoints;
        result = source->Load(path, &waypointLines, listTracks ? &trackLines : nullptr);
    }
    std::string Name(int i) const { return std::string(FieldText(source->waypoints[i].name, 12)); }
    std::string TrackName(int k) const { return std::string(FieldText(source->tracks[k].name, 32)); }
    const WaypointRecord& Waypoint(int i) const { return source->waypoints[i]; }
    const TrackPoint& Point(int k, int j) const { return source->tracks[k].points[j]; }

    std::unique_ptr<WaypointSource> source;
    VectorLineList waypointLines, trackLines;
    int result = 0;
};

inline Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline Bytes Cut(const Bytes& bytes, size_t length) { return Bytes(bytes.begin(), bytes.begin() + length); }

}  // namespace mstest

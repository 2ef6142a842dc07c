#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/LineList.h"
#include "sources/WaypointSource.h"
#include "support/ByteBuilder.h"

// Builders for MapSource files, laid out field by field as the files have
// them: a signature, a head of two records, then typed, length-prefixed
// records.

namespace mstest {

// A record: body length, type letter, body.
inline ByteBuilder& AppendRecord(ByteBuilder& file, char type, const std::vector<uint8_t>& body) {
    return file.u32(static_cast<uint32_t>(body.size())).u8(static_cast<uint8_t>(type)).append(body);
}

// An 'A' body: the version and three texts.
inline std::vector<uint8_t> ABody(uint16_t version, std::string_view first = "SQA",
                                  std::string_view second = "Oct 18 2005", std::string_view third = "12:03:34") {
    return ByteBuilder().u16(version).cstr(first).cstr(second).cstr(third).bytes();
}

// The head of a ".gdb" file; program is the text after the 'A' record, written
// with its NUL.
inline ByteBuilder GdbHead(uint16_t version = 609, std::string_view program = "MapSource") {
    ByteBuilder file;
    file.text("MsRcf").u8(0);
    AppendRecord(file, 'D', ByteBuilder().cstr("l").bytes());
    AppendRecord(file, 'A', ABody(version));
    return file.cstr(program);
}

// The head of a ".mps" file; firstBody is the body of its first ('D') record.
inline ByteBuilder MpsHead(uint16_t version = 406, std::string_view firstBody = "g") {
    ByteBuilder file;
    file.text("MsRcd").u8(0);
    AppendRecord(file, 'D', ByteBuilder().cstr(firstBody).bytes());
    AppendRecord(file, 'A', ABody(version));
    return file;
}

// A ".gdb" waypoint body. With fixedTail, the fields after the symbol follow
// as MapSource writes them for plain waypoints; without it the body ends with
// the symbol.
struct GdbWaypoint {
    std::string name = "WPT";
    int32_t latitude = 0;
    int32_t longitude = 0;
    std::optional<double> altitude;
    std::string thirdText;
    bool flaggedValue = false;
    int16_t symbol = 18;
    bool fixedTail = true;
    std::vector<uint8_t> extra;  // bytes after everything else

    std::vector<uint8_t> Body() const {
        ByteBuilder b;
        b.cstr(name).u32(0).cstr("").fill(4).fill(12, 0xFF).fill(2).fill(4, 0xFF);  // 22-byte block
        b.i32(latitude).i32(longitude);
        b.u8(altitude ? 1 : 0);
        if (altitude) b.f64(*altitude);
        b.cstr(thirdText).u8(flaggedValue ? 1 : 0);
        if (flaggedValue) b.fill(8, 0x5A);
        b.u32(1).u32(0).i16(symbol);
        if (fixedTail) {
            // 3-byte block, fourth text, 2 bytes, flag 0, 7-byte block, fifth
            // text, 2 bytes, two flags of 0.
            b.fill(3).cstr("").fill(2).u8(0).fill(7).cstr("").fill(2).u8(0).u8(0);
        }
        return b.append(extra).bytes();
    }
};

// A ".gdb" track point: each optional field is written behind its flag.
struct GdbPoint {
    int32_t latitude = 0;
    int32_t longitude = 0;
    std::optional<double> altitude;
    std::optional<uint32_t> time;
    std::optional<double> depth;
    std::optional<double> temperature;

    // The point as MapSource's classic layout has it: altitude and time, 24 bytes.
    static GdbPoint Classic(int32_t latitude, int32_t longitude, double altitude, uint32_t time) {
        return GdbPoint{latitude, longitude, altitude, time, std::nullopt, std::nullopt};
    }

    void Write(ByteBuilder& b) const {
        b.i32(latitude).i32(longitude);
        b.u8(altitude ? 1 : 0);
        if (altitude) b.f64(*altitude);
        b.u8(time ? 1 : 0);
        if (time) b.u32(*time);
        b.u8(depth ? 1 : 0);
        if (depth) b.f64(*depth);
        b.u8(temperature ? 1 : 0);
        if (temperature) b.f64(*temperature);
    }
};

struct GdbTrack {
    std::string name = "ACTIVE LOG";
    std::vector<GdbPoint> points;
    std::optional<uint32_t> pointCount;  // the count written, when not points.size()
    std::vector<uint8_t> after = {0};    // bytes after the last point

    std::vector<uint8_t> Body() const {
        ByteBuilder b;
        b.cstr(name).u8(1).u32(0).u32(pointCount ? *pointCount : static_cast<uint32_t>(points.size()));
        for (const GdbPoint& point : points) point.Write(b);
        return b.append(after).bytes();
    }
};

// A ".mps" waypoint body. The classic layout has a two-letter country, a
// 22-byte block and 24 bytes after the symbol.
struct MpsWaypoint {
    std::string name = "WPT";
    std::string country = "US";
    size_t blockSize = 22;
    int32_t latitude = 0;
    int32_t longitude = 0;
    double altitude = 0;
    std::string secondText;
    int16_t symbol = 18;
    size_t tailSize = 24;

    std::vector<uint8_t> Body() const {
        ByteBuilder b;
        b.cstr(name).u32(0).cstr(country).fill(blockSize, 0xFF);
        b.i32(latitude).i32(longitude).u8(0).f64(altitude);
        b.cstr(secondText).fill(17).i16(symbol).fill(tailSize);
        return b.bytes();
    }
};

struct MpsPoint {
    int32_t latitude = 0;
    int32_t longitude = 0;
    double altitude = 0;
    uint32_t time = 0;
};

struct MpsTrack {
    std::string name = "Track";
    std::vector<MpsPoint> points;
    std::vector<uint8_t> after;  // bytes after the last point

    std::vector<uint8_t> Body() const {
        ByteBuilder b;
        b.cstr(name).u8(1).u32(0).u32(static_cast<uint32_t>(points.size()));
        for (const MpsPoint& p : points) b.i32(p.latitude).i32(p.longitude).u8(1).f64(p.altitude).u8(1).u32(p.time).fill(9);
        return b.append(after).bytes();
    }
};

// Loads bytes with the reader, through a file of a folder of its own.
inline int LoadBytes(WaypointSource& source, const std::vector<uint8_t>& bytes, LineList* waypointList,
                     LineList* trackList, const char* extension) {
    TempDir dir;
    std::string path = dir.Write(std::string("file") + extension, bytes);
    return source.Load(path, waypointList, trackList);
}

}  // namespace mstest

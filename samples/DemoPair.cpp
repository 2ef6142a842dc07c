#include "samples/DemoPair.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "common/CodePage.h"
#include "sources/Records.h"

namespace {

struct DemoWaypoint {
    const char* name;     // UTF-8; every Chinese character is two bytes of 0xA1 or more in Big5
    const char* damaged;  // the ASCII the GTM file kept, where it differs in case
    double latitude;
    double longitude;
    float altitude;
    const char* comment;
};

// Names of 10 bytes at most. Those that begin with a letter or digit make the
// program offer its prefix when the repaired file is saved.
const DemoWaypoint kWaypoints[] = {
    {"嘉明湖", nullptr, 23.2930, 121.0340, 3310.0f, ""},
    {"日月潭", nullptr, 23.8575, 120.9155, 748.3f, "lake"},
    {"阿里站", nullptr, 23.5106, 120.8048, 2216.0f, ""},
    {"雪池", nullptr, 24.3870, 121.2410, 3550.0f, "hut"},
    {"天池", nullptr, 24.0830, 121.2080, 2860.0f, ""},
    {"A1營", nullptr, 23.4702, 120.9570, 2620.0f, "camp A1"},
    {"101高樓", nullptr, 25.0340, 121.5645, 508.0f, ""},
    {"7-11車站", nullptr, 24.1370, 120.6860, 1010.0f, "shop"},
    {"能高營", nullptr, 24.0500, 121.2500, 2855.0f, ""},
    {"TWN車站", "twn", 25.0478, 121.5170, 95.0f, "station"},
    {"草原", nullptr, 24.1390, 121.2750, 3120.0f, ""},
    {"水源", nullptr, 24.2000, 121.3000, 1980.4f, ""},
};

constexpr size_t kNameField = 10;

class Bytes {
public:
    Bytes& u8(uint8_t value) { data.push_back(value); return *this; }
    // Bytes go in one by one: g++ 12 warns falsely (-Wstringop-overflow) on
    // a range insert into a vector whose size it cannot follow.
    template <typename T>
    Bytes& le(T value) {
        unsigned char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));  // the tool runs on little-endian hosts only
        for (unsigned char byte : raw) data.push_back(byte);
        return *this;
    }
    Bytes& text(std::string_view value) {
        for (char c : value) data.push_back(static_cast<unsigned char>(c));
        return *this;
    }
    Bytes& field(std::string_view value, size_t width, uint8_t pad) {
        for (size_t i = 0; i < width; ++i) u8(i < value.size() ? static_cast<uint8_t>(value[i]) : pad);
        return *this;
    }
    Bytes& fill(size_t count, uint8_t value = 0) { data.insert(data.end(), count, value); return *this; }
    // A uint16 byte count and the bytes.
    Bytes& counted(std::string_view value) { return le<uint16_t>(static_cast<uint16_t>(value.size())).text(value); }

    std::vector<uint8_t> data;
};

static_assert(sizeof(float) == 4 && sizeof(double) == 8);

int32_t Semicircles(double degrees) { return static_cast<int32_t>(std::lround(degrees / kSemicircleFactor)); }

std::string Big5(const char* utf8) { return codepage::Utf8ToCp950(utf8); }

// What the damaging program made of a name: every byte of a Chinese
// character is zero, ASCII stays (in the case given), spaces pad to 10 bytes.
std::string Damaged(const DemoWaypoint& waypoint) {
    std::string name = Big5(waypoint.name);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) c = '\0';
    }
    if (waypoint.damaged) std::memcpy(name.data(), waypoint.damaged, std::strlen(waypoint.damaged));
    name.resize(kNameField, ' ');
    return name;
}

}  // namespace

std::vector<uint8_t> MakeDemoWtr(bool elevations) {
    Bytes file;
    file.u8(0xFF).text("Wpt").u8(0xFF).fill(11);
    for (const DemoWaypoint& waypoint : kWaypoints) {
        file.field(Big5(waypoint.name), kNameField, 0)
            .fill(10)
            .le<int32_t>(Semicircles(waypoint.latitude))
            .le<int32_t>(Semicircles(waypoint.longitude))
            .le<float>(elevations ? waypoint.altitude : 0.0f)
            .fill(8)
            .le<int16_t>(18)  // the symbol of a plain waypoint
            .fill(22);
    }
    file.u8(0xFF).text("Trk").u8(0xFF).fill(11);
    file.u8(0xEE).text("hdr").u8(0xEE).fill(13);
    file.field("DEMO TRACK", 16, 0);
    const uint32_t start = 1700000000;  // 2023-11-14 22:13:20 UTC
    for (uint32_t j = 0; j < 4; ++j) {
        file.le<int32_t>(Semicircles(23.4700 + 0.001 * j))
            .le<int32_t>(Semicircles(120.9570 + 0.0015 * j))
            .le<uint32_t>(start + 60 * j)
            .le<float>(2620.0f + 12.5f * static_cast<float>(j))
            .fill(5);
    }
    file.u8(0xFF).text("Rte").u8(0xFF);
    return file.data;
}

std::vector<uint8_t> MakeDemoGpx() {
    std::string gpx =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"lorvane-make-demo\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    char line[160];
    // The shortest text that reads back as the same float.
    auto shortest = [](float value) {
        char text[32];
        return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
    };
    for (const DemoWaypoint& waypoint : kWaypoints) {
        std::snprintf(line, sizeof line, "  <wpt lat=\"%.4f\" lon=\"%.4f\">\n", waypoint.latitude, waypoint.longitude);
        gpx += line;
        gpx += "    <ele>" + shortest(waypoint.altitude) + "</ele>\n    <name>" + waypoint.name + "</name>\n";
        if (*waypoint.comment) gpx += "    <cmt>" + std::string(waypoint.comment) + "</cmt>\n";
        gpx += "    <sym>Flag, Blue</sym>\n  </wpt>\n";
    }
    // The points of the WTR file's track, a minute apart from 2023-11-14 22:13:20 UTC.
    gpx += "  <trk>\n    <name>DEMO TRACK</name>\n    <trkseg>\n";
    for (int j = 0; j < 4; ++j) {
        std::snprintf(line, sizeof line,
                      "      <trkpt lat=\"%.4f\" lon=\"%.4f\"><ele>%s</ele><time>2023-11-14T22:%02d:20Z</time></trkpt>\n",
                      23.4700 + 0.001 * j, 120.9570 + 0.0015 * j,
                      shortest(2620.0f + 12.5f * static_cast<float>(j)).c_str(), 13 + j);
        gpx += line;
    }
    gpx += "    </trkseg>\n  </trk>\n</gpx>\n";
    return std::vector<uint8_t>(gpx.begin(), gpx.end());
}

std::vector<uint8_t> MakeDemoGtm(bool elevations, const std::vector<size_t>& order, bool repaired) {
    std::vector<size_t> indices = order;
    for (size_t k = 0; order.empty() && k < std::size(kWaypoints); ++k) indices.push_back(k);
    const auto count = static_cast<int32_t>(indices.size());
    Bytes file;
    file.le<int16_t>(211)  // the format version the files in use carry
        .text("TrackMaker")
        .u8(0xFF)
        .fill(22)
        .le<int32_t>(count)
        .fill(24)
        .le<int32_t>(0)  // no image records
        .fill(32);
    // Four length-prefixed strings, then a block of 58 bytes.
    file.counted("WGS 84").counted("").counted("").counted("").fill(58);
    for (size_t k : indices) {
        const DemoWaypoint& waypoint = kWaypoints[k];
        std::string name = Damaged(waypoint);
        if (repaired) name.replace(0, Big5(waypoint.name).size(), Big5(waypoint.name));
        file.le<double>(waypoint.latitude)
            .le<double>(waypoint.longitude)
            .text(name)
            .counted(waypoint.comment)
            .le<int16_t>(1)  // icon
            .fill(7)
            .le<float>(elevations ? waypoint.altitude : 0.0f)
            .fill(2);
    }
    return file.data;
}

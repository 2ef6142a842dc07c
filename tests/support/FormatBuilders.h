#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/ByteBuilder.h"

// Builders for the two files of a repair, laid out field by field.

struct WtrWaypoint {
    std::string name;  // up to 10 bytes, NUL-padded
    int32_t latitude = 0, longitude = 0;
    float altitude = 0;
    int16_t symbol = 0;
};

struct WtrPoint { int32_t latitude = 0, longitude = 0; uint32_t time = 0; float altitude = 0; };

// A WTR file: the waypoint marker, 64-byte waypoint records, the track marker,
// optionally a track header with one track, and the route marker.
class WtrBuilder {
public:
    WtrBuilder& waypoint(WtrWaypoint w) { waypoints_.push_back(std::move(w)); return *this; }
    WtrBuilder& waypoint(std::string name, float altitude, int16_t symbol = 0) {
        return waypoint(WtrWaypoint{std::move(name), 0, 0, altitude, symbol});
    }
    WtrBuilder& track(std::string name, std::vector<WtrPoint> points) {
        trackName_ = std::move(name);
        points_ = std::move(points);
        return *this;
    }

    std::vector<uint8_t> build() const {
        ByteBuilder b;
        b.u8(0xFF).text("Wpt").u8(0xFF).fill(11);
        for (const WtrWaypoint& w : waypoints_) {
            b.field(w.name, 10).fill(10).i32(w.latitude).i32(w.longitude).f32(w.altitude).fill(8).i16(w.symbol).fill(22);
        }
        b.u8(0xFF).text("Trk").u8(0xFF).fill(11);
        trackName_ ? b.u8(0xEE).text("hdr").u8(0xEE) : b.fill(5);
        b.fill(13).field(trackName_.value_or(""), 16);
        for (const WtrPoint& p : points_) b.i32(p.latitude).i32(p.longitude).u32(p.time).f32(p.altitude).fill(5);
        b.u8(0xFF).text("Rte").u8(0xFF).fill(8);
        return b.bytes();
    }

private:
    std::vector<WtrWaypoint> waypoints_;
    std::optional<std::string> trackName_;
    std::vector<WtrPoint> points_;
};

struct GtmRecord {
    std::string name;  // exactly the 10 bytes of the field (padded with spaces when shorter)
    float altitude = 0;
    std::string comment;
    int16_t icon = 0;
    double latitude = 0, longitude = 0;
};

// A GTM file: the fixed header, four strings, the 58-byte block, image records,
// waypoint records and a tail of other data.
class GtmBuilder {
public:
    GtmBuilder& waypoint(GtmRecord r) { records_.push_back(std::move(r)); return *this; }
    GtmBuilder& waypoint(std::string name, float altitude, std::string comment = "") {
        return waypoint(GtmRecord{std::move(name), altitude, std::move(comment)});
    }
    GtmBuilder& image(std::string first, std::string second) { images_.push_back({std::move(first), std::move(second)}); return *this; }
    GtmBuilder& signatureByte(uint8_t value) { signatureByte_ = value; return *this; }
    GtmBuilder& waypointCount(int32_t count) { waypointCount_ = count; return *this; }
    GtmBuilder& imageCount(int32_t count) { imageCount_ = count; return *this; }
    GtmBuilder& tail(std::string bytes) { tail_ = std::move(bytes); return *this; }

    std::vector<uint8_t> build() const {
        ByteBuilder b;
        b.u8(0xD3).u8(0x00).text("TrackMaker").u8(signatureByte_);
        for (int i = 13; i < 35; ++i) b.u8(static_cast<uint8_t>(i));
        b.i32(waypointCount_ ? *waypointCount_ : static_cast<int32_t>(records_.size()));
        for (int i = 39; i < 63; ++i) b.u8(static_cast<uint8_t>(0x40 + i));
        b.i32(imageCount_ ? *imageCount_ : static_cast<int32_t>(images_.size()));
        for (int i = 67; i < 99; ++i) b.u8(static_cast<uint8_t>(0x80 + i));
        for (const std::string& s : strings_) b.u16(static_cast<uint16_t>(s.size())).text(s);
        for (int i = 0; i < 58; ++i) b.u8(static_cast<uint8_t>(0xA0 + i % 7));
        for (const auto& [first, second] : images_) {
            b.u16(static_cast<uint16_t>(first.size())).text(first);
            b.u16(static_cast<uint16_t>(second.size())).text(second);
            b.fill(30, 0x5A);
        }
        for (const GtmRecord& r : records_) {
            b.f64(r.latitude).f64(r.longitude).field(r.name, 10, ' ');
            b.u16(static_cast<uint16_t>(r.comment.size())).text(r.comment);
            b.i16(r.icon).fill(7, 0x11).f32(r.altitude).fill(2, 0x22);
        }
        b.text(tail_);
        return b.bytes();
    }

private:
    std::vector<GtmRecord> records_;
    std::vector<std::pair<std::string, std::string>> images_;
    std::vector<std::string> strings_ = {"TrackMaker", "", "WGS84", "x"};
    uint8_t signatureByte_ = 0xFF;
    std::optional<int32_t> waypointCount_;
    std::optional<int32_t> imageCount_;
    std::string tail_ = "tracks and other data";
};

// An EVO file image, field by field: a 48-byte header with the two counts,
// then waypoint entries (found by 00 FF 00) and track entries (found by
// 00 00 "AC"). Unread bytes are 0x11, so they never form a pattern.
struct EvoImage : ByteBuilder {
    EvoImage(uint16_t waypointCount, uint16_t trackCount) {
        fill(32, 0x11).u16(waypointCount).u16(0x1111).u16(trackCount).fill(10, 0x11);
    }
    // The 52 bytes of a waypoint entry before its name.
    EvoImage& WaypointHead(int32_t latitude, int32_t longitude, float altitude, bool pattern = true) {
        (pattern ? raw("\x00\xFF\x00", 3) : fill(3, 0x11)).fill(21, 0x11).i32(latitude).i32(longitude);
        f32(altitude).fill(16, 0x11);
        return *this;
    }
    // The ten name bytes (padded with NUL), then the symbol 10 bytes after the
    // stored text; the bytes between are 0x22, so a symbol read elsewhere shows.
    EvoImage& WaypointTail(std::string_view nameBytes, size_t stored, int16_t symbol) {
        field(nameBytes, 10).fill(stored, 0x22).i16(symbol);
        return *this;
    }
    EvoImage& Waypoint(std::string_view name) { return WaypointHead(1, 2, 100.0f).WaypointTail(name, name.size(), 7); }
    // 00 00, the name bytes as given (with whatever ends them), the count.
    EvoImage& TrackHead(std::string_view nameBytes, int32_t count) { u16(0).text(nameBytes).i32(count); return *this; }
    EvoImage& Point(int32_t latitude = 0, int32_t longitude = 0, uint32_t time = 0, float altitude = 0) {
        i32(latitude).i32(longitude).u32(time).f32(altitude).fill(8, 0x33);
        return *this;
    }
    EvoImage& Track(std::string_view nameBytes, int32_t points) {
        TrackHead(nameBytes, points);
        for (int32_t j = 0; j < points; ++j) Point(j, -j, 60u * j, 1.5f);
        return *this;
    }
    EvoImage& Fill(size_t count) { fill(count, 0x11); return *this; }
};

#include "cli/Listing.h"

#include "sources/NameField.h"

namespace {

void WriteTrack(JsonWriter& json, const TrackRecord& track) {
    json.BeginObject();
    json.Key("name").Hex(FieldText(track.name, sizeof track.name));
    json.Key("pointCount").Int(track.pointCount);
    json.Key("points").BeginArray();
    for (int32_t k = 0; track.points && k < track.pointCount; ++k) {
        const TrackPoint& point = track.points[k];
        json.BeginObject();
        json.Key("latitude").Int(point.latitude);
        json.Key("longitude").Int(point.longitude);
        json.Key("altitude").Float(point.altitude);
        json.Key("time").Int(point.time);
        json.Key("hour").Int(point.hour);
        json.Key("minute").Int(point.minute);
        json.Key("second").Int(point.second);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

}  // namespace

void WriteLinesJson(JsonWriter& json, const VectorLineList& lines) {
    json.BeginArray();
    for (const std::string& line : lines.lines) json.Hex(line);
    json.EndArray();
}

void WriteGarminJson(JsonWriter& json, const WaypointSource& source, int loaded, const VectorLineList& lines,
                     const VectorLineList& trackLines) {
    json.BeginObject();
    json.Key("kind").String(source.Kind());
    json.Key("loaded").Int(loaded);
    json.Key("waypointCount").Int(source.waypointCount);
    json.Key("trackCount").Int(source.trackCount);
    json.Key("waypoints").BeginArray();
    for (int32_t i = 0; source.waypoints && i < source.waypointCount; ++i) {
        const WaypointRecord& record = source.waypoints[i];
        json.BeginObject();
        json.Key("name").Hex(FieldText(record.name, sizeof record.name));
        json.Key("latitude").Int(record.latitude);
        json.Key("longitude").Int(record.longitude);
        json.Key("altitude").Float(record.altitude);
        json.Key("symbol").Int(record.symbol);
        json.EndObject();
    }
    json.EndArray();
    json.Key("tracks").BeginArray();
    for (int32_t i = 0; source.tracks && i < source.trackCount; ++i) WriteTrack(json, source.tracks[i]);
    json.EndArray();
    json.Key("lines");
    WriteLinesJson(json, lines);
    json.Key("trackLines");
    WriteLinesJson(json, trackLines);
    json.EndObject();
}

void WriteGtmJson(JsonWriter& json, const GtmDocument& document, int loaded, const VectorLineList& lines) {
    json.BeginObject();
    json.Key("kind").String("gtm");
    json.Key("loaded").Int(loaded);
    json.Key("waypointCount").Int(document.waypointCount);
    json.Key("waypoints").BeginArray();
    for (int32_t i = 0; document.waypoints && i < document.waypointCount; ++i) {
        const GtmWaypoint& row = document.waypoints[i];
        json.BeginObject();
        json.Key("name").Hex(std::string_view(row.name, 10));
        json.Key("altitude").Float(row.altitude);
        json.EndObject();
    }
    json.EndArray();
    json.Key("lines");
    WriteLinesJson(json, lines);
    json.EndObject();
}

void WriteRowsJson(JsonWriter& json, const GtmDocument& document) {
    json.BeginArray();
    for (int32_t i = 0; document.waypoints && i < document.waypointCount; ++i) {
        const GtmWaypoint& row = document.waypoints[i];
        json.BeginObject();
        json.Key("name").Hex(std::string_view(row.name, 10));
        json.Key("newName").Hex(FieldText(row.newName, sizeof row.newName));
        json.Key("altitudeMatches").Int(row.altitudeMatches);
        json.Key("caselessMatches").Int(row.caselessMatches);
        json.Key("maskedMatches").Int(row.maskedMatches);
        json.Key("maskedCaselessMatches").Int(row.maskedCaselessMatches);
        json.Key("source").Int(row.source);
        json.Key("atPosition").Bool(row.atPosition);
        json.Key("uncertain").Bool(row.uncertain);
        json.EndObject();
    }
    json.EndArray();
}

#include "sources/Records.h"

#include "common/LittleEndian.h"

void CompleteTrackPoint(TrackPoint& point) {
    point.longitudeDegrees = point.longitude * kSemicircleFactor;
    point.latitudeDegrees = point.latitude * kSemicircleFactor;
    point.second = static_cast<int32_t>(point.time % 60);
    point.minute = static_cast<int32_t>((point.time / 60) % 60);
    int32_t hour = static_cast<int32_t>((point.time / 3600) % 24) + 8;
    point.hour = hour >= 24 ? hour - 24 : hour;
}

int ReadCompactTrackPoints(TrackRecord& track, const unsigned char* first, size_t stride, bool keep) {
    if (!keep) return 1;
    track.points = AllocateRecords<TrackPoint>(track.pointCount);
    if (!track.points) return 0;
    for (int32_t j = 0; j < track.pointCount; ++j) {
        ReadCompactTrackPoint(first + stride * static_cast<size_t>(j), track.points[j]);
    }
    return 1;
}

void ReadCompactTrackPoint(const unsigned char* bytes, TrackPoint& point) {
    point.latitude = le::I32(bytes);
    point.longitude = le::I32(bytes + 4);
    point.time = le::U32(bytes + 8);
    point.altitude = le::F32(bytes + 12);
    CompleteTrackPoint(point);
}

#include "sources/ListLines.h"

#include <cstdio>

#include "sources/Records.h"

std::string FormatWaypointLine(std::string_view name, double altitude) {
    char number[512];
    int length = std::snprintf(number, sizeof number, "%3.lf", altitude);
    std::string line(name);
    line += ' ';
    if (length > 0) line.append(number, static_cast<size_t>(length) < sizeof number ? length : sizeof number - 1);
    return line;
}

std::string FormatTrackLine(std::string_view name, int32_t pointCount) {
    std::string line(name);
    line += " (";
    line += std::to_string(pointCount);
    line += ')';
    return line;
}

void CompleteTrackPoint(TrackPoint& point) {
    point.longitudeDegrees = point.longitude * kSemicircleFactor;
    point.latitudeDegrees = point.latitude * kSemicircleFactor;
    point.second = static_cast<int32_t>(point.time % 60);
    point.minute = static_cast<int32_t>((point.time / 60) % 60);
    int32_t hour = static_cast<int32_t>((point.time / 3600) % 24) + 8;
    point.hour = hour >= 24 ? hour - 24 : hour;
}

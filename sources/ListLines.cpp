#include "sources/ListLines.h"

#include <cstdio>


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

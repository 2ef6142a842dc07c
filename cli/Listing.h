#pragma once

#include <string>

#include "common/LineList.h"
#include "gtm/GtmDocument.h"
#include "sources/WaypointSource.h"

// The JSON objects that describe what a reader or a GTM document holds.
std::string GarminJson(const WaypointSource& source, int loaded, const VectorLineList& lines,
                       const VectorLineList& trackLines);
std::string GtmJson(const GtmDocument& document, int loaded, const VectorLineList& lines);
// One row per GTM waypoint with what the correction found; [] without a table.
std::string RowsJson(const GtmDocument& document);
std::string LinesJson(const VectorLineList& lines);

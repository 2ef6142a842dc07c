#pragma once

#include "cli/JsonWriter.h"
#include "common/LineList.h"
#include "gtm/GtmDocument.h"
#include "sources/WaypointSource.h"

// The JSON values that describe what a reader or a GTM document holds, written
// into json as they are produced.
void WriteGarminJson(JsonWriter& json, const WaypointSource& source, int loaded, const VectorLineList& lines,
                     const VectorLineList& trackLines);
void WriteGtmJson(JsonWriter& json, const GtmDocument& document, int loaded, const VectorLineList& lines);
// One row per GTM waypoint with what the correction found; [] without a table.
void WriteRowsJson(JsonWriter& json, const GtmDocument& document);
void WriteLinesJson(JsonWriter& json, const VectorLineList& lines);

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
// Without a correction (corrected false) no row has a source, and whatever its
// fields hold, none is at its position or uncertain.
void WriteRowsJson(JsonWriter& json, const GtmDocument& document, bool corrected);
void WriteLinesJson(JsonWriter& json, const VectorLineList& lines);

// A row whose corrected name no position confirms and that may belong to
// another waypoint.
inline bool IsUncertain(const GtmWaypoint& row) { return row.source >= 0 && row.uncertain; }

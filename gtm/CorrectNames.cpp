#include "gtm/GtmDocument.h"
int GtmDocument::CorrectNames(int32_t, WaypointRecord*, LineList&) { return 0; }

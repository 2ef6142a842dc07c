// The name correction: for every GTM waypoint, find the Garmin waypoint it was
// made from and take its name.
#include <cstring>

#include "gtm/GtmDocument.h"
#include "sources/ListLines.h"
#include "sources/NameField.h"

namespace {

constexpr double kAltitudeCap = 10000.0;
constexpr double kToleranceFactor = 1.0 / 3000.0;
constexpr double kMinimumTolerance = 0.1;

// Altitudes above 10000 are taken as 0, on both sides.
double CapAltitude(float altitude) {
    double value = altitude;
    return value > kAltitudeCap ? 0.0 : value;
}

// The window is S ± S/3000, at least ± 0.1, both ends included. A NaN on
// either side passes, since no comparison with it fails.
bool WithinWindow(double gtm, double source) {
    if (gtm == source) return true;
    double tolerance = source * kToleranceFactor;
    if (tolerance < kMinimumTolerance) tolerance = kMinimumTolerance;
    return !(source + tolerance < gtm || source - tolerance > gtm);
}

// The name's length without trailing spaces; NUL bytes count as name bytes.
size_t TrimmedLength(const char* name) {
    size_t length = 10;
    while (length > 0 && name[length - 1] == ' ') --length;
    return length;
}

unsigned char Upper(unsigned char byte) { return byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte; }

void TakeName(GtmWaypoint& row, const WaypointRecord& record) {
    StoreName(row.newName, sizeof row.newName, FieldText(record.name, sizeof record.name));
}

}  // namespace

int GtmDocument::CorrectNames(int32_t sourceCount, WaypointRecord* sourceRecords, LineList& list) {
    if (!waypoints) return 0;
    correctedCount = 0;
    if (waypointCount <= 0) return 1;
    if (!sourceRecords) sourceCount = 0;

    for (int32_t i = 0; i < waypointCount; ++i) {
        GtmWaypoint& row = waypoints[i];
        const auto* gtmName = reinterpret_cast<const unsigned char*>(row.name);
        const double g = CapAltitude(row.altitude);
        row.altitudeMatches = row.caselessMatches = row.maskedMatches = row.maskedCaselessMatches = 0;
        std::memset(row.newName, 0, sizeof row.newName);
        const size_t n = TrimmedLength(row.name);
        int32_t chosen = -1;

        for (int32_t j = 0; j < sourceCount; ++j) {
            const WaypointRecord& record = sourceRecords[j];
            if (!WithinWindow(g, CapAltitude(record.altitude))) continue;
            ++row.altitudeMatches;

            unsigned char w[12] = {};
            const std::string_view sourceName = FieldText(record.name, sizeof record.name);
            if (sourceName.size() != n) continue;
            std::memcpy(w, sourceName.data(), n);

            // A: equal but for the case of ASCII letters.
            bool equal = true;
            for (size_t k = 0; k < n && equal; ++k) equal = Upper(w[k]) == Upper(gtmName[k]);
            if (equal) {
                ++row.caselessMatches;
                TakeName(row, record);
                chosen = j;
            }

            // B: equal once the source's bytes of 0x80 and above are zero, as
            // the damaged file holds them.
            for (size_t k = 0; k < n; ++k) {
                if (w[k] >= 0x80) w[k] = 0;
            }
            if (std::memcmp(w, gtmName, n) == 0) {
                ++row.maskedMatches;
                const bool chosenTaken = chosen != -1 && sourceRecords[chosen].symbol == kTakenMarker;
                if (row.caselessMatches == 0 && (row.maskedMatches == 1 || j == i || chosenTaken)) {
                    TakeName(row, record);
                    chosen = j;
                }
            }

            // C: both differences at once.
            equal = true;
            for (size_t k = 0; k < n && equal; ++k) equal = Upper(w[k]) == Upper(gtmName[k]);
            if (equal) {
                ++row.maskedCaselessMatches;
                const bool firstC = row.maskedMatches == 0 && row.maskedCaselessMatches == 1;
                if (row.caselessMatches == 0 && (firstC || j == i)) {
                    TakeName(row, record);
                    chosen = j;
                }
            }
        }

        if (row.newName[0] != '\0') {
            sourceRecords[chosen].symbol = kTakenMarker;
            ++correctedCount;
            list.AddLine(FormatWaypointLine(FieldText(row.newName, sizeof row.newName), g));
        }
    }
    return 1;
}

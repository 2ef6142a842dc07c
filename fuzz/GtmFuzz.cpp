// Fuzz target for GtmDocument::Load. The result is compared with an
// independent walk over the bytes: the loader takes exactly the files whose
// waypoint records all lie inside the file, and then holds the whole image and
// one row per record, read from that record.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "gtm/GtmDocument.h"

namespace {

bool SameBytes(const void* a, const void* b, size_t size) { return std::memcmp(a, b, size) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("input.gtm", data, size);
    const fuzz::GtmWalk walk = fuzz::WalkGtm(data, size);

    GtmDocument document;
    VectorLineList lines;
    const int result = document.Load(path, lines);
    FUZZ_CHECK(document.path == path);
    FUZZ_CHECK(document.correctedCount == 0);
    FUZZ_CHECK(result == (walk.valid ? 1 : 0));

    if (!walk.valid || walk.noWaypoints) {
        // Refused, or valid without waypoints: nothing kept, nothing listed.
        FUZZ_CHECK(document.waypointCount == 0);
        FUZZ_CHECK(!document.waypoints);
        FUZZ_CHECK(document.image.empty());
        FUZZ_CHECK(lines.lines.empty());
        return 0;
    }

    FUZZ_CHECK(document.waypointCount == static_cast<int32_t>(walk.records.size()));
    FUZZ_CHECK(document.waypoints);
    FUZZ_CHECK(document.imageSize >= 0 && static_cast<size_t>(document.imageSize) == size);
    FUZZ_CHECK(document.image.size() >= size && SameBytes(document.image.data(), data, size));
    FUZZ_CHECK(lines.lines.size() == walk.records.size());
    for (size_t i = 0; i < walk.records.size(); ++i) {
        const GtmWaypoint& row = document.waypoints[static_cast<int32_t>(i)];
        const uint8_t* record = data + walk.records[i];
        const size_t comment = static_cast<size_t>(record[26] | record[27] << 8);
        FUZZ_CHECK(SameBytes(row.name, record + fuzz::kGtmNameOffset, fuzz::kGtmNameSize));
        FUZZ_CHECK(row.name[10] == '\0');
        FUZZ_CHECK(SameBytes(&row.latitude, record, 8));
        FUZZ_CHECK(SameBytes(&row.longitude, record + 8, 8));
        FUZZ_CHECK(SameBytes(&row.icon, record + 28 + comment, 2));
        FUZZ_CHECK(SameBytes(&row.altitude, record + 37 + comment, 4));
        FUZZ_CHECK(row.altitudeMatches == 0 && row.caselessMatches == 0 && row.maskedMatches == 0 &&
                   row.maskedCaselessMatches == 0);
        static const char zeros[sizeof row.newName] = {};
        FUZZ_CHECK(SameBytes(row.newName, zeros, sizeof row.newName));

        // The line: the ten name bytes with a blank for each NUL, a blank, the
        // altitude rounded, at least three characters wide.
        std::string expected(row.name, 10);
        for (char& c : expected) c = c == '\0' ? ' ' : c;
        char number[512];
        const int length = std::snprintf(number, sizeof number, "%3.lf", static_cast<double>(row.altitude));
        expected += ' ';
        expected.append(number, static_cast<size_t>(length));
        FUZZ_CHECK(lines.lines[i] == expected);
    }
    return 0;
}

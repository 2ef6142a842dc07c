// The prefix repair: GPS TrackMaker shows Chinese names wrongly when a name
// begins with a single-byte character, so such names get a two-byte prefix
// (by default the Big5 arrow A1 F6) in front.
#include <string>

#include "common/CodePage.h"
#include "gtm/GtmDocument.h"
#include "sources/NameField.h"

namespace {

bool BeginsWithSingleByte(const char* name) { return static_cast<unsigned char>(name[0]) < 0x80; }

// Stores the prefix followed by text. A name longer than 8 bytes first gives
// up its first two bytes so that the result still fits the 10-byte name field;
// text shorter than two bytes has nothing left after that.
void StorePrefixed(char (&newName)[16], const char* prefix, std::string_view text, bool dropFirstTwo) {
    if (dropFirstTwo) text = text.size() < 2 ? std::string_view() : text.substr(2);
    std::string result(prefix);
    result.append(text);
    StoreName(newName, sizeof newName, result);
}

}  // namespace

int GtmDocument::NeedsPrefix() const {
    for (int32_t i = 0; waypoints && i < waypointCount; ++i) {
        if (waypoints[i].newName[0] != '\0' && BeginsWithSingleByte(waypoints[i].newName)) return 1;
    }
    return 0;
}

int GtmDocument::ApplyPrefix(const char* prefix) {
    for (int32_t i = 0; waypoints && i < waypointCount; ++i) {
        GtmWaypoint& row = waypoints[i];
        if (row.newName[0] != '\0') {
            if (!BeginsWithSingleByte(row.newName)) continue;
            const std::string current(FieldText(row.newName, sizeof row.newName));
            StorePrefixed(row.newName, prefix, current, current.size() > 8);
        } else {
            // An uncorrected name: its bytes up to the first NUL, cut to its
            // length without trailing spaces.
            if (!BeginsWithSingleByte(row.name)) continue;
            size_t trimmed = 10;
            while (trimmed > 0 && row.name[trimmed - 1] == ' ') --trimmed;
            std::string_view name = FieldText(row.name, 10);
            if (name.size() > trimmed) name = name.substr(0, trimmed);
            StorePrefixed(row.newName, prefix, name, trimmed > 8);
        }
    }
    return 1;
}

std::string PrefixBytes(const std::string& text) {
    std::string bytes = codepage::Utf8ToCp950(text);
    return bytes.size() == 2 ? bytes : std::string(kDefaultPrefix);
}

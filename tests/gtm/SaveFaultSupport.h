#pragma once

// What the save tests share: a damaged file, its repaired bytes and a folder's entries.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/NativePath.h"
#include "gtm/GtmDocument.h"
#include "support/FormatBuilders.h"

// A damaged GTM file (two names whose Chinese bytes are zero, with long comments: many writes of a few bytes; one of
// nine bytes; one no source gives), or its bytes after the repair with the prefix: only the name fields change, and a
// new name shorter than the field keeps the old bytes after it.
inline std::vector<uint8_t> DamagedFile(bool repaired = false) {
    const std::string nul2("\0\0", 2);
    return GtmBuilder()
        .image("img", "path")
        .waypoint(repaired ? "\xA4\xA4" "AB" : nul2 + "AB", 100, std::string(2000, 'c'))
        .waypoint(repaired ? "\xA4\xA5\xA4\xA6" : nul2 + nul2, 200, std::string(2000, 'd'))
        .waypoint(repaired ? "\xA1\xF6" "3456789" : "123456789", 300, "x")  // the tenth byte keeps its blank
        .waypoint(repaired ? "\xA1\xF6" "zz" : "zz", 400)
        .build();
}

// Loads the damaged file at path (UTF-8), corrects three of its names and
// puts the prefix before the two that begin with a digit or letter.
inline bool LoadAndCorrect(GtmDocument& document, const std::string& path) {
    WaypointRecord source[3] = {{"\xA4\xA4" "AB", 0, 0, 100, 0}, {"\xA4\xA5\xA4\xA6", 0, 0, 200, 0}, {"123456789", 0, 0, 300, 0}};
    VectorLineList lines;
    return document.Load(path, lines) == 1 && document.CorrectNames(3, source, lines) == 1 &&
           document.correctedCount == 3 && document.ApplyPrefix("\xA1\xF6") == 1;
}

// The UTF-8 names in a folder, sorted.
inline std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(Utf8Path(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

#pragma once

// What the save fault tests share: a damaged file and its repaired bytes, the
// folder's entries, and the count of open files.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/NativePath.h"
#include "gtm/GtmDocument.h"
#include "sources/NameField.h"
#include "support/FormatBuilders.h"

// A damaged GTM file: two names whose Chinese characters are zero bytes, with
// long comments so that the image takes many writes of a few bytes.
inline std::vector<uint8_t> DamagedFile(size_t commentLength = 2000) {
    const std::string nul2("\0\0", 2);
    return GtmBuilder()
        .waypoint(nul2 + "AB", 100, std::string(commentLength, 'c'))
        .waypoint(nul2 + nul2, 200, std::string(commentLength, 'd'))
        .build();
}

// The same file as a successful repair writes it.
inline std::vector<uint8_t> RepairedFile(std::vector<uint8_t> bytes) {
    const std::string nul2("\0\0", 2);
    auto put = [&](const std::string& oldName, const std::string& newName) {
        auto at = std::search(bytes.begin(), bytes.end(), oldName.begin(), oldName.end());
        std::copy(newName.begin(), newName.end(), at);
    };
    put(nul2 + "AB      ", "\xA4\xA4" "AB");
    put(nul2 + nul2 + "      ", "\xA4\xA5\xA4\xA6");
    return bytes;
}

// Loads the damaged file at path (UTF-8) and corrects both its names.
inline bool LoadAndCorrect(GtmDocument& document, const std::string& path) {
    WaypointRecord source[2] = {};
    StoreName(source[0].name, sizeof source[0].name, "\xA4\xA4" "AB");
    source[0].altitude = 100;
    StoreName(source[1].name, sizeof source[1].name, "\xA4\xA5\xA4\xA6");
    source[1].altitude = 200;
    VectorLineList lines;
    if (document.Load(path, lines) != 1) return false;
    document.CorrectNames(2, source, lines);
    return document.correctedCount == 2;
}

// The UTF-8 names in a folder, sorted.
inline std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(Utf8Path(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// Files (and other handles) the process has open.
inline size_t OpenHandles() {
#ifdef _WIN32
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
#else
    return static_cast<size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
#endif
}

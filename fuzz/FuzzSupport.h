#pragma once

// What the fuzz targets share: a check that stops the run, a folder of the
// process for the files the readers must be given by path, and the checks
// that every reader's result must pass, whatever the bytes were.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/LineList.h"
#include "sources/WaypointSource.h"

// Stops the run (so that libFuzzer keeps the input) when condition is false.
#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : fuzz::Fail(#condition, __FILE__, __LINE__))

namespace fuzz {

[[noreturn]] void Fail(const char* what, const char* file, int line);

// A folder of this process (on a memory file system where there is one, since
// every save flushes), made on first use and removed at exit.
const std::string& ScratchFolder();

// Writes bytes to the file name of the scratch folder, replacing it; returns
// its path.
std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);

std::vector<uint8_t> ReadFile(const std::string& path);

// The names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// The extension that selects the reader of a kind: ".wtr", ".evo", ".gdb", ".mps", ".gpx".
struct ReaderKind {
    const char* extension;
    size_t minimumWaypointBytes;  // the fewest file bytes one loaded waypoint takes
    size_t pointBytes;            // the fewest file bytes one track point takes
    size_t maximumNameLength;     // the longest waypoint name the reader stores
};
const ReaderKind& KindOf(const std::string& extension);

// The result of one Load, with the lines it listed.
struct Loaded {
    int result = 0;
    VectorLineList waypointLines;
    VectorLineList trackLines;
};

// Checks what must hold after any Load, successful or not: every record the
// counts promise is there and readable (the address sanitizer reports a read
// past an array), names end inside their fields, track points are complete,
// the lines listed describe the records filled; after a successful load the
// counts are ones the file can hold.
// The lists asked for are the ones Load was given.
void CheckSource(const ReaderKind& kind, const WaypointSource& source, const Loaded& loaded, size_t fileSize,
                 bool waypointLinesAsked, bool trackLinesAsked);

// True when two loads of the same bytes gave the same records and lines; the
// track points are compared where both loads kept them.
bool SameLoad(const WaypointSource& a, const Loaded& la, const WaypointSource& b, const Loaded& lb);

// The length of a NUL-terminated text in a field of capacity bytes; the
// capacity itself when there is no NUL (which the checks refuse).
size_t TextLength(const char* field, size_t capacity);

// The waypoint records of a GTM image, found without the project's own walk:
// valid when the loader must take the image, noWaypoints when its header is
// valid and says there are none, and the offset of every record.
struct GtmWalk {
    bool valid = false;      // a file the loader takes (result 1)
    bool noWaypoints = false;
    std::vector<size_t> records;
};
GtmWalk WalkGtm(const uint8_t* data, size_t size);

inline constexpr size_t kGtmNameOffset = 16;
inline constexpr size_t kGtmNameSize = 10;

}  // namespace fuzz

// Fuzz target for one Garmin reader's Load, the reader chosen by the
// extension this file is compiled with (LORVANE_FUZZ_EXTENSION). The bytes go
// to a file of that extension; the file is loaded twice, the second time
// without list boxes and without keeping track points, and both loads must
// pass the checks of CheckSource and agree with each other.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "sources/CreateWaypointSource.h"

#ifndef LORVANE_FUZZ_EXTENSION
#error "LORVANE_FUZZ_EXTENSION names the reader to fuzz"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ReaderKind& kind = fuzz::KindOf(LORVANE_FUZZ_EXTENSION);
    const std::string path = fuzz::WriteScratchFile(std::string("input") + kind.extension, data, size);

    std::unique_ptr<WaypointSource> first = CreateWaypointSource(path);
    FUZZ_CHECK(first != nullptr);
    fuzz::Loaded firstLoad;
    firstLoad.result = first->Load(path, &firstLoad.waypointLines, &firstLoad.trackLines);
    fuzz::CheckSource(kind, *first, firstLoad, size, true, true);

    // Again, without list boxes and without keeping track points: the same
    // result and records.
    std::unique_ptr<WaypointSource> second = CreateWaypointSource(path);
    second->keepTrackPoints = false;
    fuzz::Loaded secondLoad;
    secondLoad.result = second->Load(path, nullptr, nullptr);
    fuzz::CheckSource(kind, *second, secondLoad, size, false, false);
    secondLoad.waypointLines = firstLoad.waypointLines;
    secondLoad.trackLines = firstLoad.trackLines;
    FUZZ_CHECK(fuzz::SameLoad(*first, firstLoad, *second, secondLoad));
    return 0;
}

#pragma once

#include <cstdint>
#include <memory>

#include "sources/WaypointSource.h"
#include "sources/mapsource/MsRecord.h"

// Reads count records from the position into a new array, in file order.
// The caller has counted them with CountRun, so only an allocation can fail.
int ReadRunRecords(ReadPosition& position, int32_t count, std::unique_ptr<MsRecord[]>& records);

// The number of records of the type that follow one another from the
// position (CountRun), or -1 when there are more than a count can hold.
int32_t RunCount(const ReadPosition& position, uint8_t type);

// A run of records of one type, with one view per record. A run is exactly
// the records of that type that follow one another from the read position; a
// record of any other type ends it and is left for the next run. Each view is
// parsed from its record and points only into bodies this list owns.
template <typename View>
class RecordRunList {
public:
    explicit RecordRunList(uint8_t type) : runType(type) {}
    RecordRunList(const RecordRunList&) = delete;
    RecordRunList& operator=(const RecordRunList&) = delete;
    virtual ~RecordRunList() = default;

    // Reads the run at the position and parses every record of it. An empty
    // run succeeds at once and consumes nothing. Afterwards the position
    // stands on the record that ended the run.
    int Read(ReadPosition& position) {
        return ReadRun(position, [] {});
    }

    // Parses one record's body into its view.
    virtual int Parse(const MsRecord& record, View& view) = 0;

    int32_t count = 0;
    std::unique_ptr<MsRecord[]> records;
    std::unique_ptr<View[]> views;

protected:
    // The run read, calling runFound once the run is known not to be empty
    // and before anything is allocated.
    template <typename RunFound>
    int ReadRun(ReadPosition& position, RunFound&& runFound) {
        count = 0;
        int32_t found = RunCount(position, runType);
        if (found < 0) return 0;
        if (found == 0) return 1;
        count = found;
        runFound();
        if (!ReadRunRecords(position, count, records)) return 0;
        views = AllocateRecords<View>(count);
        if (!views) return 0;
        for (int32_t i = 0; i < count; ++i) {
            if (!Parse(records[i], views[i])) return 0;
        }
        return 1;
    }

private:
    uint8_t runType;
};

// Fuzz target for a whole repair, as the command line runs it: one input gives
// a Garmin file and a GTM file; both are loaded, the names are corrected
// twice, the prefix is put in front where asked, the GTM file is saved and
// loaded again.
//
// Input: byte 0 chooses the reader (bits 0-1: wtr, evo, gdb, mps; bit 4 set:
// gpx), whether to apply a prefix (bit 2) and whether it is bytes 1-2 rather
// than the arrow (bit 3); bytes 3-6 give the Garmin file's length (little-endian, cut to what
// is there); the Garmin bytes follow, and the rest is the GTM file.
//
// What must hold: the correction comes to the result of the plain scan over
// every source; it changes only the rows' counters and new names and the
// Garmin records' symbols (to the taken marker); every new name ends inside
// its field and agrees with the GTM name; a saved file has the size of the
// loaded one and differs from it only inside name fields, where it holds the
// new names; nothing else is left in the folder; and a file the loader
// refused, or one without corrections, is never written.
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"
#include "sources/CreateWaypointSource.h"
#include "sources/ListLines.h"

namespace {

constexpr const char* kExtensions[] = {".wtr", ".evo", ".gdb", ".mps"};
constexpr size_t kHead = 7;
constexpr char kArrow[] = "\xA1\xF6";

struct FileState {
    ino_t inode = 0;
    std::vector<uint8_t> bytes;
};

FileState StateOf(const std::string& path) {
    struct stat info {};
    FUZZ_CHECK(::stat(path.c_str(), &info) == 0);
    return FileState{info.st_ino, fuzz::ReadFile(path)};
}

// The GTM name's length without trailing blanks; NUL bytes count.
size_t Trimmed(const char* name) {
    size_t length = 10;
    while (length > 0 && name[length - 1] == ' ') --length;
    return length;
}

unsigned char Upper(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c; }

// A new name agrees with the GTM name when they are equal but for the case of
// ASCII letters, or once the new name's bytes of 0x80 and above are zero.
bool Agrees(const char* newName, size_t length, const char* gtmName) {
    bool caseless = true;
    bool masked = true;
    for (size_t k = 0; k < length; ++k) {
        const auto n = static_cast<unsigned char>(newName[k]);
        const auto g = static_cast<unsigned char>(gtmName[k]);
        caseless = caseless && Upper(n) == Upper(g);
        masked = masked && Upper(n >= 0x80 ? 0 : n) == Upper(g);
    }
    return caseless || masked;
}

bool SameRecord(const WaypointRecord& a, const WaypointRecord& b) {
    return std::memcmp(a.name, b.name, sizeof a.name) == 0 && a.latitude == b.latitude &&
           a.longitude == b.longitude && std::memcmp(&a.altitude, &b.altitude, sizeof a.altitude) == 0;
}

bool SameRowData(const GtmWaypoint& a, const GtmWaypoint& b) {
    return std::memcmp(a.name, b.name, sizeof a.name) == 0 &&
           std::memcmp(&a.latitude, &b.latitude, sizeof a.latitude) == 0 &&
           std::memcmp(&a.longitude, &b.longitude, sizeof a.longitude) == 0 &&
           std::memcmp(&a.altitude, &b.altitude, sizeof a.altitude) == 0 && a.icon == b.icon;
}

void CheckNewNameField(const char* newName) {
    const size_t length = fuzz::TextLength(newName, 16);
    FUZZ_CHECK(length < 16);
    for (size_t i = length; i < 16; ++i) FUZZ_CHECK(newName[i] == '\0');
}

void CheckCorrection(const GtmDocument& document, const std::vector<GtmWaypoint>& rowsBefore,
                     const WaypointSource& source, const std::vector<WaypointRecord>& recordsBefore,
                     const VectorLineList& corrected) {
    const int32_t sourceCount = source.waypoints ? source.waypointCount : 0;
    int32_t named = 0;
    for (int32_t i = 0; i < document.waypointCount; ++i) {
        const GtmWaypoint& row = document.waypoints[i];
        FUZZ_CHECK(SameRowData(row, rowsBefore[static_cast<size_t>(i)]));
        FUZZ_CHECK(row.altitudeMatches >= 0 && row.altitudeMatches <= sourceCount);
        FUZZ_CHECK(row.caselessMatches >= 0 && row.caselessMatches <= row.altitudeMatches);
        FUZZ_CHECK(row.maskedMatches >= 0 && row.maskedMatches <= row.maskedCaselessMatches);
        FUZZ_CHECK(row.maskedCaselessMatches <= row.altitudeMatches);
        CheckNewNameField(row.newName);
        const size_t length = std::strlen(row.newName);
        // A row without a name has no source; a name confirmed by its position is not uncertain.
        FUZZ_CHECK(length > 0 || (row.source == -1 && !row.atPosition && !row.uncertain));
        FUZZ_CHECK(!(row.atPosition && row.uncertain));
        if (length == 0) continue;
        FUZZ_CHECK(row.source >= 0 && row.source < sourceCount);
        const WaypointRecord& taken = source.waypoints[row.source];
        FUZZ_CHECK(taken.symbol == kTakenMarker && std::strncmp(taken.name, row.newName, sizeof taken.name) == 0);
        FUZZ_CHECK(row.atPosition == correction::AtPosition(row.latitude, row.longitude, taken));

        // The name of a Garmin record that now carries the taken marker, as
        // long as the GTM name and agreeing with it.
        FUZZ_CHECK(length == Trimmed(row.name));
        FUZZ_CHECK(Agrees(row.newName, length, row.name));
        bool fromRecord = false;
        for (int32_t j = 0; j < sourceCount && !fromRecord; ++j) {
            const WaypointRecord& record = source.waypoints[j];
            fromRecord = record.symbol == kTakenMarker && fuzz::TextLength(record.name, sizeof record.name) == length &&
                         std::memcmp(record.name, row.newName, length) == 0;
        }
        FUZZ_CHECK(fromRecord);

        // Its line: the new name and the GTM altitude (0 above 10000).
        FUZZ_CHECK(static_cast<size_t>(named) < corrected.lines.size());
        const double altitude = row.altitude > 10000.0f ? 0.0 : static_cast<double>(row.altitude);
        FUZZ_CHECK(corrected.lines[static_cast<size_t>(named)] == FormatWaypointLine(row.newName, altitude));
        ++named;
    }
    FUZZ_CHECK(named == document.correctedCount);
    FUZZ_CHECK(corrected.lines.size() == static_cast<size_t>(named));

    // The Garmin records keep everything but the symbol, which only ever
    // becomes the taken marker.
    for (int32_t j = 0; j < sourceCount; ++j) {
        const WaypointRecord& record = source.waypoints[j];
        const WaypointRecord& before = recordsBefore[static_cast<size_t>(j)];
        FUZZ_CHECK(SameRecord(record, before));
        FUZZ_CHECK(record.symbol == before.symbol || record.symbol == kTakenMarker);
    }
}

void CheckPrefix(const GtmDocument& document, const std::vector<GtmWaypoint>& rowsBefore, const char* prefix) {
    for (int32_t i = 0; i < document.waypointCount; ++i) {
        const GtmWaypoint& row = document.waypoints[i];
        const GtmWaypoint& before = rowsBefore[static_cast<size_t>(i)];
        CheckNewNameField(row.newName);
        FUZZ_CHECK(std::strlen(row.newName) <= fuzz::kGtmNameSize);
        const char* first = before.newName[0] != '\0' ? before.newName : before.name;
        if (static_cast<unsigned char>(first[0]) >= 0x80) {
            FUZZ_CHECK(std::memcmp(row.newName, before.newName, sizeof row.newName) == 0);
        } else {
            FUZZ_CHECK(std::strncmp(row.newName, prefix, 2) == 0);
        }
    }
}

// Removes what an earlier input left in the scratch folder.
void EmptyScratchFolder() {
    for (const std::string& name : fuzz::FolderEntries(fuzz::ScratchFolder())) {
        std::error_code error;
        std::filesystem::remove_all(fuzz::ScratchFolder() + "/" + name, error);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t head[kHead] = {};
    std::memcpy(head, data, std::min(size, kHead));
    const size_t rest = size > kHead ? size - kHead : 0;
    const uint8_t* garmin = data + std::min(size, kHead);
    const size_t garminSize = std::min<size_t>(rest, static_cast<size_t>(head[3]) | head[4] << 8 | head[5] << 16 |
                                                         static_cast<size_t>(head[6]) << 24);
    const uint8_t* gtm = garmin + garminSize;
    const size_t gtmSize = rest - garminSize;

    const char* extension = (head[0] & 16) ? ".gpx" : kExtensions[head[0] & 3];
    const bool applyPrefix = (head[0] & 4) != 0;
    char prefix[3] = {kArrow[0], kArrow[1], '\0'};
    if (head[0] & 8) {
        // Any two bytes but NUL, as the command line's conversion gives them.
        if (head[1] != 0) prefix[0] = static_cast<char>(head[1]);
        if (head[2] != 0) prefix[1] = static_cast<char>(head[2]);
    }

    EmptyScratchFolder();
    const std::string garminName = std::string("garmin") + extension;
    const std::string garminPath = fuzz::WriteScratchFile(garminName, garmin, garminSize);
    const std::string gtmPath = fuzz::WriteScratchFile("repair.gtm", gtm, gtmSize);
    const std::vector<std::string> entries = fuzz::FolderEntries(fuzz::ScratchFolder());

    std::unique_ptr<WaypointSource> source = CreateWaypointSource(garminPath);
    FUZZ_CHECK(source != nullptr);
    fuzz::Loaded garminLoad;
    garminLoad.result = source->Load(garminPath, &garminLoad.waypointLines, nullptr);
    fuzz::CheckSource(fuzz::KindOf(extension), *source, garminLoad, garminSize, true, false);

    const FileState before = StateOf(gtmPath);
    const fuzz::GtmWalk walk = fuzz::WalkGtm(gtm, gtmSize);
    GtmDocument document;
    VectorLineList gtmLines;
    FUZZ_CHECK(document.Load(gtmPath, gtmLines) == (walk.valid ? 1 : 0));
    const bool hasRows = walk.valid && !walk.noWaypoints;
    FUZZ_CHECK(!document.waypoints == !hasRows);

    std::vector<GtmWaypoint> rows;
    for (int32_t i = 0; hasRows && i < document.waypointCount; ++i) rows.push_back(document.waypoints[i]);
    std::vector<WaypointRecord> records;
    for (int32_t j = 0; source->waypoints && j < source->waypointCount; ++j) records.push_back(source->waypoints[j]);

    // The plain scan over every source, on copies: the correction (which may
    // use its index) must come to the same result.
    GtmDocument plain;
    VectorLineList plainLines;
    FUZZ_CHECK(plain.Load(gtmPath, plainLines) == (walk.valid ? 1 : 0));
    std::vector<WaypointRecord> plainRecords = records;

    // Twice: the second run sees the taken markers of the first.
    for (int run = 0; run < 2; ++run) {
        VectorLineList corrected;
        const int result = document.CorrectNames(source->waypointCount, source->waypoints.get(), corrected);
        if (!hasRows) {
            FUZZ_CHECK(result == 0);
            FUZZ_CHECK(document.correctedCount == 0 && corrected.lines.empty());
            continue;
        }
        FUZZ_CHECK(result == 1);
        CheckCorrection(document, rows, *source, records, corrected);

        VectorLineList plainCorrected;
        FUZZ_CHECK(correction::CorrectNamesByScan(plain, source->waypointCount,
                                                  source->waypoints ? plainRecords.data() : nullptr,
                                                  plainCorrected) == 1);
        FUZZ_CHECK(plain.correctedCount == document.correctedCount);
        FUZZ_CHECK(plainCorrected.lines == corrected.lines);
        for (int32_t i = 0; i < document.waypointCount; ++i) {
            const GtmWaypoint& a = document.waypoints[i];
            const GtmWaypoint& b = plain.waypoints[i];
            FUZZ_CHECK(a.altitudeMatches == b.altitudeMatches && a.caselessMatches == b.caselessMatches &&
                       a.maskedMatches == b.maskedMatches && a.maskedCaselessMatches == b.maskedCaselessMatches);
            FUZZ_CHECK(std::memcmp(a.newName, b.newName, sizeof a.newName) == 0);
            FUZZ_CHECK(a.source == b.source && a.atPosition == b.atPosition && a.uncertain == b.uncertain);
        }
        for (size_t j = 0; j < plainRecords.size(); ++j) {
            FUZZ_CHECK(plainRecords[j].symbol == source->waypoints[static_cast<int32_t>(j)].symbol);
        }
    }

    if (applyPrefix) {
        const int32_t correctedCount = document.correctedCount;
        std::vector<GtmWaypoint> corrected;
        for (int32_t i = 0; hasRows && i < document.waypointCount; ++i) corrected.push_back(document.waypoints[i]);
        FUZZ_CHECK(document.ApplyPrefix(prefix) == 1);
        FUZZ_CHECK(document.correctedCount == correctedCount);
        if (hasRows) CheckPrefix(document, corrected, prefix);
        if (static_cast<unsigned char>(prefix[0]) >= 0x80) {
            // Every name now begins with a double-byte character: nothing is
            // left to prefix, and a second call changes nothing.
            FUZZ_CHECK(document.NeedsPrefix() == 0);
            std::vector<GtmWaypoint> once;
            for (int32_t i = 0; hasRows && i < document.waypointCount; ++i) once.push_back(document.waypoints[i]);
            document.ApplyPrefix(prefix);
            for (int32_t i = 0; hasRows && i < document.waypointCount; ++i) {
                FUZZ_CHECK(std::memcmp(document.waypoints[i].newName, once[static_cast<size_t>(i)].newName, 16) == 0);
            }
        }
    }

    const int saved = document.Save();
    FUZZ_CHECK(fuzz::FolderEntries(fuzz::ScratchFolder()) == entries);
    if (!hasRows || document.correctedCount == 0) {
        // Refused, empty or uncorrected: never written.
        FUZZ_CHECK(saved == 1);
        const FileState after = StateOf(gtmPath);
        FUZZ_CHECK(after.inode == before.inode && after.bytes == before.bytes);
        return 0;
    }
    FUZZ_CHECK(saved == 1);

    // The expected file: each new name over the start of its record's name
    // field, at offsets found by the independent walk.
    std::vector<uint8_t> expected = before.bytes;
    std::vector<bool> nameByte(expected.size(), false);
    for (size_t i = 0; i < walk.records.size(); ++i) {
        const size_t field = walk.records[i] + fuzz::kGtmNameOffset;
        const GtmWaypoint& row = document.waypoints[static_cast<int32_t>(i)];
        const size_t length = std::min(std::strlen(row.newName), fuzz::kGtmNameSize);
        std::memcpy(expected.data() + field, row.newName, length);
        for (size_t k = 0; k < fuzz::kGtmNameSize; ++k) nameByte[field + k] = true;
    }
    const std::vector<uint8_t> written = fuzz::ReadFile(gtmPath);
    FUZZ_CHECK(written.size() == before.bytes.size());
    for (size_t k = 0; k < written.size(); ++k) FUZZ_CHECK(written[k] == before.bytes[k] || nameByte[k]);
    FUZZ_CHECK(written == expected);

    // The saved file loads again, with the new names in its rows.
    GtmDocument reloaded;
    VectorLineList reloadedLines;
    FUZZ_CHECK(reloaded.Load(gtmPath, reloadedLines) == 1);
    FUZZ_CHECK(reloaded.waypointCount == document.waypointCount);
    for (size_t i = 0; i < walk.records.size(); ++i) {
        FUZZ_CHECK(std::memcmp(reloaded.waypoints[static_cast<int32_t>(i)].name,
                               expected.data() + walk.records[i] + fuzz::kGtmNameOffset, fuzz::kGtmNameSize) == 0);
    }

    // A second save writes the same bytes again.
    FUZZ_CHECK(document.Save() == 1);
    FUZZ_CHECK(fuzz::ReadFile(gtmPath) == expected);
    FUZZ_CHECK(fuzz::FolderEntries(fuzz::ScratchFolder()) == entries);
    return 0;
}

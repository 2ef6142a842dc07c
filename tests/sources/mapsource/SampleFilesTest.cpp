// Real files written by MapSource, BaseCamp and GPSBabel, checked against
// GPSBabel's own reading of their waypoints (the .gpsbabel.csv beside each).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/CodePage.h"
#include "sources/NameField.h"
#include "sources/ReadWholeFile.h"
#include "sources/mapsource/GdbSource.h"
#include "sources/mapsource/MpsSource.h"
#include "MapSourceBuilder.h"

namespace {

// Degrees as GPSBabel computes them from semicircles.
double Degrees(int32_t semicircles) { return semicircles * (180.0 / 2147483648.0); }

bool IsAscii(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

std::string Latin1ToUtf8(const std::string& bytes) {
    std::string utf8;
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

// One row of a CSV file with quoted fields, by column name.
using CsvRow = std::map<std::string, std::string>;

std::vector<std::string> SplitCsvLine(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

std::vector<CsvRow> ReadCsv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::vector<std::string> header;
    std::vector<CsvRow> rows;
    while (std::getline(in, line)) {
        std::vector<std::string> fields = SplitCsvLine(line);
        if (header.empty()) {
            header = fields;
            continue;
        }
        CsvRow row;
        for (size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
        rows.push_back(row);
    }
    return rows;
}

struct GdbSample {
    const char* file;
    const char* csv;
    bool utf8Names;
    int waypoints;
};

const GdbSample kGdbSamples[] = {
    {"gdb-sample.gdb", "gdb-sample.gpsbabel.csv", false, 199},
    {"gdb-sample-v3.gdb", "gdb-sample-v3.gpsbabel.csv", true, 199},
    {"gdb-sample2.gdb", "gdb-sample2.gpsbabel.csv", false, 14},
    {"gdb-sample-v3-ilinks.gdb", "gdb-sample-v3-ilinks.gpsbabel.csv", true, 36},
};

}  // namespace

class GdbSamples : public testing::TestWithParam<GdbSample> {};

TEST_P(GdbSamples, AgreeWithGpsBabel) {
    const GdbSample& sample = GetParam();
    const std::string path = SamplePath(sample.file);
    const std::string csvPath = SamplePath(sample.csv);
    if (path.empty() || csvPath.empty()) GTEST_SKIP() << sample.file << " is not beside the project";

    GdbSource source;
    VectorLineList lines;
    ASSERT_EQ(source.Load(path, &lines, nullptr), 1);
    const std::vector<CsvRow> rows = ReadCsv(csvPath);
    ASSERT_EQ(source.waypointCount, sample.waypoints);
    ASSERT_EQ(rows.size(), static_cast<size_t>(sample.waypoints));
    EXPECT_EQ(lines.lines.size(), rows.size());
    EXPECT_EQ(source.trackCount, 0);  // a route record ends the waypoints in each of them

    std::map<std::string, int16_t> symbols;
    for (int i = 0; i < source.waypointCount; ++i) {
        const WaypointRecord& record = source.waypoints[i];
        const CsvRow& row = rows[i];
        const std::string name(FieldText(record.name, sizeof record.name));
        SCOPED_TRACE(sample.file + std::string(" waypoint ") + row.at("No"));

        EXPECT_NEAR(Degrees(record.latitude), std::stod(row.at("Latitude")), 1e-5);
        EXPECT_NEAR(Degrees(record.longitude), std::stod(row.at("Longitude")), 1e-5);

        const std::string& csvName = row.at("Name");
        if (sample.utf8Names) {
            char expected[12];
            StoreName(expected, sizeof expected, codepage::Utf8ToCp950(csvName));
            EXPECT_EQ(name, FieldText(expected, sizeof expected));
        } else if (IsAscii(csvName)) {
            EXPECT_EQ(name, csvName.substr(0, 11));
        } else {
            // Written as Latin-1, which GPSBabel decodes; the bytes are kept.
            EXPECT_EQ(csvName.rfind(Latin1ToUtf8(name), 0), 0u) << csvName;
        }

        const std::string& altitude = row.at("Altitude");
        if (altitude.empty()) {
            EXPECT_EQ(record.altitude, 0.0f);
        } else {
            EXPECT_NEAR(record.altitude, std::stod(altitude), 0.05);
        }

        // Each symbol name stands for one number.
        auto [known, added] = symbols.emplace(row.at("Symbol"), record.symbol);
        EXPECT_EQ(known->second, record.symbol) << row.at("Symbol");
        (void)added;
    }
    if (symbols.count("Waypoint")) {
        EXPECT_EQ(symbols["Waypoint"], 18);
    }
}

INSTANTIATE_TEST_SUITE_P(RealFiles, GdbSamples, testing::ValuesIn(kGdbSamples),
                         [](const testing::TestParamInfo<GdbSample>& info) { return std::to_string(info.index); });

TEST(MpsSamples, MapSourceWaypointsWithEmptyCountries) {
    const std::string path = SamplePath("mapsource.mps");
    if (path.empty()) GTEST_SKIP() << "mapsource.mps is not beside the project";
    MpsSource source;
    VectorLineList lines;
    ASSERT_EQ(source.Load(path, &lines, nullptr), 1);
    ASSERT_EQ(source.waypointCount, 9);
    EXPECT_EQ(lines.lines.size(), 9u);
    const WaypointRecord& first = source.waypoints[0];
    EXPECT_EQ(FieldText(first.name, 12), "GC1A37");
    EXPECT_NEAR(Degrees(first.latitude), 36.09068, 1e-5);
    EXPECT_NEAR(Degrees(first.longitude), -86.67955, 1e-5);
    for (int i = 0; i < source.waypointCount; ++i) {
        const WaypointRecord& w = source.waypoints[i];
        SCOPED_TRACE(i);
        // Geocaches around one city: positions and names alike.
        EXPECT_NEAR(Degrees(w.latitude), 36.1, 0.5);
        EXPECT_NEAR(Degrees(w.longitude), -86.7, 0.5);
        EXPECT_EQ(FieldText(w.name, 12).substr(0, 2), "GC");
        EXPECT_LT(std::fabs(w.altitude), 9999.0f);
    }
}

TEST(MpsSamples, TrackFileWithoutWaypoints) {
    const std::string path = SamplePath("mps-track.mps");
    if (path.empty()) GTEST_SKIP() << "mps-track.mps is not beside the project";
    MpsSource source;
    VectorLineList waypointLines;
    VectorLineList trackLines;
    // No waypoints: the file loads with nothing to correct from, and its
    // tracks are not read.
    ASSERT_EQ(source.Load(path, &waypointLines, &trackLines), 1);
    EXPECT_EQ(source.waypointCount, 0);
    EXPECT_EQ(source.trackCount, 0);

    // Its track, read as a run, fits the 31-byte point layout.
    std::vector<unsigned char> image;
    ASSERT_EQ(ReadWholeFile(path, image), 1);
    ReadPosition position{image.data(), image.size()};
    MpsHeader header;
    ASSERT_EQ(header.Read(position), 1);
    EXPECT_EQ(header.HasShortWaypointBlock(), 1);
    MpsTrackList tracks;
    ASSERT_EQ(tracks.Read(position), 1);
    ASSERT_EQ(tracks.count, 1);
    TrackRecord track;
    ASSERT_EQ(tracks.GetTrack(0, track), 1);
    EXPECT_EQ(FieldText(track.name, 32), "Track");
    EXPECT_EQ(track.pointCount, 64);
    for (int j = 0; j < track.pointCount; ++j) {
        EXPECT_NEAR(track.points[j].latitudeDegrees, 30.1, 0.5);
        EXPECT_NEAR(track.points[j].longitudeDegrees, -91.8, 0.5);
    }
}

TEST(GdbSampleTracks, TracksAndLRecordsAfterTheRoute) {
    struct Case {
        const char* file;
        int tracks;
        int lRecords;
    };
    for (const Case& c : {Case{"gdb-sample.gdb", 9, 4}, Case{"gdb-sample-v3.gdb", 9, 4}, Case{"gdb-sample2.gdb", 1, 0}}) {
        const std::string path = SamplePath(c.file);
        if (path.empty()) GTEST_SKIP() << c.file << " is not beside the project";
        SCOPED_TRACE(c.file);
        std::vector<unsigned char> image;
        ASSERT_EQ(ReadWholeFile(path, image), 1);
        ReadPosition position{image.data(), image.size()};
        GdbHeader header;
        ASSERT_EQ(header.Read(position), 1);
        GdbWaypointList waypoints;
        ASSERT_EQ(waypoints.Read(position, header.Version(), header.WrittenByBaseCamp()), 1);
        // Step over the routes to the tracks.
        uint8_t type = 0;
        for (ReadPosition peek = position; SkipRecord(peek, type) && type == 'R'; peek = position) {
            SkipRecord(position, type);
        }
        GdbTrackList tracks;
        ASSERT_EQ(tracks.Read(position), 1);
        ASSERT_EQ(tracks.count, c.tracks);
        for (int k = 0; k < tracks.count; ++k) {
            TrackRecord track;
            ASSERT_EQ(tracks.GetTrack(k, track), 1);
            EXPECT_EQ(FieldText(track.name, 32).substr(0, 10), "ACTIVE LOG");
            ASSERT_GT(track.pointCount, 0);
            for (int j = 0; j < track.pointCount; ++j) {
                EXPECT_NEAR(track.points[j].latitudeDegrees, 51.0, 1.0);
                EXPECT_NEAR(track.points[j].longitudeDegrees, 12.0, 1.0);
                EXPECT_GT(track.points[j].altitude, 0.0f);
                EXPECT_LT(track.points[j].altitude, 1000.0f);
            }
        }
        LRecordList lRecords;
        ASSERT_EQ(lRecords.Read(position), 1);
        EXPECT_EQ(lRecords.count, c.lRecords);
    }
}

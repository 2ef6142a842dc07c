// Real files written by MapSource, BaseCamp and GPSBabel, read as the program
// reads them and checked against GPSBabel's own reading (the .gpsbabel.csv
// beside each).
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>

#include "common/CodePage.h"
#include "sources/CreateWaypointSource.h"
#include "sources/NameField.h"
#include "sources/mapsource/MpsSource.h"
#include "support/ByteBuilder.h"

namespace {

// The rows of a CSV file (as GPSBabel's unicsv writes them) by column name;
// quoted fields may hold commas. No file, no rows.
using CsvRow = std::map<std::string, std::string>;
std::vector<CsvRow> ReadCsv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> header;
    std::vector<CsvRow> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"') quoted = !quoted;
            else if (c == ',' && !quoted) fields.emplace_back();
            else if (c != '\r') fields.back() += c;
        }
        if (header.empty()) {
            header = fields;
            continue;
        }
        CsvRow& row = rows.emplace_back();
        for (size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
    }
    return rows;
}

// Degrees as GPSBabel computes them from semicircles.
double Degrees(int32_t semicircles) { return semicircles * (180.0 / 2147483648.0); }

struct Sample {
    const char* file;
    int waypoints, tracks, unknownNames;  // names with characters code page 950 lacks
    bool latin1;                          // names written as Latin-1, kept as bytes
    size_t points = 0;                    // track points, checked against the .trackpoints.gpsbabel.csv
};

class SampleFiles : public testing::TestWithParam<Sample> {};

TEST_P(SampleFiles, AgreeWithGpsBabel) {
    const Sample& sample = GetParam();
    const std::string path = SamplePath(sample.file);
    const std::string base = std::string(sample.file).substr(0, std::string(sample.file).rfind('.'));
    const std::string csvPath = SamplePath(base + ".gpsbabel.csv");
    if (path.empty() || csvPath.empty()) GTEST_SKIP() << sample.file << " is not beside the project";
    auto source = CreateWaypointSource(path);
    VectorLineList lines, trackLines;
    ASSERT_EQ(source->Load(path, &lines, &trackLines), 1);
    const std::vector<CsvRow> rows = ReadCsv(csvPath);
    ASSERT_EQ(source->waypointCount, sample.waypoints);
    ASSERT_EQ(rows.size(), static_cast<size_t>(sample.waypoints));
    EXPECT_EQ(lines.lines.size(), rows.size());
    EXPECT_EQ(trackLines.lines.size(), static_cast<size_t>(sample.tracks));  // a route ends a MapSource file's waypoints
    int unknown = 0;
    for (int i = 0; i < source->waypointCount; ++i) {
        const WaypointRecord& record = source->waypoints[i];
        const CsvRow& row = rows[static_cast<size_t>(i)];
        SCOPED_TRACE(sample.file + std::string(" waypoint ") + row.at("No"));
        EXPECT_NEAR(Degrees(record.latitude), std::stod(row.at("Latitude")), 1e-5);
        EXPECT_NEAR(Degrees(record.longitude), std::stod(row.at("Longitude")), 1e-5);
        const std::string name(FieldText(record.name, 12)), converted = codepage::Utf8ToCp950(row.at("Name"));
        if (sample.latin1) {
            // GPSBabel decodes the bytes as Latin-1: compare the ASCII names only.
            EXPECT_TRUE(converted.find('?') != std::string::npos || name == converted.substr(0, 11)) << name;
        } else {
            char expected[12];
            StoreName(expected, sizeof expected, converted);
            EXPECT_EQ(name, FieldText(expected, 12));
            unknown += converted.find('?') != std::string::npos;
        }
        // GPSBabel leaves the altitude of a waypoint without one empty.
        const auto altitude = row.find("Altitude");
        EXPECT_NEAR(record.altitude, altitude == row.end() || altitude->second.empty() ? 0.0 : std::stod(altitude->second), 0.05);
    }
    EXPECT_EQ(unknown, sample.unknownNames);
    if (sample.points == 0) return;
    const std::vector<CsvRow> points = ReadCsv(SamplePath(base + ".trackpoints.gpsbabel.csv"));
    ASSERT_EQ(points.size(), sample.points);
    size_t n = 0;
    for (int k = 0; k < source->trackCount; ++k) {
        for (int j = 0; j < source->tracks[k].pointCount && n < points.size(); ++j, ++n) {
            const TrackPoint& p = source->tracks[k].points[j];
            const CsvRow& row = points[n];
            SCOPED_TRACE("point " + row.at("No"));
            EXPECT_NEAR(p.latitudeDegrees, std::stod(row.at("Latitude")), 1e-6);
            EXPECT_NEAR(p.longitudeDegrees, std::stod(row.at("Longitude")), 1e-6);
            EXPECT_NEAR(p.altitude, std::stod(row.at("Altitude")), 0.051);  // GPSBabel shows one decimal
            int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;  // "2005/05/01" and "10:12:47", UTC
            std::sscanf((row.at("Date") + " " + row.at("Time")).c_str(), "%d/%d/%d %d:%d:%d", &y, &mo, &d, &h, &mi, &se);
            using namespace std::chrono;
            const auto days = sys_days(year(y) / mo / d) - sys_days(1989y / 12 / 31);
            EXPECT_EQ(p.time, static_cast<uint32_t>(days.count() * 86400 + h * 3600 + mi * 60 + se));
        }
    }
    EXPECT_EQ(n, points.size());
}

INSTANTIATE_TEST_SUITE_P(RealFiles, SampleFiles, testing::Values(
    Sample{"gdb-sample.gdb", 199, 0, 0, true}, Sample{"gdb-sample-v3.gdb", 199, 0, 1, false},
    Sample{"gdb-sample2.gdb", 14, 0, 0, true}, Sample{"gdb-sample-v3-ilinks.gdb", 36, 0, 0, false},
    Sample{"basecamp.gpx", 2, 1, 0, false}, Sample{"Lctns_Instinct.gpx", 10, 1, 5, false},
    Sample{"gdb-sample-tracks.gpx", 9, 9, 1, false, 747}, Sample{"umsonstdraussen.gpx", 78, 0, 16, false},
    Sample{"garmin_gpi_encoding.gpx", 1, 0, 0, false}),
    [](const testing::TestParamInfo<Sample>& info) {  // the file's name, in letters, digits and underscores
        std::string name = info.param.file;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(SampleFiles, MapSourceMpsWaypointsWithEmptyCountries) {
    const std::string path = SamplePath("mapsource.mps");
    if (path.empty()) GTEST_SKIP() << "mapsource.mps is not beside the project";
    MpsSource source;
    ASSERT_EQ(source.Load(path, nullptr, nullptr), 1);
    ASSERT_EQ(source.waypointCount, 9);
    EXPECT_NEAR(Degrees(source.waypoints[0].latitude), 36.09068, 1e-5);
    EXPECT_NEAR(Degrees(source.waypoints[0].longitude), -86.67955, 1e-5);
    for (int i = 0; i < source.waypointCount; ++i) EXPECT_EQ(std::string(source.waypoints[i].name, 2), "GC") << i;
}

}  // namespace

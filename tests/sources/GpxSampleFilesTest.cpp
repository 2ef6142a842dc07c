// Real GPX files written by BaseCamp and GPSBabel, checked against GPSBabel's
// own reading of them (the .gpsbabel.csv beside each).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/CodePage.h"
#include "sources/GpxSource.h"
#include "sources/NameField.h"
#include "support/ByteBuilder.h"
#include "support/CsvRows.h"

namespace {

struct GpxSample {
    const char* name;
    int waypoints, tracks, unknownNames;  // names with a character code page 950 lacks
    const char* first;                    // the first name as stored
};

class GpxSamples : public testing::TestWithParam<GpxSample> {};

TEST_P(GpxSamples, AgreeWithGpsBabel) {
    const GpxSample& sample = GetParam();
    const std::string path = SamplePath(sample.name + std::string(".gpx"));
    const std::string csvPath = SamplePath(sample.name + std::string(".gpsbabel.csv"));
    if (path.empty() || csvPath.empty()) GTEST_SKIP() << sample.name << " is not beside the project";

    GpxSource source;
    VectorLineList lines, trackLines;
    ASSERT_EQ(source.Load(path, &lines, &trackLines), 1);
    const std::vector<CsvRow> rows = ReadCsv(csvPath);
    ASSERT_EQ(source.waypointCount, sample.waypoints);
    ASSERT_EQ(rows.size(), static_cast<size_t>(sample.waypoints));
    EXPECT_EQ(lines.lines.size(), rows.size());
    EXPECT_EQ(trackLines.lines.size(), static_cast<size_t>(sample.tracks));
    EXPECT_EQ(FieldText(source.waypoints[0].name, 12), sample.first);

    int unknown = 0;
    for (int i = 0; i < source.waypointCount; ++i) {
        const WaypointRecord& record = source.waypoints[i];
        const CsvRow& row = rows[static_cast<size_t>(i)];
        SCOPED_TRACE(sample.name + std::string(" waypoint ") + row.at("No"));
        EXPECT_NEAR(record.latitude * kSemicircleFactor, std::stod(row.at("Latitude")), 1e-6);
        EXPECT_NEAR(record.longitude * kSemicircleFactor, std::stod(row.at("Longitude")), 1e-6);
        // GPSBabel's name in code page 950, cut to the field.
        const std::string converted = codepage::Utf8ToCp950(row.at("Name"));
        char expected[12];
        StoreName(expected, sizeof expected, converted);
        EXPECT_EQ(FieldText(record.name, 12), FieldText(expected, 12));
        unknown += converted.find('?') != std::string::npos;
        // GPSBabel leaves the altitude of a waypoint without one empty.
        const auto altitude = row.find("Altitude");
        EXPECT_NEAR(record.altitude, altitude == row.end() || altitude->second.empty() ? 0.0 : std::stod(altitude->second), 0.05);
    }
    EXPECT_EQ(unknown, sample.unknownNames);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, GpxSamples,
                         testing::Values(GpxSample{"basecamp", 2, 1, 0, "Hwy 119"},
                                         GpxSample{"Lctns_Instinct", 10, 1, 5, "Greenwich e"},
                                         GpxSample{"gdb-sample-tracks", 9, 9, 1, "3"},
                                         GpxSample{"umsonstdraussen", 78, 0, 16, "Uferlos Fes"},
                                         GpxSample{"garmin_gpi_encoding", 1, 0, 0, "\xA3\xE1"}),
                         [](const testing::TestParamInfo<GpxSample>& info) { return std::to_string(info.index); });

TEST(GpxSampleTracks, PointsAgreeWithGpsBabel) {
    const std::string path = SamplePath("gdb-sample-tracks.gpx");
    const std::string csvPath = SamplePath("gdb-sample-tracks.trackpoints.gpsbabel.csv");
    if (path.empty() || csvPath.empty()) GTEST_SKIP() << "gdb-sample-tracks is not beside the project";
    GpxSource source;
    ASSERT_EQ(source.Load(path, nullptr, nullptr), 1);
    const std::vector<CsvRow> rows = ReadCsv(csvPath);
    size_t n = 0;
    for (int k = 0; k < source.trackCount; ++k) {
        for (int j = 0; j < source.tracks[k].pointCount && n < rows.size(); ++j, ++n) {
            const TrackPoint& p = source.tracks[k].points[j];
            const CsvRow& row = rows[n];
            SCOPED_TRACE("point " + row.at("No"));
            EXPECT_NEAR(p.latitudeDegrees, std::stod(row.at("Latitude")), 1e-6);
            EXPECT_NEAR(p.longitudeDegrees, std::stod(row.at("Longitude")), 1e-6);
            EXPECT_NEAR(p.altitude, std::stod(row.at("Altitude")), 0.051);  // GPSBabel shows one decimal
            // "2005/05/01" and "10:12:47", UTC.
            int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
            std::sscanf((row.at("Date") + " " + row.at("Time")).c_str(), "%d/%d/%d %d:%d:%d", &y, &mo, &d, &h, &mi, &se);
            using namespace std::chrono;
            const auto days = sys_days(year(y) / mo / d) - sys_days(1989y / 12 / 31);
            EXPECT_EQ(p.time, static_cast<uint32_t>(days.count() * 86400 + h * 3600 + mi * 60 + se));
        }
    }
    EXPECT_EQ(n, 747u);
    EXPECT_EQ(rows.size(), 747u);
}

}  // namespace

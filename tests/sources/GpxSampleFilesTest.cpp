// Real GPX files written by BaseCamp and GPSBabel, checked against GPSBabel's
// own reading of them (the .gpsbabel.csv beside each).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "common/CodePage.h"
#include "sources/CreateWaypointSource.h"
#include "sources/NameField.h"
#include "support/ByteBuilder.h"
#include "support/CsvRows.h"

namespace {

struct GpxSample {
    const char* name;
    int waypoints, tracks, unknownNames;  // names with a character code page 950 lacks
};

class GpxSamples : public testing::TestWithParam<GpxSample> {};

TEST_P(GpxSamples, AgreeWithGpsBabel) {
    const GpxSample& sample = GetParam();
    const std::string path = SamplePath(sample.name + std::string(".gpx"));
    const std::string csvPath = SamplePath(sample.name + std::string(".gpsbabel.csv"));
    if (path.empty() || csvPath.empty()) GTEST_SKIP() << sample.name << " is not beside the project";

    std::unique_ptr<WaypointSource> source = CreateWaypointSource(path);
    VectorLineList lines, trackLines;
    ASSERT_EQ(source->Load(path, &lines, &trackLines), 1);
    const std::vector<CsvRow> rows = ReadCsv(csvPath);
    ASSERT_EQ(source->waypointCount, sample.waypoints);
    ASSERT_EQ(rows.size(), static_cast<size_t>(sample.waypoints));
    EXPECT_EQ(lines.lines.size(), rows.size());
    EXPECT_EQ(source->trackCount, sample.tracks);
    EXPECT_EQ(trackLines.lines.size(), static_cast<size_t>(sample.tracks));

    int unknown = 0;
    for (int i = 0; i < source->waypointCount; ++i) {
        const WaypointRecord& record = source->waypoints[i];
        const CsvRow& row = rows[static_cast<size_t>(i)];
        SCOPED_TRACE(sample.name + std::string(" waypoint ") + row.at("No"));
        EXPECT_NEAR(record.latitude * kSemicircleFactor, std::stod(row.at("Latitude")), 1e-6);
        EXPECT_NEAR(record.longitude * kSemicircleFactor, std::stod(row.at("Longitude")), 1e-6);
        const std::string name(FieldText(record.name, sizeof record.name));
        const std::string converted = codepage::Utf8ToCp950(row.at("Name"));
        EXPECT_EQ(converted.rfind(name, 0), 0u) << row.at("Name");
        EXPECT_TRUE(name.size() == converted.size() || name.size() >= 10) << row.at("Name");
        unknown += converted.find('?') != std::string::npos;
        // GPSBabel leaves the altitude of a waypoint without one empty.
        const auto altitude = row.find("Altitude");
        EXPECT_NEAR(record.altitude, altitude == row.end() || altitude->second.empty() ? 0.0 : std::stod(altitude->second), 0.05);
        EXPECT_EQ(record.symbol, 0);
    }
    EXPECT_EQ(unknown, sample.unknownNames);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, GpxSamples,
                         testing::Values(GpxSample{"basecamp", 2, 1, 0}, GpxSample{"Lctns_Instinct", 10, 1, 5},
                                         GpxSample{"gdb-sample-tracks", 9, 9, 1}, GpxSample{"umsonstdraussen", 78, 0, 16},
                                         GpxSample{"garmin_gpi_encoding", 1, 0, 0}),
                         [](const testing::TestParamInfo<GpxSample>& info) { return std::to_string(info.index); });

TEST(GpxSamples, TrackPointsAgreeWithGpsBabel) {
    const std::string path = SamplePath("gdb-sample-tracks.gpx");
    const std::string csvPath = SamplePath("gdb-sample-tracks.trackpoints.gpsbabel.csv");
    if (path.empty() || csvPath.empty()) GTEST_SKIP() << "gdb-sample-tracks is not beside the project";
    std::unique_ptr<WaypointSource> source = CreateWaypointSource(path);
    ASSERT_EQ(source->Load(path, nullptr, nullptr), 1);
    const std::vector<CsvRow> rows = ReadCsv(csvPath);
    ASSERT_EQ(rows.size(), 747u);
    size_t n = 0;
    for (int k = 0; k < source->trackCount; ++k) {
        const TrackRecord& track = source->tracks[k];
        EXPECT_EQ(FieldText(track.name, sizeof track.name).substr(0, 10), "ACTIVE LOG");
        for (int j = 0; j < track.pointCount && n < rows.size(); ++j, ++n) {
            const TrackPoint& p = track.points[j];
            const CsvRow& row = rows[n];
            SCOPED_TRACE("point " + row.at("No"));
            EXPECT_NEAR(p.latitudeDegrees, std::stod(row.at("Latitude")), 1e-6);
            EXPECT_NEAR(p.longitudeDegrees, std::stod(row.at("Longitude")), 1e-6);
            EXPECT_NEAR(p.altitude, std::stod(row.at("Altitude")), 0.051);  // GPSBabel shows one decimal
            // "2005/05/01" and "10:12:47", UTC, as seconds since 1989-12-31.
            const std::string& d = row.at("Date");
            const std::string& t = row.at("Time");
            using namespace std::chrono;
            const year_month_day date{year(std::stoi(d.substr(0, 4))), month(std::stoul(d.substr(5, 2))), day(std::stoul(d.substr(8, 2)))};
            const auto seconds = (sys_days(date) - sys_days(1989y / 12 / 31)) + hours(std::stoi(t.substr(0, 2))) +
                                 minutes(std::stoi(t.substr(3, 2))) + std::chrono::seconds(std::stoi(t.substr(6, 2)));
            EXPECT_EQ(p.time, static_cast<uint32_t>(duration_cast<std::chrono::seconds>(seconds).count()));
            EXPECT_EQ(p.hour, (std::stoi(t.substr(0, 2)) + 8) % 24);
        }
    }
    EXPECT_EQ(n, rows.size());
}

TEST(GpxSamples, EuroSignAndSelection) {
    EXPECT_STREQ(CreateWaypointSource("a/B.GpX")->Kind(), "gpx");
    const std::string path = SamplePath("garmin_gpi_encoding.gpx");
    if (path.empty()) GTEST_SKIP() << "garmin_gpi_encoding.gpx is not beside the project";
    std::unique_ptr<WaypointSource> source = CreateWaypointSource(path);
    ASSERT_EQ(source->Load(path, nullptr, nullptr), 1);
    EXPECT_EQ(FieldText(source->waypoints[0].name, 12), "\xA3\xE1");
}

}  // namespace

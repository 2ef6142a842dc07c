// Real files written by MapSource, BaseCamp and GPSBabel, checked against
// GPSBabel's own reading of their waypoints (the .gpsbabel.csv beside each).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "common/CodePage.h"
#include "sources/ReadWholeFile.h"
#include "sources/mapsource/GdbSource.h"
#include "sources/mapsource/MpsSource.h"
#include "MapSourceBuilder.h"
#include "support/CsvRows.h"

namespace {

using Row = CsvRow;

// Degrees as GPSBabel computes them from semicircles.
double Degrees(int32_t semicircles) { return semicircles * (180.0 / 2147483648.0); }

std::string Latin1ToUtf8(const std::string& bytes) {
    std::string utf8;
    for (unsigned char c : bytes) {
        if (c >= 0x80) utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(c < 0x80 ? c : 0x80 | (c & 0x3F));
    }
    return utf8;
}

// A sample's image and a position after its head.
template <typename Header>
bool ReadHead(const std::string& path, std::vector<unsigned char>& image, ReadPosition& position, Header& header) {
    if (ReadWholeFile(path, image) != 1) return false;
    position = ReadPosition{image.data(), image.size()};
    return header.Read(position) == 1;
}

struct GdbSample {
    const char* name;
    bool utf8Names;
    int waypoints;
};

}  // namespace

class GdbSamples : public testing::TestWithParam<GdbSample> {};

TEST_P(GdbSamples, AgreeWithGpsBabel) {
    const GdbSample& sample = GetParam();
    const std::string path = SamplePath(sample.name + std::string(".gdb"));
    const std::string csvPath = SamplePath(sample.name + std::string(".gpsbabel.csv"));
    if (path.empty() || csvPath.empty()) GTEST_SKIP() << sample.name << " is not beside the project";

    GdbSource source;
    VectorLineList lines;
    ASSERT_EQ(source.Load(path, &lines, nullptr), 1);
    const std::vector<Row> rows = ReadCsv(csvPath);
    ASSERT_EQ(source.waypointCount, sample.waypoints);
    ASSERT_EQ(rows.size(), static_cast<size_t>(sample.waypoints));
    EXPECT_EQ(lines.lines.size(), rows.size());
    EXPECT_EQ(source.trackCount, 0);  // a route record ends the waypoints in each of them

    std::map<std::string, int16_t> symbols;
    for (int i = 0; i < source.waypointCount; ++i) {
        const WaypointRecord& record = source.waypoints[i];
        const Row& row = rows[i];
        const std::string name(FieldText(record.name, sizeof record.name));
        const std::string& csvName = row.at("Name");
        SCOPED_TRACE(sample.name + std::string(" waypoint ") + row.at("No"));

        EXPECT_NEAR(Degrees(record.latitude), std::stod(row.at("Latitude")), 1e-5);
        EXPECT_NEAR(Degrees(record.longitude), std::stod(row.at("Longitude")), 1e-5);
        if (sample.utf8Names) {
            char expected[12];
            StoreName(expected, sizeof expected, codepage::Utf8ToCp950(csvName));
            EXPECT_EQ(name, FieldText(expected, sizeof expected));
        } else if (std::all_of(csvName.begin(), csvName.end(), [](unsigned char c) { return c < 0x80; })) {
            EXPECT_EQ(name, csvName.substr(0, 11));
        } else {
            // Written as Latin-1, which GPSBabel decodes; the bytes are kept.
            EXPECT_EQ(csvName.rfind(Latin1ToUtf8(name), 0), 0u) << csvName;
        }
        const std::string& altitude = row.at("Altitude");
        EXPECT_NEAR(record.altitude, altitude.empty() ? 0.0 : std::stod(altitude), 0.05);
        // Each symbol name stands for one number.
        EXPECT_EQ(symbols.emplace(row.at("Symbol"), record.symbol).first->second, record.symbol) << row.at("Symbol");
    }
    EXPECT_EQ(symbols.count("Waypoint") ? symbols["Waypoint"] : 18, 18);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, GdbSamples,
                         testing::Values(GdbSample{"gdb-sample", false, 199}, GdbSample{"gdb-sample-v3", true, 199},
                                         GdbSample{"gdb-sample2", false, 14},
                                         GdbSample{"gdb-sample-v3-ilinks", true, 36}),
                         [](const testing::TestParamInfo<GdbSample>& info) { return std::to_string(info.index); });

TEST(GdbSampleTracks, TracksAndLRecordsAfterTheRoute) {
    struct Case {
        const char* file;
        int tracks, lRecords;
    };
    for (const Case& c :
         {Case{"gdb-sample.gdb", 9, 4}, Case{"gdb-sample-v3.gdb", 9, 4}, Case{"gdb-sample2.gdb", 1, 0}}) {
        const std::string path = SamplePath(c.file);
        if (path.empty()) GTEST_SKIP() << c.file << " is not beside the project";
        SCOPED_TRACE(c.file);
        std::vector<unsigned char> image;
        ReadPosition position;
        GdbHeader header;
        ASSERT_TRUE(ReadHead(path, image, position, header));
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

TEST(MpsSamples, MapSourceWaypointsWithEmptyCountries) {
    const std::string path = SamplePath("mapsource.mps");
    if (path.empty()) GTEST_SKIP() << "mapsource.mps is not beside the project";
    MpsSource source;
    VectorLineList lines;
    ASSERT_EQ(source.Load(path, &lines, nullptr), 1);
    ASSERT_EQ(source.waypointCount, 9);
    EXPECT_EQ(lines.lines.size(), 9u);
    EXPECT_EQ(FieldText(source.waypoints[0].name, 12), "GC1A37");
    EXPECT_NEAR(Degrees(source.waypoints[0].latitude), 36.09068, 1e-5);
    EXPECT_NEAR(Degrees(source.waypoints[0].longitude), -86.67955, 1e-5);
    for (int i = 0; i < source.waypointCount; ++i) {
        // Geocaches around one city: positions and names alike.
        const WaypointRecord& w = source.waypoints[i];
        EXPECT_NEAR(Degrees(w.latitude), 36.1, 0.5) << i;
        EXPECT_NEAR(Degrees(w.longitude), -86.7, 0.5) << i;
        EXPECT_EQ(FieldText(w.name, 12).substr(0, 2), "GC") << i;
        EXPECT_LT(std::fabs(w.altitude), 9999.0f) << i;
    }
}

TEST(MpsSamples, TrackFileWithoutWaypoints) {
    const std::string path = SamplePath("mps-track.mps");
    if (path.empty()) GTEST_SKIP() << "mps-track.mps is not beside the project";
    // No waypoints: the file loads with nothing to correct from, and its
    // tracks are not read.
    MpsSource source;
    VectorLineList waypointLines, trackLines;
    ASSERT_EQ(source.Load(path, &waypointLines, &trackLines), 1);
    EXPECT_EQ(source.waypointCount, 0);
    EXPECT_EQ(source.trackCount, 0);

    // Its track, read as a run, fits the 31-byte point layout.
    std::vector<unsigned char> image;
    ReadPosition position;
    MpsHeader header;
    ASSERT_TRUE(ReadHead(path, image, position, header));
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

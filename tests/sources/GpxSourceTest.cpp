#include "sources/GpxSource.h"

#include <gtest/gtest.h>

#include <tuple>
#include <string>
#include <vector>

#include "sources/ListLines.h"
#include "sources/mapsource/MapSourceBuilder.h"

namespace {

using namespace std::string_literals;
const std::string kGpx11 = "gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"";

std::string Gpx(const std::string& body, const std::string& root = kGpx11) {
    return "<" + root + ">" + body + "</" + root.substr(0, root.find(' ')) + ">";
}
std::string Wpt(const std::string& inner, const std::string& lat = "1", const std::string& lon = "2") {
    return "<wpt lat=\"" + lat + "\" lon=\"" + lon + "\">" + inner + "</wpt>";
}
std::string Repeat(const std::string& text, int count) {
    std::string all;
    while (count-- > 0) all += text;
    return all;
}

mstest::Loaded LoadGpx(const std::string& text) { return {".gpx", mstest::Text(text)}; }

// One waypoint after a valid one: loaded as given (at 1 and 2 degrees unless
// the row says otherwise), or the file refused with the first waypoint kept.
struct WaypointCase { std::string label, wpt; int result = 0; std::string name = ""; float altitude = 0; int32_t latitude = 11930465, longitude = 23860929; };

class GpxWaypoints : public testing::TestWithParam<WaypointCase> {};

TEST_P(GpxWaypoints, NamePositionAltitude) {
    const WaypointCase& c = GetParam();
    const auto load = LoadGpx(Gpx(Wpt("<name>First</name>") + c.wpt));
    EXPECT_EQ(load.result, c.result);
    ASSERT_EQ(load.source->waypointCount, c.result ? 2 : 1);
    ASSERT_EQ(load.waypointLines.lines.size(), c.result ? 2u : 1u);
    if (!c.result) return;
    const WaypointRecord& w = load.Waypoint(1);
    EXPECT_EQ(std::tuple(load.Name(1), w.latitude, w.longitude, w.altitude),
              std::tuple(c.name, c.latitude, c.longitude, c.altitude));
    EXPECT_EQ(load.waypointLines.lines[1], FormatWaypointLine(c.name, c.altitude > 9999 ? 0 : c.altitude));
}

INSTANTIATE_TEST_SUITE_P(Rows, GpxWaypoints, testing::Values(
    WaypointCase{"Big5Name", Wpt("<name>嘉明湖</name><ele>3310.5</ele>"), 1, "\xB9\xC5\xA9\xFA\xB4\xF2", 3310.5f},
    WaypointCase{"LetterOutsideBig5", Wpt("<name>Händel</name><ele> -12.6 </ele>"), 1, "H?ndel", -12.6f},  // no Ä in Big5
    WaypointCase{"EuroAndEmoji", Wpt("<name>€ 😀x</name><ele>9999.5</ele>"), 1, "\xA3\xE1 ?x", 9999.5f},
    WaypointCase{"WhiteSpaceTrimmed", Wpt("<name> \n\t Hwy 119 \r\n</name><ele></ele>"), 1, "Hwy 119"},
    WaypointCase{"EntitiesAndCdata", Wpt("<name>&amp;&lt;&#x4E2D;&#20013;<![CDATA[<b>]]></name>"), 1, "&<\xA4\xA4\xA4\xA4<b>"},
    WaypointCase{"CutAtWholeCharacter", Wpt("<name>嘉明湖嘉明湖</name>"), 1, "\xB9\xC5\xA9\xFA\xB4\xF2\xB9\xC5\xA9\xFA"},  // whole characters
    WaypointCase{"NameAcrossReadPieces", Wpt("<name>" + Repeat(" ", 600000) + "ab" + Repeat("c", 600000) + "</name>"), 1, "abccccccccc"},  // more than one 1 MiB piece
    WaypointCase{"LongSpaceRun", Wpt("<name>a" + Repeat(" ", 100000) + "b</name>"), 1, "a          "},
    WaypointCase{"ExtensionsSkipped", Wpt("<name>X</name><extensions><name>Y</name><g:name xmlns:g=\"urn:g\">Z</g:name><ele>5</ele></extensions>"), 1, "X"},
    WaypointCase{"NorthEastCorner", Wpt("", "90", "180"), 1, "", 0, 1073741820, 2147483640},
    WaypointCase{"SouthWestCorner", Wpt("", "-90.0", "-180"), 1, "", 0, -1073741820, -2147483640},
    WaypointCase{"TaiwanPosition", Wpt("", "23.293", "+121.034"), 1, "", 0, 277896313, 1443991860},
    WaypointCase{"TinyOffsetsRounded", Wpt("", " -0.0000001 ", "4.2e-8"), 1, "", 0, -1, 1},
    WaypointCase{"LatitudePast90", Wpt("", "90.0000001")}, WaypointCase{"LongitudePast180", Wpt("", "0", "-180.01")}, WaypointCase{"NanLatitude", Wpt("", "nan")},
    WaypointCase{"CommaDecimal", Wpt("", "1,5")}, WaypointCase{"EmptyLatitude", Wpt("", "")}, WaypointCase{"NoLongitude", "<wpt lat=\"1\"/>"},
    WaypointCase{"ElevationWithUnit", Wpt("<ele>12 m</ele>")}, WaypointCase{"ElevationPastFloat", Wpt("<ele>1e39</ele>")},
    WaypointCase{"LargestFloatElevation", Wpt("<ele>3.4028234663852886e38</ele>"), 1, "", 3.4028234663852886e38f},  // the largest float
    WaypointCase{"DeepExtensions", "<extensions>" + Repeat("<e>", 100000) + Repeat("</e>", 100000) + "</extensions>"}),
    [](const testing::TestParamInfo<WaypointCase>& info) { return info.param.label; });

// Whole documents: the GPX versions, namespaces, encodings, and what is
// refused before any waypoint.
struct DocumentCase { std::string name, text; int result; std::string names; };  // one letter a name

class GpxDocuments : public testing::TestWithParam<DocumentCase> {};

TEST_P(GpxDocuments, LoadOrRefuse) {
    const auto load = LoadGpx(GetParam().text);
    EXPECT_EQ(load.result, GetParam().result);
    const std::string& names = GetParam().names;
    ASSERT_EQ(load.source->waypointCount, static_cast<int32_t>(names.size()));
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(load.Name(static_cast<int>(i)), names.substr(i, 1));
}

const std::string kTwo = Wpt("<name>A</name>") + Wpt("<name>B</name>");
const std::string kLaughs = [] {  // 10^9 times "lol" from nine entities of ten references each
    std::string declarations = "<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i) declarations += "<!ENTITY l" + std::to_string(i) + " \"" + Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">";
    return "<!DOCTYPE gpx [" + declarations + "]>" + Gpx(Wpt("<name>&l9;</name>"), "gpx");
}();

INSTANTIATE_TEST_SUITE_P(Rows, GpxDocuments, testing::Values(
    DocumentCase{"Gpx10TrackFirst", Gpx("<trk/>" + kTwo, "gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\""), 1, "AB"},
    DocumentCase{"Prefixed", Gpx("<g:wpt lat=\"1\" lon=\"2\"><g:name>A</g:name><name>X</name></g:wpt><wpt lat=\"1\" lon=\"2\"/>",
                                 "g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/1\""), 1, "A"},
    DocumentCase{"NoNamespace", Gpx(kTwo, "gpx version=\"1.1\""), 1, "AB"},
    DocumentCase{"OtherNamespace", Gpx(kTwo, "gpx xmlns=\"http://www.topografix.com/GPX/2/0\""), 0, ""},
    DocumentCase{"NotGpxWithoutNamespace", Gpx(kTwo, "kml"), 0, ""},
    DocumentCase{"RoutesAndNested", Gpx("<rte><rtept lat=\"1\" lon=\"2\"/></rte><metadata>" + kTwo + "</metadata>"), 1, ""},
    DocumentCase{"JunkAfterRoot", Gpx(kTwo) + "<gpx/>", 0, "AB"},
    DocumentCase{"Tracks9999", Gpx(kTwo + Repeat("<trk/>", 9999)), 1, "AB"},
    DocumentCase{"BillionLaughs", kLaughs, 0, ""},
    DocumentCase{"ExternalEntity", "<!DOCTYPE gpx [<!ENTITY x SYSTEM \"/etc/passwd\">]>" + Gpx(Wpt("<name>&x;</name>"), "gpx"), 0, ""},
    DocumentCase{"Latin1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><gpx>" + kTwo + Wpt("<name>\xC4</name>") + "</gpx>", 1, "AB?"},
    DocumentCase{"Utf8Bom", "\xEF\xBB\xBF" + Gpx(kTwo), 1, "AB"}),
    [](const testing::TestParamInfo<DocumentCase>& info) { return info.param.name; });

TEST(GpxTimes, SecondsSince1989AndHourAtUtcPlus8) {
    std::vector<std::tuple<std::string, int, uint32_t>> rows = {  // the time, the result, the seconds
        {"1989-12-31T00:00:00Z", 1, 0}, {"1990-01-01T16:00:00Z", 1, 144000}, {"", 1, 0},
        {"2005-05-01T10:12:47.879Z", 1, 483876767}, {" 2005-05-01T18:12:47+08:00 ", 1, 483876767},
        {"2005-05-01T05:42:47-0430", 1, 483876767}, {"2005-05-01T10:12:47", 1, 483876767},
        {"2000-02-29T23:59:60Z", 1, 320803200}, {"2004-02-29T00:00:00Z", 1, 446947200}, {"1970-01-01T00:00:00Z", 1, 0},
        {"2126-02-06T06:28:15Z", 1, 4294967295u}, {"2126-02-06T06:28:16Z", 1, 0},
        {"2005-05-01T18:12:47+08", 1, 483876767}, {"2005-05-01T23:12:47+23:00", 1, 483840767},
        {"2005-05-01t10:12:47z", 1, 483876767}};
    for (const char* refused : {"2005-05-01", "2100-02-29T00:00:00Z", "2005-05-01T10:12:61Z", "2005-05-01T24:00:01Z",
             "2005-05-01T25:00:00Z", "2005-05-01T10:60:00Z", "2005-05-01T10:12Z", "2005-05-01T10:12:47+24:00",
             "2005-05-01T10:12:47+", "2005-5-01T10:12:47Z", "2005-05-01T10:12:47Zulu", "2005-05-01X10:12:47Z"}) {
        rows.emplace_back(refused, 0, 0);
    }
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {  // the last day of each month, and the day after it
        for (int extra : {0, 1}) rows.emplace_back("2005-" + std::to_string(100 + month).substr(1) + "-" + std::to_string(lengths[month - 1] + extra) + "T00:00:00Z", 1 - extra, ~0u);
    }
    for (const auto& [time, result, seconds] : rows) {
        const auto load = LoadGpx(Gpx(kTwo + "<trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>" + time + "</time></trkpt></trkseg></trk>"));
        EXPECT_EQ(load.result, result) << time;
        if (!load.result || seconds == ~0u) continue;
        const TrackPoint& p = load.source->tracks[0].points[0];
        EXPECT_EQ(p.time, seconds) << time;
        EXPECT_EQ(p.hour, static_cast<int32_t>((seconds / 3600 % 24 + 8) % 24)) << time;
    }
}

TEST(GpxTracks, SegmentsJoinedAndNamed) {
    const std::string point = "<trkpt lat=\"1\" lon=\"-2\"><ele>3.5</ele><extensions><ele>9</ele></extensions></trkpt>";
    const auto load = LoadGpx(Gpx(kTwo + "<trk><name> ACTIVE LOG 20050501 and a very long name </name><trkseg>" + point + point +
                     "</trkseg><trkseg/><trkseg>" + point + "</trkseg></trk><trk/>"));
    ASSERT_EQ(load.result, 1);
    EXPECT_EQ(load.trackLines.lines, (std::vector<std::string>{"ACTIVE LOG 20050501 and a very  (3)", " (0)"}));
    EXPECT_EQ(std::tuple(load.Point(0, 2).altitude, load.Point(0, 2).longitude), std::tuple(3.5f, -23860929));
}

}  // namespace

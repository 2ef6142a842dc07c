#include "sources/GpxSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sources/NameField.h"
#include "support/ByteBuilder.h"

namespace {

using namespace std::string_literals;

std::string Gpx(const std::string& body, const std::string& root = "gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"") {
    return "<" + root + ">" + body + "</" + root.substr(0, root.find(' ')) + ">";
}
std::string Wpt(const std::string& inner, const std::string& position = "lat=\"1\" lon=\"2\"") {
    return "<wpt " + position + ">" + inner + "</wpt>";
}

struct GpxLoad {
    explicit GpxLoad(const std::string& text, bool keepPoints = true) {
        TempDir dir;
        source.keepTrackPoints = keepPoints;
        result = source.Load(dir.Write("file.gpx", std::vector<uint8_t>(text.begin(), text.end())), &lines, &trackLines);
    }
    std::string Name(int i = 0) const { return std::string(FieldText(source.waypoints[i].name, 12)); }
    GpxSource source;
    VectorLineList lines, trackLines;
    int result = 0;
};

struct NameCase { std::string xml, expected; };

class GpxNames : public testing::TestWithParam<NameCase> {};

TEST_P(GpxNames, ConvertedToCodePage950CutAndTrimmed) {
    GpxLoad load(Gpx(Wpt(GetParam().xml + "<ele>12.6</ele>")));
    ASSERT_EQ(load.result, 1);
    ASSERT_EQ(load.source.waypointCount, 1);
    EXPECT_EQ(load.Name(), GetParam().expected);
    EXPECT_EQ(load.lines.lines, std::vector<std::string>{GetParam().expected + "  13"});
}

INSTANTIATE_TEST_SUITE_P(Rows, GpxNames, testing::Values(
    NameCase{"<name>嘉明湖</name>", "\xB9\xC5\xA9\xFA\xB4\xF2"},
    NameCase{"<name>Händel</name>", "H?ndel"},                      // no Ä in code page 950
    NameCase{"<name>€ 😀x</name>", "\xA3\xE1 ?x"},                  // a character beyond 16 bits: one "?"
    NameCase{"<name> \n\t Hwy 119 \r\n</name>", "Hwy 119"},
    NameCase{"<name>&amp;&lt;&#x4E2D;&#20013;<![CDATA[<b>]]></name>", "&<\xA4\xA4\xA4\xA4<b>"},
    NameCase{"<name>123456789012345</name>", "12345678901"},
    NameCase{"<name>嘉明湖嘉明湖</name>", "\xB9\xC5\xA9\xFA\xB4\xF2\xB9\xC5\xA9\xFA"},  // a whole character only
    NameCase{"<name>" + std::string(100000, ' ') + "ab" + std::string(100000, 'c') + "</name>", "abccccccccc"},
    NameCase{"<name>a" + std::string(100000, ' ') + "</name>", "a"},
    NameCase{"", ""},
    NameCase{"<name>X</name><extensions><name>Y</name><gpxx:name xmlns:gpxx=\"urn:x\">Z</gpxx:name></extensions>", "X"}));

struct PositionCase { std::string lat, lon; int result; int32_t latitude, longitude; };

class GpxPositions : public testing::TestWithParam<PositionCase> {};

TEST_P(GpxPositions, DegreesToNearestSemicircle) {
    const PositionCase& c = GetParam();
    GpxLoad load(Gpx(Wpt("<name>A</name>") + Wpt("", "lat=\"" + c.lat + "\" lon=\"" + c.lon + "\"")));
    EXPECT_EQ(load.result, c.result);
    ASSERT_EQ(load.source.waypointCount, c.result ? 2 : 1);  // a refused waypoint is not kept
    if (!c.result) return;
    const WaypointRecord& w = load.source.waypoints[1];
    EXPECT_EQ(w.latitude, c.latitude);
    EXPECT_EQ(w.longitude, c.longitude);
    EXPECT_NEAR(w.latitude * kSemicircleFactor, std::stod(c.lat), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Rows, GpxPositions, testing::Values(
    PositionCase{"90", "180", 1, 1073741820, 2147483640},
    PositionCase{"-90.0", "-180", 1, -1073741820, -2147483640},
    PositionCase{"23.293", "+121.034", 1, 277896313, 1443991860},
    PositionCase{" -0.0000001 ", "4.2e-8", 1, -1, 1},
    PositionCase{"90.0000001", "0", 0, 0, 0}, PositionCase{"0", "-180.01", 0, 0, 0},
    PositionCase{"nan", "0", 0, 0, 0}, PositionCase{"0", "inf", 0, 0, 0},
    PositionCase{"1,5", "0", 0, 0, 0}, PositionCase{"", "0", 0, 0, 0}, PositionCase{"0x10", "0", 0, 0, 0}));

struct DocumentCase { std::string name, text; int result, waypoints; std::string first; float altitude; };

class GpxDocuments : public testing::TestWithParam<DocumentCase> {};

TEST_P(GpxDocuments, LoadOrRefuseKeepingWhatCameBefore) {
    const DocumentCase& c = GetParam();
    GpxLoad load(c.text);
    EXPECT_EQ(load.result, c.result);
    ASSERT_EQ(load.source.waypointCount, c.waypoints);
    EXPECT_EQ(load.lines.lines.size(), static_cast<size_t>(c.waypoints));
    if (c.waypoints == 0) return;
    EXPECT_EQ(load.Name(), c.first);
    EXPECT_EQ(load.source.waypoints[0].altitude, c.altitude);
    EXPECT_EQ(load.source.waypoints[c.waypoints - 1].altitude, c.waypoints > 1 ? 0.0f : c.altitude);  // no ele: 0
    for (int i = 0; i < c.waypoints; ++i) EXPECT_EQ(load.source.waypoints[i].symbol, 0);
}

std::string Repeat(const std::string& text, int count) {
    std::string all;
    for (int i = 0; i < count; ++i) all += text;
    return all;
}
std::string Utf16(const std::string& ascii) {
    std::string utf16 = "\xFF\xFE";
    for (char c : ascii) utf16 += c + "\0"s;
    return utf16;
}

const std::string kTwo = Wpt("<ele>-12.5</ele><name>A</name>") + Wpt("<name>B</name>");
const std::string kLaughs = "<!DOCTYPE gpx [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"" + Repeat("&a;", 10) +
    "\"><!ENTITY c \"" + Repeat("&b;", 10) + "\"><!ENTITY d \"" + Repeat("&c;", 10) + "\"><!ENTITY e \"" +
    Repeat("&d;", 10) + "\">]>" + Gpx(Wpt("<name>" + Repeat("&e;", 10) + "</name>"), "gpx");
const std::string kGpx10 = "gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\"";

INSTANTIATE_TEST_SUITE_P(Rows, GpxDocuments, testing::Values(
    DocumentCase{"Gpx11", Gpx(kTwo), 1, 2, "A", -12.5f},
    DocumentCase{"Gpx10TrackFirst", Gpx("<trk><trkseg/></trk>" + kTwo, kGpx10), 1, 2, "A", -12.5f},
    DocumentCase{"Prefixed", Gpx("<g:wpt lat=\"1\" lon=\"2\"><g:ele>3</g:ele><name>N</name></g:wpt><wpt lat=\"1\" lon=\"2\"/>",
                                 "g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/1\""), 1, 1, "", 3.0f},
    DocumentCase{"NoNamespace", Gpx(kTwo, "gpx version=\"1.1\""), 1, 2, "A", -12.5f},
    DocumentCase{"OtherNamespace", Gpx(kTwo, "gpx xmlns=\"http://www.topografix.com/GPX/2/0\""), 0, 0, "", 0},
    DocumentCase{"NotGpx", Gpx(kTwo, "kml xmlns=\"http://www.opengis.net/kml/2.2\""), 0, 0, "", 0},
    DocumentCase{"RoutesAndNested", Gpx("<rte><rtept lat=\"1\" lon=\"2\"/></rte><metadata>" + kTwo + "</metadata>"), 1, 0, "", 0},
    DocumentCase{"EmptyEle", Gpx(Wpt("<ele> </ele>")), 1, 1, "", 0},
    DocumentCase{"BadEle", Gpx(kTwo + Wpt("<ele>12 m</ele>")), 0, 2, "A", -12.5f},
    DocumentCase{"HugeEle", Gpx(kTwo + Wpt("<ele>1e39</ele>")), 0, 2, "A", -12.5f},
    DocumentCase{"MissingLon", Gpx(kTwo + "<wpt lat=\"1\"/>"), 0, 2, "A", -12.5f},
    DocumentCase{"Cut", [] { std::string t = Gpx(kTwo + Wpt("<name>C</name>")); return t.substr(0, t.size() - 20); }(), 0, 2, "A", -12.5f},
    DocumentCase{"Mismatched", Gpx(kTwo + "<wpt lat=\"1\" lon=\"2\"></trk>"), 0, 2, "A", -12.5f},
    DocumentCase{"JunkAfterRoot", Gpx(kTwo) + "<gpx/>", 0, 2, "A", -12.5f},
    DocumentCase{"DeepNesting", Gpx(kTwo + "<extensions>" + Repeat("<e>", 100000) + Repeat("</e>", 100000) + "</extensions>"), 0, 2, "A", -12.5f},
    DocumentCase{"BillionLaughs", kLaughs, 0, 0, "", 0},
    DocumentCase{"ExternalEntity", "<!DOCTYPE gpx [<!ENTITY x SYSTEM \"/etc/passwd\">]>" + Gpx(Wpt("<name>&x;</name>"), "gpx"), 0, 0, "", 0},
    DocumentCase{"Latin1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><gpx>" + Wpt("<name>H\xE4</name>") + "</gpx>", 1, 1, "H?", 0},
    DocumentCase{"Utf16", Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><gpx>" + kTwo + "</gpx>"), 1, 2, "A", -12.5f}),
    [](const testing::TestParamInfo<DocumentCase>& info) { return info.param.name; });

struct TimeCase { std::string time; int result; uint32_t seconds; };

class GpxTimes : public testing::TestWithParam<TimeCase> {};

TEST_P(GpxTimes, SecondsSince1989AndHourAtUtcPlus8) {
    const TimeCase& c = GetParam();
    GpxLoad load(Gpx(kTwo + "<trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>" + c.time + "</time></trkpt></trkseg></trk>"));
    EXPECT_EQ(load.result, c.result);
    ASSERT_EQ(load.source.trackCount, c.result);
    if (!c.result) return;
    const TrackPoint& p = load.source.tracks[0].points[0];
    EXPECT_EQ(p.time, c.seconds);
    EXPECT_EQ(p.hour, static_cast<int32_t>((c.seconds / 3600 % 24 + 8) % 24));
}

INSTANTIATE_TEST_SUITE_P(Rows, GpxTimes, testing::Values(
    TimeCase{"1989-12-31T00:00:00Z", 1, 0}, TimeCase{"1990-01-01T16:00:00Z", 1, 144000},
    TimeCase{"2005-05-01T10:12:47.873Z", 1, 483876767}, TimeCase{" 2005-05-01T18:12:47+08:00 ", 1, 483876767},
    TimeCase{"2005-05-01T05:42:47-0430", 1, 483876767}, TimeCase{"2005-05-01T10:12:47", 1, 483876767},
    TimeCase{"2000-02-29T23:59:60Z", 1, 320803200}, TimeCase{"1970-01-01T00:00:00Z", 1, 0},
    TimeCase{"2126-02-06T06:28:15Z", 1, 4294967295u}, TimeCase{"2126-02-06T06:28:16Z", 1, 0}, TimeCase{"", 1, 0},
    TimeCase{"2005-02-29T00:00:00Z", 0, 0}, TimeCase{"2005-05-01", 0, 0}, TimeCase{"2005-05-01T10:12:47Zulu", 0, 0}));

TEST(GpxTracks, SegmentsJoinedNamedAndPointsKeptOnlyWhenAsked) {
    const std::string point = "<trkpt lat=\"1\" lon=\"-2\"><ele>3.5</ele><extensions><ele>9</ele></extensions></trkpt>";
    const std::string text = Gpx(kTwo + "<trk><name> ACTIVE LOG 20050501 and a very long name </name><trkseg>" +
                                 point + point + "</trkseg><trkseg/><trkseg>" + point + "</trkseg></trk><trk/>");
    for (bool keep : {true, false}) {
        GpxLoad load(text, keep);
        ASSERT_EQ(load.result, 1);
        ASSERT_EQ(load.source.trackCount, 2);
        EXPECT_EQ(load.trackLines.lines, (std::vector<std::string>{"ACTIVE LOG 20050501 and a very  (3)", " (0)"}));
        EXPECT_EQ(load.source.tracks[0].points != nullptr, keep);
        if (!keep) continue;
        const TrackPoint& p = load.source.tracks[0].points[2];
        EXPECT_EQ(p.altitude, 3.5f);
        EXPECT_EQ(p.longitude, -1 * static_cast<int32_t>(std::llround(2 / kSemicircleFactor)));
        EXPECT_DOUBLE_EQ(p.latitudeDegrees, p.latitude * kSemicircleFactor);
        EXPECT_EQ(p.hour, 8);
    }
    // Without waypoints, as with every kind, nothing to correct from and no tracks.
    GpxLoad tracksOnly(Gpx("<trk><trkseg>" + point + "</trkseg></trk>"));
    EXPECT_EQ(tracksOnly.result, 1);
    EXPECT_EQ(tracksOnly.source.trackCount, 0);
}

}  // namespace

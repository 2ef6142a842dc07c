// The record container shared by the ".gdb" and ".mps" readers: field reads,
// records, heads, runs and UTF-8 names.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <tuple>
#include <utility>

#include "common/CodePage.h"
#include "sources/mapsource/GdbTrackList.h"
#include "sources/mapsource/LRecordList.h"
#include "sources/mapsource/MsHeader.h"
#include "sources/mapsource/Utf8NameToAnsi.h"
#include "MapSourceBuilder.h"

using namespace mstest;
using namespace std::string_literals;

namespace {

ReadPosition Over(const Bytes& bytes) { return ReadPosition{bytes.data(), bytes.size()}; }

Bytes Record(char type, const Bytes& body) {
    ByteBuilder b;
    return AppendRecord(b, type, body).bytes();
}

}  // namespace

TEST(MsRecord, ReadRecordNeedsAHeadAndABodyOfItsLength) {
    const std::pair<Bytes, int> rows[] = {
        {ByteBuilder().u32(1).bytes(), 0},                      // head of 4 bytes
        {ByteBuilder().u32(0).u8('W').text("xyz").bytes(), 0},  // body length 0
        {ByteBuilder().u32(4).u8('W').text("abc").bytes(), 0},  // body one byte short
        {ByteBuilder().u32(0xFFFFFFFF).u8('W').text("abc").bytes(), 0},
        {ByteBuilder().u32(3).u8('W').text("abc").bytes(), 1},  // body of exactly the rest, not copied
    };
    for (const auto& [bytes, result] : rows) {
        ReadPosition position = Over(bytes);
        MsRecord record;
        ASSERT_EQ(ReadRecord(position, record), result) << bytes.size();
        if (!result) continue;
        EXPECT_EQ(std::make_tuple(record.type, record.length, record.body, position.left), std::make_tuple('W', 3u, bytes.data() + 5, size_t{0}));
        EXPECT_EQ(ReleaseRecord(&record) + ReleaseRecord(nullptr), 1);  // lets go of the body, not of a null record
        EXPECT_EQ(record.body, nullptr);
    }
}

TEST(MsHeader, SignaturesRecordsAndTheARecord) {
    const std::string mapSource("MapSource\0", 10), baseCamp("BaseCamp\0", 9);
    const Bytes a = ABody(608);
    auto head = [](const char* signature, char secondType, const Bytes& aBody, std::string_view after) {
        ByteBuilder b;
        b.raw(signature, 6).append(Record('D', {'l', 0})).append(Record(secondType, aBody));
        return b.text(after).bytes();
    };
    struct Case { const char* what; Bytes bytes; int gdb = 0, mps = 0; };  // the results of GdbHeader and MpsHeader
    const Case cases[] = {
        {"five bytes", ByteBuilder().text("MsRcf").bytes(), 0, 0},
        {"gdb head", head("MsRcf\0", 'A', a, mapSource), 1, 0},
        {"mps head", head("MsRcd\0", 'A', a, ""), 0, 1},
        {"sixth signature byte not NUL", head("MsRcfX", 'A', a, mapSource), 0, 0},
        {"first record of length 0", ByteBuilder().text("MsRcd").u8(0).u32(0).u8('D').append(Record('A', a)).bytes()},
        {"second record not 'A'", head("MsRcd\0", 'B', a, ""), 0, 0},
        {"'A' of one byte", head("MsRcd\0", 'A', {0x60}, ""), 0, 0},
        {"'A' with three empty texts", head("MsRcd\0", 'A', {0x60, 2, 0, 0, 0}, ""), 0, 1},
        {"'A' lacking its last NUL", head("MsRcd\0", 'A', {0x60, 2, 0, 0}, ""), 0, 0},
        {"'A' texts then more bytes", head("MsRcd\0", 'A', {0x60, 2, 'x', 0, 0, 0, 7, 7}, ""), 0, 1},
        {"MapSource without NUL", head("MsRcf\0", 'A', a, "MapSource"), 0, 0},
        {"MapSource with another tenth byte", head("MsRcf\0", 'A', a, "MapSourceX"), 0, 0},
        {"BaseCamp with NUL", head("MsRcf\0", 'A', a, baseCamp), 1, 0},
        {"BaseCamp without NUL", head("MsRcf\0", 'A', a, "BaseCamp"), 0, 0},
        {"other program", head("MsRcf\0", 'A', a, std::string("Other\0\0\0\0\0", 10)), 0, 0},
    };
    for (const Case& c : cases) {
        ReadPosition gdbPosition = Over(c.bytes), mpsPosition = Over(c.bytes);
        GdbHeader gdb;
        MpsHeader mps;
        EXPECT_EQ(gdb.Read(gdbPosition), c.gdb) << c.what;
        EXPECT_EQ(mps.Read(mpsPosition), c.mps) << c.what;
        if (c.gdb == 0) continue;
        // The version, the texts, the program, and the runs start right after.
        EXPECT_EQ(std::make_tuple(gdb.Version(), std::string(gdb.texts[0]), std::string(gdb.texts[2]), gdb.WrittenByBaseCamp(), gdbPosition.left),
                  std::make_tuple(608, "SQA"s, "12:03:34"s, c.what[0] == 'B' ? 1 : 0, size_t{0}));
    }
}

TEST(MsHeader, ShortWaypointBlockFollowsTheFirstRecord) {
    const std::tuple<char, const char*, int> cases[] = {
        {'D', "d", 1}, {'D', "g", 0}, {'D', "l", 0}, {'X', "d", 0}, {'D', "dd", 1}};
    for (const auto& [type, body, shortBlock] : cases) {
        const Bytes bytes = ByteBuilder().text("MsRcd").u8(0).append(Record(type, ByteBuilder().cstr(body).bytes()))
                                .append(Record('A', ABody(302))).bytes();
        ReadPosition position = Over(bytes);
        MpsHeader header;
        ASSERT_EQ(header.Read(position), 1);
        EXPECT_EQ(header.HasShortWaypointBlock(), shortBlock) << type << body;
    }
}

TEST(RecordRun, ARecordOfAnotherTypeEndsTheRunAndIsLeftForTheNext) {
    MsFile file;
    file.T(GdbTrack{}).T(GdbTrack{}).Add('L', {1}).Add('R', {1, 2});
    ReadPosition position = Over(file.bytes());
    LRecordList lFirst, lRecords;
    GdbTrackList tracks;
    ASSERT_EQ(lFirst.Read(position), 1);  // an empty run consumes nothing
    EXPECT_EQ(std::make_tuple(lFirst.count, lFirst.records.get(), position.left), std::make_tuple(0, nullptr, file.size()));
    ASSERT_EQ(tracks.Read(position) + lRecords.Read(position), 2);
    EXPECT_EQ(std::make_tuple(tracks.count, lRecords.count, position.left, position.next[4]), std::make_tuple(2, 1, size_t{7}, 'R'));
}

TEST(RecordRun, AnUnreadableRecordEndsTheRunAndLRecordBodiesAreNotExamined) {
    // Bodies of 1, 7, 18 and 19 bytes and text without any NUL are all kept.
    const Bytes bodies[] = {{7}, Bytes(7), Bytes(18, 1), Bytes(19, 2), ByteBuilder().text("no NUL here").bytes()};
    for (const Bytes& ending : {
             ByteBuilder().u32(0).u8('L').bytes(),            // body length 0
             ByteBuilder().u32(50).u8('L').fill(10).bytes(),  // body past the end
             ByteBuilder().u8(1).u8(0).bytes(),               // head cut short
             Bytes(),
         }) {
        MsFile file;
        for (const Bytes& body : bodies) file.Add('L', body);
        file.append(ending);
        ReadPosition position = Over(file.bytes());
        LRecordList list;
        ASSERT_EQ(list.Read(position), 1);
        EXPECT_EQ(list.count, 5);
        EXPECT_EQ(list.records[1].length, 7u);
        EXPECT_EQ(position.left, ending.size());
    }
}

TEST(RecordRun, AFailedParseFailsTheRunAndKeepsWhatWasRead) {
    GdbTrack broken{.points = {GdbPoint{1, 2, 3.0, 4}}, .after = {}};
    Bytes body = broken.Body();
    body.pop_back();  // the last point lacks its last byte
    MsFile file;
    file.T(GdbTrack{}).Add('T', body);
    ReadPosition position = Over(file.bytes());
    GdbTrackList tracks;
    EXPECT_EQ(tracks.Read(position), 0);
    EXPECT_EQ(tracks.count, 2);
    ASSERT_NE(tracks.records, nullptr);
    EXPECT_NE(tracks.records[1].body, nullptr);
    // Only the track parsed can be taken.
    TrackRecord track;
    EXPECT_EQ(tracks.GetTrack(0, track) + tracks.GetTrack(1, track) + tracks.GetTrack(2, track) + tracks.GetTrack(-1, track), 1);
}

TEST(Utf8NameToAnsi, ConvertsToCodePage950AndCutsAtWholeCharacters) {
    std::string six;  // U+4E2D six times
    for (int i = 0; i < 6; ++i) six += "\xE4\xB8\xAD";
    const std::string five = "\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4";
    struct Case {
        const char* what;
        std::string utf8, expected;
        size_t capacity = 12;
    };
    const Case cases[] = {
        {"ASCII", "ABC", "ABC"},
        {"U+4E2D", "\xE4\xB8\xAD", "\xA4\xA4"},
        {"two-byte form", "\xC3\xB6", "?"},  // U+00F6 is not in code page 950
        {"continuation bits ignored", "\xE4\x41\x41", codepage::Utf16ToCp950(u"\u4041")},
        {"stray continuation bytes skipped", "A\x80\xBF" "B", "AB"},
        {"four-byte lead and its tail skipped", "A\xF0\x9F\x98\x80" "B", "AB"},
        {"0xF8 to 0xFF skipped", "A\xFF\xF8" "B", "AB"},
        {"three-byte form cut by the end", "A\xE4\xB8", "A"},
        {"two-byte form cut by the end", "AB\xC3", "AB"},
        {"overlong NUL ends the name", "AB\xC0\x80" "CD", "AB"},
        {"empty", "", ""},
        {"at most 31 units", std::string(40, 'x'), std::string(31, 'x'), 64},
        {"11 bytes", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJK"},
        {"a sixth character would need 12 bytes", six, five},
        {"exactly 11 bytes", "A" + six, "A" + five},
        {"cut after a whole character", "AB" + six, "AB" + five.substr(0, 8)},
    };
    for (const Case& c : cases) {
        // Nothing is written past the field.
        std::string field(c.capacity + 4, '\x55');
        EXPECT_EQ(Utf8NameToAnsi(field.data(), c.capacity, c.utf8.c_str()), 1);
        EXPECT_EQ(FieldText(field.data(), c.capacity), c.expected) << c.what;
        EXPECT_EQ(field.substr(c.capacity), "\x55\x55\x55\x55") << c.what;
    }
}

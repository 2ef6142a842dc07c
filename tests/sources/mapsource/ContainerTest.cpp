// The record container shared by the ".gdb" and ".mps" readers: the read
// position and its field reads, records, heads and runs.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "sources/mapsource/GdbTrackList.h"
#include "sources/mapsource/LRecordList.h"
#include "sources/mapsource/MsHeader.h"
#include "sources/mapsource/MsRecord.h"
#include "sources/mapsource/ReadPosition.h"
#include "MapSourceBuilder.h"

using namespace mstest;

namespace {

ReadPosition Over(const std::vector<uint8_t>& bytes) { return ReadPosition{bytes.data(), bytes.size()}; }

}  // namespace

TEST(ReadPosition, FixedReadsNeedEveryByte) {
    const std::vector<uint8_t> bytes = ByteBuilder().u16(0x1234).u32(0xDEADBEEF).f64(2.5).bytes();
    ReadPosition position = Over(bytes);
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    double f64 = 0;
    ASSERT_EQ(ReadInt16(position, u16), 1);
    ASSERT_EQ(ReadInt32(position, u32), 1);
    EXPECT_EQ(u16, 0x1234);
    EXPECT_EQ(u32, 0xDEADBEEFu);
    EXPECT_EQ(position.left, 8u);

    ReadPosition shortOne{position.next, 7};
    EXPECT_EQ(ReadDouble(shortOne, f64), 0);
    EXPECT_EQ(shortOne.left, 7u);  // a failed read moves nothing
    ASSERT_EQ(ReadDouble(position, f64), 1);
    EXPECT_EQ(f64, 2.5);
    EXPECT_EQ(position.left, 0u);
    uint8_t byte = 0;
    EXPECT_EQ(ReadInt8(position, byte), 0);
}

TEST(ReadPosition, StringsMustEndAmongTheRemainingBytes) {
    const std::vector<uint8_t> bytes = ByteBuilder().cstr("AB").cstr("").text("CD").bytes();
    ReadPosition position = Over(bytes);
    const char* text = nullptr;
    ASSERT_EQ(ReadString(position, text), 1);
    EXPECT_STREQ(text, "AB");
    EXPECT_EQ(text, reinterpret_cast<const char*>(bytes.data()));  // points into the bytes
    ASSERT_EQ(ReadString(position, text), 1);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(position.left, 2u);
    EXPECT_EQ(ReadString(position, text), 0);  // "CD" has no NUL before the end
    EXPECT_EQ(position.left, 2u);

    ReadPosition empty{bytes.data(), 0};
    EXPECT_EQ(ReadString(empty, text), 0);
}

TEST(ReadPosition, NarrowingFollowsFloatRounding) {
    EXPECT_EQ(NarrowToFloat(123.4), 123.4f);
    EXPECT_EQ(NarrowToFloat(1e300), std::numeric_limits<float>::infinity());
    EXPECT_EQ(NarrowToFloat(-1e39), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(NarrowToFloat(static_cast<double>(FLT_MAX)), FLT_MAX);
    EXPECT_TRUE(std::isnan(NarrowToFloat(std::nan(""))));
}

TEST(MsRecord, ReadRecordChecksHeadAndBody) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int result;
    };
    const Case cases[] = {
        {"head of 4 bytes", ByteBuilder().u32(1).bytes(), 0},
        {"body length 0", ByteBuilder().u32(0).u8('W').text("xyz").bytes(), 0},
        {"body one byte short", ByteBuilder().u32(4).u8('W').text("abc").bytes(), 0},
        {"body length near 2^32", ByteBuilder().u32(0xFFFFFFFF).u8('W').text("abc").bytes(), 0},
        {"body of exactly the rest", ByteBuilder().u32(3).u8('W').text("abc").bytes(), 1},
    };
    for (const Case& c : cases) {
        ReadPosition position = Over(c.bytes);
        MsRecord record;
        EXPECT_EQ(ReadRecord(position, record), c.result) << c.what;
    }
}

TEST(MsRecord, BodyStandsInTheImageUntilReleased) {
    std::vector<uint8_t> bytes = ByteBuilder().u32(3).u8('W').text("abc").u8(9).bytes();
    ReadPosition position = Over(bytes);
    MsRecord record;
    ASSERT_EQ(ReadRecord(position, record), 1);
    EXPECT_EQ(record.type, 'W');
    EXPECT_EQ(record.length, 3u);
    EXPECT_EQ(position.left, 1u);
    EXPECT_EQ(record.body, bytes.data() + 5);

    EXPECT_EQ(ReleaseRecord(&record), 1);
    EXPECT_EQ(record.body, nullptr);
    EXPECT_EQ(ReleaseRecord(&record), 1);
    EXPECT_EQ(ReleaseRecord(nullptr), 0);
}

namespace {

struct HeadCase {
    const char* what;
    std::vector<uint8_t> bytes;
    int gdb;  // GdbHeader::Read
    int mps;  // MpsHeader::Read
};

std::vector<uint8_t> Head(const char* signature, char secondType, const std::vector<uint8_t>& aBody,
                          std::string_view after) {
    ByteBuilder file;
    file.raw(signature, 6);
    AppendRecord(file, 'D', {'l', 0});
    AppendRecord(file, secondType, aBody);
    return file.text(after).bytes();
}

}  // namespace

TEST(MsHeader, SignaturesRecordsAndTheARecord) {
    const std::string mapSource("MapSource\0", 10);
    const std::string baseCamp("BaseCamp\0", 9);
    const std::vector<uint8_t> a = ABody(608);
    const HeadCase cases[] = {
        {"five bytes", ByteBuilder().text("MsRcf").bytes(), 0, 0},
        {"gdb head", Head("MsRcf\0", 'A', a, mapSource), 1, 0},
        {"mps head", Head("MsRcd\0", 'A', a, ""), 0, 1},
        {"sixth signature byte not NUL", Head("MsRcfX", 'A', a, mapSource), 0, 0},
        {"second record not 'A'", Head("MsRcd\0", 'B', a, ""), 0, 0},
        {"'A' of one byte", Head("MsRcd\0", 'A', {0x60}, ""), 0, 0},
        {"'A' with three empty texts", Head("MsRcd\0", 'A', {0x60, 2, 0, 0, 0}, ""), 0, 1},
        {"'A' lacking its last NUL", Head("MsRcd\0", 'A', {0x60, 2, 0, 0}, ""), 0, 0},
        {"'A' texts then more bytes", Head("MsRcd\0", 'A', {0x60, 2, 'x', 0, 0, 0, 7, 7}, ""), 0, 1},
        {"MapSource without NUL", Head("MsRcf\0", 'A', a, "MapSource"), 0, 0},
        {"MapSource with another tenth byte", Head("MsRcf\0", 'A', a, "MapSourceX"), 0, 0},
        {"BaseCamp with NUL", Head("MsRcf\0", 'A', a, baseCamp), 1, 0},
        {"BaseCamp without NUL", Head("MsRcf\0", 'A', a, "BaseCamp"), 0, 0},
        {"other program", Head("MsRcf\0", 'A', a, std::string("Other\0\0\0\0\0", 10)), 0, 0},
    };
    for (const HeadCase& c : cases) {
        ReadPosition gdbPosition = Over(c.bytes);
        GdbHeader gdb;
        EXPECT_EQ(gdb.Read(gdbPosition), c.gdb) << c.what;
        ReadPosition mpsPosition = Over(c.bytes);
        MpsHeader mps;
        EXPECT_EQ(mps.Read(mpsPosition), c.mps) << c.what;
    }

    // A first record of length 0 fails the head.
    ByteBuilder zero;
    zero.text("MsRcd").u8(0).u32(0).u8('D');
    AppendRecord(zero, 'A', a);
    ReadPosition position = Over(zero.bytes());
    MpsHeader header;
    EXPECT_EQ(header.Read(position), 0);
}

TEST(MsHeader, KeepsVersionTextsAndWhereTheRunsStart) {
    std::vector<uint8_t> bytes = GdbHead(612).text("next").bytes();
    ReadPosition position = Over(bytes);
    GdbHeader gdb;
    ASSERT_EQ(gdb.Read(position), 1);
    EXPECT_EQ(gdb.Version(), 612);
    EXPECT_STREQ(gdb.texts[0], "SQA");
    EXPECT_STREQ(gdb.texts[2], "12:03:34");
    EXPECT_EQ(gdb.WrittenByBaseCamp(), 0);
    EXPECT_EQ(position.left, 4u);

    bytes = GdbHead(408, "BaseCamp").text("next").bytes();
    position = Over(bytes);
    GdbHeader baseCamp;
    ASSERT_EQ(baseCamp.Read(position), 1);
    EXPECT_EQ(baseCamp.WrittenByBaseCamp(), 1);
    EXPECT_EQ(position.left, 4u);
}

TEST(MsHeader, ShortWaypointBlockFollowsTheFirstRecord) {
    struct Case {
        char type;
        std::string body;
        int shortBlock;
    };
    const Case cases[] = {{'D', "d", 1}, {'D', "g", 0}, {'D', "l", 0}, {'X', "d", 0}, {'D', "dd", 1}};
    for (const Case& c : cases) {
        ByteBuilder file;
        file.text("MsRcd").u8(0);
        AppendRecord(file, c.type, ByteBuilder().cstr(c.body).bytes());
        AppendRecord(file, 'A', ABody(302));
        ReadPosition position = Over(file.bytes());
        MpsHeader header;
        ASSERT_EQ(header.Read(position), 1);
        EXPECT_EQ(header.HasShortWaypointBlock(), c.shortBlock) << c.type << c.body;
    }
}

TEST(RecordRun, ARecordOfAnotherTypeEndsTheRunAndIsLeftForTheNext) {
    ByteBuilder file;
    AppendRecord(file, 'T', GdbTrack{}.Body());
    AppendRecord(file, 'T', GdbTrack{}.Body());
    AppendRecord(file, 'L', {1});
    AppendRecord(file, 'R', {1, 2});
    ReadPosition position = Over(file.bytes());

    LRecordList lFirst;
    ASSERT_EQ(lFirst.Read(position), 1);  // empty run: nothing consumed
    EXPECT_EQ(lFirst.count, 0);
    EXPECT_EQ(lFirst.records, nullptr);
    EXPECT_EQ(position.left, file.size());

    GdbTrackList tracks;
    ASSERT_EQ(tracks.Read(position), 1);
    EXPECT_EQ(tracks.count, 2);
    LRecordList lRecords;
    ASSERT_EQ(lRecords.Read(position), 1);
    EXPECT_EQ(lRecords.count, 1);
    EXPECT_EQ(position.left, 7u);  // on the 'R' record
    EXPECT_EQ(position.next[4], 'R');
}

TEST(RecordRun, AnUnreadableRecordEndsTheRun) {
    for (const std::vector<uint8_t>& ending : {
             ByteBuilder().u32(0).u8('L').bytes(),           // body length 0
             ByteBuilder().u32(50).u8('L').fill(10).bytes(),  // body past the end
             ByteBuilder().u8(1).u8(0).bytes(),               // head cut short
         }) {
        ByteBuilder file;
        AppendRecord(file, 'L', {1, 2, 3});
        AppendRecord(file, 'L', {4});
        file.append(ending);
        ReadPosition position = Over(file.bytes());
        LRecordList list;
        ASSERT_EQ(list.Read(position), 1);
        EXPECT_EQ(list.count, 2);
        EXPECT_EQ(position.left, ending.size());
    }
}

TEST(RecordRun, LRecordBodiesAreNotExamined) {
    // Bodies of 1, 7, 18 and 19 bytes and text without any NUL are all kept.
    ByteBuilder file;
    for (const std::vector<uint8_t>& body : {
             std::vector<uint8_t>{7},
             ByteBuilder().fill(7).bytes(),
             ByteBuilder().u32(1).u32(2).u8(0).u8(0).u8(0).u32(3).fill(3).bytes(),
             ByteBuilder().u32(1).u32(2).u8(0).u8(0).u8(0).u32(3).u32(4).bytes(),
             ByteBuilder().text("no terminator here").bytes(),
         }) {
        AppendRecord(file, 'L', body);
    }
    ReadPosition position = Over(file.bytes());
    LRecordList list;
    ASSERT_EQ(list.Read(position), 1);
    EXPECT_EQ(list.count, 5);
    EXPECT_EQ(list.records[1].length, 7u);
    EXPECT_EQ(position.left, 0u);
}

TEST(RecordRun, AFailedParseFailsTheRunAndKeepsWhatWasRead) {
    GdbTrack broken;
    broken.points = {GdbPoint::Classic(1, 2, 3, 4)};
    broken.after.clear();
    std::vector<uint8_t> body = broken.Body();
    body.pop_back();  // the last point lacks its last byte
    ByteBuilder file;
    AppendRecord(file, 'T', GdbTrack{}.Body());
    AppendRecord(file, 'T', body);
    ReadPosition position = Over(file.bytes());
    GdbTrackList tracks;
    EXPECT_EQ(tracks.Read(position), 0);
    EXPECT_EQ(tracks.count, 2);
    ASSERT_NE(tracks.records, nullptr);
    EXPECT_NE(tracks.records[1].body, nullptr);
}

// The record container shared by the ".gdb" and ".mps" readers: heads, runs and UTF-8 names.
#include <gtest/gtest.h>

#include "sources/mapsource/LRecordList.h"
#include "sources/mapsource/MsHeader.h"
#include "sources/mapsource/MsRecord.h"
#include "sources/mapsource/Utf8NameToAnsi.h"
#include "MapSourceBuilder.h"

using namespace mstest;

TEST(MsHeader, SignaturesRecordsAndTheARecord) {
    const std::string mapSource("MapSource\0", 10), baseCamp("BaseCamp\0", 9);
    const Bytes a = ABody(608);
    auto head = [](const char* signature, char second, Bytes aBody, std::string_view after, Bytes first = {'l', 0}) {
        MsFile file;
        return static_cast<MsFile&>(file.raw(signature, 6)).Add('D', first).Add(second, aBody).text(after).bytes();
    };
    struct Case { const char* what; Bytes bytes; int gdb = 0, mps = 0; };  // the results of GdbHeader and MpsHeader
    const Case cases[] = {
        {"five bytes", ByteBuilder().text("MsRcf").bytes(), 0, 0},
        {"gdb head", head("MsRcf\0", 'A', a, mapSource), 1, 0},
        {"sixth signature byte not NUL", head("MsRcfX", 'A', a, mapSource), 0, 0},
        {"first record of length 0", head("MsRcd\0", 'A', a, "", {}), 0, 0},
        {"second record not 'A'", head("MsRcd\0", 'B', a, ""), 0, 0},
        {"'A' of one byte", head("MsRcd\0", 'A', {0x60}, ""), 0, 0},
        {"'A' lacking its last NUL", head("MsRcd\0", 'A', {0x60, 2, 0, 0}, ""), 0, 0},
        {"'A' texts then more bytes", head("MsRcd\0", 'A', {0x60, 2, 'x', 0, 0, 0, 7, 7}, ""), 0, 1},
        {"MapSource without NUL", head("MsRcf\0", 'A', a, "MapSource"), 0, 0},
        {"MapSource with another tenth byte", head("MsRcf\0", 'A', a, "MapSourceX"), 0, 0},
        {"BaseCamp with NUL", head("MsRcf\0", 'A', a, baseCamp), 1, 0},
    };
    for (const Case& c : cases) {
        ReadPosition gdbPosition{c.bytes.data(), c.bytes.size()}, mpsPosition = gdbPosition;
        EXPECT_EQ(GdbHeader().Read(gdbPosition), c.gdb) << c.what;
        EXPECT_EQ(MpsHeader().Read(mpsPosition), c.mps) << c.what;
    }
}

TEST(MsRecord, ReleaseLetsGoOfTheBodyAndRefusesNoRecord) {
    MsRecord record{1, 'W', reinterpret_cast<const unsigned char*>("x")};
    EXPECT_EQ(ReleaseRecord(&record), 1);
    EXPECT_EQ(record.body, nullptr);
    EXPECT_EQ(ReleaseRecord(nullptr), 0);
}

TEST(LRecordList, AnEmptyRunSucceedsAndConsumesNothing) {
    const Bytes w = MsFile().Add('W', {}).bytes();
    ReadPosition position{w.data(), w.size()};
    EXPECT_EQ(LRecordList().Read(position), 1);
    EXPECT_EQ(position.left, w.size());
}

TEST(Utf8NameToAnsi, ConvertsToCodePage950AndCutsAtWholeCharacters) {
    const std::string six = "\xE4\xB8\xAD\xE4\xB8\xAD\xE4\xB8\xAD\xE4\xB8\xAD\xE4\xB8\xAD\xE4\xB8\xAD";  // six U+4E2D
    struct Case { const char* what; std::string utf8, expected; size_t capacity = 12; };
    const Case cases[] = {
        {"U+4E2D", "\xE4\xB8\xAD", "\xA4\xA4"},
        {"two-byte form", "\xC3\xB6", "?"},  // U+00F6 is not in code page 950
        {"four-byte form and stray continuation bytes skipped", "A\xF0\x9F\x98\x80" "B", "AB"},
        {"three-byte form cut by the end", "A\xE4\xB8", "A"},
        {"two-byte form cut by the end", "AB\xC3", "AB"},
        {"overlong NUL ends the name", "AB\xC0\x80" "CD", "AB"},
        {"a sixth character would need 12 bytes", six, std::string(10, '\xA4')},
        {"exactly 11 bytes", "A" + six, "A\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4\xA4"},
    };
    for (const Case& c : cases) {
        std::string field(c.capacity + 4, '\x55');
        EXPECT_EQ(Utf8NameToAnsi(field.data(), c.capacity, c.utf8.c_str()), 1);
        EXPECT_EQ(FieldText(field.data(), c.capacity), c.expected) << c.what;
        EXPECT_EQ(field.substr(c.capacity), "\x55\x55\x55\x55") << c.what;  // nothing written past the field
    }
}

#include "sources/mapsource/MsHeader.h"

#include <cstring>

namespace {

constexpr char kGdbSignature[6] = "MsRcf";
constexpr char kMpsSignature[6] = "MsRcd";
// The program names after a ".gdb" head, each with its NUL.
constexpr char kMapSource[10] = "MapSource";
constexpr char kBaseCamp[9] = {'B', 'a', 's', 'e', 'C', 'a', 'm', 'p', '\0'};

// True when the remaining bytes begin with the size bytes of literal.
bool StartsWith(const ReadPosition& position, const char* literal, size_t size) {
    return position.left >= size && std::memcmp(position.next, literal, size) == 0;
}

}  // namespace

int MsHeader::ReadHead(ReadPosition& position, const char (&expected)[6]) {
    if (!ReadFixed(position, signature, sizeof signature)) return 0;
    if (std::memcmp(signature, expected, sizeof signature) != 0) return 0;
    if (!ReadRecord(position, firstRecord) || !ReadRecord(position, secondRecord)) return 0;

    // The 'A' record: the version, then three texts that each end, NUL
    // included, inside the body. Bytes after the third are not examined.
    if (secondRecord.type != 'A') return 0;
    ReadPosition body = BodyPosition(secondRecord);
    if (!ReadInt16(body, version)) return 0;
    for (const char*& text : texts) {
        if (!ReadString(body, text)) return 0;
    }
    return 1;
}

int GdbHeader::Read(ReadPosition& position) {
    if (!ReadHead(position, kGdbSignature)) return 0;
    if (StartsWith(position, kMapSource, sizeof kMapSource)) {
        std::memcpy(literal, kMapSource, sizeof kMapSource);
        position.Advance(sizeof kMapSource);
        return 1;
    }
    if (StartsWith(position, kBaseCamp, sizeof kBaseCamp)) {
        std::memcpy(literal, kBaseCamp, sizeof kBaseCamp);
        position.Advance(sizeof kBaseCamp);
        return 1;
    }
    return 0;
}

int GdbHeader::WrittenByBaseCamp() const {
    return std::memcmp(literal, kBaseCamp, sizeof kBaseCamp) == 0 ? 1 : 0;
}

int MpsHeader::Read(ReadPosition& position) { return ReadHead(position, kMpsSignature); }

int MpsHeader::HasShortWaypointBlock() const {
    return firstRecord.type == 'D' && firstRecord.body && firstRecord.length >= 1 && firstRecord.body[0] == 'd'
               ? 1
               : 0;
}

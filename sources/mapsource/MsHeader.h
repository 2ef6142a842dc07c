#pragma once

#include <cstdint>

#include "sources/mapsource/MsRecord.h"

// The head shared by both MapSource file kinds: a 6-byte signature, a first
// record of any type (kept, never examined) and the 'A' record, whose body
// holds the version and three texts.
class MsHeader {
public:
    MsHeader() = default;
    MsHeader(const MsHeader&) = delete;
    MsHeader& operator=(const MsHeader&) = delete;
    virtual ~MsHeader() = default;

    // The unsigned 16-bit version of the 'A' record.
    uint16_t Version() const { return version; }

    char signature[6] = {};
    MsRecord firstRecord;
    MsRecord secondRecord;
    uint16_t version = 0;
    // The three texts of the 'A' record, pointing into its body.
    const char* texts[3] = {};

protected:
    // Reads the signature, which must equal expected and a NUL in all six
    // bytes, and both head records, and checks the 'A' record.
    int ReadHead(ReadPosition& position, const char (&expected)[6]);
};

// The head of a ".gdb" file: the shared head, then the name of the program
// that wrote it with its NUL ("MapSource", or "BaseCamp" from MapSource's
// successor, which writes the same container).
class GdbHeader : public MsHeader {
public:
    int Read(ReadPosition& position);

    // 1 when the file was written by BaseCamp.
    int WrittenByBaseCamp() const;

    char literal[10] = {};
};

// The head of a ".mps" file: the shared head alone.
class MpsHeader : public MsHeader {
public:
    int Read(ReadPosition& position);

    // 1 when the first head record is a 'D' record whose body begins with
    // "d": such files (older MapSource versions) have a shorter fixed block in
    // their waypoint bodies.
    int HasShortWaypointBlock() const;
};

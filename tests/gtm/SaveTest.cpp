// Saving: only the name fields change, and a save that fails leaves the GTM
// file exactly as it was, with no temporary file beside it and no file left
// open: each file-system call of the save is made to fail in turn through the
// calls the save uses, on every platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "SaveFaultSupport.h"
#include "common/AtomicFile.h"

namespace {

namespace fs = std::filesystem;

// Each fault makes one call of the system fail, or work only in part.
enum class Fault { None, Create, Write, ShortWriteThenError, ShortWriteThenNothing, Flush, Close, Rename, Interrupted, ShortWrites };

struct Plan {
    Fault fault = Fault::None;
    int writes = 0;
    std::vector<std::string> temporaries;  // the paths of the temporary files made
} plan;

const FileSystemCalls& System() { return SystemFileCalls(); }

FileHandle FaultyCreate(std::string& path) {
    const FileHandle file = plan.fault == Fault::Create ? kNoFile : System().createTemporary(path);
    if (file != kNoFile) plan.temporaries.push_back(path);
    return file;
}

std::ptrdiff_t FaultyWrite(FileHandle file, const void* data, size_t size) {
    const int call = plan.writes++;
    switch (plan.fault) {
    case Fault::Write: return -1;
    case Fault::ShortWriteThenError: return call == 0 ? System().write(file, data, size / 2) : -1;
    case Fault::ShortWriteThenNothing: return call == 0 ? System().write(file, data, size / 2) : 0;
    case Fault::Interrupted: return call == 0 ? (errno = EINTR, -1) : System().write(file, data, size);
    case Fault::ShortWrites: return System().write(file, data, std::min<size_t>(size, 7));
    default: return System().write(file, data, size);
    }
}

int FaultyFlush(FileHandle file) { return plan.fault == Fault::Flush ? -1 : System().flush(file); }
// The file is closed either way, as with a real late error.
int FaultyClose(FileHandle file) { return System().close(file) != 0 || plan.fault == Fault::Close ? -1 : 0; }
int FaultyRename(const std::string& from, const std::string& to) { return plan.fault == Fault::Rename ? -1 : System().rename(from, to); }
int Unlink(const std::string& path) { return System().unlink(path); }

const FileSystemCalls kFaultyCalls = {&FaultyCreate, &FaultyWrite, &FaultyFlush, &FaultyClose, &FaultyRename, &Unlink};

class SaveFault : public ::testing::Test {
protected:
    void SetUp() override { previous_ = &UseFileCalls(kFaultyCalls); }
    void TearDown() override { UseFileCalls(*previous_); }

    // Saves the damaged file at path with the fault in play; the result of the save.
    int SaveWith(Fault fault, const std::string& path) {
        GtmDocument document;
        if (!LoadAndCorrect(document, path)) return -1;
        plan = Plan();
        plan.fault = fault;
        return document.Save();
    }

    const FileSystemCalls* previous_ = nullptr;
    TempDir dir_;
};

}  // namespace

TEST_F(SaveFault, OnlyTheNameFieldsChangeAndTheFileLoadsAgain) {
    // New names of fewer than 10 bytes keep the old bytes after them; uncorrected names get the prefix too.
    const std::string nul2("\0\0", 2);
    const auto original = GtmBuilder().image("img", "path").waypoint(nul2 + "AB", 100, std::string(300, 'c'))
                              .waypoint(nul2 + nul2, 200, "").waypoint("123456789", 300, "x").waypoint("zz", 400).build();
    const std::string path = dir_.Write("repair.gtm", original);
    GtmDocument document;
    VectorLineList lines;
    ASSERT_EQ(document.Load(path, lines), 1);
    WaypointRecord source[3] = {};
    for (const auto& [i, name] : {std::pair(0, "\xA4\xA4" "AB"), std::pair(1, "\xA4\xA5\xA4\xA6"), std::pair(2, "123456789")}) {
        StoreName(source[i].name, sizeof source[i].name, name);
        source[i].altitude = 100.0f * static_cast<float>(i + 1);
    }
    document.CorrectNames(3, source, lines);
    ASSERT_EQ(document.correctedCount, 3);
    ASSERT_EQ(document.NeedsPrefix(), 1);
    document.ApplyPrefix("\xA1\xF6");
    ASSERT_EQ(document.Save(), 1);
    auto expected = original;
    for (const auto& [old, now] : {std::pair(nul2 + "AB      ", "\xA4\xA4" "AB"), std::pair(nul2 + nul2 + "      ", "\xA4\xA5\xA4\xA6"),
                                   std::pair(std::string("123456789 "), "\xA1\xF6" "3456789"), std::pair(std::string("zz        "), "\xA1\xF6" "zz")}) {
        std::copy_n(now, std::strlen(now), std::search(expected.begin(), expected.end(), old.begin(), old.end()));
    }
    EXPECT_EQ(ReadBytes(path), expected);
    GtmDocument reloaded;
    ASSERT_EQ(reloaded.Load(path, lines), 1);
    EXPECT_EQ(std::string(reloaded.waypoints[2].name, 10), "\xA1\xF6" "3456789 ");  // the tenth byte keeps its blank

    // Nothing corrected: nothing written, not even a missing file.
    GtmDocument nothing;
    ASSERT_EQ(nothing.Load(path, lines), 1);
    nothing.CorrectNames(0, source, lines);
    fs::remove(path);
    EXPECT_EQ(nothing.Save(), 1);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(SaveFault, AFailingCallLeavesTheFileAndNoTemporaryFileAndInterruptedOrShortWritesGoOn) {
    const auto original = DamagedFile();
    for (Fault fault : {Fault::Create, Fault::Write, Fault::ShortWriteThenError, Fault::ShortWriteThenNothing,
                        Fault::Flush, Fault::Close, Fault::Rename, Fault::Interrupted, Fault::ShortWrites}) {
        SCOPED_TRACE(static_cast<int>(fault));
        const bool goesOn = fault == Fault::Interrupted || fault == Fault::ShortWrites;
        const std::string path = dir_.Write("repair.gtm", original);
        const size_t handles = OpenHandles();
        EXPECT_EQ(SaveWith(fault, path), goesOn ? 1 : 0);
        EXPECT_EQ(ReadBytes(path), goesOn ? DamagedFile(2000, true) : original);
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"repair.gtm"});
        EXPECT_EQ(OpenHandles(), handles);
        EXPECT_TRUE(fault != Fault::ShortWrites || plan.writes > static_cast<int>(original.size() / 7));
        // Once the disk behaves, the same file saves.
        EXPECT_EQ(SaveWith(Fault::None, path), 1);
        EXPECT_EQ(ReadBytes(path), DamagedFile(2000, true));
        EXPECT_EQ(OpenHandles(), handles);
    }
}

TEST_F(SaveFault, TheTemporaryFileIsMadeBesideTheFileWhateverItsName) {
    // 250 bytes: the file's own name plus the temporary file's additions would
    // not be a valid name; and a Chinese name, cut at a character boundary.
    // The temporary name: a dot, at most 200 bytes of the name, ".lorvane-" and six characters.
    for (const auto& [name, length] : {std::pair(std::string(246, 'n') + ".gtm", 216), std::pair(std::string("航點.gtm"), 26),
                                       std::pair(std::string(198, 'n') + "航點.gtm", 214)}) {
        const std::string path = dir_.Write(name, DamagedFile());
        ASSERT_EQ(SaveWith(Fault::None, path), 1);
        EXPECT_EQ(ReadBytes(path), DamagedFile(2000, true));
        ASSERT_EQ(plan.temporaries.size(), 1u);
        // Compared as plain paths: the native form of a long path on Windows
        // carries the \\?\ prefix.
        const std::string& temporary = plan.temporaries[0];
        const fs::path plain(std::u8string(temporary.begin(), temporary.end()));
        EXPECT_EQ(plain.parent_path(), dir_.path());
        EXPECT_EQ(Utf8Path(plain.filename()).size(), static_cast<size_t>(length));
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{name});
        fs::remove(NativePath(path));
    }
}

TEST_F(SaveFault, ASuccessfulSaveRemovesOldLeftoversOfItsOwnNameOnly) {
    // Old ones of the pattern go; a new one, or one of another name or length, stays.
    const std::string path = dir_.Write("repair.gtm", DamagedFile());
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const char* name : {".repair.gtm.lorvane-abc123", ".other.gtm.lorvane-abc123", ".repaiX.gtm.lorvane-abc123",
                             ".repair.gtm.lorvane-abc1234", ".repair.gtm.lorvane-new456"}) {
        dir_.Write(name, {1, 2, 3});
        if (name[20] != 'n') fs::last_write_time(dir_.path() / name, old);
    }
    ASSERT_EQ(SaveWith(Fault::None, path), 1);
    EXPECT_EQ(Entries(dir_.path()), (std::vector<std::string>{".other.gtm.lorvane-abc123", ".repaiX.gtm.lorvane-abc123",
                                                              ".repair.gtm.lorvane-abc1234", ".repair.gtm.lorvane-new456", "repair.gtm"}));
}

// A save that fails must leave the GTM file exactly as it was, with no
// temporary file beside it and no file left open: each file-system call of the
// save is made to fail in turn through the calls the save uses, on every
// platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "SaveFaultSupport.h"
#include "common/AtomicFile.h"

namespace {

namespace fs = std::filesystem;

enum class Fault {
    None,
    Create,                // the temporary file cannot be made
    Write,                 // the first write fails
    ShortWriteThenError,   // part of the bytes are written, then the disk is full
    ShortWriteThenNothing, // part of the bytes are written, then nothing more
    Flush,                 // the bytes cannot be flushed to disk
    Close,                 // closing reports a late write error
    Rename,                // the temporary file cannot take the file's place
    InterruptedWrite,      // a write is interrupted by a signal before it starts
    ShortWrites,           // every write takes a few bytes only
};

// What the calls below do: the fault to play, and what they saw.
struct Plan {
    Fault fault = Fault::None;
    int writes = 0;
    std::vector<std::string> temporaries;  // the paths of the temporary files made
} plan;

const FileSystemCalls& System() { return SystemFileCalls(); }

// The calls of the system, each failing when the plan says so.
FileHandle FaultyCreate(std::string& path) {
    if (plan.fault == Fault::Create) return kNoFile;
    const FileHandle file = System().createTemporary(path);
    if (file != kNoFile) plan.temporaries.push_back(path);
    return file;
}

std::ptrdiff_t FaultyWrite(FileHandle file, const void* data, size_t size) {
    const int call = plan.writes++;
    const size_t part = size > 1 ? size / 2 : size;
    switch (plan.fault) {
    case Fault::Write: return -1;
    case Fault::ShortWriteThenError: return call == 0 ? System().write(file, data, part) : -1;
    case Fault::ShortWriteThenNothing: return call == 0 ? System().write(file, data, part) : 0;
    case Fault::InterruptedWrite:
        if (call != 0) break;
        errno = EINTR;
        return -1;
    case Fault::ShortWrites: return System().write(file, data, size < 7 ? size : 7);
    default: break;
    }
    return System().write(file, data, size);
}

int FaultyFlush(FileHandle file) { return plan.fault == Fault::Flush ? -1 : System().flush(file); }

int FaultyClose(FileHandle file) {
    // The file is closed either way, as with a real late error.
    const int result = System().close(file);
    return plan.fault == Fault::Close ? -1 : result;
}

int FaultyRename(const std::string& from, const std::string& to) {
    return plan.fault == Fault::Rename ? -1 : System().rename(from, to);
}

int Unlink(const std::string& path) { return System().unlink(path); }

const FileSystemCalls kFaultyCalls = {&FaultyCreate, &FaultyWrite, &FaultyFlush, &FaultyClose, &FaultyRename, &Unlink};

class SaveFault : public ::testing::Test {
protected:
    void SetUp() override {
        plan = Plan();
        previous_ = &UseFileCalls(kFaultyCalls);
    }
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

TEST_F(SaveFault, EveryFailingCallLeavesTheFileAndNoTemporaryFile) {
    const auto original = DamagedFile();
    for (Fault fault : {Fault::Create, Fault::Write, Fault::ShortWriteThenError, Fault::ShortWriteThenNothing,
                        Fault::Flush, Fault::Close, Fault::Rename}) {
        SCOPED_TRACE(static_cast<int>(fault));
        const std::string path = dir_.Write("repair.gtm", original);
        const size_t handles = OpenHandles();
        EXPECT_EQ(SaveWith(fault, path), 0);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"repair.gtm"});
        EXPECT_EQ(OpenHandles(), handles);
        // Once the disk behaves, the same file saves.
        EXPECT_EQ(SaveWith(Fault::None, path), 1);
        EXPECT_EQ(ReadBytes(path), RepairedFile(original));
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"repair.gtm"});
    }
}

TEST_F(SaveFault, InterruptedAndShortWritesAreCarriedOn) {
    const auto original = DamagedFile();
    for (Fault fault : {Fault::InterruptedWrite, Fault::ShortWrites}) {
        SCOPED_TRACE(static_cast<int>(fault));
        const std::string path = dir_.Write("repair.gtm", original);
        EXPECT_EQ(SaveWith(fault, path), 1);
        EXPECT_EQ(ReadBytes(path), RepairedFile(original));
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"repair.gtm"});
        if (fault == Fault::ShortWrites) {
            EXPECT_GT(plan.writes, static_cast<int>(original.size() / 7));
        }
    }
}

TEST_F(SaveFault, TheTemporaryFileIsMadeBesideTheFileWhateverItsName) {
    // 250 bytes: the file's own name plus the temporary file's additions would
    // not be a valid name; and a Chinese name, cut at a character boundary.
    for (const std::string& name : {std::string(246, 'n') + ".gtm", std::string("航點.gtm"),
                                    std::string(198, 'n') + "航點.gtm"}) {
        const std::string path = dir_.Write(name, DamagedFile());
        ASSERT_EQ(SaveWith(Fault::None, path), 1);
        EXPECT_EQ(ReadBytes(path), RepairedFile(DamagedFile()));
        ASSERT_EQ(plan.temporaries.size(), 1u);
        const std::string& temporary = plan.temporaries[0];
        EXPECT_EQ(fs::path(std::u8string(temporary.begin(), temporary.end())).parent_path(), dir_.path());
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{name});
        fs::remove(NativePath(path));
    }
}

TEST_F(SaveFault, ASuccessfulSaveRemovesOldLeftoversOfItsOwnNameOnly) {
    const std::string path = dir_.Write("repair.gtm", DamagedFile());
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const char* name : {".repair.gtm.lorvane-abc123", ".other.gtm.lorvane-abc123", ".repair.gtm.lorvane-new456"}) {
        dir_.Write(name, {1, 2, 3});
    }
    fs::last_write_time(dir_.path() / ".repair.gtm.lorvane-abc123", old);
    fs::last_write_time(dir_.path() / ".other.gtm.lorvane-abc123", old);
    ASSERT_EQ(SaveWith(Fault::None, path), 1);
    EXPECT_EQ(Entries(dir_.path()),
              (std::vector<std::string>{".other.gtm.lorvane-abc123", ".repair.gtm.lorvane-new456", "repair.gtm"}));
}

}  // namespace

// A save that fails must leave the GTM file exactly as it was, with no
// temporary file beside it: each file-system call of the save is made to fail
// in turn through the calls the save uses, and a real, small, full disk is
// tried where the test may mount one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "gtm/GtmDocument.h"
#include "sources/NameField.h"
#include "support/FormatBuilders.h"

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

int FaultyCreate(char* pathTemplate) {
    if (plan.fault == Fault::Create) {
        errno = EACCES;
        return -1;
    }
    int fd = ::mkstemp(pathTemplate);
    if (fd >= 0) plan.temporaries.emplace_back(pathTemplate);
    return fd;
}

ssize_t FaultyWrite(int fd, const void* data, size_t size) {
    const int call = plan.writes++;
    const size_t part = size > 1 ? size / 2 : size;
    switch (plan.fault) {
    case Fault::Write:
        errno = EIO;
        return -1;
    case Fault::ShortWriteThenError:
        if (call == 0) return ::write(fd, data, part);
        errno = ENOSPC;
        return -1;
    case Fault::ShortWriteThenNothing:
        return call == 0 ? ::write(fd, data, part) : 0;
    case Fault::InterruptedWrite:
        if (call == 0) {
            errno = EINTR;
            return -1;
        }
        break;
    case Fault::ShortWrites:
        return ::write(fd, data, size < 7 ? size : 7);
    default:
        break;
    }
    return ::write(fd, data, size);
}

int FaultyFlush(int fd) {
    if (plan.fault == Fault::Flush) {
        errno = EIO;
        return -1;
    }
    return ::fsync(fd);
}

int FaultyClose(int fd) {
    // The descriptor is gone either way, as with a real late error.
    int result = ::close(fd);
    if (plan.fault == Fault::Close) {
        errno = EIO;
        return -1;
    }
    return result;
}

int FaultyRename(const char* from, const char* to) {
    if (plan.fault == Fault::Rename) {
        errno = EXDEV;
        return -1;
    }
    return ::rename(from, to);
}

const FileSystemCalls kFaultyCalls = {&FaultyCreate, &FaultyWrite, &FaultyFlush, &FaultyClose, &FaultyRename, &::unlink};

size_t OpenDescriptors() {
    return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

WaypointRecord Source(std::string_view name, float altitude) {
    WaypointRecord record{};
    StoreName(record.name, sizeof record.name, name);
    record.altitude = altitude;
    return record;
}

// A damaged GTM file: two names whose Chinese characters are zero bytes, with
// long comments so that the image takes many writes of a few bytes.
std::vector<uint8_t> DamagedFile(size_t commentLength = 2000) {
    const std::string nul2("\0\0", 2);
    return GtmBuilder()
        .waypoint(nul2 + "AB", 100, std::string(commentLength, 'c'))
        .waypoint(nul2 + nul2, 200, std::string(commentLength, 'd'))
        .build();
}

// The same file as a successful repair writes it.
std::vector<uint8_t> RepairedFile(std::vector<uint8_t> bytes) {
    const std::string nul2("\0\0", 2);
    auto put = [&](const std::string& oldName, const std::string& newName) {
        auto at = std::search(bytes.begin(), bytes.end(), oldName.begin(), oldName.end());
        std::copy(newName.begin(), newName.end(), at);
    };
    put(nul2 + "AB      ", "\xA4\xA4" "AB");
    put(nul2 + nul2 + "      ", "\xA4\xA5\xA4\xA6");
    return bytes;
}

class SaveFault : public ::testing::Test {
protected:
    void SetUp() override {
        plan = Plan();
        previous_ = &UseFileCalls(kFaultyCalls);
    }
    void TearDown() override {
        UseFileCalls(*previous_);
        plan = Plan();
    }

    // Loads and corrects the file at path, ready to save.
    void LoadAndCorrect(const std::string& path) {
        VectorLineList lines;
        ASSERT_EQ(document_.Load(path, lines), 1);
        document_.CorrectNames(2, source_, lines);
        ASSERT_EQ(document_.correctedCount, 2);
    }

    const FileSystemCalls* previous_ = nullptr;
    TempDir dir_;
    GtmDocument document_;
    WaypointRecord source_[2] = {Source("\xA4\xA4" "AB", 100), Source("\xA4\xA5\xA4\xA6", 200)};
};

TEST_F(SaveFault, EveryFailingCallLeavesTheFileAndNoTemporaryFile) {
    const Fault faults[] = {Fault::Create, Fault::Write, Fault::ShortWriteThenError, Fault::ShortWriteThenNothing,
                            Fault::Flush, Fault::Close, Fault::Rename};
    const auto original = DamagedFile();
    for (Fault fault : faults) {
        SCOPED_TRACE(static_cast<int>(fault));
        const std::string path = dir_.Write("repair.gtm", original);
        GtmDocument document;
        VectorLineList lines;
        ASSERT_EQ(document.Load(path, lines), 1);
        document.CorrectNames(2, source_, lines);
        const size_t descriptors = OpenDescriptors();

        plan = Plan();
        plan.fault = fault;
        EXPECT_EQ(document.Save(), 0);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"repair.gtm"});
        EXPECT_EQ(OpenDescriptors(), descriptors);

        // Once the disk behaves, the same document saves.
        plan = Plan();
        EXPECT_EQ(document.Save(), 1);
        EXPECT_EQ(ReadBytes(path), RepairedFile(original));
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"repair.gtm"});
    }
}

TEST_F(SaveFault, InterruptedAndShortWritesAreCarriedOn) {
    const auto original = DamagedFile();
    for (Fault fault : {Fault::InterruptedWrite, Fault::ShortWrites}) {
        SCOPED_TRACE(static_cast<int>(fault));
        const std::string path = dir_.Write("repair.gtm", original);
        GtmDocument document;
        VectorLineList lines;
        ASSERT_EQ(document.Load(path, lines), 1);
        document.CorrectNames(2, source_, lines);
        plan = Plan();
        plan.fault = fault;
        EXPECT_EQ(document.Save(), 1);
        EXPECT_EQ(ReadBytes(path), RepairedFile(original));
        EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"repair.gtm"});
        if (fault == Fault::ShortWrites) {
            EXPECT_GT(plan.writes, static_cast<int>(original.size() / 7));
        }
    }
}

TEST_F(SaveFault, TheTemporaryFileIsMadeBesideTheFile) {
    const std::string path = dir_.Write("repair.gtm", DamagedFile());
    LoadAndCorrect(path);
    ASSERT_EQ(document_.Save(), 1);
    ASSERT_EQ(plan.temporaries.size(), 1u);
    EXPECT_EQ(fs::path(plan.temporaries[0]).parent_path(), dir_.path());
    EXPECT_FALSE(fs::exists(plan.temporaries[0]));
}

TEST_F(SaveFault, ANameTooLongForATemporaryNameStillSaves) {
    // 250 bytes: the file's own name plus the temporary file's additions would
    // not be a valid name.
    const std::string name = std::string(246, 'n') + ".gtm";
    const std::string path = dir_.Write(name, DamagedFile());
    LoadAndCorrect(path);
    EXPECT_EQ(document_.Save(), 1);
    EXPECT_EQ(ReadBytes(path), RepairedFile(DamagedFile()));
    EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{name});
}

// A disk that is really full: a small memory file system holding the file,
// with less room left than a second copy of it needs.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a 64 KiB tmpfs as a full disk";
        mountPoint_ = dir_.path() / "disk";
        fs::create_directory(mountPoint_);
        if (::mount("tmpfs", mountPoint_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") != 0) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno) << "); the full disk test needs it";
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }

    TempDir dir_;
    fs::path mountPoint_;
    bool mounted_ = false;
};

TEST_F(FullDisk, SaveFailsAndLeavesTheFile) {
    const auto original = DamagedFile(18000);  // about 36 KiB of the 64
    const std::string path = (mountPoint_ / "repair.gtm").string();
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(original.size()));
        ASSERT_TRUE(out.good());
    }
    struct statvfs disk {};
    ASSERT_EQ(::statvfs(mountPoint_.c_str(), &disk), 0);
    const uint64_t freeBytes = static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize;
    ASSERT_LT(freeBytes, original.size()) << "the disk must be too full for a second copy";

    GtmDocument document;
    VectorLineList lines;
    ASSERT_EQ(document.Load(path, lines), 1);
    WaypointRecord source[2] = {Source("\xA4\xA4" "AB", 100), Source("\xA4\xA5\xA4\xA6", 200)};
    document.CorrectNames(2, source, lines);
    ASSERT_EQ(document.correctedCount, 2);

    EXPECT_EQ(document.Save(), 0);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(Entries(mountPoint_), std::vector<std::string>{"repair.gtm"});
    ASSERT_EQ(::statvfs(mountPoint_.c_str(), &disk), 0);
    EXPECT_EQ(static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize, freeBytes);
}

}  // namespace

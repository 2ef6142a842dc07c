// Saving: a save that fails leaves the GTM file exactly as it was, with no temporary file beside it and no file left
// open (each file-system call fails in turn, on every platform); one that works changes only the name fields.
#include <gtest/gtest.h>

#include <cerrno>

#include "SaveFaultSupport.h"
#include "common/AtomicFile.h"

using namespace std::literals;

namespace {

namespace fs = std::filesystem;

// Files (and other handles) the process has open.
size_t OpenHandles() {
#ifdef _WIN32
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
#else
    return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
#endif
}

// Each fault makes one call of the system fail, or work only in part.
enum class Fault { None, Create, Write, HalfThenNothing, Flush, Close, Rename, Interrupted, Short };

// The fault in play, the writes tried and the paths of the temporary files made.
Fault injected = Fault::None;
int writes = 0;
std::vector<std::string> temporaries;

FileHandle FaultyCreate(std::string& path) {
    const FileHandle file = injected == Fault::Create ? kNoFile : SystemFileCalls().createTemporary(path);
    if (file != kNoFile) temporaries.push_back(path);
    return file;
}

std::ptrdiff_t FaultyWrite(FileHandle file, const void* data, size_t size) {
    const bool first = writes++ == 0;
    switch (injected) {
    case Fault::Write: return -1;
    case Fault::HalfThenNothing: return first ? SystemFileCalls().write(file, data, size / 2) : 0;
    case Fault::Interrupted: return first ? (errno = EINTR, -1) : SystemFileCalls().write(file, data, size);
    case Fault::Short: return SystemFileCalls().write(file, data, std::min<size_t>(size, 7));
    default: return SystemFileCalls().write(file, data, size);
    }
}

int FaultyFlush(FileHandle file) { return injected == Fault::Flush ? -1 : SystemFileCalls().flush(file); }
// The file is closed either way, as with a real late error.
int FaultyClose(FileHandle file) { return SystemFileCalls().close(file) != 0 || injected == Fault::Close ? -1 : 0; }
int FaultyRename(const std::string& from, const std::string& to) {
    return injected == Fault::Rename ? -1 : SystemFileCalls().rename(from, to);
}
int Unlink(const std::string& path) { return SystemFileCalls().unlink(path); }

const FileSystemCalls kFaultyCalls = {&FaultyCreate, &FaultyWrite, &FaultyFlush, &FaultyClose, &FaultyRename, &Unlink};

class SaveFault : public ::testing::Test {
protected:
    void TearDown() override { UseFileCalls(previous_); }

    // Saves the damaged file at path with the fault in play; the result of the save.
    int SaveWith(Fault fault, const std::string& path) {
        GtmDocument document;
        if (!LoadAndCorrect(document, path)) return -1;
        injected = fault, writes = 0, temporaries.clear();
        return document.Save();
    }

    const FileSystemCalls& previous_ = UseFileCalls(kFaultyCalls);  // the faulty calls in play for the whole test
    TempDir dir_;
};

}  // namespace

TEST_F(SaveFault, AFailingCallLeavesTheFileAndInterruptedOrShortWritesGoOn) {
    const auto original = DamagedFile();
    // What killed saves left: a save that works removes the old ones of the
    // file's own pattern; a new one, or one of another name or length, stays.
    const std::vector<std::string> all = {".repaiX.gtm.lorvane-abc123", ".repair.gtm.lorvane-abc123",
                                          ".repair.gtm.lorvane-abc1234", ".repair.gtm.lorvane-new456", "repair.gtm"};
    const std::vector<std::string> kept = {all[0], all[2], all[3], all[4]};
    for (Fault fault : {Fault::None, Fault::Create, Fault::Write, Fault::HalfThenNothing, Fault::Flush, Fault::Close,
                        Fault::Rename, Fault::Interrupted, Fault::Short}) {
        SCOPED_TRACE(static_cast<int>(fault));
        const bool saves = fault == Fault::None || fault == Fault::Interrupted || fault == Fault::Short;
        const std::string path = dir_.Write("repair.gtm", original);
        for (size_t k = 0; k + 1 < all.size(); ++k) {
            dir_.Write(all[k], {1, 2, 3});
            if (k != 3) fs::last_write_time(dir_.path() / all[k], fs::file_time_type::clock::now() - 5min);
        }
        const size_t handles = OpenHandles();
        EXPECT_EQ(SaveWith(fault, path), saves ? 1 : 0);
        EXPECT_EQ(ReadBytes(path), saves ? DamagedFile(true) : original);
        EXPECT_EQ(Entries(dir_.path()), saves ? kept : all);
        EXPECT_EQ(OpenHandles(), handles);
        EXPECT_TRUE(fault != Fault::Short || writes > static_cast<int>(original.size() / 7));
    }
    EXPECT_EQ(GtmDocument().Save(), 1);  // nothing corrected: nothing to write
}

TEST_F(SaveFault, TheTemporaryFileIsMadeBesideTheFileWhateverItsName) {
    // Its name: a dot, at most 200 bytes of the file's name (cut at a character boundary), ".lorvane-" and six
    // characters. With 250 bytes of the name the additions would not be a valid name.
    for (const auto& [name, length] : {std::pair(std::string(246, 'n') + ".gtm", 216), std::pair("航點.gtm"s, 26),
                                       std::pair(std::string(198, 'n') + "航點.gtm", 214)}) {
        const std::string path = dir_.Write(name, DamagedFile());
        ASSERT_EQ(SaveWith(Fault::None, path), 1);
        ASSERT_EQ(temporaries.size(), 1u);
        // Compared as plain paths: on Windows the native form of a long path carries the \\?\ prefix.
        const fs::path temporary(std::u8string(temporaries[0].begin(), temporaries[0].end()));
        EXPECT_EQ(temporary.parent_path(), dir_.path());
        EXPECT_EQ(Utf8Path(temporary.filename()).size(), static_cast<size_t>(length));
        fs::remove(NativePath(path));
    }
}

// Saving on a POSIX file system: links are followed to the file they name,
// which is replaced with the temporary file made beside it, keeping its
// permissions, while the links stay links; a hard link is a second name of
// the old file and keeps the old contents. A file the user may not write is
// not replaced, nor is one on a disk too full for a second copy.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SaveFaultSupport.h"

namespace {

namespace fs = std::filesystem;

class SavePosix : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_.path() / "links");
        fs::create_directories(dir_.path() / "files");
        target_ = dir_.Write("files/real.gtm", original_);
    }
    // Loads the file through path, corrects its one name and saves it.
    int Repair(const fs::path& path) {
        GtmDocument document;
        VectorLineList lines;
        WaypointRecord source{{'A'}, 0, 0, 1.0f, 0};
        if (document.Load(path.string(), lines) != 1 || document.CorrectNames(1, &source, lines) != 1) return -1;
        return document.correctedCount == 1 ? document.Save() : -1;
    }
    std::vector<uint8_t> Repaired() const {
        auto bytes = original_;
        const std::string old = "a         ";
        *std::search(bytes.begin(), bytes.end(), old.begin(), old.end()) = 'A';
        return bytes;
    }
    TempDir dir_;
    std::vector<uint8_t> original_ = GtmBuilder().waypoint("a", 1).build();
    std::string target_;
};

TEST_F(SavePosix, ChainsOfLinksAreFollowedAndThePermissionsKept) {
    // links/first -> ../files/second (relative to links), files/second ->
    // real.gtm (relative to files), and an absolute link to the first.
    const fs::path first = dir_.path() / "links" / "first.gtm", second = dir_.path() / "files" / "second.gtm";
    const fs::path absolute = dir_.path() / "absolute.gtm";
    fs::create_symlink("real.gtm", second);
    fs::create_symlink("../files/second.gtm", first);
    fs::create_symlink(first, absolute);
    fs::path head = absolute;  // and 37 links more: 40 in all, as many as the system follows
    for (int k = 0; k < 37; ++k) fs::create_symlink(head, dir_.path() / "links" / std::to_string(k)), head = dir_.path() / "links" / std::to_string(k);
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target_, perms);
    ASSERT_EQ(Repair(head), 1);
    EXPECT_EQ(ReadBytes(target_), Repaired());
    EXPECT_EQ(fs::status(target_).permissions() & fs::perms::all, perms);
    EXPECT_TRUE(fs::is_symlink(first) && fs::is_symlink(second) && fs::is_symlink(absolute) && fs::is_symlink(head));
    EXPECT_EQ(fs::read_symlink(first), "../files/second.gtm");
    EXPECT_EQ(Entries(dir_.path() / "files"), (std::vector<std::string>{"real.gtm", "second.gtm"}));
    EXPECT_EQ(Entries(dir_.path() / "links").size(), 38u);
}

TEST_F(SavePosix, AnotherHardLinkKeepsTheOldContentsAndAPipeOfALeftoversNameStays) {
    const fs::path other = dir_.path() / "links" / "other.gtm", pipe = dir_.path() / "files" / ".real.gtm.lorvane-abc123";
    fs::create_hard_link(target_, other);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::last_write_time(pipe, fs::file_time_type::clock::now() - std::chrono::minutes(5));
    ASSERT_EQ(Repair(target_), 1);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(ReadBytes(target_), Repaired());
    EXPECT_EQ(ReadBytes(other.string()), original_);
    EXPECT_EQ(fs::hard_link_count(other), 1u);
}

TEST_F(SavePosix, AReadOnlyFileIsNotReplaced) {
    // The folder may be written, the file may not: the save must refuse, as
    // writing the file itself would. Run as an ordinary user, so that the
    // rights are checked (root may write anything).
    fs::permissions(dir_.path(), fs::perms::all);
    fs::permissions(dir_.path() / "files", fs::perms::all);
    fs::permissions(target_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    int result = -1;
    if (::geteuid() == 0) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(::setgid(65534) != 0 || ::setuid(65534) != 0 ? 3 : Repair(target_));
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        result = WEXITSTATUS(status);
    } else {
        result = Repair(target_);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(target_), original_);
    EXPECT_EQ(Entries(dir_.path() / "files"), std::vector<std::string>{"real.gtm"});
}

TEST(FullDisk, SaveFailsAndLeavesTheFile) {
    // A small memory file system holding the file, with less room left than
    // a second copy of it needs.
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a 64 KiB tmpfs as a full disk";
    TempDir dir;
    const fs::path disk = dir.path() / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno) << ")";
    struct Unmount { const fs::path& disk; ~Unmount() { ::umount2(disk.c_str(), MNT_DETACH); } } unmount{disk};
    const auto original = DamagedFile(18000);  // about 36 KiB of the 64
    const std::string path = (disk / "repair.gtm").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(original.size()));
    struct statvfs before {}, after {};
    ASSERT_EQ(::statvfs(disk.c_str(), &before), 0);
    GtmDocument document;
    ASSERT_TRUE(LoadAndCorrect(document, path));
    EXPECT_EQ(document.Save(), 0);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(Entries(disk), std::vector<std::string>{"repair.gtm"});
    ASSERT_EQ(::statvfs(disk.c_str(), &after), 0);
    EXPECT_EQ(after.f_bavail, before.f_bavail);
}

}  // namespace

// A disk that is really full: a small memory file system holding the file,
// with less room left than a second copy of it needs.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "SaveFaultSupport.h"

namespace {

namespace fs = std::filesystem;

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
    ASSERT_TRUE(LoadAndCorrect(document, path));
    EXPECT_EQ(document.Save(), 0);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(Entries(mountPoint_), std::vector<std::string>{"repair.gtm"});
    ASSERT_EQ(::statvfs(mountPoint_.c_str(), &disk), 0);
    EXPECT_EQ(static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize, freeBytes);
}

}  // namespace

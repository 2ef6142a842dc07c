// Saving on a POSIX file system: links are followed to the file they name, which the temporary file made beside it
// replaces, keeping its permissions; the links stay links, and a hard link (a second name of the old file) keeps the
// old contents. A file the user may not write is not replaced.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "SaveFaultSupport.h"

namespace {

namespace fs = std::filesystem;

int Repair(const fs::path& path) {
    GtmDocument document;
    return LoadAndCorrect(document, path.string()) ? document.Save() : -1;
}

}  // namespace

TEST(SavePosix, LinksAreFollowedPermissionsKeptAHardLinkKeepsTheOldFileAndAReadOnlyOneStays) {
    // absolute.gtm -> links/first.gtm -> ../files/second.gtm -> real.gtm, the
    // last two relative; other.gtm a second name of real.gtm.
    TempDir dir;
    for (const char* folder : {"links", "files"}) fs::create_directories(dir.path() / folder);
    const std::string target = dir.Write("files/real.gtm", DamagedFile());
    const fs::path first = dir.path() / "links/first.gtm", second = dir.path() / "files/second.gtm";
    const fs::path head = dir.path() / "absolute.gtm", other = dir.path() / "other.gtm";
    fs::create_symlink("real.gtm", second);
    fs::create_symlink("../files/second.gtm", first);
    fs::create_symlink(first, head);
    fs::create_hard_link(target, other);
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, perms);
    ASSERT_EQ(Repair(head), 1);
    EXPECT_EQ(ReadBytes(target), DamagedFile(true));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, perms);
    EXPECT_TRUE(fs::is_symlink(first) && fs::is_symlink(second) && fs::is_symlink(head));
    EXPECT_EQ(Entries(dir.path() / "files"), (std::vector<std::string>{"real.gtm", "second.gtm"}));

    // The old file, now named other.gtm only, made read-only in a folder anyone may write, is not replaced.
    // Saved as an ordinary user, so that the rights are checked (root may write anything).
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(other, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    int result = -1, status = 0;
    if (::geteuid() != 0) result = Repair(other);
    else if (const pid_t child = ::fork(); child == 0)
        ::_exit(::setgid(65534) != 0 || ::setuid(65534) != 0 ? 3 : Repair(other));
    else if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) result = WEXITSTATUS(status);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(other.string()), DamagedFile());
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"absolute.gtm", "files", "links", "other.gtm"}));
}

// Saving on a POSIX file system: links are followed to the file they name,
// which the temporary file made beside it replaces, keeping its permissions;
// the links stay links, and a hard link (a second name of the old file) keeps
// the old contents. A file the user may not write is not replaced.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SaveFaultSupport.h"

namespace {

namespace fs = std::filesystem;

// Loads the damaged file through path, corrects it and saves it.
int Repair(const fs::path& path) {
    GtmDocument document;
    return LoadAndCorrect(document, path.string()) ? document.Save() : -1;
}

}  // namespace

TEST(SavePosix, LinksAreFollowedPermissionsKeptAndAHardLinkKeepsTheOldFile) {
    // links/first -> ../files/second, files/second -> real.gtm (both relative),
    // an absolute link to the first and 37 links more: 40 in all, as many as
    // the system follows. A pipe of a leftover's name stays.
    TempDir dir;
    fs::create_directories(dir.path() / "links");
    fs::create_directories(dir.path() / "files");
    const std::string target = dir.Write("files/real.gtm", DamagedFile());
    const fs::path first = dir.path() / "links/first.gtm", second = dir.path() / "files/second.gtm";
    const fs::path other = dir.path() / "other.gtm", pipe = dir.path() / "files/.real.gtm.lorvane-abc123";
    fs::create_symlink("real.gtm", second);
    fs::create_symlink("../files/second.gtm", first);
    fs::path head = dir.path() / "absolute.gtm";
    fs::create_symlink(first, head);
    for (int k = 0; k < 37; head = dir.path() / "links" / std::to_string(k++))
        fs::create_symlink(head, dir.path() / "links" / std::to_string(k));
    fs::create_hard_link(target, other);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::last_write_time(pipe, fs::file_time_type::clock::now() - std::chrono::minutes(5));
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, perms);
    ASSERT_EQ(Repair(head), 1);
    EXPECT_EQ(ReadBytes(target), DamagedFile(true));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, perms);
    EXPECT_TRUE(fs::is_symlink(first) && fs::is_symlink(second) && fs::is_symlink(head));
    EXPECT_EQ(Entries(dir.path() / "files"), (std::vector<std::string>{".real.gtm.lorvane-abc123", "real.gtm", "second.gtm"}));
    EXPECT_EQ(Entries(dir.path() / "links").size(), 38u);
    EXPECT_EQ(ReadBytes(other.string()), DamagedFile());
}

TEST(SavePosix, AReadOnlyFileIsNotReplaced) {
    // The folder may be written, the file may not. Run as an ordinary user, so
    // that the rights are checked (root may write anything).
    TempDir dir;
    const std::string path = dir.Write("repair.gtm", DamagedFile());
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    int result = -1, status = 0;
    if (::geteuid() != 0) {
        result = Repair(path);
    } else if (const pid_t child = ::fork(); child == 0) {
        ::_exit(::setgid(65534) != 0 || ::setuid(65534) != 0 ? 3 : Repair(path));
    } else if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result = WEXITSTATUS(status);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path), DamagedFile());
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"repair.gtm"});
}

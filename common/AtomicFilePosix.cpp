#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "common/AtomicFilePlatform.h"
#include "common/NativePath.h"

namespace {

int Descriptor(FileHandle file) { return static_cast<int>(file); }

FileHandle SystemCreateTemporary(std::string& path) {
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return kNoFile;
    path.assign(name.data());
    return fd;
}

std::ptrdiff_t SystemWrite(FileHandle file, const void* data, size_t size) {
    return ::write(Descriptor(file), data, size);
}
int SystemFlush(FileHandle file) { return ::fsync(Descriptor(file)); }
int SystemClose(FileHandle file) { return ::close(Descriptor(file)); }
int SystemRename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()); }
int SystemUnlink(const std::string& path) { return ::unlink(path.c_str()); }

}  // namespace

const FileSystemCalls& SystemFileCalls() {
    static const FileSystemCalls calls = {&SystemCreateTemporary, &SystemWrite, &SystemFlush,
                                          &SystemClose,           &SystemRename, &SystemUnlink};
    return calls;
}

namespace atomicfile {

std::string ResolveTarget(const std::string& path) {
    std::error_code error;
    std::filesystem::path target = path;
    for (int depth = 0; depth < 40 && std::filesystem::is_symlink(target, error); ++depth) {
        std::filesystem::path link = std::filesystem::read_symlink(target, error);
        if (error) break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target.string();
}

bool MayReplace(const std::string& target) {
    return ::access(target.c_str(), F_OK) != 0 || ::access(target.c_str(), W_OK) == 0;
}

void KeepPermissions(FileHandle file, const std::string& target) {
    struct stat original;
    if (::stat(target.c_str(), &original) != 0) return;
    ::fchmod(Descriptor(file), original.st_mode & 07777);
    if (::fchown(Descriptor(file), original.st_uid, original.st_gid) != 0) {
        // Not permitted for an ordinary user: the file becomes the user's.
    }
}

void FlushFolder(const std::string& folder) {
    // A folder that cannot be flushed is no reason to report the save as
    // failed, since the rename has happened.
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::vector<std::string> OldFiles(const std::string& folder, const std::string& prefix, std::chrono::seconds age) {
    std::vector<std::string> names;
    std::error_code error;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (std::filesystem::directory_iterator it(NativePath(folder.empty() ? "." : folder), error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = Utf8Path(it->path().filename());
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        std::error_code entryError;
        if (!it->is_regular_file(entryError) || entryError) continue;
        const auto written = it->last_write_time(entryError);
        if (!entryError && now - written > age) names.push_back(name);
    }
    return names;
}

}  // namespace atomicfile

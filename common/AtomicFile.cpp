#include "common/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The bytes of the file's name that go into the temporary file's name: with
// the dot and the suffix it stays well below the usual limit of 255.
constexpr size_t kNameRoom = 200;

// The calls put in place by UseFileCalls; none until a test puts some.
const FileSystemCalls* currentCalls = nullptr;

int SystemFlush(int fd) { return ::fsync(fd); }
int SystemClose(int fd) { return ::close(fd); }

// The file the path finally names, following symbolic links, so that the new
// contents replace the target and the link itself stays.
std::filesystem::path ResolveTarget(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path target = path;
    for (int depth = 0; depth < 40 && std::filesystem::is_symlink(target, error); ++depth) {
        std::filesystem::path link = std::filesystem::read_symlink(target, error);
        if (error) break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
}

bool WriteAll(const FileSystemCalls& calls, int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        ssize_t written = calls.write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be flushed is no
// reason to report the save as failed, since the rename has happened.
void FlushFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

const FileSystemCalls& SystemFileCalls() {
    static const FileSystemCalls calls = {&::mkstemp, &::write, &SystemFlush, &SystemClose, &::rename, &::unlink};
    return calls;
}

const FileSystemCalls& CurrentFileCalls() { return currentCalls ? *currentCalls : SystemFileCalls(); }

const FileSystemCalls& UseFileCalls(const FileSystemCalls& calls) {
    const FileSystemCalls& previous = CurrentFileCalls();
    currentCalls = &calls;
    return previous;
}

int ReplaceFileAtomically(const std::string& path, const unsigned char* data, size_t size,
                          const FileSystemCalls& calls) {
    const std::filesystem::path target = ResolveTarget(path);
    const std::filesystem::path folder = target.parent_path();
    // A file the user may not write stays as it is, although replacing it
    // through its folder would be possible.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) return 0;
    // The temporary file's name is the file's own between a dot and a suffix,
    // cut so that the whole stays a valid name however long the file's is.
    std::string pattern =
        (folder / ("." + target.filename().string().substr(0, kNameRoom) + ".lorvane-XXXXXX")).string();
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');

    int fd = calls.createTemporary(temporary.data());
    if (fd < 0) return 0;

    bool written = WriteAll(calls, fd, data, size);
    struct stat original;
    if (written && ::stat(target.c_str(), &original) == 0) {
        // Keep the file's permissions (and its owner, where we may set it).
        ::fchmod(fd, original.st_mode & 07777);
        if (::fchown(fd, original.st_uid, original.st_gid) != 0) {
            // Not permitted for an ordinary user: the file becomes the user's.
        }
    }
    written = written && calls.flush(fd) == 0;
    written = calls.close(fd) == 0 && written;
    if (!written || calls.rename(temporary.data(), target.c_str()) != 0) {
        calls.unlink(temporary.data());
        return 0;
    }
    FlushFolder(folder);
    return 1;
}

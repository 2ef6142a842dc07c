#include "common/AtomicFile.h"

#include <cerrno>
#include <chrono>

#include "common/AtomicFilePlatform.h"

namespace {

// The bytes of the file's name that go into the temporary file's name: with
// the dot and the suffix it stays well below the usual limit of 255.
constexpr size_t kNameRoom = 200;

// A temporary file older than this is a leftover, not another save at work.
constexpr std::chrono::seconds kLeftoverAge = std::chrono::minutes(1);

// The calls put in place by UseFileCalls; none until a test puts some.
const FileSystemCalls* currentCalls = nullptr;

bool WriteAll(const FileSystemCalls& calls, FileHandle file, const unsigned char* data, size_t size) {
    while (size > 0) {
        errno = 0;
        const std::ptrdiff_t written = calls.write(file, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0 || static_cast<size_t>(written) > size) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Splits a path after its last separator ('/' everywhere, '\' on Windows too).
size_t NameStart(const std::string& path) {
#ifdef _WIN32
    const size_t slash = path.find_last_of("/\\");
#else
    const size_t slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? 0 : slash + 1;
}

// Removes what killed saves of the file left behind: names of the file's own
// temporary pattern, old enough that no save can still be writing them.
void RemoveLeftovers(const std::string& folder, const std::string& prefix, const FileSystemCalls& calls) {
    for (const std::string& name : atomicfile::OldFiles(folder, prefix, kLeftoverAge)) {
        if (name.size() == prefix.size() + kTemporaryUniqueLength) calls.unlink(folder + name);
    }
}

}  // namespace

const FileSystemCalls& CurrentFileCalls() { return currentCalls ? *currentCalls : SystemFileCalls(); }

const FileSystemCalls& UseFileCalls(const FileSystemCalls& calls) {
    const FileSystemCalls& previous = CurrentFileCalls();
    currentCalls = &calls;
    return previous;
}

std::string TemporaryNamePrefix(const std::string& name) {
    // Cut at a character boundary of the UTF-8 name.
    size_t length = name.size() < kNameRoom ? name.size() : kNameRoom;
    while (length > 0 && length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
    // Appended in place: g++ 12 warns falsely (-Wrestrict) on the sum of
    // three strings here.
    std::string prefix(1, '.');
    return prefix.append(name, 0, length).append(".lorvane-");
}

int ReplaceFileAtomically(const std::string& path, const unsigned char* data, size_t size,
                          const FileSystemCalls& calls) {
    const std::string target = atomicfile::ResolveTarget(path);
    if (!atomicfile::MayReplace(target)) return 0;
    const size_t nameStart = NameStart(target);
    const std::string folder = target.substr(0, nameStart);
    const std::string prefix = TemporaryNamePrefix(target.substr(nameStart));
    std::string temporary = folder + prefix + std::string(kTemporaryUniqueLength, 'X');

    const FileHandle file = calls.createTemporary(temporary);
    if (file == kNoFile) return 0;
    bool written = WriteAll(calls, file, data, size);
    if (written) atomicfile::KeepPermissions(file, target);
    written = written && calls.flush(file) == 0;
    written = calls.close(file) == 0 && written;
    if (!written || calls.rename(temporary, target) != 0) {
        calls.unlink(temporary);
        return 0;
    }
    atomicfile::FlushFolder(folder);
    RemoveLeftovers(folder, prefix, calls);
    return 1;
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// An open file of the running system: a descriptor on POSIX systems, a
// HANDLE on Windows. kNoFile stands for none.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// The file-system calls a file replacement makes, so that tests can make any
// of them fail on every platform. Paths are UTF-8. Each call returns 0 (or,
// for write, the count of bytes written) on success and -1 on failure, with
// errno set where the cause matters (EINTR: try the write again).
struct FileSystemCalls {
    // Makes and opens a new file; the last six characters of path ("XXXXXX")
    // are replaced by ones that make its name unique.
    FileHandle (*createTemporary)(std::string& path);
    std::ptrdiff_t (*write)(FileHandle file, const void* data, size_t size);
    int (*flush)(FileHandle file);  // to the disk itself
    int (*close)(FileHandle file);
    int (*rename)(const std::string& from, const std::string& to);  // replaces to
    int (*unlink)(const std::string& path);
};

// The calls of the running system.
const FileSystemCalls& SystemFileCalls();

// The calls a file replacement makes when it is given none: those of the
// running system, unless a test has put others in their place. UseFileCalls
// puts calls in place for every later replacement (they must stay alive while
// in use) and returns the ones it replaced, so that a test can put them back.
const FileSystemCalls& CurrentFileCalls();
const FileSystemCalls& UseFileCalls(const FileSystemCalls& calls);

// The name pattern of the temporary files made for the file named name: the
// name (cut so that the whole stays a valid name) between a dot and a suffix
// of ".lorvane-" and six unique characters.
std::string TemporaryNamePrefix(const std::string& name);
inline constexpr size_t kTemporaryUniqueLength = 6;

// Replaces the file at path (UTF-8) with size bytes of data so that, whatever
// fails or however the program is stopped, the file holds either its old or
// its new contents in full. The bytes go to a temporary file beside the file
// (beside the target when path is a symbolic link, which stays a link; hidden
// on Windows), are flushed to disk, and the temporary file takes the file's
// place, keeping its permissions or attributes. A read-only file, or one
// another program holds open without sharing, is not replaced. On failure the
// file is untouched, the temporary file is removed and the result is 0;
// otherwise 1, and temporary files of the file's own pattern older than a
// minute (left by a save that was killed) are removed.
int ReplaceFileAtomically(const std::string& path, const unsigned char* data, size_t size,
                          const FileSystemCalls& calls = CurrentFileCalls());

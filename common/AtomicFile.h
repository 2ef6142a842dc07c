#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

// The file-system calls a file replacement makes, so that tests can make any
// of them fail. Each mirrors its POSIX namesake.
struct FileSystemCalls {
    int (*createTemporary)(char* pathTemplate);  // mkstemp
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*flush)(int fd);  // fsync
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
};

// The calls of the running system.
const FileSystemCalls& SystemFileCalls();

// The calls a file replacement makes when it is given none: those of the
// running system, unless a test has put others in their place. UseFileCalls
// puts calls in place for every later replacement (they must stay alive while
// in use) and returns the ones it replaced, so that a test can put them back.
const FileSystemCalls& CurrentFileCalls();
const FileSystemCalls& UseFileCalls(const FileSystemCalls& calls);

// Replaces the file at path with size bytes of data so that, whatever fails or
// however the program is stopped, the file holds either its old or its new
// contents in full. The bytes go to a temporary file beside the file (beside
// the target when path is a symbolic link, which stays a link), are flushed to
// disk, and the temporary file is renamed over the file, keeping its
// permissions. On failure the file is untouched, the temporary file is removed
// and the result is 0; otherwise 1.
int ReplaceFileAtomically(const std::string& path, const unsigned char* data, size_t size,
                          const FileSystemCalls& calls = CurrentFileCalls());

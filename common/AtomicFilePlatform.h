#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "common/AtomicFile.h"

// What a file replacement needs of the platform beyond the calls a test may
// replace: AtomicFilePosix.cpp and AtomicFileWin32.cpp.
namespace atomicfile {

// The file the path finally names (symbolic links followed).
std::string ResolveTarget(const std::string& path);

// Whether an existing file may be replaced: not when it is read-only (or, on
// POSIX, not writable for the user), although its folder would allow it.
bool MayReplace(const std::string& target);

// Gives the new file the old one's permissions and owner where the platform's
// rename does not keep them.
void KeepPermissions(FileHandle file, const std::string& target);

// Makes the rename itself durable where the platform needs it.
void FlushFolder(const std::string& folder);

// The names of the regular files in folder ("" for the current one; else it
// ends with a separator) that begin with prefix and were last written longer
// ago than age.
std::vector<std::string> OldFiles(const std::string& folder, const std::string& prefix, std::chrono::seconds age);

}  // namespace atomicfile

#include <windows.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "common/AtomicFile.h"
#include "common/AtomicFilePlatform.h"
#include "common/WidePathWin32.h"

namespace {

HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// The six unique characters: letters and digits from a counter mixed with
// the time and the process, tried again while the name is taken.
FileHandle SystemCreateTemporary(std::string& path) {
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long long counter = 0;
    if (path.size() < kTemporaryUniqueLength) return kNoFile;
    const size_t unique = path.size() - kTemporaryUniqueLength;
    LARGE_INTEGER time;
    QueryPerformanceCounter(&time);
    unsigned long long seed = static_cast<unsigned long long>(time.QuadPart) ^
                              (static_cast<unsigned long long>(GetCurrentProcessId()) << 32);
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned long long value = (seed + ++counter) * 6364136223846793005ULL + 1442695040888963407ULL;
        for (size_t i = 0; i < kTemporaryUniqueLength; ++i) {
            path[unique + i] = kAlphabet[(value >> 20) % 36];
            value = value * 6364136223846793005ULL + 1442695040888963407ULL;
        }
        // No sharing while it is written; hidden, since a leading dot does
        // not hide a file on Windows.
        HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return reinterpret_cast<FileHandle>(handle);
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return kNoFile;
}

std::ptrdiff_t SystemWrite(FileHandle file, const void* data, size_t size) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(Handle(file), data, chunk, &written, nullptr)) {
        errno = EIO;
        return -1;
    }
    return static_cast<std::ptrdiff_t>(written);
}

int SystemFlush(FileHandle file) { return FlushFileBuffers(Handle(file)) ? 0 : -1; }
int SystemClose(FileHandle file) { return CloseHandle(Handle(file)) ? 0 : -1; }

// An existing file is replaced with ReplaceFileW, which keeps its attributes
// (the hidden one of the temporary file goes) and its security; it fails while
// another program holds the file open without sharing. A new file is moved
// into place, no longer hidden.
int SystemRename(const std::string& from, const std::string& to) {
    const std::wstring source = WidePath(from);
    const std::wstring target = WidePath(to);
    if (const DWORD attributes = GetFileAttributesW(target.c_str()); attributes != INVALID_FILE_ATTRIBUTES) {
        if (!ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                          nullptr))
            return -1;
        // Not every implementation keeps the old attributes (Wine leaves the
        // file hidden, as its temporary file was): put them back.
        if (GetFileAttributesW(target.c_str()) != attributes) SetFileAttributesW(target.c_str(), attributes);
        return 0;
    }
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : -1;
}

int SystemUnlink(const std::string& path) {
    const std::wstring wide = WidePath(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(wide.c_str()) ? 0 : -1;
}

}  // namespace

const FileSystemCalls& SystemFileCalls() {
    static const FileSystemCalls calls = {&SystemCreateTemporary, &SystemWrite, &SystemFlush,
                                          &SystemClose,           &SystemRename, &SystemUnlink};
    return calls;
}

namespace atomicfile {

// Links are not followed: a symbolic link on Windows is rare and ReplaceFileW
// works on what the path names.
std::string ResolveTarget(const std::string& path) { return path; }

// Windows refuses to replace a read-only file, but not every implementation of
// its calls does: check the attribute here. A file that another program holds
// open without sharing is refused before anything is written.
bool MayReplace(const std::string& target) {
    const std::wstring wide = WidePath(target);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

void KeepPermissions(FileHandle, const std::string&) {}

void FlushFolder(const std::string&) {}

// FindFirstFileW rather than std::filesystem, whose folder listing on this
// platform takes no path in the long "\\?\" form.
std::vector<std::string> OldFiles(const std::string& folder, const std::string& prefix, std::chrono::seconds age) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(WidePath((folder.empty() ? ".\\" : folder) + prefix + "*").c_str(),
                                     FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return names;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& time) {  // 100 ns
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const unsigned long long ageTicks = static_cast<unsigned long long>(age.count()) * 10000000ULL;
    do {
        const std::string name = WideToUtf8(found.cFileName);
        // The search pattern also matches a file by its short (8.3) name.
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (ticks(now) > ticks(found.ftLastWriteTime) + ageTicks) names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

}  // namespace atomicfile

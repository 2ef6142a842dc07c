#include "app/NewestFile.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "app/FileTime.h"

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 text. A path made from a plain string takes the system's
// narrow encoding, which on Windows is the ANSI code page, so they go through
// char8_t both ways.
fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string ToUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Where the folder part of a path ends: one past its last separator.
size_t FolderLength(const std::string& path) {
#ifdef _WIN32
    const size_t separator = path.find_last_of("/\\:");
#else
    const size_t separator = path.find_last_of('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithCaseless(const std::string& name, const std::string& ending) {
    if (ending.size() > name.size()) return false;
    const size_t start = name.size() - ending.size();
    for (size_t i = 0; i < ending.size(); ++i) {
        if (FoldCase(name[start + i]) != FoldCase(ending[i])) return false;
    }
    return true;
}

}  // namespace

std::string NewestFilePattern(const std::string& path) {
    const size_t folderLength = FolderLength(path);
    const size_t dot = path.rfind('.');
    std::string pattern = path.substr(0, folderLength) + "*";
    if (dot != std::string::npos && dot >= folderLength) pattern += path.substr(dot);
    return pattern;
}

int FindNewestFile(const std::string& pattern, std::string& path) {
    const size_t folderLength = FolderLength(pattern);
    const std::string folder = pattern.substr(0, folderLength);
    std::string ending = pattern.substr(folderLength);
    if (!ending.empty() && ending.front() == '*') ending.erase(0, 1);

    // Full paths name the folder as the system sees it: the current folder for
    // a pattern without one.
    std::error_code error;
    const fs::path searched =
        folder.empty() ? fs::current_path(error) : fs::absolute(FromUtf8(folder), error);
    if (error) return 0;

    fs::directory_iterator entry(searched, error);
    if (error) return 0;

    std::string bestPath;
    int64_t bestTime = 0;
    for (; entry != fs::directory_iterator(); entry.increment(error)) {
        if (error) break;
        const std::string name = ToUtf8(entry->path().filename());
        if (!EndsWithCaseless(name, ending)) continue;
        std::error_code timeError;
        const fs::file_time_type modified = entry->last_write_time(timeError);
        if (timeError) continue;  // e.g. a link to nothing: it has no time to compare
        const int64_t seconds = WholeSecondsSince1970(modified);
        if (seconds > bestTime) {
            bestTime = seconds;
            bestPath = ToUtf8(searched / entry->path().filename());
        }
    }
    if (bestPath.empty()) return 0;
    path = bestPath;
    return 1;
}

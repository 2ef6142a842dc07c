// The save through the Windows file calls: a read-only file, and one another
// program holds open without sharing (GPS TrackMaker does), stay as they were
// with no temporary file beside them; folders named beyond code page 950, and
// paths past 260 characters, save and lose the leftovers of killed saves. The
// temporary file is hidden while it exists; the saved file is not.
#include <gtest/gtest.h>

#include "SaveFaultSupport.h"
#include "common/AtomicFile.h"
#include "common/WidePathWin32.h"

namespace {

std::vector<DWORD> renamedAttributes;  // of each temporary file as it takes the file's place

int RecordingRename(const std::string& from, const std::string& to) {
    renamedAttributes.push_back(GetFileAttributesW(WidePath(from).c_str()));
    return SystemFileCalls().rename(from, to);
}

// The folder's file names, sorted (std::filesystem lists no long path here).
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(WidePath(folder + "/*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(WideToUtf8(found.cFileName));
    }
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(SaveWin32, ProtectedFilesStayAndEveryFolderSaves) {
    enum Hold { None, ReadOnly, OpenWithoutSharing };
    const std::tuple<std::string, Hold, bool> cases[] = {  // the folder below the test's own, saved
        {"", ReadOnly, false},
        {"", OpenWithoutSharing, false},
        {"航點/登山資料 Łódź 한글", None, true},
        {std::string(150, 'a') + "/航點" + std::string(150, 'b'), None, true},  // past 260 characters
    };
    FileSystemCalls recording = SystemFileCalls();
    recording.rename = &RecordingRename;
    const FileSystemCalls& previous = UseFileCalls(recording);
    for (const auto& [below, hold, saved] : cases) {
        SCOPED_TRACE(below);
        TempDir dir;
        const std::string folder = Utf8Path(dir.path()) + "/" + below, path = folder + "/repair.gtm";
        // What a killed save left, an hour ago: a save that works removes it.
        const std::string leftover = ".repair.gtm.lorvane-abc123";
        std::filesystem::create_directories(NativePath(folder));
        const std::vector<uint8_t> damaged = DamagedFile();
        std::ofstream(NativePath(path), std::ios::binary) << std::string(damaged.begin(), damaged.end());
        std::ofstream(NativePath(folder + "/" + leftover)) << "abc";
        std::filesystem::last_write_time(NativePath(folder + "/" + leftover),
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        GtmDocument document;
        ASSERT_TRUE(LoadAndCorrect(document, path));

        const std::wstring wide = WidePath(path);
        if (hold == ReadOnly) SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE held = hold == OpenWithoutSharing
                          ? CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                          : INVALID_HANDLE_VALUE;
        renamedAttributes.clear();
        EXPECT_EQ(document.Save(), saved ? 1 : 0);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

        std::ifstream in(NativePath(path), std::ios::binary);
        EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), DamagedFile(saved));
        const std::vector<std::string> names = {leftover, "repair.gtm"};
        EXPECT_EQ(Names(folder), std::vector<std::string>(names.begin() + (saved ? 1 : 0), names.end()));
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        EXPECT_EQ((attributes & FILE_ATTRIBUTE_READONLY) != 0, hold == ReadOnly);
        EXPECT_EQ(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
        ASSERT_EQ(renamedAttributes.size(), saved ? 1u : 0u);
        EXPECT_TRUE(!saved || (renamedAttributes[0] & FILE_ATTRIBUTE_HIDDEN));
        SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    UseFileCalls(previous);
}

#include "sources/ReadWholeFile.h"

#include <windows.h>

#include <cstdint>

#include "common/WidePathWin32.h"

namespace {

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() { CloseHandle(handle); }
};

}  // namespace

int ReadWholeFile(const std::string& path, std::vector<unsigned char>& buffer) {
    // Others may go on reading and writing the file meanwhile, as GPS
    // TrackMaker does with the file it has open.
    HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    HandleCloser closer{handle};
    if (GetFileType(handle) != FILE_TYPE_DISK) return 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size) || size.QuadPart <= 0) return 0;
    if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX / 2) return 0;
    std::vector<unsigned char> data;
    try {
        data.resize(static_cast<size_t>(size.QuadPart));
    } catch (...) {
        return 0;
    }
    // ReadFile takes at most 4 GiB at a time; a read that returns fewer bytes
    // than asked (the file shrank, or a read error) is a failure: the parsers
    // must never see a partial image.
    size_t done = 0;
    while (done < data.size()) {
        const size_t left = data.size() - done;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD read = 0;
        if (!ReadFile(handle, data.data() + done, chunk, &read, nullptr) || read != chunk) return 0;
        done += read;
    }
    buffer = std::move(data);
    return 1;
}

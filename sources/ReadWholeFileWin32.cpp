#include "sources/ReadWholeFile.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>

#include "common/WidePathWin32.h"

namespace {

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() { CloseHandle(handle); }
};

// The file at the UTF-8 path opened for reading, or INVALID_HANDLE_VALUE when
// it cannot be opened or is no file on disk (a folder cannot be opened so).
// Others may go on reading and writing the file meanwhile, as GPS TrackMaker
// does with the file it has open.
HANDLE OpenDiskFile(const std::string& path) {
    HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) == FILE_TYPE_DISK) return handle;
    CloseHandle(handle);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

InputFile OpenInputFile(const std::string& path) {
    HANDLE handle = OpenDiskFile(path);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    // The C runtime's stream takes the handle over: closing the stream closes it.
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "rb");
    if (!file) _close(descriptor);
    return InputFile(file);
}

int ReadWholeFile(const std::string& path, std::vector<unsigned char>& buffer) {
    HANDLE handle = OpenDiskFile(path);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    HandleCloser closer{handle};
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

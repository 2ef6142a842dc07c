#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdarg>
#include <string>

#include "cli/Console.h"
#include "common/WidePathWin32.h"

void PrepareConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void Print(std::FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);
    if (text.empty()) return;

    HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode)) {
        std::fflush(stream);
        // The console wants "\r\n" to begin a new line.
        std::wstring wide;
        for (wchar_t c : Utf8ToWide(text)) {
            if (c == L'\n') wide.push_back(L'\r');
            wide.push_back(c);
        }
        DWORD written = 0;
        for (size_t done = 0; done < wide.size(); done += written) {
            const DWORD chunk = static_cast<DWORD>(wide.size() - done > 8192 ? 8192 : wide.size() - done);
            if (!WriteConsoleW(console, wide.data() + done, chunk, &written, nullptr) || written == 0) return;
        }
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
}

#include <cstdarg>
#include <string>

#include "cli/Console.h"

void PrepareConsole() {}

void Print(std::FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stream, format, arguments);
    va_end(arguments);
}

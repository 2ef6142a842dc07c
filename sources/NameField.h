#pragma once

#include <cstddef>
#include <string_view>

// Copies text into a name field of capacity bytes, always NUL-terminated and
// zero-filled after the text. Text that does not fit is cut after the last
// whole character that fits: walking from the first byte, a byte of 0x80 or
// more begins a two-byte character. Returns the stored length.
size_t StoreName(char* field, size_t capacity, std::string_view text);

// The bytes of a NUL-terminated field, up to its first NUL or its end.
std::string_view FieldText(const char* field, size_t capacity);

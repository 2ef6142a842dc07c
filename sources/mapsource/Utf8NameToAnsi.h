#pragma once

#include <cstddef>

// Stores a NUL-terminated UTF-8 name in a name field of capacity bytes as
// code page 950 text. The name is decoded into at most 31 UTF-16 units; a
// character the code page lacks becomes "?", and text that does not fit the
// field is cut after its last whole character. Always returns 1.
int Utf8NameToAnsi(char* name, size_t capacity, const char* utf8);

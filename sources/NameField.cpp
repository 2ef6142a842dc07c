#include "sources/NameField.h"

#include <cstring>

size_t StoreName(char* field, size_t capacity, std::string_view text) {
    std::memset(field, 0, capacity);
    if (capacity == 0) return 0;
    size_t length = text.size();
    if (length > capacity - 1) {
        size_t whole = 0;
        for (size_t i = 0; i < capacity - 1;) {
            size_t width = static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
            if (i + width > capacity - 1) break;
            i += width;
            whole = i;
        }
        length = whole;
    }
    std::memcpy(field, text.data(), length);
    return length;
}

std::string_view FieldText(const char* field, size_t capacity) {
    const void* nul = std::memchr(field, 0, capacity);
    return std::string_view(field, nul ? static_cast<const char*>(nul) - field : capacity);
}

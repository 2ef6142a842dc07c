#include "app/StringTable.h"

const char* LoadMessageString(int id) {
    switch (id) {
#define LORVANE_STRING(stringId, text) \
    case stringId:                     \
        return text;
#include "app/StringTable.def"
#undef LORVANE_STRING
    default:
        return "";
    }
}

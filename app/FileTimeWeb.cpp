#include "app/FileTime.h"

#include <chrono>

// The web build's C++ library (LLVM's libc++ 13) lacks file_clock::to_sys;
// its file clock counts from 1970, as the system clock does.
int64_t WholeSecondsSince1970(std::filesystem::file_time_type time) {
    return std::chrono::floor<std::chrono::seconds>(time).time_since_epoch().count();
}

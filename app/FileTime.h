#pragma once

#include <cstdint>
#include <filesystem>

// A file's modification time as whole seconds since 1970 (UTC), rounded down,
// so 0.5 seconds before 1970 is -1.
int64_t WholeSecondsSince1970(std::filesystem::file_time_type time);

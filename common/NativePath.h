#pragma once

#include <filesystem>
#include <string>

// Paths inside the program are UTF-8 std::string. std::filesystem::path built
// from a plain std::string reads it in the system's ANSI code page on Windows,
// which mangles a folder named 航點; these build the path from the UTF-8 text
// itself, on every platform.
std::filesystem::path NativePath(const std::string& utf8);

// The UTF-8 text of a path.
std::string Utf8Path(const std::filesystem::path& path);

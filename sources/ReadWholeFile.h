#pragma once

#include <string>
#include <vector>

// Reads the whole file at path into buffer. Returns 1, or 0 when the file
// cannot be opened, is empty, or cannot be read in full.
int ReadWholeFile(const std::string& path, std::vector<unsigned char>& buffer);

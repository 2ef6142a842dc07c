#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// Reads the whole file at path into buffer. Returns 1, or 0 when the file
// cannot be opened, is empty, or cannot be read in full.
int ReadWholeFile(const std::string& path, std::vector<unsigned char>& buffer);

// A regular file opened for reading from its start, for a reader that streams
// it; null when path names no regular file or it cannot be opened. The path is
// UTF-8 on every platform, as for ReadWholeFile.
struct CloseInputFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using InputFile = std::unique_ptr<std::FILE, CloseInputFile>;
InputFile OpenInputFile(const std::string& path);

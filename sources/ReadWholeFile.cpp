#include "sources/ReadWholeFile.h"

#include <cstdio>
#include <filesystem>
#include <memory>

int ReadWholeFile(const std::string& path, std::vector<unsigned char>& buffer) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return 0;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file.get());
    if (size <= 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return 0;
    std::vector<unsigned char> data;
    try {
        data.resize(static_cast<size_t>(size));
    } catch (...) {
        return 0;
    }
    // A read that returns fewer bytes than the size (the file shrank, or a
    // read error) is a failure: the parsers must never see a partial image.
    if (std::fread(data.data(), 1, data.size(), file.get()) != data.size()) return 0;
    buffer = std::move(data);
    return 1;
}

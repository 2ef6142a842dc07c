#include "sources/ReadWholeFile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include <sys/mman.h>

namespace {

// A large file image is touched page by page as it is read; with 2 MiB pages
// instead of 4 KiB ones that costs a few hundred page faults instead of
// thousands. Only a hint: where the system has no such pages, nothing changes.
void AskForHugePages(unsigned char* data, size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    if (size < 2 * kHugePage) return;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kHugePage - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

}  // namespace

InputFile OpenInputFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return nullptr;
    return InputFile(std::fopen(path.c_str(), "rb"));
}

int ReadWholeFile(const std::string& path, std::vector<unsigned char>& buffer) {
    const InputFile file = OpenInputFile(path);
    if (!file) return 0;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file.get());
    if (size <= 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return 0;
    std::vector<unsigned char> data;
    try {
        data.reserve(static_cast<size_t>(size));
        AskForHugePages(data.data(), data.capacity());
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

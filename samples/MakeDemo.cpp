// Writes the demo files, demo.wtr, demo.gpx and demo.gtm, into the folder given (the
// current folder by default).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "samples/DemoPair.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "lorvane-make-demo: cannot write %s\n", path.string().c_str());
        return false;
    }
    std::printf("%s (%zu bytes)\n", path.string().c_str(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: lorvane-make-demo [folder]\n");
        return 2;
    }
    const std::filesystem::path folder = argc == 2 ? argv[1] : ".";
    const bool written = WriteFile(folder / "demo.wtr", MakeDemoWtr()) &&
                         WriteFile(folder / "demo.gpx", MakeDemoGpx()) &&
                         WriteFile(folder / "demo.gtm", MakeDemoGtm());
    return written ? 0 : 1;
}

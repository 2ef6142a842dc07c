// lorvane-write-icons FOLDER: writes the program's icon as lorvane.ico (16 and
// 32 pixels, for the Windows resource) and as lorvane-16.png, lorvane-32.png
// and lorvane-48.png (for the desktop's hicolor icon theme).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/icon/IconFiles.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "lorvane-write-icons: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lorvane-write-icons FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    bool written = WriteFile(folder / "lorvane.ico", EncodeIco({DrawAppIcon(16), DrawAppIcon(32)}));
    for (int side : {16, 32, 48}) {
        written = WriteFile(folder / ("lorvane-" + std::to_string(side) + ".png"), EncodePng(DrawAppIcon(side))) &&
                  written;
    }
    return written ? 0 : 1;
}

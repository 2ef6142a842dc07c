// lorvane-make-inputs: writes the deterministic benchmark inputs to a folder.
//
//   lorvane-make-inputs [--seed N] [--waypoints N] [--tracks N] [--points N]
//                       [--kinds wtr,evo,gdb,gdb611,mps,gtm,gpx] FOLDER
//
// Each kind goes to FOLDER/bench.<kind> (gdb611: names in code page 950 as
// MapSource before 6.12 writes them, to bench-611.gdb). The same options always
// give the same bytes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bench/Inputs.h"

namespace {

const char kUsage[] =
    "usage: lorvane-make-inputs [--seed N] [--waypoints N] [--tracks N] [--points N]\n"
    "                           [--kinds wtr,evo,gdb,gdb611,mps,gtm,gpx] FOLDER\n";

bool Number(const char* text, size_t& value) {
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (!end || *end != '\0' || end == text) return false;
    value = static_cast<size_t>(parsed);
    return true;
}

bool Write(const std::string& path, const void* data, size_t size) {
    if (!bench::WriteFile(path, data, size)) {
        std::fprintf(stderr, "lorvane-make-inputs: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s %zu bytes\n", path.c_str(), size);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bench::Sizes sizes;
    size_t seed = 1;
    std::string kinds = "wtr,evo,gdb,mps,gtm";
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--seed" && hasValue && Number(argv[i + 1], seed)) {
            ++i;
        } else if (arg == "--waypoints" && hasValue && Number(argv[i + 1], sizes.waypoints)) {
            ++i;
        } else if (arg == "--tracks" && hasValue && Number(argv[i + 1], sizes.tracks)) {
            ++i;
        } else if (arg == "--points" && hasValue && Number(argv[i + 1], sizes.points)) {
            ++i;
        } else if (arg == "--kinds" && hasValue) {
            kinds = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && folder.empty()) {
            folder = arg;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (folder.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const bench::World world = bench::MakeWorld(seed, sizes);
    // The kinds asked for, as a comma-separated list.
    auto wants = [&](std::string_view kind) {
        std::string_view rest = kinds;
        while (!rest.empty()) {
            const size_t comma = rest.find(',');
            if (rest.substr(0, comma) == kind) return true;
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        return false;
    };
    bool ok = true;
    auto save = [&](const char* name, const std::vector<unsigned char>& bytes) {
        ok = Write(folder + "/" + name, bytes.data(), bytes.size()) && ok;
    };
    if (wants("wtr")) save("bench.wtr", bench::WtrFile(world));
    if (wants("evo")) save("bench.evo", bench::EvoFile(world));
    if (wants("gdb")) save("bench.gdb", bench::GdbFile(world, true));
    if (wants("gdb611")) save("bench-611.gdb", bench::GdbFile(world, false));
    if (wants("mps")) save("bench.mps", bench::MpsFile(world));
    if (wants("gtm")) save("bench.gtm", bench::GtmFile(world, seed + 1));
    if (wants("gpx")) {
        const std::string gpx = bench::GpxFile(world);
        ok = Write(folder + "/bench.gpx", gpx.data(), gpx.size()) && ok;
    }
    return ok ? 0 : 1;
}

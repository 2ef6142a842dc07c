// Loading each kind of file at realistic large sizes, the name correction from
// 1,000 x 1,000 to 100,000 x 100,000 waypoints (realistic ones, and alike ones
// that only their positions tell apart), and saving. The inputs come
// from the deterministic generator and are written to a folder of their own,
// removed at the end (LORVANE_BENCH_DIR chooses where it is made).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/Inputs.h"
#include "common/CodePage.h"
#include "common/LineList.h"
#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"
#include "sources/CreateWaypointSource.h"
#include "sources/WaypointSource.h"

namespace {

namespace fs = std::filesystem;

class InputFolder {
public:
    InputFolder() {
        const char* base = std::getenv("LORVANE_BENCH_DIR");
        std::string pattern = ((base && *base) ? fs::path(base) : fs::temp_directory_path()) / "lorvane-bench-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (char* made = mkdtemp(buffer.data())) path_ = made;
    }
    ~InputFolder() {
        std::error_code error;
        if (!path_.empty()) fs::remove_all(path_, error);
    }
    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        const std::string path = path_ + "/" + name;
        if (!bench::WriteFile(path, bytes.data(), bytes.size())) std::abort();
        return path;
    }

private:
    std::string path_;
};

InputFolder& Folder() {
    static InputFolder folder;
    return folder;
}

// The large Garmin files: 10,000 waypoints (9,999 in EVO, its limit) and
// 1,000,000 track points in 100 tracks (in one track in the GPX file).
const std::string& LargeInput(const std::string& kind) {
    static std::map<std::string, std::string> paths;
    auto found = paths.find(kind);
    if (found != paths.end()) return found->second;
    static const bench::World world = bench::MakeWorld(1, bench::Sizes{});
    std::vector<unsigned char> bytes;
    if (kind == "wtr") bytes = bench::WtrFile(world);
    else if (kind == "evo") bytes = bench::EvoFile(world);
    else if (kind == "gdb") bytes = bench::GdbFile(world, true);
    else if (kind == "gdb611") bytes = bench::GdbFile(world, false);
    else if (kind == "mps") bytes = bench::MpsFile(world);
    else if (kind == "gpx") {
        // As devices log it: the 1,000,000 points in one track.
        const std::string gpx = bench::GpxFile(bench::MakeWorld(1, bench::Sizes{10000, 1, 1000000}));
        bytes.assign(gpx.begin(), gpx.end());
    } else bytes = bench::GtmFile(world, 2);
    const std::string name = kind == "gdb611" ? "large-611.gdb" : "large." + kind;
    return paths[kind] = Folder().Write(name, bytes);
}

void LoadGarmin(benchmark::State& state, const std::string& kind) {
    const std::string& path = LargeInput(kind);
    int64_t points = 0;
    int32_t waypoints = 0;
    for (auto _ : state) {
        std::unique_ptr<WaypointSource> source = CreateWaypointSource(path);
        VectorLineList lines;
        if (!source || !source->Load(path, &lines, nullptr)) {
            state.SkipWithError("not loaded");
            break;
        }
        waypoints = source->waypointCount;
        points = 0;
        for (int32_t k = 0; k < source->trackCount; ++k) points += source->tracks[k].pointCount;
        benchmark::DoNotOptimize(lines.lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
    state.counters["waypoints"] = waypoints;
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK_CAPTURE(LoadGarmin, wtr, std::string("wtr"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(LoadGarmin, evo, std::string("evo"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(LoadGarmin, gdb, std::string("gdb"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(LoadGarmin, gdb611, std::string("gdb611"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(LoadGarmin, mps, std::string("mps"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(LoadGarmin, gpx, std::string("gpx"))->Unit(benchmark::kMillisecond)->UseRealTime();

// A Garmin file and the GTM file made from it, both with count waypoints and
// loaded; the symbols as loaded, to put back before every correction so that
// each one starts from the same markers.
struct CorrectionInput {
    WaypointSource source;
    GtmDocument document;
    std::vector<int16_t> symbols;
    std::string gtmPath;
};

// Alike inputs are the hard case for the index: every waypoint at the same
// altitude with a name of two Chinese characters, so that every source is a
// candidate of every GTM waypoint. Waypoints made on a map are alike too
// (three Chinese characters, no elevations), and only their positions tell
// them apart: each GTM waypoint at its Garmin waypoint's position, or all of
// them moved away.
enum class Kind { kRealistic, kAlike, kMapMade, kMapMadeMoved };

CorrectionInput& Correction(int64_t count, Kind kind = Kind::kRealistic) {
    static std::map<std::pair<int64_t, Kind>, std::unique_ptr<CorrectionInput>> inputs;
    std::unique_ptr<CorrectionInput>& input = inputs[{count, kind}];
    if (input) return *input;
    input = std::make_unique<CorrectionInput>();
    bench::World world = bench::MakeWorld(static_cast<uint64_t>(count), bench::Sizes{static_cast<size_t>(count), 0, 0});
    if (kind == Kind::kAlike) {
        for (bench::Waypoint& w : world.waypoints) {
            w.altitude = 1500.0f;
            if (static_cast<unsigned char>(w.name[0]) < 0x80 || w.name.size() != 4) w.name = std::string("\xA4\xA4\xA4\xA5", 4);
        }
    }
    if (kind == Kind::kMapMade || kind == Kind::kMapMadeMoved) bench::MakeAlikeWithoutElevations(world, 7);
    const std::string stem = "correct-" + std::to_string(static_cast<int>(kind)) + "-" + std::to_string(count);
    const std::string garminPath = Folder().Write(stem + ".wtr", bench::WtrFile(world));
    const double shift = kind == Kind::kMapMadeMoved ? 0.001 : 0.0;
    input->gtmPath = Folder().Write(stem + ".gtm", bench::GtmFile(world, static_cast<uint64_t>(count) + 1, shift));
    VectorLineList lines;
    if (!input->source.Load(garminPath, nullptr, nullptr) || !input->document.Load(input->gtmPath, lines)) std::abort();
    for (int32_t j = 0; j < input->source.waypointCount; ++j) input->symbols.push_back(input->source.waypoints[j].symbol);
    return *input;
}

void RestoreSymbols(CorrectionInput& input) {
    for (int32_t j = 0; j < input.source.waypointCount; ++j) input.source.waypoints[j].symbol = input.symbols[j];
}

template <bool kScan>
void Correct(benchmark::State& state, Kind kind) {
    CorrectionInput& input = Correction(state.range(0), kind);
    for (auto _ : state) {
        state.PauseTiming();
        RestoreSymbols(input);
        VectorLineList lines;
        state.ResumeTiming();
        if (kScan) {
            correction::CorrectNamesByScan(input.document, input.source.waypointCount, input.source.waypoints.get(), lines);
        } else {
            input.document.CorrectNames(input.source.waypointCount, input.source.waypoints.get(), lines);
        }
        benchmark::DoNotOptimize(lines.lines.data());
    }
    state.counters["corrected"] = input.document.correctedCount;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
void CorrectNames(benchmark::State& state) { Correct<false>(state, Kind::kRealistic); }
void CorrectNamesByScan(benchmark::State& state) { Correct<true>(state, Kind::kRealistic); }
void CorrectNamesAlike(benchmark::State& state) { Correct<false>(state, Kind::kAlike); }
void CorrectNamesAlikeByScan(benchmark::State& state) { Correct<true>(state, Kind::kAlike); }
void CorrectNamesMapMade(benchmark::State& state) { Correct<false>(state, Kind::kMapMade); }
void CorrectNamesMapMadeMoved(benchmark::State& state) { Correct<false>(state, Kind::kMapMadeMoved); }
void CorrectNamesMapMadeByScan(benchmark::State& state) { Correct<true>(state, Kind::kMapMade); }
BENCHMARK(CorrectNames)->Arg(1000)->Arg(3000)->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(CorrectNamesByScan)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(CorrectNamesAlike)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(CorrectNamesAlikeByScan)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(CorrectNamesMapMade)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(CorrectNamesMapMadeMoved)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(CorrectNamesMapMadeByScan)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

void LoadGtm(benchmark::State& state) {
    const std::string& path = Correction(state.range(0)).gtmPath;
    for (auto _ : state) {
        GtmDocument document;
        VectorLineList lines;
        if (!document.Load(path, lines)) {
            state.SkipWithError("not loaded");
            break;
        }
        benchmark::DoNotOptimize(lines.lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(LoadGtm)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Saving writes the whole image to a new file, flushes it to disk and renames
// it over the old one.
void SaveGtm(benchmark::State& state) {
    CorrectionInput& input = Correction(state.range(0));
    RestoreSymbols(input);
    VectorLineList lines;
    input.document.CorrectNames(input.source.waypointCount, input.source.waypoints.get(), lines);
    for (auto _ : state) {
        if (!input.document.Save()) {
            state.SkipWithError("not saved");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.document.imageSize));
}
BENCHMARK(SaveGtm)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the command line does with each listed line before printing it.
void ListLinesToUtf8(benchmark::State& state) {
    std::unique_ptr<WaypointSource> source = CreateWaypointSource(LargeInput("gdb"));
    VectorLineList lines;
    source->Load(LargeInput("gdb"), &lines, nullptr);
    for (auto _ : state) {
        size_t bytes = 0;
        for (const std::string& line : lines.lines) bytes += codepage::Cp950ToUtf8(line).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.lines.size()));
}
BENCHMARK(ListLinesToUtf8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

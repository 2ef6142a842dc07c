#include "sources/CreateWaypointSource.h"

#include <strings.h>

#include "sources/EvoSource.h"
#include "sources/GpxSource.h"
#include "sources/mapsource/GdbSource.h"
#include "sources/mapsource/MpsSource.h"

namespace {

struct ReaderKind {
    const char* extension;
    std::unique_ptr<WaypointSource> (*create)();
};

template <typename Reader>
std::unique_ptr<WaypointSource> Make() {
    return std::make_unique<Reader>();
}

// The one table from extension to reader, compared in this order.
constexpr ReaderKind kReaderKinds[] = {
    {".wtr", &Make<WaypointSource>},
    {".evo", &Make<EvoSource>},
    {".mps", &Make<MpsSource>},
    {".gdb", &Make<GdbSource>},
    {".gpx", &Make<GpxSource>},
};

}  // namespace

std::string PathExtension(const std::string& path) {
    // Both separators count, as in the paths of the platform the files come from.
    size_t nameStart = path.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return path.substr(dot);
}

bool IsGtmPath(const std::string& path) { return strcasecmp(PathExtension(path).c_str(), ".gtm") == 0; }

std::unique_ptr<WaypointSource> CreateWaypointSource(const std::string& path) {
    const std::string extension = PathExtension(path);
    for (const ReaderKind& kind : kReaderKinds) {
        if (strcasecmp(extension.c_str(), kind.extension) == 0) return kind.create();
    }
    return nullptr;
}

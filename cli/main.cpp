// lorvane-cli: the repair of the dialog, for scripts and batch use.
//
//   lorvane-cli list [--json] FILE
//   lorvane-cli repair [--json] [--dry-run] [--prefix[=TEXT]] GARMIN_FILE GTM_FILE
//   lorvane-cli --version
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Cli.h"
#include "cli/Console.h"
#include "cli/JsonWriter.h"
#include "cli/Listing.h"
#include "common/CodePage.h"
#include "gtm/GtmDocument.h"
#include "sources/CreateWaypointSource.h"
#include "sources/NameField.h"

namespace {

constexpr int kUsageError = 2;

const char kUsage[] =
    "usage: lorvane-cli list [--json] FILE\n"
    "       lorvane-cli repair [--json] [--dry-run] [--prefix[=TEXT]] GARMIN_FILE GTM_FILE\n"
    "       lorvane-cli --version\n"
    "\n"
    "list    lists the waypoints of a Garmin file (.wtr, .evo, .mps, .gdb, .gpx) or a GTM file (.gtm)\n"
    "repair  corrects the waypoint names of GTM_FILE from GARMIN_FILE and saves GTM_FILE in place\n"
    "  --json      print one JSON object instead of text\n"
    "  --dry-run   do everything but save\n"
    "  --prefix    put a two-byte prefix (TEXT, default the arrow) before names that begin\n"
    "              with a letter or digit\n";

int Usage(const char* problem) {
    if (problem) Print(stderr, "lorvane-cli: %s\n", problem);
    Print(stderr, "%s", kUsage);
    return kUsageError;
}

struct Options {
    bool json = false;
    bool dryRun = false;
    std::optional<std::string> prefix;  // set by --prefix; empty text means the default
    std::vector<std::string> files;
};

bool ParseOptions(int argc, char** argv, bool allowRepairOptions, Options& options, std::string& problem) {
    bool filesOnly = false;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (filesOnly || arg.empty() || arg[0] != '-' || arg == "-") {
            options.files.emplace_back(arg);
        } else if (arg == "--") {
            filesOnly = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (allowRepairOptions && arg == "--dry-run") {
            options.dryRun = true;
        } else if (allowRepairOptions && arg == "--prefix") {
            options.prefix = std::string();
        } else if (allowRepairOptions && arg.rfind("--prefix=", 0) == 0) {
            options.prefix = std::string(arg.substr(9));
        } else {
            problem = "unknown option " + std::string(arg);
            return false;
        }
    }
    return true;
}

void PrintLines(const VectorLineList& lines) {
    for (const std::string& line : lines.lines) Print(stdout, "%s\n", codepage::Cp950ToUtf8(line).c_str());
}

// The corrected names that no position confirms: how many, then each GTM list
// line with the name it received.
void PrintUncertain(const GtmDocument& document, const VectorLineList& gtmLines) {
    int count = 0;
    for (int32_t i = 0; i < document.waypointCount; ++i) count += document.waypoints[i].uncertain;
    if (count == 0) return;
    Print(stderr, "warning: uncertain names: %d (no waypoint at the same position confirms them; they may belong "
                  "to other waypoints)\n", count);
    for (int32_t i = 0; i < document.waypointCount; ++i) {
        const GtmWaypoint& row = document.waypoints[i];
        if (!row.uncertain) continue;
        const std::string line = static_cast<size_t>(i) < gtmLines.lines.size() ? gtmLines.lines[i] : std::string();
        Print(stderr, "  %s → %s\n", codepage::Cp950ToUtf8(line).c_str(),
              codepage::Cp950ToUtf8(FieldText(row.newName, sizeof row.newName)).c_str());
    }
}

int List(const Options& options) {
    if (options.files.size() != 1) return Usage("list takes one file");
    const std::string& path = options.files[0];
    int loaded = 0;
    if (IsGtmPath(path)) {
        GtmDocument document;
        VectorLineList lines;
        loaded = document.Load(path, lines);
        if (options.json) {
            JsonWriter json(stdout);
            WriteGtmJson(json, document, loaded, lines);
            json.Finish();
        } else {
            PrintLines(lines);
            Print(stderr, "%s: %s, %d waypoints\n", path.c_str(), loaded ? "loaded" : "not loaded",
                         document.waypointCount);
        }
    } else {
        std::unique_ptr<WaypointSource> source = CreateWaypointSource(path);
        if (!source) return Usage(("no reader for the extension of " + path).c_str());
        source->keepTrackPoints = options.json;  // only the JSON shows points
        VectorLineList lines;
        VectorLineList trackLines;
        loaded = source->Load(path, &lines, options.json ? &trackLines : nullptr);
        if (options.json) {
            JsonWriter json(stdout);
            WriteGarminJson(json, *source, loaded, lines, trackLines);
            json.Finish();
        } else {
            PrintLines(lines);
            Print(stderr, "%s: %s, %d waypoints, %d tracks\n", path.c_str(), loaded ? "loaded" : "not loaded",
                         source->waypointCount, source->trackCount);
        }
    }
    return loaded ? 0 : 1;
}

int Repair(const Options& options) {
    if (options.files.size() != 2) return Usage("repair takes a Garmin file and a GTM file");
    const std::string& garminPath = options.files[0];
    const std::string& gtmPath = options.files[1];
    std::unique_ptr<WaypointSource> source = CreateWaypointSource(garminPath);
    if (!source) return Usage(("no reader for the extension of " + garminPath).c_str());
    source->keepTrackPoints = options.json;  // only the JSON shows points

    // Like the dialog: the Garmin file without a track list, and the correction
    // runs on whatever a failed Garmin load kept.
    VectorLineList garminLines;
    const int garminLoaded = source->Load(garminPath, &garminLines, nullptr);
    GtmDocument document;
    VectorLineList gtmLines;
    const int gtmLoaded = document.Load(gtmPath, gtmLines);
    JsonWriter gtmJson;
    if (options.json) WriteGtmJson(gtmJson, document, gtmLoaded, gtmLines);

    const bool canCorrect = document.waypointCount != 0 && source->waypointCount != 0 && document.waypoints &&
                            source->waypoints;
    VectorLineList corrected;
    if (canCorrect) document.CorrectNames(source->waypointCount, source->waypoints.get(), corrected);

    bool needsPrefix = false;
    bool prefixApplied = false;
    if (canCorrect && document.correctedCount != 0) {
        needsPrefix = document.NeedsPrefix() != 0;
        if (needsPrefix && options.prefix) {
            document.ApplyPrefix(PrefixBytes(*options.prefix).c_str());
            prefixApplied = true;
        }
    }
    std::optional<int> saved;
    if (!options.dryRun) saved = document.Save();

    int status = 0;
    if (!canCorrect || (saved && *saved == 0)) {
        status = 1;
    } else if (document.correctedCount < document.waypointCount) {
        status = 3;
    }

    if (options.json) {
        JsonWriter json(stdout);
        json.BeginObject();
        json.Key("garmin");
        WriteGarminJson(json, *source, garminLoaded, garminLines, VectorLineList());
        json.Key("gtm").Raw(gtmJson.str());
        json.Key("corrected").Bool(canCorrect);
        json.Key("correctedCount").Int(document.correctedCount);
        json.Key("lines");
        WriteLinesJson(json, corrected);
        json.Key("rows");
        WriteRowsJson(json, document);
        json.Key("needsPrefix").Bool(needsPrefix);
        json.Key("prefixApplied").Bool(prefixApplied);
        json.Key("saved");
        if (saved) json.Int(*saved); else json.Null();
        json.EndObject();
        json.Finish();
        return status;
    }

    PrintLines(corrected);
    Print(stderr, "Garmin %s: %s, %d waypoints\n", garminPath.c_str(), garminLoaded ? "loaded" : "not loaded",
                 source->waypointCount);
    Print(stderr, "GTM %s: %s, %d waypoints\n", gtmPath.c_str(), gtmLoaded ? "loaded" : "not loaded",
                 document.waypointCount);
    if (!canCorrect) {
        Print(stderr, "error: nothing to correct (both files need waypoints)\n");
    } else {
        Print(stderr, "corrected %d of %d waypoints%s\n", document.correctedCount, document.waypointCount,
                     prefixApplied ? ", prefix applied" : "");
        PrintUncertain(document, gtmLines);
        if (document.correctedCount < document.waypointCount)
            Print(stderr, "warning: some waypoints found no matching name; saving is not advised\n");
        if (needsPrefix && !prefixApplied)
            Print(stderr, "note: some names begin with a letter or digit; --prefix puts the arrow before them\n");
    }
    if (!saved) {
        Print(stderr, "dry run: %s not written\n", gtmPath.c_str());
    } else if (*saved == 0) {
        Print(stderr, "error: could not save %s; the file was not changed\n", gtmPath.c_str());
    } else if (document.correctedCount != 0) {
        Print(stderr, "saved %s\n", gtmPath.c_str());
    }
    return status;
}

}  // namespace

int RunCli(int argc, char** argv) {
    if (argc < 2) return Usage(nullptr);
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        Print(stdout, "%s", kUsage);
        return 0;
    }
    if (command == "--version") {
        Print(stdout, "lorvane-cli %s\n", LORVANE_VERSION);
        return 0;
    }
    const bool repair = command == "repair";
    if (!repair && command != "list") return Usage(("unknown command " + std::string(command)).c_str());
    Options options;
    std::string problem;
    if (!ParseOptions(argc, argv, repair, options, problem)) return Usage(problem.c_str());
    return repair ? Repair(options) : List(options);
}

// The name correction: for every GTM waypoint, find the Garmin waypoint it was
// made from and take its name.
//
// The rules read the sources of a GTM waypoint in file order (first and last
// matches, the source at the same position, the markers of earlier waypoints),
// and a source can only take part when its window holds the GTM altitude and
// its name reduces to the GTM name's key. The index hands over exactly those
// sources, in file order, so the outcome is that of visiting every source;
// where many sources are alike, it works out from its groups what visiting
// them would decide.
//
// Those rules follow the order of the two files, which a GTM file does not
// always keep; the waypoint's position does not depend on it. So a candidate
// that lies at the GTM waypoint's own position overrules them, and a name that
// no position confirms is flagged as uncertain when another waypoint could
// have been meant.
#include <cstring>

#include "gtm/CorrectionIndex.h"
#include "gtm/GtmDocument.h"
#include "sources/ListLines.h"
#include "sources/NameField.h"

namespace correction {
namespace {

// Below this many GTM-source pairs building the index costs more than it saves.
constexpr int64_t kSmallestIndexedWork = 1024;

// The search for one GTM waypoint: the sources are offered one by one in file
// order, each after it has passed the altitude test.
class RowSearch {
public:
    RowSearch(GtmWaypoint& row, int32_t index, WaypointRecord* sources)
        : row_(row), index_(index), sources_(sources), altitude_(CapAltitude(row.altitude)),
          length_(TrimmedLength(row.name)) {
        row_.altitudeMatches = row_.caselessMatches = row_.maskedMatches = row_.maskedCaselessMatches = 0;
        std::memset(row_.newName, 0, sizeof row_.newName);
        row_.source = -1;
        row_.atPosition = row_.uncertain = false;
    }

    double altitude() const { return altitude_; }
    size_t length() const { return length_; }

    // Compares the name of source j, whose window holds the altitude.
    void Compare(int32_t j) {
        const WaypointRecord& record = sources_[j];
        const auto* gtmName = reinterpret_cast<const unsigned char*>(row_.name);
        const std::string_view sourceName = FieldText(record.name, sizeof record.name);
        if (sourceName.size() != length_) return;
        const size_t n = length_;
        unsigned char w[12] = {};
        std::memcpy(w, sourceName.data(), n);

        // A: equal but for the case of ASCII letters.
        bool equal = true;
        for (size_t k = 0; k < n && equal; ++k) equal = Upper(w[k]) == Upper(gtmName[k]);
        if (equal) {
            ++row_.caselessMatches;
            Take(j);
            if (caselessAtPosition_ < 0 && AtPosition(row_.latitude, row_.longitude, record)) caselessAtPosition_ = j;
        }

        // B: equal once the source's bytes of 0x80 and above are zero, as the
        // damaged file holds them.
        for (size_t k = 0; k < n; ++k) {
            if (w[k] >= 0x80) w[k] = 0;
        }
        if (std::memcmp(w, gtmName, n) == 0) {
            ++row_.maskedMatches;
            const bool chosenTaken = chosen_ != -1 && sources_[chosen_].symbol == kTakenMarker;
            if (row_.caselessMatches == 0 && (row_.maskedMatches == 1 || j == index_ || chosenTaken)) Take(j);
        }

        // C: both differences at once.
        equal = true;
        for (size_t k = 0; k < n && equal; ++k) equal = Upper(w[k]) == Upper(gtmName[k]);
        if (equal) {
            ++row_.maskedCaselessMatches;
            const bool firstC = row_.maskedMatches == 0 && row_.maskedCaselessMatches == 1;
            if (row_.caselessMatches == 0 && (firstC || j == index_)) Take(j);
            if (maskedAtPosition_ < 0 && AtPosition(row_.latitude, row_.longitude, record)) maskedAtPosition_ = j;
        }
    }

    // Takes what the index decided without offering the candidates.
    void Decided(const CorrectionIndex::Decision& decision) {
        row_.caselessMatches = decision.caseless;
        row_.maskedMatches = decision.masked;
        row_.maskedCaselessMatches = decision.maskedCaseless;
        if (decision.chosen >= 0) Take(decision.chosen);
        caselessAtPosition_ = maskedAtPosition_ = decision.atPosition;
    }

    // After the last source: the first candidate at the row's position, of
    // those that passed the comparison deciding the row (A when one passed it,
    // otherwise C, which every B match passes too), replaces the choice. Marks
    // the source whose name was taken and lists the new name. Returns 1 when
    // the row got a name.
    int Finish(LineList& list) {
        const int32_t atPosition = row_.caselessMatches > 0 ? caselessAtPosition_ : maskedAtPosition_;
        if (atPosition >= 0 && atPosition != chosen_) Take(atPosition);
        if (row_.newName[0] == '\0') return 0;
        row_.source = chosen_;
        row_.atPosition = atPosition >= 0;
        sources_[chosen_].symbol = kTakenMarker;
        list.AddLine(FormatWaypointLine(FieldText(row_.newName, sizeof row_.newName), altitude_));
        return 1;
    }

private:
    void Take(int32_t j) {
        const WaypointRecord& record = sources_[j];
        StoreName(row_.newName, sizeof row_.newName, FieldText(record.name, sizeof record.name));
        chosen_ = j;
    }

    GtmWaypoint& row_;
    const int32_t index_;
    WaypointRecord* const sources_;
    const double altitude_;
    const size_t length_;
    int32_t chosen_ = -1;
    int32_t caselessAtPosition_ = -1;  // the first A match at the row's position
    int32_t maskedAtPosition_ = -1;    // the first C match there
};

// After every row has its name: a name is uncertain when no position confirms
// it and another waypoint could have been meant, because the comparison that
// decided it let more than one source through, or because another row found
// the same source at its own position.
void FlagUncertainRows(GtmDocument& document, int32_t sourceCount) {
    std::unique_ptr<bool[]> confirmed = AllocateRecords<bool>(sourceCount);
    for (int32_t i = 0; confirmed && i < document.waypointCount; ++i) {
        const GtmWaypoint& row = document.waypoints[i];
        if (row.atPosition) confirmed[row.source] = true;
    }
    for (int32_t i = 0; i < document.waypointCount; ++i) {
        GtmWaypoint& row = document.waypoints[i];
        if (row.source < 0 || row.atPosition) continue;
        const int32_t deciding = row.caselessMatches > 0 ? row.caselessMatches : row.maskedCaselessMatches;
        // Without memory to tell, every unconfirmed name counts as taken elsewhere.
        row.uncertain = deciding > 1 || !confirmed || confirmed[row.source];
    }
}

}  // namespace

int CorrectNamesByScan(GtmDocument& document, int32_t sourceCount, WaypointRecord* sourceRecords, LineList& list) {
    if (!document.waypoints) return 0;
    document.correctedCount = 0;
    if (document.waypointCount <= 0) return 1;
    if (!sourceRecords || sourceCount < 0) sourceCount = 0;

    for (int32_t i = 0; i < document.waypointCount; ++i) {
        GtmWaypoint& row = document.waypoints[i];
        RowSearch search(row, i, sourceRecords);
        for (int32_t j = 0; j < sourceCount; ++j) {
            if (!WithinWindow(search.altitude(), CapAltitude(sourceRecords[j].altitude))) continue;
            ++row.altitudeMatches;
            search.Compare(j);
        }
        document.correctedCount += search.Finish(list);
    }
    FlagUncertainRows(document, sourceCount);
    return 1;
}

}  // namespace correction

int GtmDocument::CorrectNames(int32_t sourceCount, WaypointRecord* sourceRecords, LineList& list) {
    using namespace correction;
    if (!waypoints) return 0;
    if (!sourceRecords || sourceCount < 0) sourceCount = 0;
    // Without memory for the index the scan gives the same result, slowly.
    CorrectionIndex index;
    if (static_cast<int64_t>(sourceCount) * waypointCount < kSmallestIndexedWork ||
        !index.Build(sourceCount, sourceRecords)) {
        return CorrectNamesByScan(*this, sourceCount, sourceRecords, list);
    }

    correctedCount = 0;
    for (int32_t i = 0; i < waypointCount; ++i) {
        GtmWaypoint& row = waypoints[i];
        RowSearch search(row, i, sourceRecords);
        row.altitudeMatches = index.CountWithinWindow(search.altitude());
        CorrectionIndex::Decision decision;
        if (index.Search(row, i, search.length(), search.altitude(), decision, [&](int32_t j) { search.Compare(j); })) {
            search.Decided(decision);
        }
        const int named = search.Finish(list);
        if (named) index.NoteTaken(row.source);
        correctedCount += named;
    }
    FlagUncertainRows(*this, sourceCount);
    return 1;
}

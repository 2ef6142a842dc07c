#include "gtm/CorrectionIndex.h"

#include <cstring>
#include <tuple>

#include "sources/NameField.h"
#include "sources/WaypointSource.h"

namespace correction {

NameKey MakeNameKey(const char* name, size_t length, Reduction how) {
    unsigned char reduced[16] = {};
    for (size_t k = 0; k < length && k < kMaxNameLength; ++k) {
        const auto byte = static_cast<unsigned char>(name[k]);
        if (byte >= 0x80) reduced[k] = how == Reduction::kCaseless ? byte : 0;
        else reduced[k] = how == Reduction::kMasked ? byte : Upper(byte);
    }
    reduced[15] = static_cast<unsigned char>(length);
    NameKey key;
    std::memcpy(&key.low, reduced, 8);
    std::memcpy(&key.high, reduced + 8, 8);
    return key;
}

int NameGroups::Build(const WaypointRecord* records, const double* altitudes, const int32_t* sources, int32_t count,
                      Reduction how) {
    groupCount_ = largest_ = 0;
    members_ = AllocateRecords<Member>(count);
    bySource_ = AllocateRecords<int32_t>(count);
    if (!members_ || !bySource_) return 0;

    // Only names of at most 10 bytes can have the length of a GTM name.
    int32_t memberCount = 0;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t j = sources ? sources[k] : k;
        const std::string_view name = FieldText(records[j].name, sizeof records[j].name);
        if (name.size() <= kMaxNameLength) members_[memberCount++] = Member{MakeNameKey(name.data(), name.size(), how), altitudes[j], j};
    }
    std::sort(members_.get(), members_.get() + memberCount, [](const Member& a, const Member& b) {
        if (!(a.key == b.key)) return a.key < b.key;
        const bool aNan = std::isnan(a.altitude);
        const bool bNan = std::isnan(b.altitude);
        if (aNan != bNan) return bNan;
        if (!aNan && a.altitude != b.altitude) return a.altitude < b.altitude;
        return a.source < b.source;
    });

    int32_t distinct = 0;
    for (int32_t p = 0; p < memberCount; ++p) {
        if (p == 0 || !(members_[p].key == members_[p - 1].key)) ++distinct;
    }
    groups_ = AllocateRecords<Group>(distinct);
    if (!groups_) return 0;
    for (int32_t begin = 0; begin < memberCount;) {
        int32_t end = begin;
        int32_t nanBegin = -1;
        while (end < memberCount && members_[end].key == members_[begin].key) {
            if (nanBegin < 0 && std::isnan(members_[end].altitude)) nanBegin = end;
            bySource_[end] = members_[end].source;
            ++end;
        }
        if (nanBegin < 0) nanBegin = end;
        std::sort(bySource_.get() + begin, bySource_.get() + end);
        groups_[groupCount_++] = Group{members_[begin].key, begin, nanBegin, end};
        largest_ = std::max(largest_, end - begin);
        begin = end;
    }
    return 1;
}

const NameGroups::Group* NameGroups::Find(const NameKey& key) const {
    const Group* begin = groups_.get();
    const Group* end = begin + groupCount_;
    const Group* found = std::lower_bound(begin, end, key, [](const Group& g, const NameKey& k) { return g.key < k; });
    return found != end && found->key == key ? found : nullptr;
}

namespace {

// Positions are looked up in cells twice the position tolerance wide, so that
// a source at a GTM waypoint's position lies in the waypoint's cell or in one
// of its eight neighbours, whatever the rounding.
constexpr double kCellSize = 2 * kPositionTolerance;
// No source lies beyond 180 degrees, nor at a position this far out.
constexpr double kFarthestPosition = 360.0;

int32_t CellOf(double degrees) { return static_cast<int32_t>(std::floor(degrees / kCellSize)); }

// The first place at or after p whose source does not carry the taken marker,
// in a chain where each taken place points further on (halving the path).
int32_t NextUntaken(int32_t* next, int32_t p) {
    while (next[p] != p) p = next[p] = next[next[p]];
    return p;
}

}  // namespace

// What the index keeps of a group with many candidates, built the first time
// a GTM waypoint needs it: the members by their names under comparison A and
// as comparison B sees them, by position, and which of them are taken.
struct CorrectionIndex::Crowd {
    struct Cell {
        int32_t latitude, longitude, source;
        friend bool operator<(const Cell& a, const Cell& b) {
            return std::tie(a.latitude, a.longitude, a.source) < std::tie(b.latitude, b.longitude, b.source);
        }
    };
    NameGroups caseless;
    NameGroups masked;
    std::unique_ptr<Cell[]> cells;  // by cell, then index
    int32_t cellCount = 0;
    // For each place in masked's source order, the next place on when its
    // source is taken, itself otherwise; one place past the end closes it.
    std::unique_ptr<int32_t[]> next;
};

CorrectionIndex::CorrectionIndex() = default;
CorrectionIndex::~CorrectionIndex() = default;

int CorrectionIndex::Build(int32_t count, const WaypointRecord* records) {
    records_ = records;
    sourceCount_ = records && count > 0 ? count : 0;
    sortedCount_ = nanCount_ = 0;
    crowds_.reset();
    crowdOf_.reset();
    slot_.reset();
    altitudes_ = AllocateRecords<double>(sourceCount_);
    sorted_ = AllocateRecords<double>(sourceCount_);
    if (!altitudes_ || !sorted_) return 0;
    for (int32_t j = 0; j < sourceCount_; ++j) {
        const double altitude = CapAltitude(records[j].altitude);
        altitudes_[j] = altitude;
        if (std::isnan(altitude)) {
            ++nanCount_;
        } else {
            sorted_[sortedCount_++] = altitude;
        }
    }
    std::sort(sorted_.get(), sorted_.get() + sortedCount_);
    if (!groups_.Build(records, altitudes_.get(), nullptr, sourceCount_, Reduction::kKey)) return 0;
    scratch_ = AllocateRecords<int32_t>(groups_.Largest());
    return scratch_ ? 1 : 0;
}

int32_t CorrectionIndex::CountWithinWindow(double gtm) const {
    if (std::isnan(gtm)) return sourceCount_;
    const auto [low, high] = WindowsHolding(sorted_.get(), sorted_.get() + sortedCount_, gtm, [](double s) { return s; });
    return nanCount_ + static_cast<int32_t>(high - low);
}

CorrectionIndex::Crowd* CorrectionIndex::CrowdOf(const NameGroups::Group& group) {
    if (!crowds_) {
        crowds_ = AllocateRecords<std::unique_ptr<Crowd>>(groups_.GroupCount());
        crowdOf_ = AllocateRecords<int32_t>(sourceCount_);
        slot_ = AllocateRecords<int32_t>(sourceCount_);
        if (!crowds_ || !crowdOf_ || !slot_) {
            // NoteTaken reads crowdOf_ whenever it exists: all three go.
            crowds_.reset();
            crowdOf_.reset();
            slot_.reset();
            return nullptr;
        }
        std::fill(crowdOf_.get(), crowdOf_.get() + sourceCount_, -1);
    }
    const int32_t index = groups_.Index(group);
    if (crowds_[index]) return crowds_[index].get();

    std::unique_ptr<Crowd> crowd(new (std::nothrow) Crowd);
    const int32_t size = group.end - group.begin;
    const int32_t* sources = groups_.BySource() + group.begin;
    if (!crowd || !crowd->caseless.Build(records_, altitudes_.get(), sources, size, Reduction::kCaseless) ||
        !crowd->masked.Build(records_, altitudes_.get(), sources, size, Reduction::kMasked)) {
        return nullptr;
    }
    crowd->cells = AllocateRecords<Crowd::Cell>(size);
    crowd->next = AllocateRecords<int32_t>(size + 1);
    if (!crowd->cells || !crowd->next) return nullptr;
    for (int32_t k = 0; k < size; ++k) {
        const WaypointRecord& record = records_[sources[k]];
        crowd->cells[k] = {CellOf(record.latitude * kSemicircleFactor), CellOf(record.longitude * kSemicircleFactor), sources[k]};
    }
    crowd->cellCount = size;
    std::sort(crowd->cells.get(), crowd->cells.get() + size);
    // Every member's name has the group's length, so masked holds them all.
    const int32_t* places = crowd->masked.BySource();
    for (int32_t p = 0; p < size; ++p) {
        crowd->next[p] = records_[places[p]].symbol == kTakenMarker ? p + 1 : p;
        crowdOf_[places[p]] = index;
        slot_[places[p]] = p;
    }
    crowd->next[size] = size;
    crowds_[index] = std::move(crowd);
    return crowds_[index].get();
}

void CorrectionIndex::NoteTaken(int32_t j) {
    if (!crowdOf_ || crowdOf_[j] < 0) return;
    int32_t* next = crowds_[crowdOf_[j]]->next.get();
    if (next[slot_[j]] == slot_[j]) next[slot_[j]] = slot_[j] + 1;
}

int32_t CorrectionIndex::FirstWithin(const int32_t* sources, int32_t count, double gtm) const {
    for (int32_t p = 0; p < count; ++p) {
        if (WithinWindow(gtm, altitudes_[sources[p]])) return sources[p];
    }
    return -1;
}

int32_t CorrectionIndex::LastWithin(const int32_t* sources, int32_t count, double gtm) const {
    for (int32_t p = count - 1; p >= 0; --p) {
        if (WithinWindow(gtm, altitudes_[sources[p]])) return sources[p];
    }
    return -1;
}

int32_t CorrectionIndex::FirstAtPosition(const Crowd& crowd, const GtmWaypoint& row, size_t n, double gtm,
                                         const NameKey* caseless) const {
    if (!(std::fabs(row.latitude) <= kFarthestPosition && std::fabs(row.longitude) <= kFarthestPosition)) return -1;
    const int32_t latitude = CellOf(row.latitude);
    const int32_t longitude = CellOf(row.longitude);
    const Crowd::Cell* cells = crowd.cells.get();
    int32_t first = -1;
    for (int32_t dLatitude = -1; dLatitude <= 1; ++dLatitude) {
        for (int32_t dLongitude = -1; dLongitude <= 1; ++dLongitude) {
            const Crowd::Cell from{latitude + dLatitude, longitude + dLongitude, -1};
            for (const Crowd::Cell* c = std::lower_bound(cells, cells + crowd.cellCount, from);
                 c != cells + crowd.cellCount && c->latitude == from.latitude && c->longitude == from.longitude; ++c) {
                const WaypointRecord& record = records_[c->source];
                if (first >= 0 && c->source > first) break;
                if (WithinWindow(gtm, altitudes_[c->source]) && AtPosition(row.latitude, row.longitude, record) &&
                    (!caseless || MakeNameKey(record.name, n, Reduction::kCaseless) == *caseless)) {
                    first = c->source;
                    break;
                }
            }
        }
    }
    return first;
}

bool CorrectionIndex::Decide(const NameGroups::Group& group, const GtmWaypoint& row, int32_t index, size_t n,
                             double gtm, Decision& decision) {
    const Crowd* crowd = CrowdOf(group);
    if (!crowd) return false;
    decision = Decision{};
    bool zeros = false;
    bool chinese = false;
    for (size_t k = 0; k < n; ++k) {
        zeros = zeros || row.name[k] == '\0';
        chinese = chinese || static_cast<unsigned char>(row.name[k]) >= 0x80;
    }
    // No source name holds a zero byte, so a name with one passes A with
    // none; and a masked source name holds no byte of 0x80 and above, so a
    // name with one passes B and C with none.
    if (zeros && chinese) return true;
    if (chinese) {
        const NameKey key = MakeNameKey(row.name, n, Reduction::kCaseless);
        const NameGroups::Group* equal = crowd->caseless.Find(key);
        decision.caseless = equal ? crowd->caseless.Count(*equal, gtm) : 0;
        if (decision.caseless == 0) return true;
        decision.atPosition = FirstAtPosition(*crowd, row, n, gtm, &key);
        decision.chosen = LastWithin(crowd->caseless.BySource() + equal->begin, equal->end - equal->begin, gtm);
        return true;
    }

    // Every candidate passes C; without a zero byte, every one passes A too.
    const int32_t* sources = groups_.BySource() + group.begin;
    const int32_t size = group.end - group.begin;
    const NameGroups::Group* exact = crowd->masked.Find(MakeNameKey(row.name, n, Reduction::kMasked));
    decision.maskedCaseless = groups_.Count(group, gtm);
    decision.masked = exact ? crowd->masked.Count(*exact, gtm) : 0;
    decision.atPosition = FirstAtPosition(*crowd, row, n, gtm, nullptr);
    if (decision.atPosition >= 0) {
        // The candidate at the row's position replaces whatever the rules chose.
        decision.caseless = zeros ? 0 : decision.maskedCaseless;
        decision.chosen = decision.atPosition;
        return true;
    }
    if (!zeros) {
        decision.caseless = decision.maskedCaseless;
        decision.chosen = LastWithin(sources, size, gtm);
        return true;
    }
    // The source at the same position replaces the choice whenever it comes.
    const bool own = index < sourceCount_ && crowdOf_[index] == groups_.Index(group) && WithinWindow(gtm, altitudes_[index]);
    if (decision.masked == 0) {
        decision.chosen = own ? index : FirstWithin(sources, size, gtm);
        return true;
    }
    // The first B match, or the source at the same position after it; then
    // each later B match replaces a taken choice: the first one not taken,
    // or else the last.
    const int32_t* places = crowd->masked.BySource();
    const int32_t first = FirstWithin(places + exact->begin, exact->end - exact->begin, gtm);
    int32_t chosen = own && index > first ? index : first;
    if (records_[chosen].symbol == kTakenMarker) {
        int32_t p = static_cast<int32_t>(std::upper_bound(places + exact->begin, places + exact->end, chosen) - places);
        int32_t* next = crowd->next.get();
        for (p = NextUntaken(next, p); p < exact->end && !WithinWindow(gtm, altitudes_[places[p]]); p = NextUntaken(next, p + 1)) {
        }
        if (p < exact->end) {
            chosen = places[p];
        } else {
            chosen = std::max(chosen, LastWithin(places + exact->begin, exact->end - exact->begin, gtm));
        }
    }
    decision.chosen = chosen;
    return true;
}

}  // namespace correction

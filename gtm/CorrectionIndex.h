#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/LineList.h"
#include "sources/Records.h"

class GtmDocument;

// The pieces of the name correction that decide which source waypoints a GTM
// waypoint is compared with, and an index that finds them without visiting
// every source for every GTM waypoint.
namespace correction {

inline constexpr double kAltitudeCap = 10000.0;
inline constexpr double kToleranceFactor = 1.0 / 3000.0;
inline constexpr double kMinimumTolerance = 0.1;
// The longest trimmed GTM name; a longer source name can never match.
inline constexpr size_t kMaxNameLength = 10;

// Altitudes above 10000 are taken as 0, on both sides.
inline double CapAltitude(float altitude) {
    double value = altitude;
    return value > kAltitudeCap ? 0.0 : value;
}

// The half-width of a source's window: S/3000, at least 0.1.
inline double Tolerance(double source) {
    double tolerance = source * kToleranceFactor;
    if (tolerance < kMinimumTolerance) tolerance = kMinimumTolerance;
    return tolerance;
}

// The source's window S ± tolerance lies wholly below, or wholly above, the
// GTM altitude. Both are false when either altitude is NaN.
inline bool WindowBelow(double gtm, double source) { return source + Tolerance(source) < gtm; }
inline bool WindowAbove(double gtm, double source) { return source - Tolerance(source) > gtm; }

// The source's window, both ends included, holds the GTM altitude. A NaN on
// either side passes, since no comparison with it fails.
inline bool WithinWindow(double gtm, double source) {
    if (gtm == source) return true;
    return !(WindowBelow(gtm, source) || WindowAbove(gtm, source));
}

// The length of a GTM name without its trailing spaces; NUL bytes count as
// name bytes.
inline size_t TrimmedLength(const char* name) {
    size_t length = kMaxNameLength;
    while (length > 0 && name[length - 1] == ' ') --length;
    return length;
}

// A source lies at a GTM waypoint's position when both of its coordinates,
// in degrees, are within this of the waypoint's (both ends included): about a
// metre, wider than the rounding of any program's conversion of the
// coordinates, narrower than two waypoints of a file ever stand apart.
inline constexpr double kPositionTolerance = 1e-5;

// Whether the source record lies at the position given in degrees. A NaN
// coordinate is at no position.
inline bool AtPosition(double latitude, double longitude, const WaypointRecord& record) {
    return std::fabs(record.latitude * kSemicircleFactor - latitude) <= kPositionTolerance &&
           std::fabs(record.longitude * kSemicircleFactor - longitude) <= kPositionTolerance;
}

inline unsigned char Upper(unsigned char byte) { return byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte; }

// A name reduced to what all three name comparisons have in common: bytes of
// 0x80 and above become 0, ASCII letters become upper case. A source name can
// pass one of the comparisons with a GTM name only when both reduce to the
// same key (the length is part of it).
struct NameKey {
    uint64_t low = 0;   // reduced bytes 0..7
    uint64_t high = 0;  // reduced bytes 8 and 9, and the length in the top byte

    friend bool operator==(const NameKey&, const NameKey&) = default;
    friend bool operator<(const NameKey& a, const NameKey& b) {
        return a.low != b.low ? a.low < b.low : a.high < b.high;
    }
};

// The key of the first length bytes of name; length is at most 10.
NameKey MakeNameKey(const char* name, size_t length);

// Source waypoints ordered for the two questions the correction asks of each
// GTM waypoint: how many sources' windows hold its altitude, and which sources
// with a name that can match do. Built once per correction over the capped
// source altitudes; the names and altitudes must not change while it is used
// (the symbols may: the index does not read them).
class CorrectionIndex {
public:
    // Indexes count records. Returns 1, or 0 when memory ran out; a failed
    // index must not be queried.
    int Build(int32_t count, const WaypointRecord* records);

    // The number of sources whose window holds the (capped) GTM altitude.
    int32_t CountWithinWindow(double gtm) const;

    // Calls visit(j), in ascending j, for every source j whose window holds
    // the GTM altitude and whose name has the key of the GTM name's first n
    // bytes: exactly the sources that can pass a name comparison.
    template <typename Visit>
    void ForEachCandidate(const char* gtmName, size_t n, double gtm, Visit&& visit);

private:
    struct Member {
        NameKey key;
        double altitude;  // capped; NaN members sort after the others of their key
        int32_t source;
    };
    struct Group {
        NameKey key;
        int32_t begin;     // first member
        int32_t nanBegin;  // first member with a NaN altitude
        int32_t end;
    };

    const Group* FindGroup(const NameKey& key) const;

    int32_t sourceCount_ = 0;
    std::unique_ptr<double[]> altitudes_;  // capped altitude of each source, by index
    std::unique_ptr<double[]> sorted_;     // the altitudes that are not NaN, ascending
    int32_t sortedCount_ = 0;
    int32_t nanCount_ = 0;
    // Members sorted by key, then altitude, then index; a group is the members
    // of one key. bySource_ holds each group's indices again, ascending.
    std::unique_ptr<Member[]> members_;
    std::unique_ptr<int32_t[]> bySource_;
    std::unique_ptr<Group[]> groups_;
    int32_t groupCount_ = 0;
    std::unique_ptr<int32_t[]> scratch_;  // room for the largest group
};

template <typename Visit>
void CorrectionIndex::ForEachCandidate(const char* gtmName, size_t n, double gtm, Visit&& visit) {
    const Group* group = FindGroup(MakeNameKey(gtmName, n));
    if (!group) return;
    const int32_t* groupSources = bySource_.get() + group->begin;
    const int32_t groupSize = group->end - group->begin;
    if (std::isnan(gtm)) {
        // Every window holds a NaN altitude.
        for (int32_t p = 0; p < groupSize; ++p) visit(groupSources[p]);
        return;
    }

    // The windows that lie below the altitude come first and those above it
    // last: both ends of a window grow with the source altitude.
    const Member* first = members_.get() + group->begin;
    const Member* nanFirst = members_.get() + group->nanBegin;
    const Member* low = std::partition_point(first, nanFirst, [gtm](const Member& m) { return WindowBelow(gtm, m.altitude); });
    const Member* high = std::partition_point(low, nanFirst, [gtm](const Member& m) { return !WindowAbove(gtm, m.altitude); });
    const int32_t nanMembers = group->end - group->nanBegin;
    const int32_t candidates = static_cast<int32_t>(high - low) + nanMembers;
    if (candidates == 0) return;

    // Few candidates: put them in source order. Many (alike altitudes): walk
    // the group in source order, which costs no more than sorting would.
    constexpr int32_t kAlwaysSort = 32;
    if (candidates <= kAlwaysSort || candidates <= groupSize / 4) {
        int32_t* scratch = scratch_.get();
        int32_t k = 0;
        for (const Member* m = low; m != high; ++m) scratch[k++] = m->source;
        for (const Member* m = nanFirst; m != first + groupSize; ++m) scratch[k++] = m->source;
        std::sort(scratch, scratch + k);
        for (int32_t p = 0; p < k; ++p) {
            if (WithinWindow(gtm, altitudes_[scratch[p]])) visit(scratch[p]);
        }
        return;
    }
    for (int32_t p = 0; p < groupSize; ++p) {
        const int32_t j = groupSources[p];
        if (WithinWindow(gtm, altitudes_[j])) visit(j);
    }
}

// The correction as the plain scan: every source for every GTM waypoint, in
// order. The correction uses it for small inputs and when the index cannot
// be built; its results are those of the indexed correction.
int CorrectNamesByScan(GtmDocument& document, int32_t sourceCount, WaypointRecord* sourceRecords, LineList& list);

}  // namespace correction

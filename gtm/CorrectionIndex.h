#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "common/LineList.h"
#include "gtm/GtmDocument.h"
#include "sources/Records.h"

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

// The part of a range ordered by source altitude (no NaN) whose windows hold
// the GTM altitude: the windows that lie below it come first and those above
// it last, since both ends of a window grow with the source altitude.
template <typename Iterator, typename AltitudeOf>
std::pair<Iterator, Iterator> WindowsHolding(Iterator first, Iterator last, double gtm, AltitudeOf altitude) {
    const Iterator low = std::partition_point(first, last, [&](const auto& s) { return WindowBelow(gtm, altitude(s)); });
    return {low, std::partition_point(low, last, [&](const auto& s) { return !WindowAbove(gtm, altitude(s)); })};
}

// How a name is reduced before names are grouped.
enum class Reduction {
    kKey,       // bytes of 0x80 and above become 0, ASCII letters upper case
    kCaseless,  // ASCII letters upper case: names equal under comparison A
    kMasked,    // bytes of 0x80 and above become 0: a source name as comparison B sees it
};

// A reduced name. Under the key reduction, what all three name comparisons
// have in common: a source name can pass one of the comparisons with a GTM
// name only when both reduce to the same key (the length is part of it).
struct NameKey {
    uint64_t low = 0;   // reduced bytes 0..7
    uint64_t high = 0;  // reduced bytes 8 and 9, and the length in the top byte

    friend bool operator==(const NameKey&, const NameKey&) = default;
    friend bool operator<(const NameKey& a, const NameKey& b) {
        return a.low != b.low ? a.low < b.low : a.high < b.high;
    }
};

// The reduction of the first length bytes of name; length is at most 10.
NameKey MakeNameKey(const char* name, size_t length, Reduction how = Reduction::kKey);

// Source waypoints grouped by their reduced names, each group ordered by
// capped altitude (NaN last) for counting the windows that hold an altitude,
// and again by index for the rules that follow the file's order.
class NameGroups {
public:
    struct Member {
        NameKey key;
        double altitude;  // capped
        int32_t source;
    };
    struct Group {
        NameKey key;
        int32_t begin;     // first member
        int32_t nanBegin;  // first member with a NaN altitude
        int32_t end;
    };

    // Groups the sources listed in sources[0..count), or all count records
    // when sources is null, whose names have at most 10 bytes; altitudes
    // holds every record's capped altitude. Returns 1, or 0 when memory ran out.
    int Build(const WaypointRecord* records, const double* altitudes, const int32_t* sources, int32_t count,
              Reduction how);

    const Group* Find(const NameKey& key) const;
    int32_t Index(const Group& group) const { return static_cast<int32_t>(&group - groups_.get()); }
    int32_t GroupCount() const { return groupCount_; }
    int32_t Largest() const { return largest_; }

    // The members of the group, other than the NaN ones, whose windows hold
    // the altitude. The NaN members, whose windows hold every altitude,
    // follow at nanBegin. A NaN GTM altitude lies in every window.
    std::pair<const Member*, const Member*> Window(const Group& group, double gtm) const {
        return WindowsHolding(members_.get() + group.begin, members_.get() + group.nanBegin, gtm,
                              [](const Member& m) { return m.altitude; });
    }
    // How many of the group's windows hold the altitude.
    int32_t Count(const Group& group, double gtm) const {
        const auto [low, high] = Window(group, gtm);
        return static_cast<int32_t>(high - low) + group.end - group.nanBegin;
    }

    const Member* Members() const { return members_.get(); }
    // Every group's sources, ascending within each group.
    const int32_t* BySource() const { return bySource_.get(); }

private:
    std::unique_ptr<Member[]> members_;
    std::unique_ptr<int32_t[]> bySource_;
    std::unique_ptr<Group[]> groups_;
    int32_t groupCount_ = 0;
    int32_t largest_ = 0;
};

// Source waypoints ordered for the questions the correction asks of each GTM
// waypoint: how many sources' windows hold its altitude, which sources with a
// name that can match do, and, where many do, what the rules make of them.
// Built once per correction over the capped source altitudes; the names and
// altitudes must not change while it is used. The taken markers may: the
// index reads them where it needs them and is told of each new one.
class CorrectionIndex {
public:
    CorrectionIndex();
    ~CorrectionIndex();

    // Indexes count records. Returns 1, or 0 when memory ran out; a failed
    // index must not be queried.
    int Build(int32_t count, const WaypointRecord* records);

    // The number of sources whose window holds the (capped) GTM altitude.
    int32_t CountWithinWindow(double gtm) const;

    // What the comparisons make of a row's candidates: the counters, the
    // choice of the file-order rules, and the first candidate of the deciding
    // comparison that lies at the row's position (-1 for none).
    struct Decision {
        int32_t caseless = 0;
        int32_t masked = 0;
        int32_t maskedCaseless = 0;
        int32_t chosen = -1;
        int32_t atPosition = -1;
    };

    // The search for GTM waypoint index, its name of trimmed length n and its
    // capped altitude: either calls visit(j), in ascending j, for every source
    // j whose window holds the altitude and whose name has the key of the GTM
    // name (exactly the sources that can pass a name comparison) and returns
    // false, or, when many do, fills decision without visiting them and
    // returns true.
    template <typename Visit>
    bool Search(const GtmWaypoint& row, int32_t index, size_t n, double gtm, Decision& decision, Visit&& visit);

    // Tells the index that the correction marked source j as taken.
    void NoteTaken(int32_t j);

private:
    struct Crowd;

    Crowd* CrowdOf(const NameGroups::Group& group);
    bool Decide(const NameGroups::Group& group, const GtmWaypoint& row, int32_t index, size_t n, double gtm,
                Decision& decision);
    int32_t FirstAtPosition(const Crowd& crowd, const GtmWaypoint& row, size_t n, double gtm,
                            const NameKey* caseless) const;
    int32_t FirstWithin(const int32_t* sources, int32_t count, double gtm) const;
    int32_t LastWithin(const int32_t* sources, int32_t count, double gtm) const;

    const WaypointRecord* records_ = nullptr;
    int32_t sourceCount_ = 0;
    std::unique_ptr<double[]> altitudes_;  // capped altitude of each source, by index
    std::unique_ptr<double[]> sorted_;     // the altitudes that are not NaN, ascending
    int32_t sortedCount_ = 0;
    int32_t nanCount_ = 0;
    NameGroups groups_;                   // by key
    std::unique_ptr<int32_t[]> scratch_;  // room for the largest group
    // The crowds of the groups that needed one, by group, and for each source
    // in a crowd its group and its place in the crowd's masked order.
    std::unique_ptr<std::unique_ptr<Crowd>[]> crowds_;
    std::unique_ptr<int32_t[]> crowdOf_;
    std::unique_ptr<int32_t[]> slot_;
};

template <typename Visit>
bool CorrectionIndex::Search(const GtmWaypoint& row, int32_t index, size_t n, double gtm, Decision& decision,
                             Visit&& visit) {
    const NameGroups::Group* group = groups_.Find(MakeNameKey(row.name, n));
    if (!group) return false;
    const int32_t* groupSources = groups_.BySource() + group->begin;
    const int32_t groupSize = group->end - group->begin;
    const auto [low, high] = groups_.Window(*group, gtm);
    const int32_t candidates = static_cast<int32_t>(high - low) + group->end - group->nanBegin;
    // Few candidates: put them in source order. Many (alike names and
    // altitudes): let the groups decide without visiting them, or else walk
    // the group in source order, which costs no more than sorting would.
    constexpr int32_t kAlwaysSort = 32;
    if (candidates <= kAlwaysSort || candidates <= groupSize / 4) {
        if (candidates == 0) return false;
        int32_t* scratch = scratch_.get();
        int32_t k = 0;
        for (const NameGroups::Member* m = low; m != high; ++m) scratch[k++] = m->source;
        for (int32_t p = group->nanBegin; p != group->end; ++p) scratch[k++] = groups_.Members()[p].source;
        std::sort(scratch, scratch + k);
        for (int32_t p = 0; p < k; ++p) {
            if (WithinWindow(gtm, altitudes_[scratch[p]])) visit(scratch[p]);
        }
        return false;
    }
    if (Decide(*group, row, index, n, gtm, decision)) return true;
    for (int32_t p = 0; p < groupSize; ++p) {
        const int32_t j = groupSources[p];
        if (WithinWindow(gtm, altitudes_[j])) visit(j);
    }
    return false;
}

// The correction as the plain scan: every source for every GTM waypoint, in
// order. The correction uses it for small inputs and when the index cannot
// be built; its results are those of the indexed correction.
int CorrectNamesByScan(GtmDocument& document, int32_t sourceCount, WaypointRecord* sourceRecords, LineList& list);

}  // namespace correction

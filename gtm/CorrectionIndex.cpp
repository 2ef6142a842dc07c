#include "gtm/CorrectionIndex.h"

#include <cstring>

#include "sources/NameField.h"
#include "sources/WaypointSource.h"

namespace correction {

NameKey MakeNameKey(const char* name, size_t length) {
    unsigned char reduced[16] = {};
    for (size_t k = 0; k < length && k < kMaxNameLength; ++k) {
        const auto byte = static_cast<unsigned char>(name[k]);
        reduced[k] = byte >= 0x80 ? 0 : Upper(byte);
    }
    reduced[15] = static_cast<unsigned char>(length);
    NameKey key;
    std::memcpy(&key.low, reduced, 8);
    std::memcpy(&key.high, reduced + 8, 8);
    return key;
}

int CorrectionIndex::Build(int32_t count, const WaypointRecord* records) {
    sourceCount_ = records && count > 0 ? count : 0;
    sortedCount_ = nanCount_ = groupCount_ = 0;
    altitudes_ = AllocateRecords<double>(sourceCount_);
    sorted_ = AllocateRecords<double>(sourceCount_);
    members_ = AllocateRecords<Member>(sourceCount_);
    bySource_ = AllocateRecords<int32_t>(sourceCount_);
    if (!altitudes_ || !sorted_ || !members_ || !bySource_) return 0;

    // Only names of at most 10 bytes can have the length of a GTM name.
    int32_t memberCount = 0;
    for (int32_t j = 0; j < sourceCount_; ++j) {
        const WaypointRecord& record = records[j];
        const double altitude = CapAltitude(record.altitude);
        altitudes_[j] = altitude;
        if (std::isnan(altitude)) {
            ++nanCount_;
        } else {
            sorted_[sortedCount_++] = altitude;
        }
        const std::string_view name = FieldText(record.name, sizeof record.name);
        if (name.size() <= kMaxNameLength) members_[memberCount++] = Member{MakeNameKey(name.data(), name.size()), altitude, j};
    }
    std::sort(sorted_.get(), sorted_.get() + sortedCount_);
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
    int32_t largest = 0;
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
        largest = std::max(largest, end - begin);
        begin = end;
    }
    scratch_ = AllocateRecords<int32_t>(largest);
    return scratch_ ? 1 : 0;
}

int32_t CorrectionIndex::CountWithinWindow(double gtm) const {
    if (std::isnan(gtm)) return sourceCount_;
    const double* begin = sorted_.get();
    const double* end = begin + sortedCount_;
    const double* low = std::partition_point(begin, end, [gtm](double s) { return WindowBelow(gtm, s); });
    const double* high = std::partition_point(low, end, [gtm](double s) { return !WindowAbove(gtm, s); });
    return nanCount_ + static_cast<int32_t>(high - low);
}

const CorrectionIndex::Group* CorrectionIndex::FindGroup(const NameKey& key) const {
    const Group* begin = groups_.get();
    const Group* end = begin + groupCount_;
    const Group* found = std::lower_bound(begin, end, key, [](const Group& g, const NameKey& k) { return g.key < k; });
    return found != end && found->key == key ? found : nullptr;
}

}  // namespace correction

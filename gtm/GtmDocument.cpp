#include "gtm/GtmDocument.h"

#include <cstdint>
#include <cstring>

#include "common/LittleEndian.h"
#include "gtm/GtmLayout.h"
#include "sources/ListLines.h"
#include "sources/ReadWholeFile.h"

int ReadFileImage(const std::string& path, std::vector<unsigned char>& image) {
    return ReadWholeFile(path, image);
}

int GtmDocument::Load(const std::string& filePath, LineList& list) {
    using namespace gtm_layout;
    path = filePath;
    std::vector<unsigned char> file;
    if (!ReadFileImage(path, file)) return 0;
    if (file.size() > static_cast<size_t>(INT32_MAX)) return 0;  // imageSize could not hold it

    static constexpr unsigned char kSignature[11] = {'T', 'r', 'a', 'c', 'k', 'M', 'a', 'k', 'e', 'r', 0xFF};
    if (!le::Fits(file.size(), kSignatureOffset, sizeof kSignature) ||
        std::memcmp(file.data() + kSignatureOffset, kSignature, sizeof kSignature) != 0)
        return 0;
    if (!le::Fits(file.size(), kImageCountOffset, 4)) return 0;
    const int32_t headerCount = le::I32(file.data() + kWaypointCountOffset);
    const int32_t imageRecordCount = le::I32(file.data() + kImageCountOffset);
    if (headerCount == 0) return 1;

    // The whole walk is checked before anything is allocated or listed: a file
    // that is truncated or lies about its counts is refused as a whole.
    std::vector<size_t> offsets;
    if (!FindWaypointRecords(file, headerCount, imageRecordCount, offsets)) return 0;

    waypointCount = headerCount;
    waypoints.reset(new (std::nothrow) GtmWaypoint[static_cast<size_t>(waypointCount)]());
    if (!waypoints) return 0;

    for (int32_t i = 0; i < waypointCount; ++i) {
        const unsigned char* record = file.data() + offsets[static_cast<size_t>(i)];
        const size_t comment = le::U16(record + kCommentLength);
        GtmWaypoint& row = waypoints[i];
        std::memcpy(row.name, record + kName, kNameSize);
        row.latitude = le::F64(record + kLatitude);
        row.longitude = le::F64(record + kLongitude);
        row.icon = le::I16(record + kIconAfterComment + comment);
        row.altitude = le::F32(record + kAltitudeAfterComment + comment);

        // The list shows a blank for every NUL byte of the name.
        char display[kNameSize];
        for (size_t k = 0; k < kNameSize; ++k) display[k] = row.name[k] == '\0' ? ' ' : row.name[k];
        list.AddLine(FormatWaypointLine(std::string_view(display, kNameSize), row.altitude));
    }
    imageSize = static_cast<int32_t>(file.size());
    image = std::move(file);
    return 1;
}

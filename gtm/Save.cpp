// Saving: the new names go into the raw image where the old names stood, and
// the whole image replaces the file.
#include <cstring>
#include <vector>

#include "common/AtomicFile.h"
#include "common/LittleEndian.h"
#include "gtm/GtmDocument.h"
#include "gtm/GtmLayout.h"

int GtmDocument::Save() {
    using namespace gtm_layout;
    if (correctedCount == 0) return 1;
    if (!waypoints || image.empty()) return 0;

    // The image is the one the load walked, so the walk finds the same records.
    std::vector<size_t> offsets;
    if (!FindWaypointRecords(image, waypointCount, le::I32(image.data() + kImageCountOffset), offsets)) return 0;
    for (int32_t i = 0; i < waypointCount; ++i) {
        // A new name of k bytes replaces the first k bytes of the field; the
        // rest keeps its old bytes. Nothing is written past the field.
        size_t length = std::strlen(waypoints[i].newName);
        if (length > kNameSize) length = kNameSize;
        std::memcpy(image.data() + offsets[static_cast<size_t>(i)] + kName, waypoints[i].newName, length);
    }
    return WriteFileImage(path, image.data(), static_cast<size_t>(imageSize));
}

int WriteFileImage(const std::string& path, const unsigned char* buffer, size_t size) {
    return ReplaceFileAtomically(path, buffer, size);
}

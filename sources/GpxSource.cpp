#include "sources/GpxSource.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "sources/GpxValues.h"
#include "sources/ListLines.h"
#include "sources/NameField.h"
#include "sources/ReadWholeFile.h"

namespace {

// Between a namespace and the local name in the element names expat reports.
// Not a character XML allows, so no namespace can contain it.
constexpr char kNamespaceSeparator = '\x01';
constexpr std::string_view kGpx10 = "http://www.topografix.com/GPX/1/0";
constexpr std::string_view kGpx11 = "http://www.topografix.com/GPX/1/1";

// The deepest nesting accepted; real files stay below 10 even with their
// extensions. Deeper documents are refused, so that the parser's element
// stack cannot grow with the file.
constexpr int kMaxNesting = 256;

// The most bytes of an element's text that are kept: a name needs at most 11
// characters (of at most 4 bytes each), a number far less than that.
constexpr size_t kTextLimit = 64;

// The most tracks a file may hold, as in the MapSource kinds: a track record
// takes far more memory than the few bytes of an empty trk element.
constexpr size_t kMaxTracks = 9999;

// The file is read into expat's buffer in pieces of this size, so that a
// large file takes no more memory than one piece and what it holds.
constexpr size_t kFeedSize = size_t{1} << 20;

// The elements read; everything else, extensions among it, is skipped with
// all it contains.
enum class Element { Gpx, Waypoint, Track, Segment, TrackPoint, Name, Elevation, Time };

// The track points of the track being read, in pieces of a fixed size so that
// a long track is never copied while it grows; the pieces are kept for the
// next track.
class PointBuffer {
public:
    bool Add(const TrackPoint& point) {
        const size_t piece = count_ / kPiece;
        if (piece == pieces_.size()) {
            pieces_.push_back(AllocateRecords<TrackPoint>(kPiece));
            if (!pieces_.back()) return false;
        }
        pieces_[piece][count_ % kPiece] = point;
        ++count_;
        return true;
    }
    // The points in one array of their exact count, or null when that cannot
    // be allocated. Empties the buffer.
    std::unique_ptr<TrackPoint[]> Take() {
        std::unique_ptr<TrackPoint[]> points = AllocateRecords<TrackPoint>(static_cast<int64_t>(count_));
        for (size_t i = 0; points && i < count_; i += kPiece) {
            std::copy_n(pieces_[i / kPiece].get(), std::min(kPiece, count_ - i), points.get() + i);
        }
        count_ = 0;
        return points;
    }
    void Clear() { count_ = 0; }

private:
    static constexpr size_t kPiece = 16384;
    std::vector<std::unique_ptr<TrackPoint[]>> pieces_;
    size_t count_ = 0;
};

// One pass of expat over the document, collecting its waypoints and tracks.
class GpxWalk {
public:
    explicit GpxWalk(bool keepPoints) : keepPoints_(keepPoints) {}

    // 1 when the whole file is a well-formed GPX document whose values all
    // parse; what was complete before a fault is collected either way.
    int Parse(std::FILE* file);

    std::vector<WaypointRecord> waypoints;
    std::vector<TrackRecord> tracks;

private:
    // Nothing may be thrown through expat's C frames: a failed allocation
    // stops the parse.
    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        GpxWalk& walk = *static_cast<GpxWalk*>(self);
        try {
            walk.Start(name, attributes);
        } catch (...) {
            walk.Fail();
        }
    }
    static void XMLCALL OnEnd(void* self, const XML_Char*) {
        GpxWalk& walk = *static_cast<GpxWalk*>(self);
        try {
            walk.End();
        } catch (...) {
            walk.Fail();
        }
    }
    static void XMLCALL OnText(void* self, const XML_Char* text, int length) {
        GpxWalk& walk = *static_cast<GpxWalk*>(self);
        if (!walk.collecting_) return;
        try {
            walk.text_.Append(text, static_cast<size_t>(length));
        } catch (...) {
            walk.Fail();
        }
    }
    static void XMLCALL OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        static_cast<GpxWalk*>(self)->Fail();
    }

    void Start(const XML_Char* name, const XML_Char** attributes);
    void End();
    void Close(Element element);
    void Fail() {
        if (failed_) return;
        failed_ = true;
        collecting_ = false;
        XML_StopParser(parser_, XML_FALSE);
    }
    // The local name of an element of the document's namespace, or null.
    const char* LocalName(const char* name) const;
    // The latitude and longitude attributes of a wpt or trkpt.
    bool ReadPosition(const XML_Char** attributes, int32_t& latitude, int32_t& longitude);
    void Open(Element element) {
        open_[openCount_++] = element;
        collecting_ = element == Element::Name || element == Element::Elevation || element == Element::Time;
        if (collecting_) text_.Clear();
    }

    const bool keepPoints_;
    XML_Parser parser_ = nullptr;
    bool failed_ = false;
    bool complete_ = false;
    std::string_view ns_;  // the document's namespace (one of the two above), empty for none
    int depth_ = 0;
    // The elements read that are open, from the root; they are the elements
    // at depths 1 to openCount_.
    Element open_[5] = {};
    int openCount_ = 0;
    bool collecting_ = false;
    gpx::ElementText text_{kTextLimit};

    WaypointRecord waypoint_{};
    TrackRecord track_{};
    TrackPoint point_{};
    PointBuffer points_;
};

const char* GpxWalk::LocalName(const char* name) const {
    if (ns_.empty()) return std::strchr(name, kNamespaceSeparator) ? nullptr : name;
    if (std::strncmp(name, ns_.data(), ns_.size()) != 0 || name[ns_.size()] != kNamespaceSeparator) return nullptr;
    return name + ns_.size() + 1;
}

bool GpxWalk::ReadPosition(const XML_Char** attributes, int32_t& latitude, int32_t& longitude) {
    bool hasLatitude = false, hasLongitude = false;
    for (const XML_Char** a = attributes; a[0]; a += 2) {
        if (std::strcmp(a[0], "lat") == 0) {
            if (!gpx::ParseDegrees(a[1], 90.0, latitude)) return false;
            hasLatitude = true;
        } else if (std::strcmp(a[0], "lon") == 0) {
            if (!gpx::ParseDegrees(a[1], 180.0, longitude)) return false;
            hasLongitude = true;
        }
    }
    return hasLatitude && hasLongitude;
}

void GpxWalk::Start(const XML_Char* name, const XML_Char** attributes) {
    if (failed_) return;
    if (++depth_ > kMaxNesting) return Fail();
    collecting_ = false;
    // Only a child of the innermost element read can be read itself.
    if (depth_ != openCount_ + 1) return;

    if (openCount_ == 0) {
        // The root: gpx, in the namespace of GPX 1.0 or 1.1, or in none.
        const std::string_view full = name;
        const size_t separator = full.find(kNamespaceSeparator);
        if (separator != std::string_view::npos) {
            const std::string_view uri = full.substr(0, separator);
            if (uri != kGpx10 && uri != kGpx11) return Fail();
            ns_ = uri == kGpx10 ? kGpx10 : kGpx11;
        }
        const char* root = LocalName(name);
        if (!root || std::strcmp(root, "gpx") != 0) return Fail();
        return Open(Element::Gpx);
    }
    const char* found = LocalName(name);
    if (!found) return;
    const std::string_view local = found;
    switch (open_[openCount_ - 1]) {
        case Element::Gpx:
            if (local == "wpt") {
                waypoint_ = WaypointRecord{};
                if (!ReadPosition(attributes, waypoint_.latitude, waypoint_.longitude)) return Fail();
                Open(Element::Waypoint);
            } else if (local == "trk") {
                if (tracks.size() >= kMaxTracks) return Fail();
                track_ = TrackRecord{};
                points_.Clear();
                Open(Element::Track);
            }
            break;
        case Element::Waypoint:
            if (local == "name") Open(Element::Name);
            else if (local == "ele") Open(Element::Elevation);
            break;
        case Element::Track:
            if (local == "name") Open(Element::Name);
            else if (local == "trkseg") Open(Element::Segment);
            break;
        case Element::Segment:
            if (local == "trkpt") {
                point_ = TrackPoint{};
                if (!ReadPosition(attributes, point_.latitude, point_.longitude)) return Fail();
                Open(Element::TrackPoint);
            }
            break;
        case Element::TrackPoint:
            if (local == "ele") Open(Element::Elevation);
            else if (local == "time") Open(Element::Time);
            break;
        default:
            break;
    }
}

void GpxWalk::End() {
    if (failed_) return;
    collecting_ = false;
    if (depth_ == openCount_) {
        --openCount_;
        Close(open_[openCount_]);
    }
    --depth_;
}

void GpxWalk::Close(Element element) {
    const Element parent = openCount_ > 0 ? open_[openCount_ - 1] : Element::Gpx;
    switch (element) {
        case Element::Name:
            if (text_.Trimmed().empty()) break;
            if (parent == Element::Waypoint) gpx::StoreUtf8Name(waypoint_.name, sizeof waypoint_.name, text_.Trimmed());
            else gpx::StoreUtf8Name(track_.name, sizeof track_.name, text_.Trimmed());
            break;
        case Element::Elevation: {
            // An empty elevation is no elevation.
            if (text_.Trimmed().empty()) break;
            float& altitude = parent == Element::Waypoint ? waypoint_.altitude : point_.altitude;
            if (text_.Cut() || !gpx::ParseElevation(text_.Trimmed(), altitude)) Fail();
            break;
        }
        case Element::Time:
            if (text_.Trimmed().empty()) break;
            if (text_.Cut() || !gpx::ParseTime(text_.Trimmed(), point_.time)) Fail();
            break;
        case Element::Waypoint:
            if (waypoints.size() >= INT32_MAX) return Fail();
            waypoints.push_back(waypoint_);
            break;
        case Element::TrackPoint:
            if (track_.pointCount == INT32_MAX) return Fail();
            ++track_.pointCount;
            if (keepPoints_) {
                CompleteTrackPoint(point_);
                if (!points_.Add(point_)) Fail();
            }
            break;
        case Element::Track:
            if (keepPoints_) {
                track_.points = points_.Take();
                if (!track_.points) return Fail();
            }
            tracks.push_back(std::move(track_));
            break;
        case Element::Gpx:
            complete_ = true;
            break;
        case Element::Segment:
            break;
    }
}

int GpxWalk::Parse(std::FILE* file) {
    std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator),
                                                                   &XML_ParserFree);
    if (!parser) return 0;
    parser_ = parser.get();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &OnStart, &OnEnd);
    XML_SetCharacterDataHandler(parser_, &OnText);
    XML_SetStartDoctypeDeclHandler(parser_, &OnDoctype);

    // An empty file is no document: expat finds no element in it.
    for (bool last = false; !last;) {
        void* piece = XML_GetBuffer(parser_, static_cast<int>(kFeedSize));
        if (!piece) return 0;
        const size_t length = std::fread(piece, 1, kFeedSize, file);
        if (std::ferror(file)) return 0;
        last = length < kFeedSize;
        if (XML_ParseBuffer(parser_, static_cast<int>(length), last) != XML_STATUS_OK) return 0;
    }
    return !failed_ && complete_ ? 1 : 0;
}

}  // namespace

int GpxSource::Load(const std::string& path, LineList* waypointList, LineList* trackList) {
    // Unlike the binary kinds, whose records are found by offsets into the
    // whole image, XML is read front to back: the file is streamed through the
    // parser rather than held whole.
    InputFile file = OpenInputFile(path);
    if (!file) return 0;
    GpxWalk walk(keepTrackPoints);
    const int parsed = walk.Parse(file.get());
    file.reset();

    // What was complete before a fault is kept and listed, as by every reader.
    waypointCount = static_cast<int32_t>(walk.waypoints.size());
    if (waypointCount == 0) return parsed;
    waypoints = AllocateRecords<WaypointRecord>(waypointCount);
    if (!waypoints) return 0;
    std::copy(walk.waypoints.begin(), walk.waypoints.end(), waypoints.get());
    for (int32_t i = 0; waypointList && i < waypointCount; ++i) {
        const WaypointRecord& record = waypoints[i];
        waypointList->AddLine(
            FormatWaypointLine(FieldText(record.name, sizeof record.name), CapReaderAltitude(record.altitude)));
    }

    // As in every other kind, a file without waypoints has nothing to
    // correct from and gives no tracks.
    trackCount = static_cast<int32_t>(walk.tracks.size());
    if (trackCount == 0) return parsed;
    tracks = AllocateRecords<TrackRecord>(trackCount);
    if (!tracks) return 0;
    for (int32_t k = 0; k < trackCount; ++k) {
        TrackRecord& track = tracks[k];
        track = std::move(walk.tracks[static_cast<size_t>(k)]);
        if (trackList) trackList->AddLine(FormatTrackLine(FieldText(track.name, sizeof track.name), track.pointCount));
    }
    return parsed;
}

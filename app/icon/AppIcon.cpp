#include "app/icon/AppIcon.h"

#include <algorithm>
#include <cmath>

namespace {

// The drawing lives on a 32 × 32 grid; every pixel is sampled on a 4 × 4
// raster of points, which smooths the edges.
constexpr int kSamples = 4;
constexpr double kGrid = 32.0;

struct Point {
    double x, y;
};

struct Colour {
    double r, g, b;
};

double Distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Signed distance from p to the rounded rectangle's outline, negative inside.
double RoundedRectDistance(Point p, double left, double top, double side, double radius) {
    const double half = side / 2;
    const double qx = std::abs(p.x - (left + half)) - (half - radius);
    const double qy = std::abs(p.y - (top + half)) - (half - radius);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

// Whether p lies on a stroke of width along a to b. Round caps reach half the
// width past the ends in every direction, square caps only along the line.
bool OnSegment(Point p, Point a, Point b, double width, bool roundCap) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    const double along = ((p.x - a.x) * dx + (p.y - a.y) * dy) / length;
    const double across = std::abs((p.x - a.x) * dy - (p.y - a.y) * dx) / length;
    if (roundCap) {
        if (along < 0) return Distance(p, a) <= width / 2;
        if (along > length) return Distance(p, b) <= width / 2;
        return across <= width / 2;
    }
    return along >= -width / 2 && along <= length + width / 2 && across <= width / 2;
}

bool InTriangle(Point p, Point a, Point b, Point c) {
    auto side = [](Point p, Point q, Point r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
    const double d1 = side(a, b, p), d2 = side(b, c, p), d3 = side(c, a, p);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

// The river: a cubic curve, flattened to short segments.
std::vector<Point> RiverPoints() {
    const Point p0{0, 20}, p1{10, 14}, p2{18, 26}, p3{32, 17};
    std::vector<Point> points;
    for (int i = 0; i <= 32; ++i) {
        const double t = i / 32.0, u = 1 - t;
        points.push_back({u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                          u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y});
    }
    return points;
}

// One layer of the drawing: a colour and the test whether a grid point is covered.
struct Layer {
    Colour colour;
    bool (*covers)(Point p, bool small);
};

const std::vector<Point>& River() {
    static const std::vector<Point> river = RiverPoints();
    return river;
}

bool TileCovers(Point p, bool) { return RoundedRectDistance(p, 1.5, 1.5, 29, 5) <= 0; }

bool RiverCovers(Point p, bool small) {
    if (!TileCovers(p, small)) return false;  // the river stays on the tile
    const std::vector<Point>& river = River();
    for (size_t i = 0; i + 1 < river.size(); ++i) {
        if (OnSegment(p, river[i], river[i + 1], small ? 3.0 : 2.5, true)) return true;
    }
    return false;
}

bool TileEdgeCovers(Point p, bool small) {
    return std::abs(RoundedRectDistance(p, 1.5, 1.5, 29, 5)) <= (small ? 2.0 : 1.0) / 2;
}

bool PoleCovers(Point p, bool small) { return OnSegment(p, {9, 27}, {9, 4}, small ? 2.5 : 2.0, false); }

bool FlagCovers(Point p, bool) { return InTriangle(p, {9, 4}, {25, 8.5}, {9, 13}); }

bool ArrowCovers(Point p, bool small) {
    const double width = small ? 3.5 : 2.5;
    return OnSegment(p, {28, 25}, {15, 25}, width, true) || OnSegment(p, {15, 25}, {19.5, 20.5}, width, true) ||
           OnSegment(p, {15, 25}, {19.5, 29.5}, width, true);
}

// Bottom to top.
const Layer kLayers[] = {
    {{0xcf, 0xe8, 0xc0}, TileCovers},      // green land
    {{0x4a, 0x8c, 0xd8}, RiverCovers},     // a blue river
    {{0x2e, 0x5e, 0x3a}, TileEdgeCovers},  // the tile's dark edge
    {{0x40, 0x30, 0x20}, PoleCovers},      // the flag's pole
    {{0xd8, 0x2a, 0x2a}, FlagCovers},      // the red waypoint flag
    {{0x10, 0x10, 0x60}, ArrowCovers},     // the arrow that goes before names
};

}  // namespace

IconImage DrawAppIcon(int side) {
    const bool small = side < 32;
    IconImage image;
    image.side = side;
    image.rgba.assign(static_cast<size_t>(side) * side * 4, 0);
    const double scale = kGrid / side;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            // Premultiplied colour and alpha, each layer painted over the ones below.
            double r = 0, g = 0, b = 0, a = 0;
            for (const Layer& layer : kLayers) {
                int covered = 0;
                for (int sy = 0; sy < kSamples; ++sy) {
                    for (int sx = 0; sx < kSamples; ++sx) {
                        const Point p{(x + (sx + 0.5) / kSamples) * scale, (y + (sy + 0.5) / kSamples) * scale};
                        covered += layer.covers(p, small) ? 1 : 0;
                    }
                }
                const double coverage = covered / double(kSamples * kSamples);
                r = layer.colour.r * coverage + r * (1 - coverage);
                g = layer.colour.g * coverage + g * (1 - coverage);
                b = layer.colour.b * coverage + b * (1 - coverage);
                a = coverage + a * (1 - coverage);
            }
            uint8_t* pixel = &image.rgba[(static_cast<size_t>(y) * side + x) * 4];
            if (a > 0) {
                pixel[0] = static_cast<uint8_t>(std::lround(r / a));
                pixel[1] = static_cast<uint8_t>(std::lround(g / a));
                pixel[2] = static_cast<uint8_t>(std::lround(b / a));
            }
            pixel[3] = static_cast<uint8_t>(std::lround(a * 255));
        }
    }
    return image;
}

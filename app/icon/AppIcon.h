#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The program's icon: a waypoint flag on a map tile with the left arrow the
// repair puts before names. Drawn here without any toolkit, so the Qt window,
// the Windows resource and the desktop entry's pictures are the same drawing.

// A square picture of straight (not premultiplied) RGBA pixels, row by row
// from the top.
struct IconImage {
    int side = 0;
    std::vector<uint8_t> rgba;  // side * side * 4 bytes

    uint8_t Alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * side + x) * 4 + 3]; }
};

// The icon at side pixels (16, 32 and 48 are the sizes the program ships).
// Below 32 pixels the strokes are drawn wider so they stay a pixel or more.
IconImage DrawAppIcon(int side);

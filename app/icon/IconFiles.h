#pragma once

#include <cstdint>
#include <vector>

#include "app/icon/AppIcon.h"

// The icon as files: a PNG picture for the desktop's icon theme, and a
// Windows .ico holding several sizes for the program's resource.

// An 8-bit RGBA PNG of the image (stored without compression: the pictures
// are a few kilobytes).
std::vector<uint8_t> EncodePng(const IconImage& image);

// A .ico with one 32-bit image per size, smallest first, each as the
// platform's bitmap with its alpha channel and a mask for older renderers.
std::vector<uint8_t> EncodeIco(const std::vector<IconImage>& images);

#pragma once

#include <QIcon>

// The program's icon, drawn at 32 and 16 pixels: a waypoint flag on a map
// tile with the left arrow the repair puts before names.
QIcon AppIcon();

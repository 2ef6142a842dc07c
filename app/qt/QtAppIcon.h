#pragma once

#include <QIcon>

// The program's icon (app/icon/AppIcon.h) at 32 and 16 pixels.
QIcon AppIcon();

#include "app/DialogTemplate.h"

#include <iterator>

#define LORVANE_CONTROL(id, kind, caption, x, y, width, height)
#define LORVANE_DIALOG(width, height, caption, points, face) \
    const DialogTemplate kDialogTemplate{width, height, caption, points, face};
#include "app/DialogTemplate.def"
#undef LORVANE_DIALOG
#undef LORVANE_CONTROL

#define LORVANE_DIALOG(width, height, caption, points, face)
#define LORVANE_CONTROL(id, kind, caption, x, y, width, height) {id, ControlKind::kind, caption, {x, y, width, height}},
const ControlTemplate kDialogControls[] = {
#include "app/DialogTemplate.def"
};
#undef LORVANE_DIALOG
#undef LORVANE_CONTROL

const int kDialogControlCount = static_cast<int>(std::size(kDialogControls));

namespace {

// a * b / c rounded to the nearest integer, for the non-negative values of a
// dialog template.
int MulDiv(int a, int b, int c) { return (a * b + c / 2) / c; }

}  // namespace

DialogRect MapDialogRect(const DialogRect& units, int baseWidth, int baseHeight) {
    const int left = MulDiv(units.x, baseWidth, 4);
    const int top = MulDiv(units.y, baseHeight, 8);
    const int right = MulDiv(units.x + units.width, baseWidth, 4);
    const int bottom = MulDiv(units.y + units.height, baseHeight, 8);
    return {left, top, right - left, bottom - top};
}

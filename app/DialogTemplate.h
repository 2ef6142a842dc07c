#pragma once

// The main dialog as laid out in dialog units (DialogTemplate.def): its size,
// its font and its controls in creation order, which is also the tab order.
// Dialog units scale with the dialog font, so the layout keeps its
// proportions at any screen scale.

enum class ControlKind {
    PushButton,
    Label,       // left-aligned static text
    RightLabel,  // right-aligned static text
    CountLabel,  // centred, sunken, starts empty
    EditBox,
    ListBox,
};

// Control ids. Labels that nobody addresses have the id -1.
namespace control {
inline constexpr int kNone = -1;
inline constexpr int kGarminPath = 1000;
inline constexpr int kChooseGarmin = 1001;
inline constexpr int kGarminList = 1002;
inline constexpr int kGtmPath = 1003;
inline constexpr int kListGarmin = 1004;
inline constexpr int kChooseGtm = 1005;
inline constexpr int kSelectNewest = 1006;
inline constexpr int kListGtm = 1007;
inline constexpr int kGtmList = 1008;
inline constexpr int kGarminCount = 1009;
inline constexpr int kGtmCount = 1010;
inline constexpr int kCorrectedList = 1011;
inline constexpr int kCorrectedCount = 1012;
inline constexpr int kCorrect = 1013;
inline constexpr int kSave = 1014;
inline constexpr int kPrefix = 1016;
}  // namespace control

struct DialogRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const DialogRect&) const = default;
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* caption;  // UTF-8
    DialogRect rect;      // in dialog units
};

struct DialogTemplate {
    int width, height;    // client size in dialog units
    const char* caption;  // UTF-8
    int fontPoints;
    const char* fontFace;  // UTF-8
};

extern const DialogTemplate kDialogTemplate;
extern const ControlTemplate kDialogControls[];
extern const int kDialogControlCount;

// A rectangle in dialog units converted to pixels, given the pixels of one
// base unit of the dialog font (the average width of the 52 Latin letters,
// and the line height): a horizontal unit is a quarter of the width, a
// vertical one an eighth of the height. Both corners are converted and
// rounded, as the platform does, so adjacent controls stay adjacent.
DialogRect MapDialogRect(const DialogRect& units, int baseWidth, int baseHeight);

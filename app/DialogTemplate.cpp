#include "app/DialogTemplate.h"

#include <QFontMetrics>
#include <QStringList>

#include <iterator>

const char* const kDialogCaption = "Lorvane 1.19";
const QSize kDialogSize(310, 224);

// In creation order, which is the tab order: the Correct button comes first
// and so has the focus when the dialog opens.
const ControlTemplate kDialogControls[] = {
    {control::kCorrect, ControlKind::PushButton, "校正!!", {180, 92, 39, 40}},
    {control::kNone, ControlKind::Label, "Garmin WTR/MPS/GDB 檔案:", {7, 7, 122, 8}},
    {control::kGarminPath, ControlKind::EditBox, "", {7, 22, 296, 14}},
    {control::kChooseGarmin, ControlKind::PushButton, "選擇檔案...", {199, 7, 50, 14}},
    {control::kListGarmin, ControlKind::PushButton, "列出航點", {253, 7, 50, 14}},
    {control::kNone, ControlKind::Label, "GPS TrackMaker GTM檔案:", {7, 43, 124, 8}},
    {control::kGtmPath, ControlKind::EditBox, "", {7, 58, 296, 14}},
    {control::kChooseGtm, ControlKind::PushButton, "選擇檔案...", {199, 43, 50, 14}},
    {control::kListGtm, ControlKind::PushButton, "列出航點", {253, 43, 50, 14}},
    {control::kNone, ControlKind::Label, "WTR航點列表:", {7, 79, 68, 8}},
    {control::kGarminList, ControlKind::ListBox, "", {7, 91, 80, 87}},
    {control::kGarminCount, ControlKind::CountLabel, "", {7, 184, 80, 10}},
    {control::kNone, ControlKind::Label, "GTM航點列表:", {93, 79, 68, 8}},
    {control::kGtmList, ControlKind::ListBox, "", {93, 91, 80, 87}},
    {control::kGtmCount, ControlKind::CountLabel, "", {94, 184, 80, 10}},
    {control::kNone, ControlKind::Label, "已校正航點列表:", {223, 80, 67, 8}},
    {control::kCorrectedList, ControlKind::ListBox, "", {223, 92, 80, 87}},
    {control::kCorrectedCount, ControlKind::CountLabel, "", {224, 185, 79, 10}},
    {control::kSave, ControlKind::PushButton, "存檔!!!", {180, 139, 40, 40}},
    {control::kNone, ControlKind::RightLabel, "英數轉中文名稱前置:", {177, 207, 87, 8}},
    {control::kPrefix, ControlKind::EditBox, "", {270, 203, 33, 14}},
    {control::kSelectNewest, ControlKind::PushButton, "自動選最新檔", {7, 202, 68, 14}},
};
const int kDialogControlCount = static_cast<int>(std::size(kDialogControls));

QFont DialogFont() {
    QFont font;
    // The first family the system has is used; the style hint steers the
    // fallback towards a serif face where none of them exists.
    font.setFamilies(QStringList{QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                                 QStringLiteral("AR PL UMing TW")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(9);
    return font;
}

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    // The average over 52 letters, rounded to the nearest pixel.
    const int width = (letters / 26 + 1) / 2;
    return QSize(width > 0 ? width : 1, metrics.height() > 0 ? metrics.height() : 1);
}

namespace {

// a * b / c rounded to the nearest integer, for the non-negative values of a
// dialog template.
int MulDiv(int a, int b, int c) { return (a * b + c / 2) / c; }

}  // namespace

QRect MapDialogRect(const QRect& units, const QSize& baseUnits) {
    const int left = MulDiv(units.x(), baseUnits.width(), 4);
    const int top = MulDiv(units.y(), baseUnits.height(), 8);
    const int right = MulDiv(units.x() + units.width(), baseUnits.width(), 4);
    const int bottom = MulDiv(units.y() + units.height(), baseUnits.height(), 8);
    return QRect(left, top, right - left, bottom - top);
}

#include "app/StringTable.h"

QString LoadMessageString(int id) {
    switch (id) {
    case message::kPrefixQuestion:
        return QStringLiteral(
            "發現非中文字起頭的航點名稱，這會導致GPS TrackMaker軟體在顯示中文時發生錯誤。"
            "程式可以自動將「←」加入航點名稱開頭，以避開此問題。"
            "但是如果原本名稱已經超過8個字元，將有部分會被破壞。"
            "需要自動更正嗎？否則保持原狀，使用者可在GTM中自行修改名稱。");
    case message::kIncompleteCorrection:
        return QStringLiteral("沒有完全校正成功！有些航點找不到對應的名稱，建議不要存檔。");
    case message::kSaveFailed:
        return QStringLiteral("存檔失敗，檔案沒有被更改。");
    default:
        return {};
    }
}

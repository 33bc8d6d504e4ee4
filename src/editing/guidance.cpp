#include "editing/guidance.h"

QString Disp_MessageText(qint16 MsgNo)
{
    switch (MsgNo) {
    case 1:
        return QStringLiteral("結線開始点の選択。(マウス右：選択終了)");
    case 2:
        return QStringLiteral("結線終了点の選択。(マウス右：結線開始点選択へ)");
    case 3:
        return QStringLiteral("削除線分の選択。同一線指定で解除(マウス右：削除)");
    case 4:
        return QStringLiteral("拡大 左クリック１点拡大、左ドラッグ領域指定 (マウス右：拡大終了)");
    case 5:
        return QStringLiteral("拡大領域2点目指定");
    case 6:
        return QStringLiteral("縮小 左クリック１点縮小、左ドラッグ領域指定 (マウス右：縮小終了)");
    case 7:
        return QStringLiteral("縮小領域2点目指定");
    case 8:
        return QStringLiteral("削除点の選択。同一点指定で解除(マウス右：削除)");
    default:
        return {};
    }
}

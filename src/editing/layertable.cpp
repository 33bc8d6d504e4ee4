#include "editing/layertable.h"

#include "document/numtext.h"

#include <algorithm>
#include <cmath>

double Lyr_CellValue(const QString& text)
{
    if (text.isEmpty())
        return -1;
    return NumText::typedValue(text).value_or(0.0);
}

void Lyr_FromRows(BlkRec& rec, const QList<LyrRow>& rows)
{
    rec.LyrCnt = 0;
    const qsizetype n = std::min<qsizetype>(rows.size(), BlkRec::LyrLast + 1);
    for (qsizetype r = 0; r < n; ++r) {
        const double h = Lyr_CellValue(rows[r].h);
        const double v = Lyr_CellValue(rows[r].v);
        if (h < 0.0001 || v < 0.0001)
            break;
        const int c = rec.LyrCnt;
        rec.LyrH[c] = h;
        rec.LyrV[c] = v;
        rec.LyrVSum[c] = c == 0 ? v : rec.LyrVSum[c - 1] + v;
        rec.LyrCnt = qint16(c + 1);
    }
}

std::optional<QString> Lyr_SumCheck(const BlkRec& rec)
{
    if (rec.LyrCnt < 1 || rec.LyrCnt > BlkRec::LyrLast + 1)
        return std::nullopt;
    const double s = rec.LyrVSum[rec.LyrCnt - 1];
    // A difference of exactly 0.0001 passes; the slack absorbs the binary
    // noise of decimal inputs (5.0001 - 5 is a hair above 0.0001 as a double).
    if (std::fabs(rec.V - s) <= 0.0001 + 1e-9)
        return std::nullopt;
    return QStringLiteral("層別体積表の合計値が違います。\r\n\r\n体積 = ") +
           NumText::fmt000(rec.V) + QStringLiteral("    層別体積合計 = ") + NumText::fmt000(s);
}

#include "editing/pointtable.h"

#include "editing/picking.h"

#include "document/numtext.h"

#include <algorithm>
#include <cmath>

namespace {

bool endsTable(const PntRow& row, double x, double y)
{
    // A row filled from a stored point and left alone is that point, not the
    // end mark the user types.
    const bool untouched = row.x.exact.has_value() && row.y.exact.has_value();
    return x == kPntEmpty && y == kPntEmpty && !untouched;
}

} // namespace

double Pnt_CellValue(const PntCell& cell)
{
    if (cell.exact)
        return *cell.exact;
    if (cell.text.isEmpty())
        return kPntEmpty;
    // A number too large for a double is no number at all.
    return NumText::typedValue(cell.text).value_or(0.0);
}

void Pnt_FromRows(BlkRec& rec, const QList<PntRow>& rows)
{
    int c = 1;
    const qsizetype n = std::min<qsizetype>(rows.size(), BlkRec::PntLast);
    for (qsizetype r = 0; r < n; ++r) {
        const double x = Pnt_CellValue(rows[r].x);
        const double y = Pnt_CellValue(rows[r].y);
        if (endsTable(rows[r], x, y))
            break;
        rec.PntX[c] = x;
        rec.PntY[c] = y;
        ++c;
    }
    rec.PntCnt = qint16(c - 1);
}

std::array<qint16, BlkRec::PntLast + 1> Pnt_Map(const BlkRec& old, const BlkRec& rec)
{
    std::array<qint16, BlkRec::PntLast + 1> map{};
    const int newCount = pntCount(rec);
    for (int j = 1; j <= pntCount(old); ++j) {
        for (int i = 1; i <= newCount; ++i) {
            if (std::fabs(old.PntX[j] - rec.PntX[i]) < 0.0001 &&
                std::fabs(old.PntY[j] - rec.PntY[i]) < 0.0001) {
                map[j] = qint16(i);
                break;
            }
        }
    }
    return map;
}

void Pnt_Relink(const BlkRec& old, BlkRec& rec)
{
    const auto map = Pnt_Map(old, rec);
    const int oldPoints = pntCount(old);
    auto renumber = [&](qint16 p) -> qint16 { return p >= 1 && p <= oldPoints ? map[p] : 0; };

    const int oldLines = lineCount(old);
    rec.LineSt.fill(0);
    rec.LineEd.fill(0);
    rec.LineCnt = 0;
    for (int k = 1; k <= oldLines; ++k) {
        const qint16 st = renumber(old.LineSt[k]);
        const qint16 ed = renumber(old.LineEd[k]);
        if (st > 0 && ed > 0) {
            ++rec.LineCnt;
            rec.LineSt[rec.LineCnt] = st;
            rec.LineEd[rec.LineCnt] = ed;
        }
    }
}

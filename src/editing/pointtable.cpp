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

bool holdsValues(const PntRow& row)
{
    return !row.x.text.isEmpty() || !row.y.text.isEmpty() || row.x.exact || row.y.exact;
}

// The rows that Pnt_FromRows takes.
int tableLength(const QList<PntRow>& rows)
{
    const int n = int(std::min<qsizetype>(rows.size(), BlkRec::PntLast));
    for (int r = 0; r < n; ++r) {
        if (endsTable(rows[r], Pnt_CellValue(rows[r].x), Pnt_CellValue(rows[r].y)))
            return r;
    }
    return n;
}

// For each old point, the new point whose row came from it; 0 when none.
PntOrigins newNumbers(const PntOrigins& origins, int newCount)
{
    PntOrigins to{};
    for (int i = 1; i <= newCount; ++i) {
        if (origins[i] >= 1 && origins[i] <= BlkRec::PntLast)
            to[origins[i]] = qint16(i);
    }
    return to;
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

PntCut Pnt_Cut(const QList<PntRow>& rows)
{
    PntCut cut;
    const int end = tableLength(rows);
    const int n = int(std::min<qsizetype>(rows.size(), BlkRec::PntLast));
    for (int r = end + 1; r < n; ++r) {
        if (holdsValues(rows[r]))
            ++cut.dropped;
    }
    if (cut.dropped > 0) {
        cut.row = end + 1;
        cut.marked = holdsValues(rows[end]);
    }
    return cut;
}

PntOrigins Pnt_Origins(const QList<PntRow>& rows, int count)
{
    PntOrigins origins{};
    for (int i = 1; i <= std::min<int>({count, int(rows.size()), BlkRec::PntLast}); ++i)
        origins[i] = rows[i - 1].origin;
    return origins;
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

PntLostLines Pnt_LostLines(const BlkRec& old, const BlkRec& rec, const PntOrigins& origins)
{
    const auto map = Pnt_Map(old, rec);
    const PntOrigins to = newNumbers(origins, pntCount(rec));
    const int oldPoints = pntCount(old);
    auto valid = [&](qint16 p) { return p >= 1 && p <= oldPoints; };
    PntLostLines lost;
    for (int k = 1; k <= lineCount(old); ++k) {
        const qint16 st = old.LineSt[k];
        const qint16 ed = old.LineEd[k];
        if (!valid(st) || !valid(ed) || (map[st] > 0 && map[ed] > 0))
            continue;
        (to[st] > 0 && to[ed] > 0 ? lost.moved : lost.gone) << k;
    }
    return lost;
}

void Pnt_Relink(const BlkRec& old, BlkRec& rec, const PntOrigins* follow)
{
    const auto map = Pnt_Map(old, rec);
    const PntOrigins to = follow ? newNumbers(*follow, pntCount(rec)) : PntOrigins{};
    const int oldPoints = pntCount(old);
    auto valid = [&](qint16 p) { return p >= 1 && p <= oldPoints; };

    const int oldLines = lineCount(old);
    rec.LineSt.fill(0);
    rec.LineEd.fill(0);
    rec.LineCnt = 0;
    for (int k = 1; k <= oldLines; ++k) {
        const qint16 oldSt = old.LineSt[k];
        const qint16 oldEd = old.LineEd[k];
        if (!valid(oldSt) || !valid(oldEd))
            continue;
        // By position first, as the segments have always been kept; a
        // segment lost that way follows its moved points when asked to.
        qint16 st = map[oldSt];
        qint16 ed = map[oldEd];
        if ((st == 0 || ed == 0) && to[oldSt] > 0 && to[oldEd] > 0) {
            st = to[oldSt];
            ed = to[oldEd];
        }
        if (st > 0 && ed > 0) {
            ++rec.LineCnt;
            rec.LineSt[rec.LineCnt] = st;
            rec.LineEd[rec.LineCnt] = ed;
        }
    }
}

#include "document/blkrec.h"

#include <algorithm>

void Blk_Clear(BlkRec& rec)
{
    rec.Name.clear();
    rec.Kind.clear();
    rec.B = rec.L = rec.H = rec.Gx = rec.Gy = rec.V = rec.Spare = 0;
    rec.LyrCnt = 0;
    rec.LyrH.fill(0);
    rec.LyrV.fill(0);
    rec.LyrVSum.fill(0);
    rec.PntCnt = 0;
    rec.LineCnt = 0;
    rec.PntX.fill(0);
    rec.PntY.fill(0);
    rec.LineSt.fill(0);
    rec.LineEd.fill(0);
}

namespace {

// A count read from a damaged file may lie outside the arrays; never index past them.
int usedUpTo(qint16 count, int last)
{
    return std::clamp<int>(count, 0, last);
}

} // namespace

bool Blk_Differs(const BlkRec& a, const BlkRec& b)
{
    if (a.Name != b.Name || a.Kind != b.Kind)
        return true;
    if (a.B != b.B || a.L != b.L || a.H != b.H || a.Gx != b.Gx || a.Gy != b.Gy || a.V != b.V ||
        a.Spare != b.Spare)
        return true;

    if (a.LyrCnt != b.LyrCnt)
        return true;
    for (int i = 0, n = usedUpTo(a.LyrCnt, BlkRec::LyrLast + 1); i < n; ++i) {
        if (a.LyrH[i] != b.LyrH[i] || a.LyrV[i] != b.LyrV[i])
            return true;
    }

    if (a.PntCnt != b.PntCnt)
        return true;
    for (int i = 1, n = usedUpTo(a.PntCnt, BlkRec::PntLast); i <= n; ++i) {
        if (a.PntX[i] != b.PntX[i] || a.PntY[i] != b.PntY[i])
            return true;
    }

    if (a.LineCnt != b.LineCnt)
        return true;
    for (int i = 1, n = usedUpTo(a.LineCnt, BlkRec::LineLast); i <= n; ++i) {
        if (a.LineSt[i] != b.LineSt[i] || a.LineEd[i] != b.LineEd[i])
            return true;
    }
    return false;
}

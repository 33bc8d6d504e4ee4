#include "editing/picking.h"

#include "editing/caltool.h"

#include <algorithm>
#include <cmath>

int pntCount(const BlkRec& blk)
{
    return std::clamp<int>(blk.PntCnt, 0, BlkRec::PntLast);
}

int lineCount(const BlkRec& blk)
{
    return std::clamp<int>(blk.LineCnt, 0, BlkRec::LineLast);
}

int selPntCount(const Module1& m)
{
    return std::clamp<int>(m.SelPntCnt, 0, Module1::SelLast + 1);
}

int selLineCount(const Module1& m)
{
    return std::clamp<int>(m.SelLineCnt, 0, Module1::SelLast + 1);
}

qint16 Near_Pnt(const BlkRec& blk, double x, double y, double r)
{
    qint16 found = -1;
    double rho = r;
    double best = r * r;
    const int n = pntCount(blk);
    for (int i = 1; i <= n; ++i) {
        // Written as "not within" so that a coordinate that is not a number
        // is rejected rather than accepted.
        const double dx = std::abs(blk.PntX[i] - x);
        if (!(dx <= rho))
            continue;
        const double dy = std::abs(blk.PntY[i] - y);
        if (!(dy <= rho))
            continue;
        const double d = dy * dy + dx * dx;
        if (!(d <= best))
            continue;
        found = qint16(i);
        rho = std::sqrt(d);
        best = d;
    }
    return found;
}

qint16 Near_Line(const BlkRec& blk, double x, double y, double r)
{
    const int n = lineCount(blk);
    if (n == 0)
        return -1;
    const int pnts = pntCount(blk);
    qint16 found = -1;
    double rho = r;
    double best = r * r;
    for (int i = 1; i <= n; ++i) {
        const int s = blk.LineSt[i];
        const int e = blk.LineEd[i];
        if (s < 1 || s > pnts || e < 1 || e > pnts)
            continue;
        const double x1 = blk.PntX[s] - x;
        const double y1 = blk.PntY[s] - y;
        const double x2 = blk.PntX[e] - x;
        const double y2 = blk.PntY[e] - y;
        if ((x1 > rho && x2 > rho) || (x1 < -rho && x2 < -rho) || (y1 > rho && y2 > rho) ||
            (y1 < -rho && y2 < -rho))
            continue;
        double fx = 0;
        double fy = 0;
        double d = 0;
        if (Perp_Foot(x1, y1, x2, y2, 0, 0, fx, fy) == 0)
            d = fx * fx + fy * fy;
        else
            d = std::min(x1 * x1 + y1 * y1, x2 * x2 + y2 * y2);
        if (d < best) {
            found = qint16(i);
            rho = std::sqrt(d);
            best = d;
        }
    }
    return found;
}

namespace {

qint16 findIn(const std::array<qint16, Module1::SelLast + 1>& list, int count, qint16 n)
{
    for (int k = 0; k < count; ++k) {
        if (list[k] == n)
            return qint16(k);
    }
    return -1;
}

} // namespace

qint16 SelPnt_Find(const Module1& m, qint16 n)
{
    return findIn(m.SelPnt, selPntCount(m), n);
}

qint16 SelLine_Find(const Module1& m, qint16 n)
{
    return findIn(m.SelLine, selLineCount(m), n);
}

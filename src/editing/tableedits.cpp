#include "editing/tableedits.h"

#include "editing/picking.h"

#include <array>

namespace {

// The segments to keep, gathered in order, then stored back from number 1 on
// a table that is zero everywhere else.
struct Segments
{
    std::array<qint16, BlkRec::LineLast + 1> st{};
    std::array<qint16, BlkRec::LineLast + 1> ed{};
    int count = 0;

    void add(qint16 s, qint16 e)
    {
        ++count;
        st[count] = s;
        ed[count] = e;
    }
    void storeInto(BlkRec& blk) const
    {
        blk.LineSt = st;
        blk.LineEd = ed;
        blk.LineCnt = qint16(count);
    }
};

bool validPoint(int p, int pntCnt)
{
    return p >= 1 && p <= pntCnt;
}

// A valid end numbered above the deleted point p follows its point down.
qint16 renumbered(qint16 end, int p, int pntCnt)
{
    return (validPoint(end, pntCnt) && end > p) ? qint16(end - 1) : end;
}

void deletePoint(BlkRec& blk, int p)
{
    const int pnts = pntCount(blk);
    Segments kept;
    for (int i = 1; i <= lineCount(blk); ++i) {
        const qint16 s = blk.LineSt[i];
        const qint16 e = blk.LineEd[i];
        if (s == p || e == p)
            continue;
        kept.add(renumbered(s, p, pnts), renumbered(e, p, pnts));
    }
    for (int q = p; q <= pnts - 1; ++q) {
        blk.PntX[q] = blk.PntX[q + 1];
        blk.PntY[q] = blk.PntY[q + 1];
    }
    blk.PntCnt = qint16(pnts - 1);
    kept.storeInto(blk);
}

} // namespace

LineAddResult Line_AddTest(const BlkRec& blk, qint16 a, qint16 b)
{
    const int pnts = pntCount(blk);
    if (a == b || !validPoint(a, pnts) || !validPoint(b, pnts))
        return LineAddResult::BadEnds;
    for (int i = 1; i <= lineCount(blk); ++i) {
        if ((blk.LineSt[i] == b && blk.LineEd[i] == a) ||
            (blk.LineEd[i] == b && blk.LineSt[i] == a))
            return LineAddResult::AlreadyThere;
    }
    if (blk.LineCnt >= BlkRec::LineLast)
        return LineAddResult::TableFull;
    return LineAddResult::Added;
}

LineAddResult Line_Add(Module1& m)
{
    BlkRec& blk = m.BlkData;
    const LineAddResult r = Line_AddTest(blk, m.NewLine[0], m.NewLine[1]);
    if (r != LineAddResult::Added)
        return r;
    const int i = lineCount(blk) + 1;
    blk.LineSt[i] = m.NewLine[0];
    blk.LineEd[i] = m.NewLine[1];
    blk.LineCnt = qint16(i);
    return r;
}

void SelLine_Del(Module1& m)
{
    BlkRec& blk = m.BlkData;
    const int lines = lineCount(blk);
    // Marked apart from the table, so that only the selected segments go,
    // whatever numbers a damaged segment holds.
    std::array<bool, BlkRec::LineLast + 1> gone{};
    for (int k = 0; k < selLineCount(m); ++k) {
        const int i = m.SelLine[k];
        if (i >= 1 && i <= lines)
            gone[i] = true;
    }
    Segments kept;
    for (int i = 1; i <= lines; ++i) {
        if (!gone[i])
            kept.add(blk.LineSt[i], blk.LineEd[i]);
    }
    kept.storeInto(blk);
}

void SelPnt_Del(Module1& m)
{
    const int n = selPntCount(m);
    for (int k = 0; k < n; ++k) {
        const int p = m.SelPnt[k];
        if (!validPoint(p, pntCount(m.BlkData)))
            continue;
        deletePoint(m.BlkData, p);
        for (int q = k + 1; q < n; ++q) {
            if (m.SelPnt[q] > p)
                --m.SelPnt[q];
            else if (m.SelPnt[q] == p)
                m.SelPnt[q] = -1; // listed twice: the point has gone already
        }
    }
}

void Line_DelAll(BlkRec& blk)
{
    blk.LineCnt = 0;
    blk.LineSt.fill(0);
    blk.LineEd.fill(0);
}

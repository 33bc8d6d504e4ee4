#pragma once

#include "document/blkrec.h"

#include <QString>

#include <cmath>
#include <numbers>

// The outlines the benchmarks share, at the table's limits (100 points and
// 100 segments, each segment joining a point to the next).

// Segment i joins point i to point i + 1, the last back to the first.
inline void closeRing(BlkRec& r)
{
    r.LineCnt = BlkRec::LineLast;
    for (int i = 1; i <= r.LineCnt; ++i) {
        r.LineSt[size_t(i)] = qint16(i);
        r.LineEd[size_t(i)] = qint16(i % r.PntCnt + 1);
    }
}

// A zigzag of 100 points closed by a segment across it: an outline that calls
// for care, which the listing's verdict finds at once and a full check works
// through. Values are thousandths, so that they read back exactly.
inline void zigzagOutline(BlkRec& r)
{
    r.PntCnt = BlkRec::PntLast;
    for (int i = 1; i <= r.PntCnt; ++i) {
        r.PntX[size_t(i)] = 24 * i / 1000.0;
        r.PntY[size_t(i)] = (i % 2) ? 0.0 : (2550 - i) / 1000.0;
    }
    closeRing(r);
}

// A ragged 100-gon of about 12 m × 8 m; thousandths: coordinates rounded to
// the block file's three decimals.
inline void raggedOutline(BlkRec& b, bool thousandths = false)
{
    b.PntCnt = BlkRec::PntLast;
    for (int i = 1; i <= BlkRec::PntLast; ++i) {
        const double a = 2 * std::numbers::pi * i / BlkRec::PntLast;
        const double r = 1 + 0.15 * std::sin(7 * a);
        double x = 6 + 6 * r * std::cos(a);
        double y = 4 + 4 * r * std::sin(a);
        if (thousandths) {
            x = std::round(x * 1000) / 1000;
            y = std::round(y * 1000) / 1000;
        }
        b.PntX[size_t(i)] = x;
        b.PntY[size_t(i)] = y;
    }
    closeRing(b);
}

// The listing benchmark's block n of a folder: the zigzag, 10 layer rows.
inline BlkRec zigzagBlock(int n)
{
    BlkRec r;
    r.Name = QStringLiteral("消波ブロック%1型").arg(n);
    r.Kind = QStringLiteral("スリット");
    r.B = 2.4 + n / 1000.0;
    r.H = 2.55;
    r.L = 1.8;
    r.V = 7.344;
    r.Gx = 1.2;
    r.Gy = 1.02;
    r.LyrCnt = 10;
    for (int i = 0; i < r.LyrCnt; ++i) {
        r.LyrH[size_t(i)] = 0.255;
        r.LyrV[size_t(i)] = 0.734;
        r.LyrVSum[size_t(i)] = 0.734 * (i + 1);
    }
    zigzagOutline(r);
    return r;
}

// The largest block a file holds: 51 layer rows, the zigzag, Japanese name
// and type.
inline BlkRec fullBlock()
{
    BlkRec r;
    r.Name = QStringLiteral("直立消波ブロック 8t型");
    r.Kind = QStringLiteral("スリット型");
    r.B = 2.4;
    r.H = 2.55;
    r.L = 1.8;
    r.V = 7.344;
    r.Gx = 1.275;
    r.Gy = 1.02;
    r.LyrCnt = BlkRec::LyrLast + 1;
    for (int i = 0; i < r.LyrCnt; ++i) {
        r.LyrH[size_t(i)] = 0.05;
        r.LyrV[size_t(i)] = 0.144;
        r.LyrVSum[size_t(i)] = 144 * (i + 1) / 1000.0;
    }
    zigzagOutline(r);
    return r;
}

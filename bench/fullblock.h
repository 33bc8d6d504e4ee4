#pragma once

#include "document/blkrec.h"

// The largest block a file holds: 51 layer rows, 100 points, 100 segments,
// Japanese name and type. Values are built as thousandths, so that they read
// back exactly.
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
        r.LyrH[i] = 0.05;
        r.LyrV[i] = 0.144;
        r.LyrVSum[i] = 144 * (i + 1) / 1000.0;
    }
    r.PntCnt = BlkRec::PntLast;
    for (int i = 1; i <= r.PntCnt; ++i) {
        r.PntX[i] = 24 * i / 1000.0;
        r.PntY[i] = (i % 2) ? 0.0 : (2550 - i) / 1000.0;
    }
    r.LineCnt = BlkRec::LineLast;
    for (int i = 1; i <= r.LineCnt; ++i) {
        r.LineSt[i] = qint16(i);
        r.LineEd[i] = qint16(i % r.PntCnt + 1);
    }
    return r;
}

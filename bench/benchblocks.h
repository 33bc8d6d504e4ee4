#pragma once

#include "document/blkrec.h"

#include <QString>

// The listing benchmark's block n of a folder: 100 points in a zigzag closed
// by a segment across it, 10 layer rows. Its outline calls for care, which the
// listing's verdict finds at once and a full check works through.
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
        r.LyrH[i] = 0.255;
        r.LyrV[i] = 0.734;
        r.LyrVSum[i] = 0.734 * (i + 1);
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

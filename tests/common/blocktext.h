#pragma once

#include "document/blkrec.h"

#include <QString>
#include <QStringList>

// Point and segment tables written as text: points "x,y x,y ..." numbered
// from 1, segments "s-e s-e ..." (a negative end reads "0--4").
inline BlkRec blockFromText(const QString& pts, const QString& segs = {})
{
    BlkRec b;
    for (const QString& p : pts.split(u' ', Qt::SkipEmptyParts)) {
        ++b.PntCnt;
        b.PntX[b.PntCnt] = p.section(u',', 0, 0).toDouble();
        b.PntY[b.PntCnt] = p.section(u',', 1, 1).toDouble();
    }
    for (const QString& s : segs.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype dash = s.indexOf(u'-', 1);
        ++b.LineCnt;
        b.LineSt[b.LineCnt] = qint16(s.left(dash).toInt());
        b.LineEd[b.LineCnt] = qint16(s.mid(dash + 1).toInt());
    }
    return b;
}

// The segment table in the same form.
inline QString segmentsText(const BlkRec& b)
{
    QStringList out;
    for (int i = 1; i <= b.LineCnt && i <= BlkRec::LineLast; ++i)
        out << QStringLiteral("%1-%2").arg(b.LineSt[i]).arg(b.LineEd[i]);
    return out.join(u' ');
}

// A rectangular outline b x h with its lower-left corner at the origin and
// B, H set to match.
inline BlkRec rectangleBlock(double b, double h)
{
    BlkRec r = blockFromText(QStringLiteral("0,0 %1,0 %1,%2 0,%2").arg(b).arg(h),
                             QStringLiteral("1-2 2-3 3-4 4-1"));
    r.B = b;
    r.H = h;
    return r;
}

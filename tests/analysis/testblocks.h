#pragma once

#include "document/blkrec.h"

#include <QDir>
#include <QList>
#include <QPointF>
#include <QTest>

// Blocks built in memory for the analysis tests.

inline qint16 addPoint(BlkRec& b, double x, double y)
{
    ++b.PntCnt;
    b.PntX[size_t(b.PntCnt)] = x;
    b.PntY[size_t(b.PntCnt)] = y;
    return b.PntCnt;
}

inline void addSegment(BlkRec& b, int from, int to)
{
    ++b.LineCnt;
    b.LineSt[size_t(b.LineCnt)] = qint16(from);
    b.LineEd[size_t(b.LineCnt)] = qint16(to);
}

// A block whose outline is the given loops, each closed by its own segments.
inline BlkRec loopsBlock(const QList<QList<QPointF>>& loops)
{
    BlkRec b;
    for (const QList<QPointF>& loop : loops) {
        const int first = b.PntCnt + 1;
        for (qsizetype i = 0; i < loop.size(); ++i) {
            const int p = addPoint(b, loop[i].x(), loop[i].y());
            addSegment(b, p, i + 1 < loop.size() ? p + 1 : first);
        }
    }
    return b;
}

inline QList<QPointF> rectangle(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// One data row per sample block file, column "path".
inline void addSampleRows()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(MRB_SAMPLES_DIR));
    for (const QString& name : dir.entryList({QStringLiteral("*.csv")}, QDir::Files))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

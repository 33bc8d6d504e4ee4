#include "analysis/blockchecks.h"
#include "analysis/outline.h"
#include "analysis/testblocks.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

QString list(const QList<qint16>& l)
{
    QStringList s;
    for (const qint16 n : l)
        s.append(QString::number(n));
    return s.join(u',');
}

// The findings in one line, listing only what is not empty:
// "loops 1/0; out 5; open 5,6; cross 1t5" (loops/holes; x cross, t touch, o overlap).
QString describe(const OutlineFindings& f)
{
    QStringList parts{QStringLiteral("loops %1/%2").arg(f.loops.size()).arg(f.holeCount())};
    auto add = [&](const char* name, const QString& items) {
        if (!items.isEmpty())
            parts.append(QLatin1String(name) + u' ' + items);
    };
    add("out", list(f.segmentsOutsideLoops));
    add("loose", list(f.loosePoints));
    add("open", list(f.openEnds));
    add("branch", list(f.branchPoints));
    add("zero", list(f.zeroLengthSegments));
    QStringList dup;
    for (const PointPair& d : f.duplicatePoints)
        dup.append(QStringLiteral("%1/%2").arg(d.first).arg(d.second));
    add("dup", dup.join(u','));
    QStringList cross;
    for (const SegmentCrossing& c : f.crossings) {
        const char kind = c.kind == CrossingKind::Cross   ? 'x'
                          : c.kind == CrossingKind::Touch ? 't'
                                                          : 'o';
        cross.append(QStringLiteral("%1%2%3").arg(c.first).arg(QLatin1Char(kind)).arg(c.second));
    }
    add("cross", cross.join(u','));
    add("bad", list(f.badSegments));
    add("coord", list(f.badPoints));
    return parts.join(QStringLiteral("; "));
}

BlkRec rect()
{
    return loopsBlock({rectangle(0, 0, 2, 1)});
}

} // namespace

class TstOutline : public QObject
{
    Q_OBJECT
private slots:
    void findings_data();
    void findings();
    void touchingLoops_data();
    void touchingLoops();
    void damagedRecords();
};

void TstOutline::findings_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rectangle") << rect() << "loops 1/0";
    QTest::newRow("slit") << loopsBlock({rectangle(0, 0, 3, 2.5), rectangle(0.4, 0.5, 1.6, 2)})
                          << "loops 2/1";
    BlkRec b = rect();
    addPoint(b, 1, 0.5);
    QTest::newRow("loose point") << b << "loops 1/0; loose 5";
    b = rect();
    b.LineCnt = 3;
    QTest::newRow("open chain") << b << "loops 0/0; out 1,2,3; open 1,4";
    b = rect();
    addSegment(b, 3, addPoint(b, 3, 1));
    QTest::newRow("tail on a loop") << b << "loops 1/0; out 5; open 5; branch 3";
    b = rect();
    addSegment(b, 1, 3);
    QTest::newRow("chord") << b << "loops 0/0; out 1,2,3,4,5; branch 1,3";
    QTest::newRow("bow-tie") << loopsBlock({{{0, 0}, {2, 2}, {2, 0}, {0, 2}}})
                             << "loops 1/0; cross 1x3";
    b = loopsBlock({{{0, 0}, {2, 0}, {2, 1}, {2, 1}, {0, 1}}});
    QTest::newRow("zero length in a loop") << b << "loops 1/0; zero 3; dup 3/4";
    b = rect();
    addSegment(b, 2, 2);
    QTest::newRow("point to itself") << b << "loops 1/0; out 5; zero 5";
    b = rect();
    addPoint(b, 0.00005, 0);
    QTest::newRow("duplicate point") << b << "loops 1/0; loose 5; dup 1/5";
    b = rect();
    addSegment(b, 0, 3);
    addSegment(b, 2, 101);
    QTest::newRow("bad numbers") << b << "loops 1/0; out 5,6; bad 5,6";
    b = rect();
    addSegment(b, 2, 1);
    QTest::newRow("same segment twice") << b << "loops 0/0; out 1,2,3,4,5; branch 1,2; cross 1o5";
    b = rect();
    addSegment(b, addPoint(b, 1, 0.5), addPoint(b, 1, 0));
    QTest::newRow("touch") << b << "loops 1/0; out 5; open 5,6; cross 1t5";
    b = rect();
    addSegment(b, addPoint(b, 0.5, 0), addPoint(b, 1.5, 0));
    QTest::newRow("collinear overlap") << b << "loops 1/0; out 5; open 5,6; cross 1o5";
    b = rect();
    b.PntY[3] = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("NaN point") << b << "loops 0/0; out 1,2,3,4; open 2,4; coord 3";
    b = rect();
    b.PntCnt = -3;
    b.LineCnt = -7;
    QTest::newRow("negative counts") << b << "loops 0/0";
}

void TstOutline::findings()
{
    QFETCH(BlkRec, block);
    QFETCH(QString, expected);
    QCOMPARE(describe(analyzeOutline(block)), expected);
}

// Two loops touching at the middle of the segment a loop is walked from:
// that middle lies on both loops and must not decide which encloses which.
// Segments are "from-to" point numbers.
void TstOutline::touchingLoops_data()
{
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<QStringList>("segments");
    QTest::addColumn<QString>("expected");

    const QList<QPointF> holed = {{0, 0}, {4, 0}, {4, 2}, {0, 2}, {0, 1}, {1, 0.5}, {1, 1.5}};
    const QString hole = QStringLiteral("外形 1、穴 1");
    QTest::newRow("hole touching the first segment")
        << holed << QStringList{"4-1", "1-2", "2-3", "3-4", "5-6", "6-7", "7-5"} << hole;
    QTest::newRow("hole, outline walked from another segment")
        << holed << QStringList{"1-2", "2-3", "3-4", "4-1", "5-6", "6-7", "7-5"} << hole;
    QTest::newRow("hole, hole numbered first")
        << QList<QPointF>{{0, 1}, {1, 0.5}, {1, 1.5}, {0, 0}, {4, 0}, {4, 2}, {0, 2}}
        << QStringList{"1-2", "2-3", "3-1", "7-4", "4-5", "5-6", "6-7"} << hole;

    const QList<QPointF> pair = {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {2, 1}, {3, 0.5}, {3, 1.5}};
    const QString two = QStringLiteral("外形 2、穴 0");
    QTest::newRow("pieces touching at the first segment")
        << pair << QStringList{"2-3", "3-4", "4-1", "1-2", "5-6", "6-7", "7-5"} << two;
    QTest::newRow("pieces, square walked from another segment")
        << pair << QStringList{"1-2", "2-3", "3-4", "4-1", "5-6", "6-7", "7-5"} << two;
    QTest::newRow("pieces, triangle walked from the touching corner")
        << pair << QStringList{"6-7", "7-5", "5-6", "2-3", "3-4", "4-1", "1-2"} << two;
}

void TstOutline::touchingLoops()
{
    QFETCH(QList<QPointF>, points);
    QFETCH(QStringList, segments);
    QFETCH(QString, expected);
    BlkRec b;
    for (const QPointF& p : points)
        addPoint(b, p.x(), p.y());
    for (const QString& s : segments)
        addSegment(b, s.section(u'-', 0, 0).toInt(), s.section(u'-', 1, 1).toInt());
    const QString detail = checkBlock(b).row(CheckId::ClosedSection).detail;
    QVERIFY2(detail.contains(expected), qPrintable(detail));
}

// Records as a damaged file or a faulty edit could leave them: every number
// reported must be one the window can mark, whatever the record holds.
void TstOutline::damagedRecords()
{
    const double values[] = {0,
                             1,
                             0.5,
                             2,
                             2,
                             1e-320,
                             -1,
                             1e300,
                             -1e300,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 400; ++round) {
        BlkRec b;
        b.PntCnt = qint16(rng.bounded(-5, 130));
        b.LineCnt = qint16(rng.bounded(-5, 130));
        b.LyrCnt = qint16(rng.bounded(-5, 70));
        for (int i = 0; i <= BlkRec::PntLast; ++i) {
            b.PntX[size_t(i)] = values[rng.bounded(int(std::size(values)))];
            b.PntY[size_t(i)] = values[rng.bounded(int(std::size(values)))];
            b.LineSt[size_t(i)] = qint16(rng.bounded(-3, 110));
            b.LineEd[size_t(i)] = qint16(rng.bounded(-3, 110));
        }
        for (int i = 0; i <= BlkRec::LyrLast; ++i)
            b.LyrH[size_t(i)] = b.LyrV[size_t(i)] = values[rng.bounded(int(std::size(values)))];
        b.L = values[rng.bounded(int(std::size(values)))];

        const BlockCheckReport r = checkBlock(b);
        QCOMPARE(r.rows.size(), kCheckCount);
        for (const CheckRow& row : r.rows) {
            QCOMPARE(row.id, r.rows[int(row.id)].id);
            for (const qint16 p : row.points)
                QVERIFY2(p >= 1 && p <= r.outline.pntCnt, qPrintable(row.title));
            for (const qint16 s : row.segments)
                QVERIFY2(s >= 1 && s <= r.outline.lineCnt, qPrintable(row.title));
        }
        for (const OutlineLoop& loop : r.outline.loops)
            QCOMPARE(loop.points.size(), loop.segments.size());
        QVERIFY(std::isfinite(r.section.area()) && r.section.area() >= 0);
    }
}

QTEST_GUILESS_MAIN(TstOutline)
#include "tst_outline.moc"

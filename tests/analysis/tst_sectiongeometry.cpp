#include "analysis/outline.h"
#include "analysis/sectiongeometry.h"
#include "analysis/testblocks.h"

#include <QTest>

#include <algorithm>

class TstSectionGeometry : public QObject
{
    Q_OBJECT
private slots:
    void areaAndCentroid_data();
    void areaAndCentroid();
};

void TstSectionGeometry::areaAndCentroid_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::addColumn<double>("area");
    QTest::addColumn<QPointF>("centroid");
    QTest::addColumn<QRectF>("bounds"); // x, y of the lower-left corner, width, height

    // Hand-computed: the L as a 3 x 1 slab and a 1 x 2 wall; the trapezoid's
    // centroid at h (b + 2a) / (3 (a + b)) above its base b.
    QTest::newRow("rectangle") << loopsBlock({rectangle(0, 0, 2, 1)}) << 2.0 << QPointF(1, 0.5)
                               << QRectF(0, 0, 2, 1);
    QTest::newRow("L shape") << loopsBlock({{{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}}})
                             << 5.0 << QPointF(1.1, 1.1) << QRectF(0, 0, 3, 3);
    QTest::newRow("trapezoid") << loopsBlock({{{0, 0}, {4, 0}, {3, 2}, {1, 2}}}) << 6.0
                               << QPointF(2, 16.0 / 18) << QRectF(0, 0, 4, 2);
    const QList<QPointF> slit = rectangle(0.4, 0.5, 1.6, 2);
    QTest::newRow("slit") << loopsBlock({rectangle(0, 0, 3, 2.5), slit}) << 5.7
                          << QPointF(9.45 / 5.7, 1.25) << QRectF(0, 0, 3, 2.5);
    QList<QPointF> reversed = slit;
    std::reverse(reversed.begin(), reversed.end());
    QTest::newRow("slit drawn the other way")
        << loopsBlock({reversed, rectangle(0, 0, 3, 2.5)}) << 5.7 << QPointF(9.45 / 5.7, 1.25)
        << QRectF(0, 0, 3, 2.5);
    // Even-odd: both triangles of a figure crossing itself are solid.
    QTest::newRow("bow-tie") << loopsBlock({{{0, 0}, {2, 2}, {2, 0}, {0, 2}}}) << 2.0
                             << QPointF(1, 1) << QRectF(0, 0, 2, 2);
    QTest::newRow("away from the origin")
        << loopsBlock({rectangle(10, 5, 12, 8)}) << 6.0 << QPointF(11, 6.5) << QRectF(10, 5, 2, 3);
}

void TstSectionGeometry::areaAndCentroid()
{
    QFETCH(BlkRec, block);
    QFETCH(double, area);
    QFETCH(QPointF, centroid);
    QFETCH(QRectF, bounds);
    const SectionGeometry s(block, analyzeOutline(block));
    QVERIFY(s.hasArea());
    QVERIFY(qAbs(s.area() - area) < 1e-12);
    QVERIFY2(qAbs(s.centroid().x() - centroid.x()) < 1e-12 &&
                 qAbs(s.centroid().y() - centroid.y()) < 1e-12,
             qPrintable(QStringLiteral("%1, %2").arg(s.centroid().x()).arg(s.centroid().y())));
    const SectionBounds& b = s.bounds();
    QCOMPARE(QRectF(b.xMin, b.yMin, b.width(), b.height()), bounds);
}

QTEST_GUILESS_MAIN(TstSectionGeometry)
#include "tst_sectiongeometry.moc"

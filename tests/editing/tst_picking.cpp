#include "common/blocktext.h"
#include "document/module1.h"
#include "editing/picking.h"

#include <QPointF>
#include <QTest>

#include <limits>
#include <memory>

class TstPicking : public QObject
{
    Q_OBJECT
private slots:
    void nearest_data();
    void nearest();
    void selFind();
};

void TstPicking::nearest_data()
{
    QTest::addColumn<bool>("points"); // Near_Pnt, else Near_Line
    QTest::addColumn<QString>("pts");
    QTest::addColumn<QString>("segs");
    QTest::addColumn<QPointF>("click");
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("found");
    const QString sq = QStringLiteral("0,0 10,0 10,10 0,10");
    QTest::newRow("P none") << true << ""
                            << "" << QPointF(0, 0) << 999.0 << -1;
    QTest::newRow("P coinciding: highest") << true << "1,1 1,1 9,9"
                                           << "" << QPointF() << 999.0 << 2;
    QTest::newRow("P equal: highest") << true << "-1,0 0,1 1,0 5,5"
                                      << "" << QPointF() << 999.0 << 3;
    QTest::newRow("P at radius") << true << "3,4"
                                 << "" << QPointF() << 5.0 << 1;
    QTest::newRow("P beyond radius") << true << "3,4"
                                     << "" << QPointF() << 4.999 << -1;
    QTest::newRow("P box corner") << true << "3.6,3.6"
                                  << "" << QPointF() << 5.0 << -1;
    QTest::newRow("P beyond 999 m") << true << sq << "" << QPointF(2000, 0) << 999.0 << -1;
    QTest::newRow("L none") << false << sq << "" << QPointF(0, 0) << 999.0 << -1;
    QTest::newRow("L nearest") << false << sq << "1-2 2-3 3-4" << QPointF(9, 5) << 999.0 << 2;
    // Beyond the shared corner 2 both are 1 m away.
    QTest::newRow("L equal: lowest") << false << sq << "2-3 1-2" << QPointF(11, 0) << 999.0 << 1;
    // In line with segment 1 beyond its end: 2 m from the end against 3 m,
    // then 5 m against 2 m, although its extended line passes the click.
    QTest::newRow("L beyond end") << false << "0,0 1,0 6,3 6,-3"
                                  << "1-2 3-4" << QPointF(3, 0) << 999.0 << 1;
    QTest::newRow("L beyond end, farther") << false << "0,0 1,0 4,3 4,-3"
                                           << "1-2 3-4" << QPointF(6, 0) << 999.0 << 2;
    QTest::newRow("L no length, farther") << false << "5,5 5,5 0,0 0,9"
                                          << "1-2 3-4" << QPointF(1, 5) << 999.0 << 2;
    QTest::newRow("L at radius") << false << sq << "1-2" << QPointF(5, 3) << 3.0 << -1;
    QTest::newRow("L within radius") << false << sq << "1-2" << QPointF(5, 3) << 3.001 << 1;
    QTest::newRow("L beyond 999 m") << false << sq << "1-2" << QPointF(0, -1500) << 999.0 << -1;
    // Segments naming points outside 1..PntCnt are never found, however near.
    QTest::newRow("L point 0") << false << sq << "0-2 3-4" << QPointF(1, 0) << 999.0 << 2;
    QTest::newRow("L beyond PntCnt") << false << sq << "1-5 3-4" << QPointF(1, 0) << 999.0 << 2;
    QTest::newRow("L negative") << false << sq << "-3-1 3-4" << QPointF(1, 0) << 999.0 << 2;
    QTest::newRow("L beyond arrays") << false << sq << "1-32000 3-4" << QPointF(1, 0) << 999.0 << 2;
}

void TstPicking::nearest()
{
    QFETCH(bool, points);
    QFETCH(QString, pts);
    QFETCH(QString, segs);
    QFETCH(QPointF, click);
    QFETCH(double, r);
    QFETCH(int, found);
    const BlkRec b = blockFromText(pts, segs);
    QCOMPARE(
        int(points ? Near_Pnt(b, click.x(), click.y(), r) : Near_Line(b, click.x(), click.y(), r)),
        found);
}

void TstPicking::selFind()
{
    // Damaged counts stay within the arrays; a coordinate that is not a
    // number never wins.
    BlkRec b = blockFromText("0,0 2,0 9,0 0,10", "3-4");
    b.PntX[2] = std::numeric_limits<double>::quiet_NaN();
    QCOMPARE(Near_Pnt(b, 1, 0, 999), qint16(1));
    b.PntCnt = 300;
    b.PntX[100] = 50;
    QCOMPARE(Near_Pnt(b, 50, 0, 999), qint16(100));
    b.LineCnt = 1000;
    QCOMPARE(Near_Line(b, 1, 9, 999), qint16(1));

    auto m = std::make_unique<Module1>();
    QCOMPARE(SelPnt_Find(*m, 0), qint16(-1)); // empty list, although entry 0 holds 0
    m->SelPnt = {4, 7, 4, 9};
    m->SelPntCnt = 3;
    QCOMPARE(SelPnt_Find(*m, 4), qint16(0));
    QCOMPARE(SelPnt_Find(*m, 9), qint16(-1)); // beyond the count
    m->SelLine[100] = 5;
    m->SelLineCnt = 500;
    QCOMPARE(SelLine_Find(*m, 5), qint16(100));
}

QTEST_GUILESS_MAIN(TstPicking)
#include "tst_picking.moc"

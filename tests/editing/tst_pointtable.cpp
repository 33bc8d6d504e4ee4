#include "document/numtext.h"
#include "editing/pointtable.h"

#include <QPoint>
#include <QPointF>
#include <QTest>

namespace {

// A block of four points with the given segments ("1-2", ...).
BlkRec block(const QList<QPointF>& points, const QStringList& segments)
{
    BlkRec b;
    for (const QPointF& p : points) {
        ++b.PntCnt;
        b.PntX[b.PntCnt] = p.x();
        b.PntY[b.PntCnt] = p.y();
    }
    for (const QString& s : segments) {
        ++b.LineCnt;
        b.LineSt[b.LineCnt] = qint16(s.section(u'-', 0, 0).toInt());
        b.LineEd[b.LineCnt] = qint16(s.section(u'-', 1, 1).toInt());
    }
    return b;
}

const QList<QPointF> kSquare = {{0, 0}, {2, 0}, {2, 1.5}, {0, 1.5}};
const QStringList kRing = {"1-2", "2-3", "3-4", "4-1"};

} // namespace

class TstPointTable : public QObject
{
    Q_OBJECT
private slots:
    void editAndRelink_data();
    void editAndRelink();
    void readsAtMostHundredRows();
};

// Edits are "row:column:text" on the grid as the editor fills it (rows from
// 1, column 1 X, 2 Y); an edited cell loses its exact stored value.
void TstPointTable::editAndRelink_data()
{
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<QStringList>("segments");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<QList<QPointF>>("newPoints");
    QTest::addColumn<QStringList>("newSegments");

    QTest::newRow("unchanged") << kSquare << kRing << QStringList{} << true << kSquare << kRing;
    QTest::newRow("moved point") << kSquare << kRing << QStringList{"2:1:2.5"} << true
                                 << QList<QPointF>{{0, 0}, {2.5, 0}, {2, 1.5}, {0, 1.5}}
                                 << QStringList{"3-4", "4-1"};
    QTest::newRow("moved by less than 0.0001")
        << kSquare << kRing << QStringList{"2:1:2.00005"} << true
        << QList<QPointF>{{0, 0}, {2.00005, 0}, {2, 1.5}, {0, 1.5}} << kRing;
    QTest::newRow("moved by 0.0002")
        << kSquare << kRing << QStringList{"4:2:1.5002"} << true
        << QList<QPointF>{{0, 0}, {2, 0}, {2, 1.5}, {0, 1.5002}} << QStringList{"1-2", "2-3"};
    QTest::newRow("exchanged rows")
        << kSquare << kRing << QStringList{"2:1:2", "2:2:1.5", "3:1:2.000", "3:2: 0"} << true
        << QList<QPointF>{{0, 0}, {2, 1.5}, {2, 0}, {0, 1.5}}
        << QStringList{"1-3", "3-2", "2-4", "4-1"};
    QTest::newRow("cleared row in the middle") << kSquare << kRing << QStringList{"2:1:", "2:2:"}
                                               << true << QList<QPointF>{{0, 0}} << QStringList{};
    QTest::newRow("one empty cell is -999")
        << kSquare << kRing << QStringList{"3:2:"} << true
        << QList<QPointF>{{0, 0}, {2, 0}, {2, -999}, {0, 1.5}} << QStringList{"1-2", "4-1"};
    QTest::newRow("typed -999 pair ends the table")
        << kSquare << kRing << QStringList{"3:1:-999", "3:2:-999.000"} << true
        << QList<QPointF>{{0, 0}, {2, 0}} << QStringList{"1-2"};
    QTest::newRow("stored decimals kept when untouched")
        << QList<QPointF>{{0, 0}, {1.2346, 0}} << QStringList{"1-2"} << QStringList{} << true
        << QList<QPointF>{{0, 0}, {1.2346, 0}} << QStringList{"1-2"};
    QTest::newRow("retyped rounded text moves the point")
        << QList<QPointF>{{0, 0}, {1.2346, 0}} << QStringList{"1-2"} << QStringList{"2:1:1.235"}
        << true << QList<QPointF>{{0, 0}, {1.235, 0}} << QStringList{};
    QTest::newRow("untouched point at -999 pair kept")
        << QList<QPointF>{{0, 0}, {-999, -999}, {1, 1}} << QStringList{"1-3"} << QStringList{}
        << true << QList<QPointF>{{0, 0}, {-999, -999}, {1, 1}} << QStringList{"1-3"};
    QTest::newRow("out-of-range ends dropped")
        << kSquare << QStringList{"1-2", "2-7", "0-1", "3--1", "3-4"} << QStringList{} << true
        << kSquare << QStringList{"1-2", "3-4"};
    QTest::newRow("cancel rebuilds the segments")
        << QList<QPointF>{{0, 0}, {1, 0}, {0, 0}} << QStringList{"1-2", "2-3", "2-9"}
        << QStringList{"2:1:5"} << false << QList<QPointF>{{0, 0}, {1, 0}, {0, 0}}
        << QStringList{"1-2", "2-1"};
}

void TstPointTable::editAndRelink()
{
    QFETCH(QList<QPointF>, points);
    QFETCH(QStringList, segments);
    QFETCH(QStringList, edits);
    QFETCH(bool, registered);
    QFETCH(QList<QPointF>, newPoints);
    QFETCH(QStringList, newSegments);

    const BlkRec old = block(points, segments);
    BlkRec rec = old;
    QList<PntRow> rows(BlkRec::PntLast);
    for (int i = 1; i <= old.PntCnt; ++i)
        rows[i - 1] = {{NumText::fmtHash000(old.PntX[i]), old.PntX[i]},
                       {NumText::fmtHash000(old.PntY[i]), old.PntY[i]}};
    for (const QString& e : edits) {
        PntRow& row = rows[e.section(u':', 0, 0).toInt() - 1];
        PntCell& cell = e.section(u':', 1, 1) == u"1" ? row.x : row.y;
        cell = PntCell{e.section(u':', 2), std::nullopt};
    }
    if (registered)
        Pnt_FromRows(rec, rows);
    Pnt_Relink(old, rec);

    QList<QPointF> gotPoints;
    for (int i = 1; i <= rec.PntCnt; ++i)
        gotPoints << QPointF(rec.PntX[i], rec.PntY[i]);
    QStringList gotSegments;
    for (int k = 1; k <= rec.LineCnt; ++k)
        gotSegments << QStringLiteral("%1-%2").arg(rec.LineSt[k]).arg(rec.LineEd[k]);
    QCOMPARE(gotPoints, newPoints);
    QCOMPARE(gotSegments, newSegments);
    QCOMPARE(rec.LineSt[rec.LineCnt + 1], qint16(0)); // the rest of the table is cleared
}

void TstPointTable::readsAtMostHundredRows()
{
    QList<PntRow> rows(BlkRec::PntLast + 5, PntRow{{"1", {}}, {"2", {}}});
    BlkRec rec;
    Pnt_FromRows(rec, rows);
    QCOMPARE(rec.PntCnt, qint16(BlkRec::PntLast));
}

QTEST_APPLESS_MAIN(TstPointTable)
#include "tst_pointtable.moc"

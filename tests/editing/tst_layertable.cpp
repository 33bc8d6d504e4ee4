#include "editing/layertable.h"

#include <QTest>

class TstLayerTable : public QObject
{
    Q_OBJECT
private slots:
    void readAndCheck_data();
    void readAndCheck();
    void readsAtMostFiftyOneRows();
};

// Rows are "height|volume" as typed into the layer grid.
void TstLayerTable::readAndCheck_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<double>("volume");
    QTest::addColumn<QList<double>>("sums");
    QTest::addColumn<QString>("message");

    const QString head = QStringLiteral("層別体積表の合計値が違います。\r\n\r\n体積 = ");
    QTest::newRow("cumulative volumes")
        << QStringList{"1.0|2.0", "1.5|3.0"} << 5.0 << QList<double>{2, 5} << QString();
    QTest::newRow("off by 0.00005 passes")
        << QStringList{"1|2.0", "1|3.00005"} << 5.0 << QList<double>{2, 5.00005} << QString();
    QTest::newRow("off by exactly 0.0001 passes")
        << QStringList{"1|2.0", "1|3.0001"} << 5.0 << QList<double>{2, 5.0001} << QString();
    QTest::newRow("off by 0.0002 fails")
        << QStringList{"1|2.0", "1|3.0002"} << 5.0 << QList<double>{2, 5.0002}
        << head + QStringLiteral("5.000    層別体積合計 = 5.000");
    QTest::newRow("message with both values")
        << QStringList{"2|9.5"} << 10.0 << QList<double>{9.5}
        << head + QStringLiteral("10.000    層別体積合計 = 9.500");
    QTest::newRow("no layer rows, any volume")
        << QStringList{} << 7.0 << QList<double>{} << QString();
    QTest::newRow("zero volume ends the table")
        << QStringList{"1|1", "1|0", "1|1"} << 1.0 << QList<double>{1} << QString();
    QTest::newRow("height with empty volume ends it")
        << QStringList{"1|1", "2|", "1|1"} << 1.0 << QList<double>{1} << QString();
    QTest::newRow("tiny height ends it")
        << QStringList{"0.00009|1"} << 3.0 << QList<double>{} << QString();
    QTest::newRow("text ends it") << QStringList{"abc|1"} << 0.0 << QList<double>{} << QString();
}

void TstLayerTable::readAndCheck()
{
    QFETCH(QStringList, rows);
    QFETCH(double, volume);
    QFETCH(QList<double>, sums);
    QFETCH(QString, message);

    QList<LyrRow> cells;
    for (const QString& r : rows)
        cells << LyrRow{r.section(u'|', 0, 0), r.section(u'|', 1, 1)};
    BlkRec rec;
    rec.LyrCnt = 9; // a stale count must not survive
    rec.V = volume;
    Lyr_FromRows(rec, cells);

    QCOMPARE(int(rec.LyrCnt), int(sums.size()));
    for (int i = 0; i < rec.LyrCnt; ++i)
        QCOMPARE(rec.LyrVSum[i], sums[i]);
    QCOMPARE(Lyr_SumCheck(rec).value_or(QString()), message);
}

void TstLayerTable::readsAtMostFiftyOneRows()
{
    BlkRec rec;
    Lyr_FromRows(rec, QList<LyrRow>(60, LyrRow{"1", "1"}));
    QCOMPARE(int(rec.LyrCnt), BlkRec::LyrLast + 1);
    QCOMPARE(rec.LyrVSum[BlkRec::LyrLast], 51.0);
}

QTEST_APPLESS_MAIN(TstLayerTable)
#include "tst_layertable.moc"

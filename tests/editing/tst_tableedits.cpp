#include "common/blocktext.h"
#include "document/module1.h"
#include "editing/tableedits.h"

#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(LineAddResult)

namespace {

// Points 1..5 at x = 1..5 and the ring 1-2, 2-3, 3-4, 4-5, 5-1, or other segments.
std::unique_ptr<Module1> ring(const QString& segs = QStringLiteral("1-2 2-3 3-4 4-5 5-1"))
{
    auto m = std::make_unique<Module1>();
    m->BlkData = blockFromText(QStringLiteral("1,0 2,0 3,0 4,0 5,0"), segs);
    return m;
}

// "x x ... | s-e ...", and every segment entry beyond the count must be 0.
QString tables(const BlkRec& b)
{
    QStringList xs;
    for (int k = 1; k <= b.PntCnt; ++k)
        xs << QString::number(b.PntX[k]);
    for (int i = 0; i <= BlkRec::LineLast; ++i) {
        if ((i == 0 || i > b.LineCnt) && (b.LineSt[i] != 0 || b.LineEd[i] != 0))
            return QStringLiteral("stale segment %1").arg(i);
    }
    return xs.join(u' ') + QStringLiteral(" | ") + segmentsText(b);
}

template <typename List> void select(List& list, qint16& count, const QList<int>& ns)
{
    for (int k = 0; k < ns.size(); ++k)
        list[k] = qint16(ns[k]);
    count = qint16(ns.size());
}

} // namespace

class TstTableEdits : public QObject
{
    Q_OBJECT
private slots:
    void deletion_data();
    void deletion();
    void lineAdd_data();
    void lineAdd();
};

void TstTableEdits::deletion_data()
{
    QTest::addColumn<bool>("points"); // SelPnt_Del, else SelLine_Del
    QTest::addColumn<QString>("segs");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("after");
    const QString r = QStringLiteral("1-2 2-3 3-4 4-5 5-1");
    QTest::newRow("point 3") << true << r << QList<int>{3} << "1 2 4 5 | 1-2 3-4 4-1";
    QTest::newRow("points 5, 3") << true << r << QList<int>{5, 3} << "1 2 4 | 1-2";
    QTest::newRow("points 3, 5") << true << r << QList<int>{3, 5} << "1 2 4 | 1-2";
    QTest::newRow("points 4, 2") << true << r << QList<int>{4, 2} << "1 3 5 | 3-1";
    QTest::newRow("point listed twice") << true << r << QList<int>{3, 3} << "1 2 4 5 | 1-2 3-4 4-1";
    QTest::newRow("points outside")
        << true << r << QList<int>{0, 6, -1, 32000} << "1 2 3 4 5 | " + r;
    // A damaged end stays as it is; the valid end is renumbered.
    QTest::newRow("end beyond PntCnt")
        << true << "1-2 3-9 3-4" << QList<int>{1} << "2 3 4 5 | 2-9 2-3";
    QTest::newRow("ends 0 and negative")
        << true << "0--4 3-4" << QList<int>{2} << "1 3 4 5 | 0--4 2-3";
    QTest::newRow("segments 2, 4") << false << r << QList<int>{4, 2} << "1 2 3 4 5 | 1-2 3-4 5-1";
    QTest::newRow("all segments") << false << r << QList<int>{5, 1, 3, 2, 4} << "1 2 3 4 5 | ";
    QTest::newRow("segments outside") << false << r << QList<int>{0, 6, -2} << "1 2 3 4 5 | " + r;
    QTest::newRow("only the selected")
        << false << "0-0 -1--1 1-2" << QList<int>{3} << "1 2 3 4 5 | 0-0 -1--1";
}

void TstTableEdits::deletion()
{
    QFETCH(bool, points);
    QFETCH(QString, segs);
    QFETCH(QList<int>, selected);
    QFETCH(QString, after);
    auto m = ring(segs);
    if (points) {
        select(m->SelPnt, m->SelPntCnt, selected);
        SelPnt_Del(*m);
    } else {
        select(m->SelLine, m->SelLineCnt, selected);
        SelLine_Del(*m);
    }
    QCOMPARE(tables(m->BlkData), after);
}

void TstTableEdits::lineAdd_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("lineCnt");
    QTest::addColumn<LineAddResult>("result");
    QTest::newRow("new, as picked") << 3 << 1 << 5 << LineAddResult::Added;
    QTest::newRow("same direction") << 2 << 3 << 5 << LineAddResult::AlreadyThere;
    QTest::newRow("reversed") << 3 << 2 << 5 << LineAddResult::AlreadyThere;
    QTest::newRow("100th") << 1 << 3 << 99 << LineAddResult::Added;
    QTest::newRow("101st refused") << 1 << 3 << 100 << LineAddResult::TableFull;
    QTest::newRow("same point") << 4 << 4 << 5 << LineAddResult::BadEnds;
    QTest::newRow("beyond PntCnt") << 1 << 6 << 5 << LineAddResult::BadEnds;
}

void TstTableEdits::lineAdd()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, lineCnt);
    QFETCH(LineAddResult, result);
    auto m = ring();
    BlkRec& b = m->BlkData;
    b.LineCnt = qint16(lineCnt); // segments 6.. are 0-0 fillers
    const BlkRec before = b;
    m->NewLine = {qint16(from), qint16(to)};
    QCOMPARE(Line_Add(*m), result);
    QCOMPARE(b.LineCnt, qint16(lineCnt + (result == LineAddResult::Added)));
    if (result == LineAddResult::Added)
        QCOMPARE(QPoint(b.LineSt[b.LineCnt], b.LineEd[b.LineCnt]), QPoint(from, to));
    else
        QVERIFY(!Blk_Differs(b, before));
}

QTEST_GUILESS_MAIN(TstTableEdits)
#include "tst_tableedits.moc"

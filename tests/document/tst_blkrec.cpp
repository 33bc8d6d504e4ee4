#include "document/blkrec.h"
#include "document/module1.h"

#include <QTest>

#include <functional>

class TstBlkRec : public QObject
{
    Q_OBJECT
private slots:
    void clearEmptiesEverything();
    void differs_data();
    void differs();
    void changeAndChangeBackIsNotModified();
    void damagedCountsNeverIndexOutside();
};

namespace {

BlkRec sampleBlock()
{
    BlkRec r;
    r.Name = QStringLiteral("消波ブロック 2t");
    r.Kind = QStringLiteral("A型");
    r.B = 2;
    r.L = 3;
    r.H = 1.5;
    r.Gx = 1;
    r.Gy = 0.7;
    r.V = 4.2;
    r.LyrCnt = 2;
    r.LyrH = {0.5, 1.0};
    r.LyrV = {2.0, 2.2};
    r.LyrVSum = {2.0, 4.2};
    r.PntCnt = 3;
    r.PntX[1] = 0;
    r.PntX[2] = 2;
    r.PntX[3] = 2;
    r.PntY[3] = 1.5;
    r.LineCnt = 2;
    r.LineSt[1] = 1;
    r.LineEd[1] = 2;
    r.LineSt[2] = 2;
    r.LineEd[2] = 3;
    return r;
}

using Change = std::function<void(BlkRec&)>;

} // namespace

Q_DECLARE_METATYPE(Change)

void TstBlkRec::clearEmptiesEverything()
{
    BlkRec r = sampleBlock();
    r.Spare = 9;
    r.PntX[0] = 5;
    r.LineSt[0] = 7;
    r.LyrVSum[50] = 1;
    Blk_Clear(r);
    QVERIFY(r.Name.isEmpty() && r.Kind.isEmpty());
    QCOMPARE(r.B + r.L + r.H + r.Gx + r.Gy + r.V + r.Spare, 0.0);
    QCOMPARE(r.LyrCnt, 0);
    QCOMPARE(r.PntCnt, 0);
    QCOMPARE(r.LineCnt, 0);
    for (int i = 0; i <= 50; ++i)
        QVERIFY(r.LyrH[i] == 0 && r.LyrV[i] == 0 && r.LyrVSum[i] == 0);
    for (int i = 0; i <= 100; ++i)
        QVERIFY(r.PntX[i] == 0 && r.PntY[i] == 0 && r.LineSt[i] == 0 && r.LineEd[i] == 0);
}

void TstBlkRec::differs_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("modified");
    QTest::newRow("nothing") << Change([](BlkRec&) {}) << false;
    QTest::newRow("name case") << Change([](BlkRec& r) { r.Name += u'a'; }) << true;
    QTest::newRow("kind") << Change([](BlkRec& r) { r.Kind.clear(); }) << true;
    QTest::newRow("B") << Change([](BlkRec& r) { r.B = 2.0000001; }) << true;
    QTest::newRow("V") << Change([](BlkRec& r) { r.V = 4.3; }) << true;
    QTest::newRow("spare") << Change([](BlkRec& r) { r.Spare = 1; }) << true;
    QTest::newRow("layer count") << Change([](BlkRec& r) { r.LyrCnt = 1; }) << true;
    QTest::newRow("layer volume") << Change([](BlkRec& r) { r.LyrV[1] = 2.3; }) << true;
    QTest::newRow("cumulative only") << Change([](BlkRec& r) { r.LyrVSum[1] = 99; }) << false;
    QTest::newRow("layer beyond count") << Change([](BlkRec& r) { r.LyrH[2] = 7; }) << false;
    QTest::newRow("point y") << Change([](BlkRec& r) { r.PntY[2] = 0.1; }) << true;
    QTest::newRow("point beyond count") << Change([](BlkRec& r) { r.PntX[4] = 1; }) << false;
    QTest::newRow("point element 0") << Change([](BlkRec& r) { r.PntX[0] = 1; }) << false;
    QTest::newRow("segment end") << Change([](BlkRec& r) { r.LineEd[2] = 1; }) << true;
    QTest::newRow("segment beyond count") << Change([](BlkRec& r) { r.LineSt[3] = 1; }) << false;
    QTest::newRow("segment count") << Change([](BlkRec& r) { r.LineCnt = 1; }) << true;
}

void TstBlkRec::differs()
{
    QFETCH(Change, change);
    QFETCH(bool, modified);
    Module1 m;
    m.BlkData = sampleBlock();
    m.SaveData = m.BlkData;
    change(m.BlkData);
    QCOMPARE(Data_Modified(m), modified);
    QCOMPARE(Blk_Differs(m.SaveData, m.BlkData), modified);
}

void TstBlkRec::changeAndChangeBackIsNotModified()
{
    Module1 m;
    m.BlkData = sampleBlock();
    m.SaveData = m.BlkData;
    const double old = m.BlkData.PntX[2];
    m.BlkData.PntX[2] = 5;
    QVERIFY(Data_Modified(m));
    m.BlkData.PntX[2] = old;
    QVERIFY(!Data_Modified(m));
}

void TstBlkRec::damagedCountsNeverIndexOutside()
{
    // A failed read may leave a count beyond the arrays; comparing such records
    // must stay inside them (the sanitizer build checks this).
    BlkRec a = sampleBlock();
    a.LyrCnt = 52;
    a.PntCnt = 32767;
    a.LineCnt = 30000;
    BlkRec b = a;
    QVERIFY(!Blk_Differs(a, b));
    b.LineEd[100] = 3;
    QVERIFY(Blk_Differs(a, b));
}

QTEST_GUILESS_MAIN(TstBlkRec)
#include "tst_blkrec.moc"

#include "analysis/blockchecks.h"
#include "analysis/blockfigures.h"
#include "analysis/similarblock.h"
#include "analysis/testblocks.h"
#include "document/blockfile.h"
#include "editing/layertable.h"

#include <QTest>

#include <cmath>

class TstSimilarBlock : public QObject
{
    Q_OBJECT
private slots:
    void doubledMass_data();
    void doubledMass();
    void sixteenTonnes();
    void refused();
    void names_data();
    void names();
};

void TstSimilarBlock::doubledMass_data()
{
    addSampleRows();
}

// Each sample at twice its mass: lengths × 2^(1/3), volumes × 2, rounded to
// the file's step; the layer volumes add up to V; every check that passed
// still passes.
void TstSimilarBlock::doubledMass()
{
    QFETCH(QString, path);
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, path));
    const FigureSettings s;
    const double mass = massFigures(b, s).mass;
    const SimilarBlock r = makeSimilarBlock(b, s, {SimilarRequest::By::Mass, 2 * mass});
    QVERIFY2(r.ok, qPrintable(r.error));
    const double k = std::cbrt(2.0);
    QVERIFY(std::fabs(r.factor - k) < 1e-12);
    const BlkRec& n = r.block;
    const double halfStep = 0.0005 + 1e-12;
    for (int p = 1; p <= b.PntCnt; ++p) {
        QVERIFY(std::fabs(n.PntX[p] - b.PntX[p] * k) <= halfStep);
        QVERIFY(std::fabs(n.PntY[p] - b.PntY[p] * k) <= halfStep);
    }
    for (const auto& [now, was] :
         {std::pair{n.B, b.B}, {n.H, b.H}, {n.L, b.L}, {n.Gx, b.Gx}, {n.Gy, b.Gy}})
        QVERIFY(std::fabs(now - was * k) <= halfStep);
    QVERIFY(std::fabs(n.V - 2 * b.V) <= halfStep);
    QCOMPARE(n.LyrCnt, b.LyrCnt);
    QCOMPARE(n.LineCnt, b.LineCnt);
    QCOMPARE(n.LineSt, b.LineSt);
    QVERIFY2(!Lyr_SumCheck(n), qPrintable(Lyr_SumCheck(n).value_or(QString())));
    QCOMPARE(n.LyrVSum[n.LyrCnt - 1], n.V);
    QVERIFY(r.checksLost.isEmpty());
    const BlockCheckReport before = checkBlock(b);
    const BlockCheckReport after = checkBlock(n);
    for (int i = 0; i < kCheckCount; ++i) {
        if (before.rows[i].verdict == Verdict::Pass)
            QVERIFY2(after.rows[i].verdict == Verdict::Pass, qPrintable(after.rows[i].title));
    }
    QVERIFY(std::fabs(r.newMass - 2 * mass) < 0.01);
    // Every value that moved is listed, by no more than the rounding.
    for (const RoundingMove& m : r.moves)
        QVERIFY2(std::fabs(m.moved()) <= (m.volume ? 0.005 : halfStep), qPrintable(m.what));
}

void TstSimilarBlock::sixteenTonnes()
{
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv")));
    const SimilarBlock r = makeSimilarBlock(b, FigureSettings(), {SimilarRequest::By::Mass, 16});
    QVERIFY(r.ok);
    QCOMPARE(r.block.Name, QStringLiteral("消波ブロック 16t型"));
    QCOMPARE(r.block.Kind, b.Kind);
    QVERIFY(std::fabs(r.newMass - 16) < 0.002);
    QVERIFY(checkBlock(r.block).passed());
}

void TstSimilarBlock::refused()
{
    BlkRec b = loopsBlock({rectangle(0, 0, 1, 1)});
    b.L = 1;
    const FigureSettings s;
    QVERIFY(!makeSimilarBlock(b, s, {SimilarRequest::By::Mass, 2}).ok); // V = 0: no mass
    b.V = 1;
    QVERIFY(!makeSimilarBlock(b, s, {SimilarRequest::By::Mass, -2}).ok);
    QVERIFY(!makeSimilarBlock(b, s, {SimilarRequest::By::Factor, 0}).ok);
    QVERIFY(!makeSimilarBlock(b, s, {SimilarRequest::By::Factor, 1000}).ok);
    const SimilarBlock r = makeSimilarBlock(b, s, {SimilarRequest::By::Factor, 2});
    QVERIFY(r.ok);
    QCOMPARE(r.block.PntX[2], 2.0);
    QCOMPARE(r.block.V, 8.0);
    QCOMPARE(r.block.Name, QStringLiteral("18.4t")); // 2.3 × 8, appended to no name
}

void TstSimilarBlock::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("mass");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "消波ブロック 8t型" << 16.0 << "消波ブロック 16t型";
    QTest::newRow("decimal kept") << "消波ブロック 8.0t型" << 16.0 << "消波ブロック 16.0t型";
    QTest::newRow("blank before t") << "消波ブロック 8 t型" << 4.0 << "消波ブロック 4 t型";
    QTest::newRow("half a tonne") << "消波ブロック 0.5t型" << 1.0 << "消波ブロック 1t型";
    QTest::newRow("to half a tonne") << "消波ブロック 1t型" << 0.5 << "消波ブロック 0.5t型";
    QTest::newRow("full width") << "消波ブロック ８ｔ型" << 16.0 << "消波ブロック １６ｔ型";
    QTest::newRow("full-width decimal") << "型 ０．５ｔ" << 2.0 << "型 ２ｔ";
    QTest::newRow("uneven mass") << "8t型" << 16.192 << "16.19t型";
    QTest::newRow("no mass") << "消波ブロック 標準型" << 16.0 << "消波ブロック 標準型 16t";
    QTest::newRow("empty") << "" << 2.0 << "2t";
    QTest::newRow("capital T") << "ブロック 2T" << 4.0 << "ブロック 4T";
    QTest::newRow("number in a word") << "Type8tx" << 16.0 << "Type8tx 16t";
    QTest::newRow("first mass only") << "8t型 (2t×4)" << 16.0 << "16t型 (2t×4)";
}

void TstSimilarBlock::names()
{
    QFETCH(QString, name);
    QFETCH(double, mass);
    QFETCH(QString, expected);
    QCOMPARE(suggestScaledName(name, mass), expected);
    // What a name says is the mass the next of the series doubles.
    if (!expected.endsWith(QStringLiteral(" 16t")) && !name.isEmpty())
        QVERIFY(massInName(name).has_value());
}

QTEST_GUILESS_MAIN(TstSimilarBlock)
#include "tst_similarblock.moc"

#include "analysis/blockchecks.h"
#include "analysis/testblocks.h"
#include "document/blockfile.h"

#include <QTest>

#include <functional>

namespace {

using Change = std::function<void(BlkRec&)>;

QStringList titles(const BlockCheckReport& r, Verdict v)
{
    QStringList out;
    for (const CheckRow& row : r.rows) {
        if (row.verdict == v)
            out.append(row.title);
    }
    return out;
}

BlkRec slitSample()
{
    BlkRec b;
    if (!Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/block_13t_slit.csv")))
        qFatal("slit sample missing");
    return b;
}

} // namespace

class TstBlockChecks : public QObject
{
    Q_OBJECT
private slots:
    void samplesPass_data();
    void samplesPass();
    void verdicts_data();
    void verdicts();
    void marks();
};

void TstBlockChecks::samplesPass_data()
{
    addSampleRows();
}

void TstBlockChecks::samplesPass()
{
    QFETCH(QString, path);
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, path));
    const BlockCheckReport r = checkBlock(b);
    for (const CheckRow& row : r.rows)
        QVERIFY2(row.verdict == Verdict::Pass, qPrintable(row.title + u' ' + row.detail));
    QCOMPARE(r.summaryText(), QStringLiteral("検査: 合格"));
    QVERIFY(blockPasses(b));
}

void TstBlockChecks::verdicts_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("cautions");
    QTest::addColumn<QStringList>("notApplicable");
    QTest::addColumn<QString>("summary");

    const QStringList none;
    QTest::newRow("V 10 % high") << Change([](BlkRec& b) { b.V *= 1.1; })
                                 << QStringList{"体積 A×L と V", "累計体積と V"} << none
                                 << "検査: 注意 2";
    QTest::newRow("V 0.4 % high: within A×L, not the table")
        << Change([](BlkRec& b) { b.V *= 1.004; }) << QStringList{"累計体積と V"} << none
        << "検査: 注意 1";
    QTest::newRow("Gx 2 cm off") << Change([](BlkRec& b) { b.Gx += 0.02; })
                                 << QStringList{"重心位置"} << none << "検査: 注意 1";
    QTest::newRow("Gy 5 mm off") << Change([](BlkRec& b) { b.Gy += 0.005; }) << none << none
                                 << "検査: 合格";
    QTest::newRow("B 5 cm wide") << Change([](BlkRec& b) { b.B += 0.05; }) << QStringList{"幅 B"}
                                 << none << "検査: 注意 1";
    QTest::newRow("H 10 cm high") << Change([](BlkRec& b) { b.H += 0.1; })
                                  << QStringList{"高さ H", "層高さの合計と H"} << none
                                  << "検査: 注意 2";
    QTest::newRow("lowest layer 10 cm thicker")
        << Change([](BlkRec& b) { b.LyrH[0] += 0.1; })
        << QStringList{"層高さの合計と H", "層体積と断面"} << none << "検査: 注意 2";
    QTest::newRow("one ⊿V off") << Change([](BlkRec& b) { b.LyrV[2] += 0.05; })
                                << QStringList{"層体積と断面"} << none << "検査: 注意 1";
    QTest::newRow("no layer table")
        << Change([](BlkRec& b) { b.LyrCnt = 0; }) << none
        << QStringList{"層高さの合計と H", "累計体積と V", "層体積と断面"} << "検査: 合格";
    QTest::newRow("no segments") << Change([](BlkRec& b) { b.LineCnt = 0; })
                                 << QStringList{"閉じた断面", "孤立点"}
                                 << QStringList{"体積 A×L と V", "重心位置", "幅 B", "高さ H",
                                                "層体積と断面"}
                                 << "検査: 注意 2";
}

void TstBlockChecks::verdicts()
{
    QFETCH(Change, change);
    QFETCH(QStringList, cautions);
    QFETCH(QStringList, notApplicable);
    QFETCH(QString, summary);
    BlkRec b = slitSample();
    change(b);
    const BlockCheckReport r = checkBlock(b);
    QCOMPARE(titles(r, Verdict::Caution), cautions);
    QCOMPARE(titles(r, Verdict::NotApplicable), notApplicable);
    QCOMPARE(r.summaryText(), summary);
    QCOMPARE(r.passed(), cautions.isEmpty());
    QCOMPARE(blockPasses(b), cautions.isEmpty());
}

// What the window marks in the drawing comes with each row.
void TstBlockChecks::marks()
{
    BlkRec b = slitSample();
    b.PntX[1] = 1.0; // the outer outline's first corner moved into the slit wall's way
    b.PntY[1] = 1.0;
    addSegment(b, 3, addPoint(b, 3.5, 2.5));
    const BlockCheckReport r = checkBlock(b);

    const CheckRow& ends = r.row(CheckId::OpenEnds);
    QCOMPARE(ends.verdict, Verdict::Caution);
    QCOMPARE(ends.points, QList<qint16>{9});
    QCOMPARE(ends.segments, QList<qint16>{9});
    const CheckRow& cross = r.row(CheckId::Crossings);
    QCOMPARE(cross.segments, (QList<qint16>{1, 4, 6, 8}));
    QCOMPARE(cross.positions.size(), 2);
    QCOMPARE(r.row(CheckId::BranchPoints).points, QList<qint16>{3});
    const CheckRow& g = r.row(CheckId::Centroid);
    QCOMPARE(g.verdict, Verdict::Caution);
    QCOMPARE(g.positions.size(), 2);
}

QTEST_GUILESS_MAIN(TstBlockChecks)
#include "tst_blockchecks.moc"

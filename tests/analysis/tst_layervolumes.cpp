#include "analysis/layervolumes.h"
#include "analysis/outline.h"
#include "analysis/testblocks.h"
#include "document/blockfile.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

constexpr double kL = 1.5;

// The trapezoid (0,0) (4,0) (3,2) (1,2) is 4 - y wide at height y, so the
// area below y is 4y - y²/2; above its top nothing is added.
double trapezoidBand(double lo, double hi)
{
    auto below = [](double y) {
        y = std::clamp(y, 0.0, 2.0);
        return 4 * y - y * y / 2;
    };
    return kL * (below(hi) - below(lo));
}

} // namespace

class TstLayerVolumes : public QObject
{
    Q_OBJECT
private slots:
    void trapezoid_data();
    void trapezoid();
    void samplesReproduced_data();
    void samplesReproduced();
    void noLoopNoFill();
};

void TstLayerVolumes::trapezoid_data()
{
    QTest::addColumn<double>("lift"); // the whole outline moved up by this
    QTest::addColumn<QList<double>>("heights");
    QTest::addColumn<QList<double>>("expected");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("0.5 0.5 1") << 0.0 << QList<double>{0.5, 0.5, 1}
                               << QList<double>{trapezoidBand(0, 0.5), trapezoidBand(0.5, 1),
                                                trapezoidBand(1, 2)};
    QTest::newRow("top layer beyond the top")
        << 0.0 << QList<double>{1, 0.5, 1}
        << QList<double>{trapezoidBand(0, 1), trapezoidBand(1, 1.5), trapezoidBand(1.5, 2)};
    QTest::newRow("drawn 10 m up: stacked from its bottom")
        << 10.0 << QList<double>{0.5, 0.5, 1}
        << QList<double>{trapezoidBand(0, 0.5), trapezoidBand(0.5, 1), trapezoidBand(1, 2)};
    QTest::newRow("negative and NaN heights hold nothing")
        << 0.0 << QList<double>{0.5, -0.2, nan, 1.5}
        << QList<double>{trapezoidBand(0, 0.5), 0, 0, trapezoidBand(0.5, 2)};
}

void TstLayerVolumes::trapezoid()
{
    QFETCH(double, lift);
    QFETCH(QList<double>, heights);
    QFETCH(QList<double>, expected);
    const BlkRec b = loopsBlock({{{0, lift}, {4, lift}, {3, lift + 2}, {1, lift + 2}}});
    const QList<double> got = layerVolumes(SectionGeometry(b, analyzeOutline(b)), kL,
                                           std::span(heights.constData(), size_t(heights.size())));
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        QVERIFY2(std::fabs(got[i] - expected[i]) < 1e-12,
                 qPrintable(QStringLiteral("layer %1: %2").arg(i).arg(got[i], 0, 'g', 17)));
}

void TstLayerVolumes::samplesReproduced_data()
{
    addSampleRows();
}

// The samples were computed exactly from their outlines; filling the table
// and proposing V, Gx, Gy from the outline must give what the files hold.
void TstLayerVolumes::samplesReproduced()
{
    QFETCH(QString, path);
    BlkRec stored;
    QVERIFY(Blk_ReadPath(stored, path));
    QVERIFY(stored.LyrCnt > 0);
    BlkRec filled = stored;
    filled.LyrV.fill(-1);
    filled.LyrVSum.fill(-1);
    QVERIFY(fillLayerVolumes(filled));
    for (int i = 0; i < stored.LyrCnt; ++i) {
        QCOMPARE(filled.LyrV[size_t(i)], stored.LyrV[size_t(i)]);
        QCOMPARE(filled.LyrVSum[size_t(i)], stored.LyrVSum[size_t(i)]);
    }
    const SpecProposal p = proposeSpec(stored);
    QVERIFY(p.ok);
    QCOMPARE(p.V, stored.V);
    QCOMPARE(p.Gx, stored.Gx);
    QCOMPARE(p.Gy, stored.Gy);
    QCOMPARE(p.B, stored.B);
    QCOMPARE(p.H, stored.H);
}

void TstLayerVolumes::noLoopNoFill()
{
    BlkRec b = loopsBlock({rectangle(0, 0, 2, 1)});
    b.LineCnt = 3;
    b.L = 1;
    b.LyrCnt = 1;
    b.LyrH[0] = 1;
    b.LyrV[0] = 7;
    QVERIFY(!fillLayerVolumes(b));
    QCOMPARE(b.LyrV[0], 7.0);
    QVERIFY(!proposeSpec(b).ok);
}

QTEST_GUILESS_MAIN(TstLayerVolumes)
#include "tst_layervolumes.moc"

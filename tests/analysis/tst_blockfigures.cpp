#include "analysis/blockfigures.h"
#include "analysis/outline.h"
#include "analysis/testblocks.h"
#include "document/blockfile.h"
#include "document/figuresettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

constexpr double kEps = 1e-9;
const double kNaN = std::nan("");

// A rectangle 2 × 2 with L = 1.5 (V = 6) and two layers of 1 m.
BlkRec rectangleBlock()
{
    BlkRec b = loopsBlock({rectangle(0, 0, 2, 2)});
    b.B = 2;
    b.H = 2;
    b.L = 1.5;
    b.V = 6;
    b.LyrCnt = 2;
    b.LyrH = {1, 1};
    b.LyrV = {3, 3};
    b.LyrVSum = {3, 6};
    return b;
}

// The trapezoid of the 8 t sample: width 2 - 0.4 y, L = 1.1, four layers.
BlkRec trapezoidBlock()
{
    BlkRec b = loopsBlock({{{0, 0}, {2, 0}, {2, 2}, {0.8, 2}}});
    b.B = 2;
    b.H = 2;
    b.L = 1.1;
    b.V = 3.52;
    b.LyrCnt = 4;
    b.LyrH = {0.5, 0.5, 0.5, 0.5};
    b.LyrV = {1.045, 0.935, 0.825, 0.715};
    b.LyrVSum = {1.045, 1.98, 2.805, 3.52};
    return b;
}

// A 4 × 3 block with a 2 × 1 hole from (1, 1) to (3, 2), L = 1, no layers.
BlkRec holedBlock()
{
    BlkRec b = loopsBlock({rectangle(0, 0, 4, 3), rectangle(1, 1, 3, 2)});
    b.L = 1;
    b.V = 10;
    return b;
}

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) <= kEps;
}

WaterLevelFigures at(const BlkRec& b, double h)
{
    const FigureSettings s;
    const WaterLevel level{QStringLiteral("H.W.L."), h};
    return waterLevelFigures(b, SectionGeometry(b, analyzeOutline(b)), s, {&level, 1}).first();
}

// The area below h of one loop, by another road than the section's slabs:
// the polygon clipped to the half-plane y <= h (Sutherland-Hodgman), then the
// shoelace formula.
double clippedArea(const BlkRec& b, const OutlineLoop& loop, double h)
{
    QList<QPointF> in;
    for (const qint16 p : loop.points)
        in << QPointF(b.PntX[p], b.PntY[p]);
    QList<QPointF> out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const QPointF a = in[i];
        const QPointF c = in[(i + 1) % in.size()];
        if (a.y() <= h)
            out << a;
        if ((a.y() <= h) != (c.y() <= h))
            out << a + (c - a) * ((h - a.y()) / (c.y() - a.y()));
    }
    double twice = 0;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QPointF a = out[i];
        const QPointF c = out[(i + 1) % out.size()];
        twice += a.x() * c.y() - c.x() * a.y();
    }
    return std::fabs(twice) / 2;
}

} // namespace

class TstBlockFigures : public QObject
{
    Q_OBJECT
private slots:
    void mass();
    void outlineFigures_data();
    void outlineFigures();
    void forces();
    void layerFigures_data();
    void layerFigures();
    void samplesAgainstClipping_data();
    void samplesAgainstClipping();
    void tables();
    void settingsFile();
};

void TstBlockFigures::mass()
{
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv")));
    const MassFigures m = massFigures(b, FigureSettings());
    // V = 3.520 m3: 2.30 × 3.52 = 8.096 t, × 9.81 = 79.42176 kN; box 2 × 2 × 1.1.
    QVERIFY(same(m.mass, 8.096));
    QVERIFY(same(m.weight, 79.42176));
    QVERIFY(same(m.fillRatio, 0.8));
    QVERIFY(std::isnan(massFigures(1, 0, 2, 3, FigureSettings()).fillRatio));
}

// Figures worked by hand: submerged volume and centre of buoyancy.
void TstBlockFigures::outlineFigures_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("volume");
    QTest::addColumn<double>("cx");
    QTest::addColumn<double>("cy");

    QTest::newRow("rectangle below") << rectangleBlock() << -0.5 << 0.0 << kNaN << kNaN;
    QTest::newRow("rectangle at the bottom") << rectangleBlock() << 0.0 << 0.0 << kNaN << kNaN;
    QTest::newRow("rectangle inside") << rectangleBlock() << 0.5 << 1.5 << 1.0 << 0.25;
    QTest::newRow("rectangle above") << rectangleBlock() << 3.0 << 6.0 << 1.0 << 1.0;
    // Area 2h - 0.2h²; moments ∫(2 - 0.08y²) and ∫y(2 - 0.4y) from 0 to 1.
    QTest::newRow("trapezoid inside")
        << trapezoidBlock() << 1.0 << 1.98 << (2 - 0.08 / 3) / 1.8 << (1 - 0.4 / 3) / 1.8;
    QTest::newRow("trapezoid above")
        << trapezoidBlock() << 2.5 << 3.52 << (4 - 0.64 / 3) / 3.2 << (4 - 3.2 / 3) / 3.2;
    QTest::newRow("holed, below the hole") << holedBlock() << 0.5 << 2.0 << 2.0 << 0.25;
    // 4 × 1.5 less the hole's 2 × 0.5: moments 6 × 0.75 - 1 × 1.25.
    QTest::newRow("holed, through the hole") << holedBlock() << 1.5 << 5.0 << 2.0 << 3.25 / 5;
    QTest::newRow("holed, above the hole") << holedBlock() << 2.5 << 8.0 << 2.0 << 9.5 / 8;
    QTest::newRow("holed, above") << holedBlock() << 9.0 << 10.0 << 2.0 << 1.5;
}

void TstBlockFigures::outlineFigures()
{
    QFETCH(BlkRec, block);
    QFETCH(double, h);
    QFETCH(double, volume);
    QFETCH(double, cx);
    QFETCH(double, cy);
    const WaterLevelFigures f = at(block, h);
    QVERIFY(f.outline.available);
    QVERIFY2(same(f.outline.submergedVolume, volume),
             qPrintable(QString::number(f.outline.submergedVolume, 'g', 17)));
    QVERIFY2(same(f.outline.centreX, cx), qPrintable(QString::number(f.outline.centreX, 'g', 17)));
    QVERIFY2(same(f.outline.centreY, cy), qPrintable(QString::number(f.outline.centreY, 'g', 17)));
}

void TstBlockFigures::forces()
{
    // Rectangle half a metre deep: 1.5 m3 of water, 6 m3 of concrete.
    const WaterLevelFigures f = at(rectangleBlock(), 0.5);
    QVERIFY(same(f.outline.buoyancy, 1.03 * 9.81 * 1.5));
    QVERIFY(same(f.outline.weightInWater, 135.378 - 15.15645));
    QVERIFY(same(f.layers.buoyancy, 15.15645));
    QVERIFY(!f.disagree);
    QVERIFY(f.note.isEmpty());
}

// The layer table against the outline: linear within a layer.
void TstBlockFigures::layerFigures_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("volume");
    QTest::addColumn<double>("cy");
    QTest::addColumn<bool>("disagree");

    QTest::newRow("rectangle below") << rectangleBlock() << -1.0 << 0.0 << kNaN << false;
    QTest::newRow("rectangle inside")
        << rectangleBlock() << 1.5 << 4.5 << (1.5 + 1.5 * 1.25) / 4.5 << false;
    QTest::newRow("rectangle above") << rectangleBlock() << 7.0 << 6.0 << 1.0 << false;
    QTest::newRow("trapezoid at a layer's top")
        << trapezoidBlock() << 1.0 << 1.98 << (1.045 * 0.25 + 0.935 * 0.75) / 1.98 << false;
    // Outline 1.1 × 0.4875 = 0.53625, the table half of 1.045: 2.6 % apart.
    QTest::newRow("trapezoid inside a layer")
        << trapezoidBlock() << 0.25 << 0.5225 << 0.125 << true;
    BlkRec wrong = rectangleBlock();
    wrong.LyrV = {1, 5};
    QTest::newRow("table wrong in its layers") << wrong << 1.0 << 1.0 << 0.5 << true;
    QTest::newRow("table wrong, agreeing at the top")
        << wrong << 2.0 << 6.0 << (0.5 + 7.5) / 6 << false;
}

void TstBlockFigures::layerFigures()
{
    QFETCH(BlkRec, block);
    QFETCH(double, h);
    QFETCH(double, volume);
    QFETCH(double, cy);
    QFETCH(bool, disagree);
    const WaterLevelFigures f = at(block, h);
    QVERIFY(f.layers.available);
    QVERIFY2(same(f.layers.submergedVolume, volume),
             qPrintable(QString::number(f.layers.submergedVolume, 'g', 17)));
    QVERIFY(std::isnan(f.layers.centreX));
    QVERIFY2(same(f.layers.centreY, cy), qPrintable(QString::number(f.layers.centreY, 'g', 17)));
    QCOMPARE(f.disagree, disagree);
    QCOMPARE(f.note.contains(QStringLiteral("表が断面を表していません")), disagree);
}

void TstBlockFigures::samplesAgainstClipping_data()
{
    addSampleRows();
}

// Every sample at levels through its height: the outline's submerged volume
// equals the clipped loops' areas (holes taken off) times L.
void TstBlockFigures::samplesAgainstClipping()
{
    QFETCH(QString, path);
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, path));
    const OutlineFindings o = analyzeOutline(b);
    QVERIFY(!o.loops.isEmpty());
    const SectionGeometry section(b, o);
    const FigureSettings s;
    for (const double h : {-0.3, 0.0, 0.37, 1.0, 0.5 * b.H, b.H - 0.01, b.H + 1}) {
        double area = 0;
        for (const OutlineLoop& loop : o.loops)
            area += (loop.depth % 2 == 0 ? 1 : -1) * clippedArea(b, loop, h);
        const WaterLevel level{QString(), h};
        const WaterLevelFigures f = waterLevelFigures(b, section, s, {&level, 1}).first();
        QVERIFY2(std::fabs(f.outline.submergedVolume - area * b.L) < 1e-9,
                 qPrintable(QStringLiteral("h %1: %2 against %3")
                                .arg(h)
                                .arg(f.outline.submergedVolume, 0, 'g', 17)
                                .arg(area * b.L, 0, 'g', 17)));
    }
}

void TstBlockFigures::tables()
{
    FigureSettings s;
    s.levels = {{QStringLiteral("H.W.L."), 0.5}, {QStringLiteral("L.W.L."), -1}};
    const BlockFigures f = blockFigures(holedBlock(), s);
    const FigureTable t = waterLevelTable(f.levels);
    QCOMPARE(t.rows.size(), 2);
    QCOMPARE(t.header.size(), qsizetype(LevelColumn::Count));
    QCOMPARE(t.rows[0].size(), qsizetype(LevelColumn::Count));
    QCOMPARE(t.rows[0].mid(0, 4), (QStringList{"H.W.L.", "0.500", "2.000", "－"}));
    QCOMPARE(t.rows[0].last(), QStringLiteral("層の表が空です。"));
    QCOMPARE(t.rows[1].mid(1, 2), (QStringList{"-1.000", "0.000"}));
    QCOMPARE(massTable(f.mass).rows[0].mid(1), (QStringList{"23.000", "t"}));
    QCOMPARE(unitWeightsText(s),
             QStringLiteral("単位体積重量: コンクリート 2.30 t/m3 (22.6 "
                            "kN/m3)、海水 1.03 t/m3 (10.1 kN/m3)、g = 9.81 m/s2"));
    // Without a closed section the outline has no figures.
    BlkRec open = rectangleBlock();
    open.LineCnt = 3;
    const WaterLevelFigures o = at(open, 1);
    QVERIFY(!o.outline.available && o.layers.available);
    QVERIFY(o.note.contains(QStringLiteral("閉じた断面がない")));
}

void TstBlockFigures::settingsFile()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("mrb_make.ini"));
    QCOMPARE(readFigureSettings(ini), FigureSettings());
    FigureSettings s;
    s.concrete = 2.45;
    s.levels = {{QStringLiteral("H.W.L."), 1.8}, {QStringLiteral("L.W.L."), 0.35}};
    QVERIFY(writeFigureSettings(ini, s));
    QCOMPARE(readFigureSettings(ini), s);

    // A file edited by hand: unusable values take their defaults.
    {
        QSettings q(ini, QSettings::IniFormat);
        q.setValue(QStringLiteral("UnitWeights/concrete"), QStringLiteral("abc"));
        q.setValue(QStringLiteral("UnitWeights/gravity"), QStringLiteral("-9.81"));
    }
    const FigureSettings back = readFigureSettings(ini);
    QCOMPARE(back.concrete, FigureSettings::DefaultConcrete);
    QCOMPARE(back.gravity, FigureSettings::DefaultGravity);
    QCOMPARE(back.levels, s.levels);
}

QTEST_GUILESS_MAIN(TstBlockFigures)
#include "tst_blockfigures.moc"

// info and scale run as users run them: the real binary without a display,
// the figures held against an independent computation in python3.
#include "analysis/blockchecks.h"
#include "cli/clirun.h"
#include "document/blockfile.h"
#include "document/figuresettings.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

// The area of the section below h times L, by slabs between the corner
// heights: in each the even-odd width is linear, so its middle gives the area.
const QString kSubmerged = QStringLiteral(R"(
import sys
lines = open(sys.argv[1], encoding='cp932', newline='').read().split('\r\n')
B, H, L, V = (float(v) for v in lines[3].split(',')[:4])
at = 4 + 1 + int(lines[4])
n = int(lines[at]); P = [tuple(map(float, l.split(','))) for l in lines[at + 1:at + 1 + n]]
at += 1 + n
m = int(lines[at]); S = [tuple(int(v) - 1 for v in l.split(',')) for l in lines[at + 1:at + 1 + m]]
h = float(sys.argv[2])
ys = sorted(set([y for _, y in P if y < h] + [h]))
area = 0.0
for y0, y1 in zip(ys, ys[1:]):
    mid = (y0 + y1) / 2
    xs = sorted(P[i][0] + (mid - P[i][1]) * (P[j][0] - P[i][0]) / (P[j][1] - P[i][1])
                for i, j in S if (P[i][1] <= mid) != (P[j][1] <= mid))
    area += (y1 - y0) * sum(xs[k + 1] - xs[k] for k in range(0, len(xs) - 1, 2))
print(repr(area * L))
)");

QString samplePath(const QString& name)
{
    return QStringLiteral(MRB_SAMPLES_DIR "/") + name;
}

QJsonObject jsonLine(const Run& r)
{
    return QJsonDocument::fromJson(r.lines().value(0).toUtf8()).object();
}

// The settings file the program reads in the tests' configuration folder.
QString settingsFile()
{
    return headless().value(QStringLiteral("XDG_CONFIG_HOME")) +
           QStringLiteral("/mrb_make/mrb_make.ini");
}

} // namespace

class TstCliFigures : public QObject
{
    Q_OBJECT
private slots:
    void submergedVolume_data();
    void submergedVolume();
    void infoText();
    void levelsAndWeightsFromSettings();
    void scaleByMass();
};

void TstCliFigures::submergedVolume_data()
{
    QTest::addColumn<QString>("file");
    for (const QString& f : QDir(QStringLiteral(MRB_SAMPLES_DIR)).entryList({"*.csv"}))
        QTest::newRow(qPrintable(f)) << f;
}

void TstCliFigures::submergedVolume()
{
    QFETCH(QString, file);
    const Run r = mrb({QStringLiteral("info"), QStringLiteral("--water-level"),
                       QStringLiteral("1.0"), QStringLiteral("--json"), samplePath(file)});
    QCOMPARE(r.status, 0);
    const QJsonObject o = jsonLine(r);
    const QJsonArray levels = o[u"waterLevels"].toArray();
    QCOMPARE(levels.size(), 1);
    const QJsonObject level = levels[0].toObject();
    QCOMPARE(level[u"h"].toDouble(), 1.0);
    const double outline = level[u"outline"].toObject()[u"submergedVolume"].toDouble();
    const double expected =
        python(kSubmerged, {samplePath(file), QStringLiteral("1.0")}).out.trimmed().toDouble();
    QVERIFY2(std::fabs(outline - expected) <= 1e-9 * std::max(1.0, expected),
             qPrintable(QStringLiteral("%1 against %2").arg(outline, 0, 'g', 17).arg(expected)));
    // The layer table's figure sits beside it under a key of its own.
    QVERIFY(level[u"layerTable"].toObject()[u"available"].toBool());
    QCOMPARE(o[u"mass"].toDouble(), 2.30 * o[u"V"].toDouble());
}

void TstCliFigures::infoText()
{
    const Run r = mrb({QStringLiteral("info"), QStringLiteral("--water-level"),
                       QStringLiteral("0.5"), QStringLiteral("--water-level"), QStringLiteral("9"),
                       samplePath(QStringLiteral("block_8t.csv"))});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.contains(QStringLiteral("8.096 t")), qPrintable(r.out));
    QVERIFY(r.out.contains(QStringLiteral("水位 0.500 m")));
    QVERIFY(r.out.contains(QStringLiteral("水位 9.000 m")));
    // Above the block the whole of it is under water: V = 3.520 m3.
    QVERIFY(r.out.contains(QStringLiteral("3.520")));
}

void TstCliFigures::levelsAndWeightsFromSettings()
{
    FigureSettings s;
    s.concrete = 2.5;
    s.levels = {{QStringLiteral("H.W.L."), 1.5}, {QStringLiteral("L.W.L."), 0.25}};
    QDir().mkpath(QFileInfo(settingsFile()).path());
    QVERIFY(writeFigureSettings(settingsFile(), s));
    const Run r = mrb({QStringLiteral("info"), QStringLiteral("--json"),
                       samplePath(QStringLiteral("block_2t.csv"))});
    // The data sheets, alone and in a catalogue, carry the same levels.
    QTemporaryDir tmp;
    const QString sheet = tmp.filePath(QStringLiteral("s.pdf"));
    const QString book = tmp.filePath(QStringLiteral("c.pdf"));
    const Run s1 =
        mrb({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("sheet"),
             QStringLiteral("-o"), sheet, samplePath(QStringLiteral("block_2t.csv"))});
    const Run s2 = mrb(
        {QStringLiteral("catalogue"), QStringLiteral("-o"), book, QStringLiteral(MRB_SAMPLES_DIR)});
    QFile::remove(settingsFile());
    QCOMPARE(s1.status, 0);
    QCOMPARE(s2.status, 0);
    QVERIFY(pdfText(sheet, 1).contains(QStringLiteral("L.W.L.")));
    QVERIFY(pdfText(book, 2).contains(QStringLiteral("H.W.L.")));
    QVERIFY(!pdfText(book, 1).contains(QStringLiteral("H.W.L."))); // the index has none
    QCOMPARE(r.status, 0);
    const QJsonObject o = jsonLine(r);
    QCOMPARE(o[u"mass"].toDouble(), 2.5 * o[u"V"].toDouble());
    const QJsonArray levels = o[u"waterLevels"].toArray();
    QCOMPARE(levels.size(), 2);
    QCOMPARE(levels[0].toObject()[u"name"].toString(), QStringLiteral("H.W.L."));
    QCOMPARE(levels[1].toObject()[u"h"].toDouble(), 0.25);
}

void TstCliFigures::scaleByMass()
{
    QTemporaryDir tmp;
    const QString out = tmp.filePath(QStringLiteral("16t.csv"));
    const Run r = mrb({QStringLiteral("scale"), QStringLiteral("--mass"), QStringLiteral("16"),
                       QStringLiteral("--json"), QStringLiteral("-o"), out,
                       samplePath(QStringLiteral("block_8t.csv"))});
    QCOMPARE(r.status, 0);
    const QJsonObject o = jsonLine(r);
    QCOMPARE(o[u"name"].toString(), QStringLiteral("消波ブロック 16t型"));
    QVERIFY(std::fabs(o[u"newMass"].toDouble() - 16) < 0.05);
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, out));
    QCOMPARE(b.Name, QStringLiteral("消波ブロック 16t型"));
    const double s = o[u"factor"].toDouble();
    QVERIFY(std::fabs(b.B - 2.0 * s) <= 0.0005 + 1e-12);
    QVERIFY(std::fabs(b.V - 3.52 * s * s * s) <= 0.0005 + 1e-12);
    QVERIFY(checkBlock(b).passed());
    QCOMPARE(mrb({QStringLiteral("check"), out}).status, 0);
}

QTEST_GUILESS_MAIN(TstCliFigures)
#include "tst_clifigures.moc"

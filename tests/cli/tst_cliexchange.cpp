// export and import-dxf run as users run them: the real binary without a
// display; what it writes read by ezdxf, poppler and ImageMagick, and the DXF
// it reads made by ezdxf.
#include "cli/clirun.h"
#include "document/blockfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace {

QString sample(const QString& name)
{
    return QStringLiteral(MRB_SAMPLES_DIR "/") + name;
}

// Every LINE of a layer as "x1,y1,x2,y2" in the file's numbers, sorted.
const QString kLines = QStringLiteral(R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
print(doc.header.get('$DWGCODEPAGE', ''))
out = []
for e in doc.modelspace().query('LINE[layer=="%s"]' % sys.argv[2]):
    s, t = e.dxf.start, e.dxf.end
    out.append('%r,%r,%r,%r' % (s.x, s.y, t.x, t.y))
print('\n'.join(sorted(out)))
)");

// The outline of a block as the same lines in millimetres, sorted.
QStringList blockLinesMm(const BlkRec& b)
{
    QStringList out;
    // The decimal point moved three places: the file's metres have three
    // decimals, so the millimetres are whole (1.011 m is 1011 mm, not the
    // 1011.0000000000001 of a binary product).
    const auto mm = [](double m) { return QString::number(std::round(m * 1e6) / 1e3, 'g', 17); };
    for (int i = 1; i <= b.LineCnt; ++i) {
        const int s = b.LineSt[i];
        const int e = b.LineEd[i];
        out << QStringLiteral("%1,%2,%3,%4")
                   .arg(mm(b.PntX[s]), mm(b.PntY[s]), mm(b.PntX[e]), mm(b.PntY[e]));
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Python's repr and Qt's 'g' 17 may spell a number differently: compare values.
QList<double> numbersOf(const QStringList& lines)
{
    QList<double> out;
    for (const QString& l : lines)
        for (const QString& n : l.split(u','))
            out << n.toDouble();
    return out;
}

// A closed LWPOLYLINE in millimetres on 外形 and a stray LINE on 補助, as a
// maker's drawing might come.
const QString kMakeDxf = QStringLiteral(R"(
import sys, ezdxf
doc = ezdxf.new(sys.argv[2])
doc.header['$INSUNITS'] = 4
msp = doc.modelspace()
doc.layers.add('外形'); doc.layers.add('補助')
msp.add_lwpolyline([(1000, 500), (3500, 500), (3500, 2500), (1000, 2500)], close=True,
                   dxfattribs={'layer': '外形'})
msp.add_line((0, 0), (100, 100), dxfattribs={'layer': '補助'})
doc.saveas(sys.argv[1])
)");

QSet<QString> pointsOf(const BlkRec& b)
{
    QSet<QString> out;
    for (int i = 1; i <= b.PntCnt; ++i)
        out << QStringLiteral("%1,%2").arg(b.PntX[i], 0, 'f', 3).arg(b.PntY[i], 0, 'f', 3);
    return out;
}

// The width of an SVG drawing's page in mm, and its viewBox's width.
bool svgPage(const QString& path, double& widthMm, double& viewBoxWidth)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"svg") {
            const QString w = xml.attributes().value(QStringLiteral("width")).toString();
            if (!w.endsWith(u"mm"))
                return false;
            widthMm = w.chopped(2).toDouble();
            viewBoxWidth = xml.attributes()
                               .value(QStringLiteral("viewBox"))
                               .toString()
                               .split(u' ')
                               .value(2)
                               .toDouble();
            return true;
        }
    }
    return false;
}

} // namespace

class TstCliExchange : public QObject
{
    Q_OBJECT
private slots:
    void dxfExact_data();
    void dxfExact();
    void svgToScale();
    void sheetAndPng();
    void importMakersDrawing_data();
    void importMakersDrawing();
};

void TstCliExchange::dxfExact_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("8t") << QStringLiteral("block_8t.csv");
    QTest::newRow("16t curved") << QStringLiteral("block_16t_curved.csv");
}

void TstCliExchange::dxfExact()
{
    QFETCH(QString, file);
    QTemporaryDir tmp;
    const QString out = tmp.filePath(QStringLiteral("b.dxf"));
    const Run r = mrb({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("dxf"),
                       QStringLiteral("--json"), QStringLiteral("-o"), out, sample(file)});
    QCOMPARE(r.status, 0);
    QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).object()[u"format"].toString(),
             QStringLiteral("dxf"));
    const Run py = python(kLines, {out, QStringLiteral("外形")});
    QVERIFY2(py.status == 0, qPrintable(py.err));
    QStringList lines = py.lines();
    QCOMPARE(lines.takeFirst(), QStringLiteral("ANSI_932"));
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, sample(file)));
    QCOMPARE(lines.size(), int(b.LineCnt));
    // Each value exactly X m × 1000; the order of two ends may differ.
    QList<double> got = numbersOf(lines);
    QList<double> want = numbersOf(blockLinesMm(b));
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    QCOMPARE(got, want);
}

void TstCliExchange::svgToScale()
{
    QTemporaryDir tmp;
    double w20 = 0;
    double w10 = 0;
    double box = 0;
    for (const QString& scale : {QStringLiteral("1:20"), QStringLiteral("1:10")}) {
        const QString out = tmp.filePath(QStringLiteral("s.svg"));
        const Run r = mrb({QStringLiteral("export"), QStringLiteral("--format"),
                           QStringLiteral("svg"), QStringLiteral("--scale"), scale,
                           QStringLiteral("-o"), out, sample(QStringLiteral("block_8t.csv"))});
        QCOMPARE(r.status, 0);
        double& w = scale == u"1:20" ? w20 : w10;
        QVERIFY(svgPage(out, w, box));
        QCOMPARE(box, w); // one unit of the drawing is one millimetre
    }
    // B = 2 m: 100 mm at 1:20, 200 mm at 1:10; the annotations keep their size
    // and the page is rounded up to whole millimetres.
    QVERIFY2(std::fabs((w10 - w20) - 100) <= 1, qPrintable(QString::number(w10 - w20)));
}

void TstCliExchange::sheetAndPng()
{
    QTemporaryDir tmp;
    const QString sheet = tmp.filePath(QStringLiteral("sheet.pdf"));
    QCOMPARE(mrb({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("sheet"),
                  QStringLiteral("-o"), sheet, sample(QStringLiteral("block_8t.csv"))})
                 .status,
             0);
    QCOMPARE(pdfPages(sheet), 1);
    const QString text = pdfText(sheet, 1);
    QVERIFY(text.contains(QStringLiteral("消波ブロック 8t型")));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("1\\s*:\\s*\\d+"))));

    const QString png = tmp.filePath(QStringLiteral("s.png"));
    QCOMPARE(mrb({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("png"),
                  QStringLiteral("--look"), QStringLiteral("screen"), QStringLiteral("--size"),
                  QStringLiteral("800x600"), QStringLiteral("-o"), png,
                  sample(QStringLiteral("block_8t.csv"))})
                 .status,
             0);
    QCOMPARE(
        run(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%w %h"), png})
            .out,
        QStringLiteral("800 600"));
}

void TstCliExchange::importMakersDrawing_data()
{
    QTest::addColumn<QString>("version");
    QTest::newRow("R2000") << QStringLiteral("R2000");
    QTest::newRow("R2018") << QStringLiteral("R2018");
}

void TstCliExchange::importMakersDrawing()
{
    QFETCH(QString, version);
    QTemporaryDir tmp;
    const QString dxf = tmp.filePath(QStringLiteral("maker.dxf"));
    const Run made = python(kMakeDxf, {dxf, version});
    QVERIFY2(made.status == 0, qPrintable(made.err));
    const QString out = tmp.filePath(QStringLiteral("from_dxf.csv"));
    const Run r = mrb(
        {QStringLiteral("import-dxf"), QStringLiteral("--json"), QStringLiteral("-o"), out, dxf});
    QCOMPARE(r.status, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QCOMPARE(o[u"layers"].toArray().size(), 1); // 外形, as the dialog chooses
    QCOMPARE(o[u"segments"].toInt(), 4);
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, out));
    QCOMPARE(b.Name, QStringLiteral("maker"));
    QCOMPARE(pointsOf(b),
             (QSet<QString>{"0.000,0.000", "2.500,0.000", "2.500,2.000", "0.000,2.000"}));
    QCOMPARE(b.B, 2.5);
    QCOMPARE(b.H, 2.0);

    // Where the drawing put it, in metres.
    const Run kept =
        mrb({QStringLiteral("import-dxf"), QStringLiteral("--keep-origin"),
             QStringLiteral("--unit"), QStringLiteral("m"), QStringLiteral("-o"), out, dxf});
    QCOMPARE(kept.status, 0);
    QVERIFY(Blk_ReadPath(b, out));
    QVERIFY(pointsOf(b).contains(QStringLiteral("3500.000,2500.000")));
}

QTEST_GUILESS_MAIN(TstCliExchange)
#include "tst_cliexchange.moc"

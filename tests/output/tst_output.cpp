#include "common/blocktext.h"
#include "common/scriptedprompts.h"
#include "common/typing.h"
#include "document/blockfile.h"
#include "document/numtext.h"
#include "output/datasheet.h"
#include "output/exportcommands.h"
#include "output/exports.h"
#include "output/sectionexportdialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTransform>
#include <QXmlStreamReader>

#include <cmath>
#include <numbers>

namespace {

// A block of n points on a ragged ring, segs segments along it and layers
// layer rows; the numbers are distinct enough to find in the PDF's text.
BlkRec makeBlock(int n, int segs, int layers)
{
    BlkRec b;
    b.Name = QStringLiteral("試験ブロック 8t型");
    b.Kind = QStringLiteral("標準型");
    b.B = 2;
    b.H = 2.5;
    b.L = 1.1;
    b.V = 3.52;
    b.Gx = 1.183;
    b.Gy = 0.917;
    b.PntCnt = qint16(n);
    for (int i = 1; i <= n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        b.PntX[i] = 3 + 3 * std::cos(a) + i * 1e-3;
        b.PntY[i] = 2 + 2 * std::sin(a);
    }
    b.LineCnt = qint16(segs);
    for (int i = 1; i <= segs; ++i) {
        b.LineSt[i] = qint16((i - 1) % n + 1);
        b.LineEd[i] = qint16(i % n + 1);
    }
    b.LyrCnt = qint16(layers);
    for (int i = 0; i < layers; ++i) {
        b.LyrH[i] = 0.05;
        b.LyrV[i] = 0.069 + i * 1e-3;
        b.LyrVSum[i] = (i ? b.LyrVSum[i - 1] : 0) + b.LyrV[i];
    }
    return b;
}

// A 2 m square of L = 1.1 m whose layer table puts 3.0 of its 4.4 m3 in
// the lower metre: below 0.5 m the outline holds 1.1 m3, the table 1.5.
BlkRec squareBlock()
{
    BlkRec b;
    b.Name = QStringLiteral("正方形ブロック");
    b.B = b.H = 2;
    b.L = 1.1;
    b.V = 4.4;
    b.PntCnt = 4;
    const double xs[] = {0, 2, 2, 0};
    const double ys[] = {0, 0, 2, 2};
    for (int i = 1; i <= 4; ++i) {
        b.PntX[i] = xs[i - 1];
        b.PntY[i] = ys[i - 1];
        b.LineSt[i] = qint16(i);
        b.LineEd[i] = qint16(i % 4 + 1);
    }
    b.LineCnt = 4;
    b.LyrCnt = 2;
    b.LyrH[0] = b.LyrH[1] = 1;
    b.LyrV[0] = 3.0;
    b.LyrV[1] = 1.4;
    b.LyrVSum[0] = 3.0;
    b.LyrVSum[1] = 4.4;
    return b;
}

FigureSettings withLevels(int n)
{
    FigureSettings s;
    for (int i = 0; i < n; ++i)
        s.levels.append({QStringLiteral("水位%1").arg(i + 1), 0.1 + 0.2 * i});
    return s;
}

SectionPainter::Options screenLook(bool grid = false)
{
    SectionPainter::Options o;
    o.grid = grid;
    o.font.setPixelSize(11);
    return o;
}

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageObjects(const QByteArray& pdf)
{
    return int(
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

int svgLines(const QByteArray& svg)
{
    QXmlStreamReader xml(svg);
    int n = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            (xml.name() == u"polyline" || xml.name() == u"line"))
            ++n;
    }
    return xml.hasError() ? -1 : n;
}

// A two-metre-wide named block: an outline 2 x 1.5 m, its centre of gravity
// in the middle.
BlkRec boxBlock(double b = 2, double h = 1.5)
{
    BlkRec r = rectangleBlock(b, h);
    r.Name = QStringLiteral("箱形");
    r.Gx = b / 2;
    r.Gy = h / 2;
    return r;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool haveTool(const char* name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// A PDF's first page in mm, as pdfinfo reports it in points.
QSizeF pdfPageMm(const QString& path)
{
    const QRegularExpression re(QStringLiteral("Page size:\\s*([0-9.]+) x ([0-9.]+) pts"));
    const QRegularExpressionMatch m = re.match(run(QStringLiteral("pdfinfo"), {path}));
    if (!m.hasMatch())
        return {};
    constexpr double mmPerPt = 25.4 / 72;
    return QSizeF(m.captured(1).toDouble() * mmPerPt, m.captured(2).toDouble() * mmPerPt);
}

// The words pdftotext -bbox finds, with their boxes in points.
struct PdfWord
{
    QString text;
    QRectF box;
};

QList<PdfWord> pdfWords(const QString& path)
{
    QList<PdfWord> out;
    QXmlStreamReader xml(
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")}));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"word")
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QRectF box(QPointF(a.value(QLatin1String("xMin")).toDouble(),
                                 a.value(QLatin1String("yMin")).toDouble()),
                         QPointF(a.value(QLatin1String("xMax")).toDouble(),
                                 a.value(QLatin1String("yMax")).toDouble()));
        out.append({xml.readElementText(), box});
    }
    return out;
}

// An SVG as a reader of the format sees it: the page in mm, the viewBox, and
// every polyline's segments in viewBox units with the stroke width of its
// group, through the groups' transforms.
struct SvgPicture
{
    QString width;
    QString height;
    QRectF viewBox;
    struct Segment
    {
        QLineF line;
        double strokeWidth;
    };
    QList<Segment> segments;
};

QTransform svgMatrix(QStringView t)
{
    static const QRegularExpression re(QStringLiteral("matrix\\(([^)]*)\\)"));
    const QRegularExpressionMatch m = re.match(t.toString());
    if (!m.hasMatch())
        return {};
    const QStringList v = m.captured(1).split(u',');
    if (v.size() != 6)
        return {};
    return QTransform(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble(),
                      v[4].toDouble(), v[5].toDouble());
}

SvgPicture readSvg(const QByteArray& bytes)
{
    SvgPicture pic;
    QXmlStreamReader xml(bytes);
    QList<QPair<QTransform, double>> groups{{QTransform(), 1.0}};
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType t = xml.readNext();
        if (t == QXmlStreamReader::EndElement && xml.name() == u"g") {
            groups.removeLast();
            continue;
        }
        if (t != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"svg") {
            pic.width = a.value(QLatin1String("width")).toString();
            pic.height = a.value(QLatin1String("height")).toString();
            const QStringList v =
                a.value(QLatin1String("viewBox")).toString().split(u' ', Qt::SkipEmptyParts);
            if (v.size() == 4)
                pic.viewBox =
                    QRectF(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble());
        } else if (xml.name() == u"g") {
            const double w = a.hasAttribute(QLatin1String("stroke-width"))
                                 ? a.value(QLatin1String("stroke-width")).toDouble()
                                 : groups.last().second;
            groups.append(
                {svgMatrix(a.value(QLatin1String("transform"))) * groups.last().first, w});
        } else if (xml.name() == u"polyline") {
            const QStringList pts =
                a.value(QLatin1String("points")).toString().split(u' ', Qt::SkipEmptyParts);
            QList<QPointF> ps;
            for (const QString& p : pts)
                ps.append(groups.last().first.map(
                    QPointF(p.section(u',', 0, 0).toDouble(), p.section(u',', 1, 1).toDouble())));
            for (int i = 1; i < ps.size(); ++i)
                pic.segments.append({QLineF(ps[i - 1], ps[i]), groups.last().second});
        }
    }
    return pic;
}

// The pixels per metre of a PNG's pHYs chunk, read from its bytes; -1 when
// it has none or it is not in metres.
int pngPixelsPerMetre(const QByteArray& png)
{
    const qsizetype at = png.indexOf("pHYs");
    if (at < 0 || at + 13 > png.size())
        return -1;
    const auto be32 = [&png](qsizetype i) {
        return int((uchar(png[i]) << 24) | (uchar(png[i + 1]) << 16) | (uchar(png[i + 2]) << 8) |
                   uchar(png[i + 3]));
    };
    const int x = be32(at + 4);
    const int y = be32(at + 8);
    return png[at + 12] == 1 && x == y ? x : -1;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

SectionExport drawingAt(int scale)
{
    SectionExport e;
    e.look = SectionLook::Drawing;
    e.drawing.scale = scale;
    return e;
}

} // namespace

class TstOutput : public QObject
{
    Q_OBJECT
private slots:
    void layoutFits_data();
    void layoutFits();
    void pdfSheet_data();
    void pdfSheet();
    void sheetFigures_data();
    void sheetFigures();
    void svgOneLinePerSegment_data();
    void svgOneLinePerSegment();
    void pngSizeAndPixels_data();
    void pngSizeAndPixels();
    void failuresLeaveNoFile_data();
    void failuresLeaveNoFile();
    void commandsAskAndReport();
    void printAndPreview();
    void pngSizeTyped_data();
    void pngSizeTyped();
    void svgDrawingMeasuresTrue_data();
    void svgDrawingMeasuresTrue();
    void pdfDrawingPageAndScale_data();
    void pdfDrawingPageAndScale();
    void sheetScale_data();
    void sheetScale();
    void sheetMeasuresTrue_data();
    void sheetMeasuresTrue();
    void pngDpiWritten_data();
    void pngDpiWritten();
    void tooLargeRefused();
    void optionsDialogDrivesExport();
};

void TstOutput::layoutFits_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("layers");
    QTest::addColumn<int>("levels");
    QTest::newRow("empty") << 0 << 0 << 0;
    QTest::newRow("small") << 4 << 4 << 0;
    QTest::newRow("one group each") << 25 << 17 << 0;
    QTest::newRow("two groups each") << 26 << 18 << 0;
    QTest::newRow("limits") << 100 << 51 << 0;
    QTest::newRow("damaged counts") << -7 << -3 << 0;
    QTest::newRow("empty, 2 levels") << 0 << 0 << 2;
    QTest::newRow("small, 3 levels") << 4 << 4 << 3;
    QTest::newRow("limits, 1 level") << 100 << 51 << 1;
    QTest::newRow("limits, 3 levels") << 100 << 51 << 3;
    QTest::newRow("limits, 8 levels") << 100 << 51 << 8;
    // Every level with a note of its own: more notes than the page holds.
    QTest::newRow("limits, most levels") << 100 << 51 << FigureSettings::MaxLevels;
}

void TstOutput::layoutFits()
{
    QFETCH(int, points);
    QFETCH(int, layers);
    QFETCH(int, levels);
    BlkRec b = makeBlock(std::max(points, 1), std::max(points, 0), std::max(layers, 0));
    b.PntCnt = qint16(points);
    b.LyrCnt = qint16(layers);
    const DataSheet::Layout l = DataSheet::layout(b, withLevels(levels));
    QList<QRectF> parts = {l.title, l.section, l.scaleBar, l.spec, l.points, l.layers, l.footer};
    QCOMPARE(l.levelRows, levels);
    QCOMPARE(l.levels.isEmpty(), levels == 0);
    if (levels > 0)
        parts << l.levels;
    const QRectF page(0, 0, DataSheet::PageWidth, DataSheet::PageHeight);
    for (int i = 0; i < parts.size(); ++i) {
        QVERIFY2(page.adjusted(100, 100, -100, -100).contains(parts[i]),
                 qPrintable(QString::number(i)));
        for (int j = i + 1; j < parts.size(); ++j)
            QVERIFY2(!parts[i].intersects(parts[j]),
                     qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
    }
    QVERIFY(l.pointGroups * l.pointRows >= points);
    QVERIFY(l.layerGroups * l.layerRows >= layers);
    QVERIFY(l.pointRows <= DataSheet::PointRowsPerGroup &&
            l.layerRows <= DataSheet::LayerRowsPerGroup);
    // 70 x 100 mm at least, 50 mm high where levels crowd the page.
    QVERIFY(l.section.height() >= (levels > 0 ? 500 : 700) && l.section.width() >= 1000);
    QVERIFY(l.tableFontSize >= 19); // 5.4 pt
}

void TstOutput::pdfSheet_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::newRow("empty") << BlkRec();
    QTest::newRow("small") << makeBlock(4, 4, 4);
    QTest::newRow("limits") << makeBlock(100, 100, 51);
}

void TstOutput::pdfSheet()
{
    QFETCH(BlkRec, block);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    const DataSheetInfo info{QStringLiteral("block_8t.csv"), true, QDate(2024, 5, 7), {}};
    const ExportResult r = Exports::writeDataSheetPdf(path, block, info);
    QVERIFY2(r.ok(), qPrintable(r.reason));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(pageObjects(pdf), 1);
    QVERIFY(pdf.contains("/FontFile2")); // the Japanese font travels with the file
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("sheet.pdf")});
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString text = pdfText(path);
    QVERIFY(text.contains(block.Name.isEmpty() ? QStringLiteral("（名称なし）") : block.Name));
    for (const QString& s : {QStringLiteral("block_8t.csv"), QStringLiteral("2024年5月7日"),
                             QStringLiteral("未保存の変更あり"), NumText::fmt000(block.V)})
        QVERIFY2(text.contains(s), qPrintable(s));
    // The last point and the last layer row are on the page too.
    if (block.PntCnt > 0)
        QVERIFY(text.contains(NumText::fmt000(block.PntX[block.PntCnt])));
    if (block.LyrCnt > 0)
        QVERIFY(text.contains(NumText::fmt000(block.LyrVSum[block.LyrCnt - 1])));
}

void TstOutput::sheetFigures_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::addColumn<QList<WaterLevel>>("levels");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("absent");
    BlkRec eight;
    QVERIFY(Blk_ReadPath(eight, QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv")));
    // 2.30 × 3.520 m3 = 8.096 t, × 9.81 = 79.422 kN; 3.52 / (2 × 2 × 1.1) = 0.800.
    const QStringList mass = {QStringLiteral("8.096"), QStringLiteral("79.422"),
                              QStringLiteral("0.800"), QStringLiteral("ρc = 2.30 t/m3")};
    QTest::newRow("8 t, no levels")
        << eight << QList<WaterLevel>{} << mass << QStringList{QStringLiteral("静水位での浮力")};
    // Below 1 m the sample holds 1.980 m3 by both ways: buoyancy 1.03 × 9.81
    // × 1.98 = 20.007 kN, weight in water 79.422 - 20.007 = 59.415 kN. Below
    // 0 m nothing, and 3.520 m3 above the block.
    QTest::newRow("8 t, three levels")
        << eight
        << QList<WaterLevel>{{QStringLiteral("H.W.L."), 1.0},
                             {QStringLiteral("L.W.L."), -0.5},
                             {QString(), 3.0}}
        << mass + QStringList{QStringLiteral("静水位での浮力"), QStringLiteral("H.W.L."),
                              QStringLiteral("L.W.L."),         QStringLiteral("1.980"),
                              QStringLiteral("20.007"),         QStringLiteral("59.415"),
                              QStringLiteral("-0.500"),         QStringLiteral("3.000"),
                              QStringLiteral("水中体積 (m3)"),  QStringLiteral("海水 1.03 t/m3")}
        << QStringList{QStringLiteral("※1")};
    QTest::newRow("layer table disagrees")
        << squareBlock() << QList<WaterLevel>{{QStringLiteral("H.W.L."), 0.5}}
        << QStringList{QStringLiteral("1.100"), QStringLiteral("1.500"), QStringLiteral("※1"),
                       QStringLiteral("層別体積表は断面と 0.400 m3 違います")}
        << QStringList{};
}

// The sheet as a reader sees it: the mass beside V, and with levels set the
// table of the figures at each, the outline's and the layer table's.
void TstOutput::sheetFigures()
{
    QFETCH(BlkRec, block);
    QFETCH(QList<WaterLevel>, levels);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, absent);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    DataSheetInfo info;
    info.figures.levels = levels;
    QVERIFY(Exports::writeDataSheetPdf(path, block, info).ok());
    const QString text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("質量 ρc·V")));
    for (const QString& s : shown)
        QVERIFY2(text.contains(s), qPrintable(s));
    for (const QString& s : absent)
        QVERIFY2(!text.contains(s), qPrintable(s));
}

void TstOutput::svgOneLinePerSegment_data()
{
    QTest::addColumn<int>("segments");
    for (int n : {0, 1, 7, 100})
        QTest::addRow("%d", n) << n;
}

void TstOutput::svgOneLinePerSegment()
{
    QFETCH(int, segments);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.svg"));
    const BlkRec b = makeBlock(100, segments, 0);
    QVERIFY(Exports::writeSectionSvg(path, b, screenLook(), QSize(640, 480)).ok());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(svgLines(f.readAll()), segments);
}

void TstOutput::pngSizeAndPixels_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("landscape") << QSize(640, 480);
    QTest::newRow("portrait") << QSize(300, 900);
    QTest::newRow("full HD") << QSize(1920, 1080);
}

void TstOutput::pngSizeAndPixels()
{
    QFETCH(QSize, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.png"));
    const BlkRec b = makeBlock(12, 12, 0);
    QVERIFY(Exports::writeSectionPng(path, b, screenLook(), size).ok());
    const QImage img(path);
    QCOMPARE(img.size(), size);
    // Drawn as on screen: black area, point marks in the screen's magenta.
    QCOMPARE(img.pixel(0, img.height() - 1) & 0xffffff, 0u);
    const ViewState v = Exports::fittedView(b, size);
    for (int i = 1; i <= b.PntCnt; ++i) {
        const QPoint c = SectionPainter::toScreen(v, b.PntX[i], b.PntY[i]);
        QCOMPARE(img.pixel(c), Palette::PointMark.rgb());
    }
}

void TstOutput::failuresLeaveNoFile_data()
{
    QTest::addColumn<int>("kind"); // 0 PDF, 1 SVG, 2 PNG
    QTest::addColumn<QString>("where");
    const QStringList places = {QStringLiteral("missing/x.out"), QStringLiteral("file/x.out"),
                                QStringLiteral("folder"), QStringLiteral("readonly/x.out")};
    for (int k = 0; k < 3; ++k) {
        for (const QString& w : places)
            QTest::addRow("%d %s", k, qPrintable(w)) << k << w;
        // Not writable whatever the rights the test runs with.
        if (QFileInfo(QStringLiteral("/proc/self")).exists())
            QTest::addRow("%d /proc", k) << k << QStringLiteral("/proc/mrb_export.out");
    }
}

void TstOutput::failuresLeaveNoFile()
{
    QFETCH(int, kind);
    QFETCH(QString, where);
    QTemporaryDir dir;
    QDir d(dir.path());
    QVERIFY(d.mkdir(QStringLiteral("folder")) && d.mkdir(QStringLiteral("readonly")));
    QFile file(d.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QFile::setPermissions(d.filePath(QStringLiteral("readonly")),
                          QFile::ReadOwner | QFile::ExeOwner);
    if (where.startsWith(u"readonly") &&
        QFileInfo(d.filePath(QStringLiteral("readonly"))).isWritable())
        QSKIP("running with rights that write into any folder");
    const QString path = d.filePath(where);
    const BlkRec b = makeBlock(8, 8, 3);
    const ExportResult r = kind == 0 ? Exports::writeDataSheetPdf(path, b, {})
                           : kind == 1
                               ? Exports::writeSectionSvg(path, b, screenLook(), QSize(200, 100))
                               : Exports::writeSectionPng(path, b, screenLook(), QSize(200, 100));
    QVERIFY(!r.ok());
    QVERIFY2(r.reason.contains(
                 QRegularExpression(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"))),
             qPrintable(r.reason));
    QFile::setPermissions(d.filePath(QStringLiteral("readonly")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const QString& sub : {QString(), QStringLiteral("folder"), QStringLiteral("readonly")})
        QCOMPARE(QDir(d.filePath(sub))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                     .size(),
                 sub.isEmpty() ? 3 : 0);
    QVERIFY(!Exports::writeSectionPng(d.filePath(QStringLiteral("a.png")), b, screenLook(),
                                      QSize(8, 100))
                 .ok());
    QVERIFY(!QFile::exists(d.filePath(QStringLiteral("a.png"))));
}

void TstOutput::commandsAskAndReport()
{
    QTemporaryDir dir;
    Module1 mod;
    mod.BlkData = mod.SaveData = makeBlock(10, 10, 5);
    basMr_Blk blk;
    blk.DataPath = dir.path() + u'/';
    blk.DataName = QStringLiteral("block_8t");
    ScriptedPrompts prompts;
    ExportCommands cmd(mod, blk, prompts);

    // Cancelled: nothing written, nothing said.
    QVERIFY(!cmd.dataSheetPdf());
    QCOMPARE(prompts.saveRequests.last().dir, blk.DataPath);
    QCOMPARE(prompts.saveRequests.last().name, QStringLiteral("block_8t.pdf"));
    // A name typed without its suffix gets it.
    prompts.saveAnswers << blk.DataPath + QStringLiteral("sheet");
    QVERIFY(cmd.dataSheetPdf());
    QVERIFY(QFile::exists(blk.DataPath + QStringLiteral("sheet.pdf")));
    QCOMPARE(cmd.sheetInfo().fileName, QStringLiteral("block_8t.csv"));
    QVERIFY(!cmd.sheetInfo().modified);

    // The size dialog's answer is the PNG's size.
    prompts.onExec = [](QDialog& d) {
        d.findChild<QSpinBox*>(QStringLiteral("width"))->setValue(321);
        d.findChild<QSpinBox*>(QStringLiteral("height"))->setValue(123);
        return int(QDialog::Accepted);
    };
    prompts.saveAnswers << blk.DataPath + QStringLiteral("s.png");
    QVERIFY(cmd.sectionPng(screenLook(), QSize(800, 600)));
    QCOMPARE(QImage(blk.DataPath + QStringLiteral("s.png")).size(), QSize(321, 123));
    QCOMPARE(prompts.saveRequests.last().name, QStringLiteral("block_8t.png"));

    // A failure is reported, once, and leaves nothing.
    prompts.saveAnswers << blk.DataPath + QStringLiteral("gone/s.svg");
    QVERIFY(!cmd.sectionSvg(screenLook(), QSize(400, 300)));
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY(prompts.errors().first().contains(QStringLiteral("フォルダ")));
}

void TstOutput::printAndPreview()
{
    QTemporaryDir dir;
    Module1 mod;
    mod.BlkData = makeBlock(100, 100, 51);
    basMr_Blk blk;
    blk.DataPath = dir.path() + u'/';
    blk.DataName = QStringLiteral("無題");
    ScriptedPrompts prompts;
    ExportCommands cmd(mod, blk, prompts);
    QCOMPARE(cmd.sheetInfo().fileName, QStringLiteral("無題"));
    QVERIFY(cmd.sheetInfo().modified);

    // The print dialog's printer, sent to a file as a user may choose.
    QString target;
    prompts.onExec = [&target](QDialog& d) {
        auto* pd = qobject_cast<QPrintDialog*>(&d);
        if (pd == nullptr)
            return int(QDialog::Rejected);
        pd->printer()->setOutputFormat(QPrinter::PdfFormat);
        pd->printer()->setOutputFileName(target);
        return int(QDialog::Accepted);
    };
    target = dir.filePath(QStringLiteral("printed.pdf"));
    QVERIFY(cmd.print());
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(pageObjects(f.readAll()), 1);
    // A printer that cannot start.
    target = dir.filePath(QStringLiteral("gone/printed.pdf"));
    QVERIFY(!cmd.print());
    QCOMPARE(prompts.errors(), QStringList{QStringLiteral("プリンタに出力できませんでした。")});

    // The preview shows the one page; closing it prints nothing.
    int pages = -1;
    prompts.onExec = [&pages](QDialog& d) {
        auto* w = d.findChild<QPrintPreviewWidget*>();
        if (w == nullptr)
            return int(QDialog::Rejected);
        w->updatePreview();
        pages = w->pageCount();
        return int(QDialog::Rejected);
    };
    QVERIFY(!cmd.printPreview());
    QCOMPARE(pages, 1);
    QCOMPARE(prompts.errors().size(), 1);
}

void TstOutput::pngSizeTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("width");
    QTest::newRow("ASCII") << "1200" << 1200;
    QTest::newRow("full-width") << "１２００" << 1200;
    QTest::newRow("half-width katakana are no digits") << "ｲﾁ" << 800;
}

// Typed over the whole width box, then OK.
void TstOutput::pngSizeTyped()
{
    QFETCH(QString, typed);
    SectionExport proposed;
    proposed.look = SectionLook::Screen;
    proposed.size = QSize(800, 600);
    const BlkRec blk = rectangleBlock(2.0, 1.0);
    SectionExportDialog d(SectionExportDialog::Format::Png, proposed, blk);
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    auto* box = d.findChild<QSpinBox*>(QStringLiteral("width"));
    box->setFocus();
    box->selectAll();
    typeText(typed);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QTEST(d.chosen().size.width(), "width");
}

void TstOutput::svgDrawingMeasuresTrue_data()
{
    QTest::addColumn<int>("scale");
    for (int n : {5, 20, 50, 500})
        QTest::addRow("1:%d", n) << n;
}

// One metre of the block is 1000 / N mm in the file: the page in mm, its
// viewBox in mm, and the outline's bottom edge (B = 2 m) that long.
void TstOutput::svgDrawingMeasuresTrue()
{
    QFETCH(int, scale);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.svg"));
    const BlkRec b = boxBlock();
    const ExportResult r = Exports::writeSectionSvg(path, b, drawingAt(scale));
    QVERIFY2(r.ok(), qPrintable(r.reason));
    const SvgPicture svg = readSvg(readAll(path));
    QVERIFY(svg.width.endsWith(u"mm") && svg.height.endsWith(u"mm"));
    const double widthMm = svg.width.chopped(2).toDouble();
    const double heightMm = svg.height.chopped(2).toDouble();
    QCOMPARE(svg.viewBox, QRectF(0, 0, widthMm, heightMm)); // one unit, one mm
    const double mmPerUnit = widthMm / svg.viewBox.width();
    // The page: the drawing with 10 mm of paper around it.
    const double drawing = 2000.0 / scale;
    QVERIFY(widthMm >= drawing + 20 && heightMm >= 1500.0 / scale + 20);
    int outlineEdges = 0;
    for (const SvgPicture::Segment& s : svg.segments) {
        if (std::abs(s.strokeWidth - 0.35) > 1e-9)
            continue;
        ++outlineEdges;
        if (std::abs(s.line.dy()) < 1e-6 && std::abs(s.line.length() * mmPerUnit - drawing) < 0.01)
            return; // a horizontal outline edge of 2 m
    }
    QFAIL(qPrintable(
        QStringLiteral("no 0.35 mm line of %1 mm among %2").arg(drawing).arg(outlineEdges)));
}

void TstOutput::pdfDrawingPageAndScale_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("style"); // DrawingPainter::DimensionText
    QTest::newRow("1:20 named") << 20 << int(DrawingPainter::DimensionText::Named);
    QTest::newRow("1:50 plain") << 50 << int(DrawingPainter::DimensionText::Plain);
    QTest::newRow("1:200 named") << 200 << int(DrawingPainter::DimensionText::Named);
}

void TstOutput::pdfDrawingPageAndScale()
{
    QFETCH(int, scale);
    QFETCH(int, style);
    if (!haveTool("pdfinfo") || !haveTool("pdftotext"))
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.pdf"));
    SectionExport e = drawingAt(scale);
    e.drawing.dimensionText = DrawingPainter::DimensionText(style);
    const BlkRec b = boxBlock();
    QVERIFY(Exports::writeSectionPdf(path, b, e).ok());
    const QSizeF page = pdfPageMm(path);
    const QSizeF drawing = DrawingPainter::size(b, e.drawing);
    // The drawing's page in whole mm with 10 mm margins, rounded up to the
    // whole point a PDF page measures.
    const auto near = [](double got, double want) {
        return got >= want - 0.01 && got < want + 0.36;
    };
    QVERIFY2(near(page.width(), std::ceil(drawing.width()) + 20) &&
                 near(page.height(), std::ceil(drawing.height()) + 20),
             qPrintable(QStringLiteral("%1 x %2 mm").arg(page.width()).arg(page.height())));
    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QVERIFY(text.contains(QStringLiteral("1:%1").arg(scale)));
    const bool named = style == int(DrawingPainter::DimensionText::Named);
    QCOMPARE(text.contains(QStringLiteral("B = 2.000 m")), named);
    QCOMPARE(text.contains(QStringLiteral("H = 1.500 m")), named);
    QVERIFY(text.contains(QStringLiteral("2.000")) && text.contains(QStringLiteral("1.500")));
}

void TstOutput::sheetScale_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::addColumn<int>("scale");
    QTest::newRow("1.5 x 1.2 m") << boxBlock(1.5, 1.2) << 20;
    QTest::newRow("2 x 2 m") << boxBlock(2, 2) << 20;
    QTest::newRow("2.4 x 2 m") << boxBlock(2.4, 2) << 25;
    QTest::newRow("2.6 x 2 m") << boxBlock(2.6, 2) << 50;
    QTest::newRow("5 x 4 m") << boxBlock(5, 4) << 50;
    QTest::newRow("6 x 4 m") << boxBlock(6, 4) << 100;
    QTest::newRow("0.3 x 0.2 m") << boxBlock(0.3, 0.2) << 5;
    QTest::newRow("200 x 50 m, beyond 1:500") << boxBlock(200, 50) << 2000;
    QTest::newRow("empty: no scale") << BlkRec() << 0;
}

void TstOutput::sheetScale()
{
    QFETCH(BlkRec, block);
    QFETCH(int, scale);
    QCOMPARE(DataSheet::sectionScale(block), scale);
    if (!haveTool("pdftotext"))
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    QVERIFY(Exports::writeDataSheetPdf(path, block, {}).ok());
    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QCOMPARE(text.contains(QStringLiteral("縮尺")), scale > 0);
    if (scale > 0)
        QVERIFY(text.contains(QStringLiteral("1:%1").arg(scale)));
}

// The distance in mm between the scale bar's "0" and "1" on the first page
// (words on one line with "0.2" between); -1 when there is no such bar.
double scaleBarMetre(const QString& path)
{
    const QList<PdfWord> words = pdfWords(path);
    for (const PdfWord& zero : words) {
        if (zero.text != u"0")
            continue;
        const auto onLine = [&](const QString& t) {
            for (const PdfWord& w : words) {
                if (w.text == t && std::abs(w.box.top() - zero.box.top()) < 0.5)
                    return std::optional<QRectF>(w.box);
            }
            return std::optional<QRectF>();
        };
        const std::optional<QRectF> one = onLine(QStringLiteral("1"));
        if (onLine(QStringLiteral("0.2")) && one)
            return (one->center().x() - zero.box.center().x()) * 25.4 / 72;
    }
    return -1;
}

void TstOutput::sheetMeasuresTrue_data()
{
    QTest::addColumn<int>("paper"); // QPageSize::PageSizeId; -1: the PDF sheet
    QTest::newRow("PDF") << -1;
    QTest::newRow("printed on A4") << int(QPageSize::A4);
    QTest::newRow("printed on A3") << int(QPageSize::A3);
}

// Printed at 100 %, the sheet's 1 m at 1:20 measures 50 mm: the scale bar's
// "0" and "1" stand under ticks 1 m apart. Paper larger than A4 keeps the
// sheet at its true size.
void TstOutput::sheetMeasuresTrue()
{
    QFETCH(int, paper);
    if (!haveTool("pdftotext") || !haveTool("pdfinfo"))
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    const BlkRec b = boxBlock(1.5, 1.2);
    if (paper < 0) {
        QVERIFY(Exports::writeDataSheetPdf(path, b, {}).ok());
    } else {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
        QVERIFY(Exports::printDataSheet(printer, b, {}).ok());
    }
    const QSizeF page = pdfPageMm(path);
    const QSizeF expected = QPageSize(paper < 0 ? QPageSize::A4 : QPageSize::PageSizeId(paper))
                                .size(QPageSize::Millimeter);
    QVERIFY(std::abs(page.width() - expected.width()) < 0.5 &&
            std::abs(page.height() - expected.height()) < 0.5);
    const double mm = scaleBarMetre(path);
    QVERIFY2(std::abs(mm - 50) < 0.1, qPrintable(QString::number(mm)));
}

void TstOutput::pngDpiWritten_data()
{
    QTest::addColumn<int>("look");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("dpi");
    QTest::newRow("screen 72") << int(SectionLook::Screen) << 0 << 72;
    QTest::newRow("screen 300") << int(SectionLook::Screen) << 0 << 300;
    QTest::newRow("drawing auto 150") << int(SectionLook::Drawing) << 0 << 150;
    QTest::newRow("drawing 1:20 254") << int(SectionLook::Drawing) << 20 << 254;
}

void TstOutput::pngDpiWritten()
{
    QFETCH(int, look);
    QFETCH(int, scale);
    QFETCH(int, dpi);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.png"));
    SectionExport e = drawingAt(scale);
    e.look = SectionLook(look);
    e.dpi = dpi;
    e.size = QSize(1200, 900);
    const BlkRec b = boxBlock();
    const ExportResult r = Exports::writeSectionPng(path, b, e);
    QVERIFY2(r.ok(), qPrintable(r.reason));
    QCOMPARE(pngPixelsPerMetre(readAll(path)), int(std::lround(dpi / 0.0254)));
    const QImage img(path);
    if (scale == 0) {
        QCOMPARE(img.size(), e.size);
    } else {
        // 10 pixels per mm: the page is the drawing with its margins.
        const QSizeF page = Exports::drawingPageSize(b, e.drawing);
        QCOMPARE(img.size(), (page * 10).toSize());
    }
    // Paper is white in the drawing look, black in the screen look.
    QCOMPARE(qGray(img.pixel(0, 0)), look == int(SectionLook::Drawing) ? 255 : 0);
}

void TstOutput::tooLargeRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.png"));
    SectionExport e = drawingAt(5);
    e.dpi = Exports::MaxDpi;
    ExportResult r = Exports::writeSectionPng(path, boxBlock(), e);
    QVERIFY(!r.ok() && r.reason.contains(QStringLiteral("大きすぎます")));
    e.dpi = 10;
    r = Exports::writeSectionPng(path, boxBlock(), e);
    QVERIFY(!r.ok() && r.reason.contains(QStringLiteral("dpi")));
    // Too small an image for the block at any standard scale.
    e = drawingAt(0);
    e.size = QSize(100, 100);
    e.dpi = 600;
    r = Exports::writeSectionPng(path, boxBlock(60, 10), e);
    QVERIFY(!r.ok() && r.reason.contains(QStringLiteral("1:500")));
    QVERIFY(!QFile::exists(path));
    // A 60 m block at 1:5 would need a page 12 m wide.
    r = Exports::writeSectionSvg(dir.filePath(QStringLiteral("s.svg")), boxBlock(60, 10),
                                 drawingAt(5));
    QVERIFY(!r.ok() && r.reason.contains(QStringLiteral("縮尺を小さく")));
    r = Exports::writeSectionPdf(dir.filePath(QStringLiteral("s.pdf")), boxBlock(60, 10),
                                 drawingAt(5));
    QVERIFY(!r.ok() && r.reason.contains(QStringLiteral("縮尺を小さく")));
    QVERIFY(QDir(dir.path()).isEmpty());
}

// The user picks the drawing look and 1:50 in the dialog of 断面を PDF に出力;
// the page follows, and the dialog remembers the choice next time.
void TstOutput::optionsDialogDrivesExport()
{
    if (!haveTool("pdfinfo"))
        QSKIP("pdfinfo (poppler-utils) is not installed");
    QTemporaryDir dir;
    Module1 mod;
    mod.BlkData = mod.SaveData = boxBlock();
    basMr_Blk blk;
    blk.DataPath = dir.path() + u'/';
    blk.DataName = QStringLiteral("box");
    ScriptedPrompts prompts;
    ExportCommands cmd(mod, blk, prompts);
    QString outcome;
    prompts.onExec = [&outcome](QDialog& d) {
        d.findChild<QRadioButton*>(QStringLiteral("lookDrawing"))->click();
        auto* scale = d.findChild<QComboBox*>(QStringLiteral("scale"));
        scale->setCurrentIndex(scale->findText(QStringLiteral("1:50")));
        // Width and height are the screen look's: not asked for a drawing.
        if (d.findChild<QSpinBox*>(QStringLiteral("width"))->isEnabled())
            return int(QDialog::Rejected);
        outcome = d.findChild<QLabel*>(QStringLiteral("outcome"))->text();
        return int(QDialog::Accepted);
    };
    prompts.saveAnswers << blk.DataPath + QStringLiteral("box");
    QVERIFY(cmd.sectionPdf(screenLook(), QSize(640, 480)));
    QCOMPARE(prompts.saveRequests.last().name, QStringLiteral("box.pdf"));
    DrawingPainter::Options at50;
    at50.scale = 50;
    const QSizeF expected = Exports::drawingPageSize(boxBlock(), at50);
    const QSizeF page = pdfPageMm(blk.DataPath + QStringLiteral("box.pdf"));
    QVERIFY(page.width() > expected.width() - 0.01 && page.width() < expected.width() + 0.36);
    QVERIFY(page.height() > expected.height() - 0.01 && page.height() < expected.height() + 0.36);
    QVERIFY(outcome.contains(
        QStringLiteral("%1 × %2 mm").arg(expected.width()).arg(expected.height())));

    QString remembered;
    prompts.onExec = [&remembered](QDialog& d) {
        remembered = d.findChild<QComboBox*>(QStringLiteral("scale"))->currentText();
        return int(QDialog::Rejected);
    };
    QVERIFY(!cmd.sectionPdf(screenLook(), QSize(640, 480)));
    QCOMPARE(remembered, QStringLiteral("1:50"));
    QVERIFY(prompts.errors().isEmpty());
}

QTEST_MAIN(TstOutput)
#include "tst_output.moc"

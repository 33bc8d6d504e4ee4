#include "common/scriptedprompts.h"
#include "document/numtext.h"
#include "output/datasheet.h"
#include "output/exportcommands.h"
#include "output/exports.h"
#include "output/sectionexportdialog.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
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

} // namespace

class TstOutput : public QObject
{
    Q_OBJECT
private slots:
    void layoutFits_data();
    void layoutFits();
    void pdfSheet_data();
    void pdfSheet();
    void svgOneLinePerSegment_data();
    void svgOneLinePerSegment();
    void pngSizeAndPixels_data();
    void pngSizeAndPixels();
    void failuresLeaveNoFile_data();
    void failuresLeaveNoFile();
    void commandsAskAndReport();
    void printAndPreview();
};

void TstOutput::layoutFits_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("layers");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("small") << 4 << 4;
    QTest::newRow("one group each") << 25 << 17;
    QTest::newRow("two groups each") << 26 << 18;
    QTest::newRow("limits") << 100 << 51;
    QTest::newRow("damaged counts") << -7 << -3;
}

void TstOutput::layoutFits()
{
    QFETCH(int, points);
    QFETCH(int, layers);
    BlkRec b = makeBlock(std::max(points, 1), 0, std::max(layers, 0));
    b.PntCnt = qint16(points);
    b.LyrCnt = qint16(layers);
    const DataSheet::Layout l = DataSheet::layout(b);
    const QList<QRectF> parts = {l.title,  l.section, l.scaleBar, l.spec,
                                 l.points, l.layers,  l.footer};
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
    QVERIFY(l.section.height() >= 700 && l.section.width() >= 1000); // 70 x 100 mm at least
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
    const DataSheetInfo info{QStringLiteral("block_8t.csv"), true, QDate(2024, 5, 7)};
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

QTEST_MAIN(TstOutput)
#include "tst_output.moc"

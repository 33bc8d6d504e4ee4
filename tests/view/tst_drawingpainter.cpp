#include "common/blocktext.h"
#include "view/drawingpainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <numbers>

namespace {

// n points on a ring of radius r metres, joined in order.
BlkRec ring(int n, double r)
{
    BlkRec b;
    b.B = b.H = 2 * r;
    b.PntCnt = qint16(n);
    b.LineCnt = qint16(n);
    for (int i = 1; i <= n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        b.PntX[i] = r + r * std::cos(a);
        b.PntY[i] = r + r * std::sin(a);
        b.LineSt[i] = qint16(i);
        b.LineEd[i] = qint16(i % n + 1);
    }
    return b;
}

DrawingPainter::Options bare(int scale)
{
    DrawingPainter::Options o;
    o.scale = scale;
    o.pointNumbers = false;
    o.dimensions = false;
    o.scaleNote = false;
    return o;
}

} // namespace

class TstDrawingPainter : public QObject
{
    Q_OBJECT
private slots:
    void largestFitting_data();
    void largestFitting();
    void largestScaleIsTheLargestThatFits_data();
    void largestScaleIsTheLargestThatFits();
    void parse_data();
    void parse();
    void labelsNeverOverlap_data();
    void labelsNeverOverlap();
    void sparsePointsAllNumbered();
    void paintsTrueSizeOnPaper_data();
    void paintsTrueSizeOnPaper();
    void annotationsGrowTheDrawing();
    void scaleBarIsRound_data();
    void scaleBarIsRound();
};

void TstDrawingPainter::largestFitting_data()
{
    QTest::addColumn<QSizeF>("metres");
    QTest::addColumn<QSizeF>("frame");
    QTest::addColumn<int>("expected");
    QTest::newRow("2 m in 100 mm") << QSizeF(2, 2) << QSizeF(100, 100) << 20;
    QTest::newRow("exactly 100 mm at 1:50") << QSizeF(5, 1) << QSizeF(100, 100) << 50;
    QTest::newRow("just over at 1:50") << QSizeF(5.001, 1) << QSizeF(100, 100) << 100;
    QTest::newRow("1:25 between 1:20 and 1:50") << QSizeF(4, 4) << QSizeF(170, 170) << 25;
    QTest::newRow("small block, largest scale") << QSizeF(0.4, 0.4) << QSizeF(100, 100) << 5;
    QTest::newRow("height limits") << QSizeF(1, 9) << QSizeF(200, 100) << 100;
    QTest::newRow("too large for 1:500") << QSizeF(60, 10) << QSizeF(100, 100) << 0;
    QTest::newRow("empty frame") << QSizeF(1, 1) << QSizeF(0, 0) << 0;
    QTest::newRow("no extent") << QSizeF(0, 0) << QSizeF(10, 10) << 5;
}

void TstDrawingPainter::largestFitting()
{
    QFETCH(QSizeF, metres);
    QFETCH(QSizeF, frame);
    QFETCH(int, expected);
    QCOMPARE(DrawingScale::largestFitting(metres, frame), expected);
}

void TstDrawingPainter::largestScaleIsTheLargestThatFits_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::addColumn<QSizeF>("frame");
    QTest::newRow("8t box in the sheet's box") << rectangleBlock(2, 2) << QSizeF(118, 116);
    QTest::newRow("wide box") << rectangleBlock(6, 1.5) << QSizeF(180, 120);
    QTest::newRow("ring of 40") << ring(40, 1.5) << QSizeF(150, 150);
    QTest::newRow("tiny box") << rectangleBlock(0.3, 0.2) << QSizeF(277, 190);
}

void TstDrawingPainter::largestScaleIsTheLargestThatFits()
{
    QFETCH(BlkRec, block);
    QFETCH(QSizeF, frame);
    DrawingPainter::Options opt;
    const int n = DrawingPainter::largestScale(block, opt, frame);
    QVERIFY(DrawingScale::isStandard(n));
    opt.scale = n;
    const QSizeF s = DrawingPainter::size(block, opt);
    QVERIFY(s.width() <= frame.width() && s.height() <= frame.height());
    // The next larger standard scale would overflow the frame.
    const auto* it = std::find(DrawingScale::Standard.begin(), DrawingScale::Standard.end(), n);
    if (it != DrawingScale::Standard.begin()) {
        opt.scale = *(it - 1);
        const QSizeF larger = DrawingPainter::size(block, opt);
        QVERIFY(larger.width() > frame.width() || larger.height() > frame.height());
    }
}

void TstDrawingPainter::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // 0: refused
    QTest::newRow("colon") << "1:20" << 20;
    QTest::newRow("slash") << "1/50" << 50;
    QTest::newRow("blanks") << " 1 : 100 " << 100;
    QTest::newRow("bare number") << "25" << 25;
    QTest::newRow("zero") << "1:0" << 0;
    QTest::newRow("negative") << "1:-5" << 0;
    QTest::newRow("ratio not to one") << "2:20" << 0;
    QTest::newRow("words") << "large" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("decimal") << "1:2.5" << 0;
}

void TstDrawingPainter::parse()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<int> n = DrawingScale::parse(text);
    QCOMPARE(n.value_or(0), expected);
}

void TstDrawingPainter::labelsNeverOverlap_data()
{
    QTest::addColumn<BlkRec>("block");
    QTest::addColumn<int>("scale");
    QTest::newRow("ring of 100 at 1:100") << ring(100, 3) << 100;
    QTest::newRow("ring of 100 at 1:500") << ring(100, 3) << 500;
    QTest::newRow("ring of 30 at 1:20") << ring(30, 1) << 20;
    BlkRec same = rectangleBlock(1, 1);
    same.PntCnt = 20;
    for (int i = 5; i <= 20; ++i) {
        same.PntX[i] = 0.5; // sixteen points on one spot
        same.PntY[i] = 0.5;
    }
    QTest::newRow("points on one spot") << same << 20;
    BlkRec row = rectangleBlock(2, 1);
    row.PntCnt = 60;
    for (int i = 5; i <= 60; ++i) {
        row.PntX[i] = i * 0.03;
        row.PntY[i] = 0.5 + (i % 2) * 0.01;
    }
    QTest::newRow("dense row") << row << 50;
}

void TstDrawingPainter::labelsNeverOverlap()
{
    QFETCH(BlkRec, block);
    QFETCH(int, scale);
    DrawingPainter::Options opt;
    opt.scale = scale;
    const QList<DrawingPainter::Label> labels = DrawingPainter::pointLabels(block, opt);
    QVERIFY(!labels.isEmpty());
    for (int i = 0; i < labels.size(); ++i) {
        QCOMPARE(labels[i].text, QString::number(labels[i].point));
        for (int j = i + 1; j < labels.size(); ++j)
            QVERIFY2(!labels[i].rect.intersects(labels[j].rect),
                     qPrintable(QStringLiteral("%1 %2").arg(labels[i].point).arg(labels[j].point)));
        // No number covers another point's mark.
        for (int p = 1; p <= block.PntCnt; ++p) {
            if (p == labels[i].point)
                continue;
            const QPointF at = DrawingPainter::toPaper(block.PntX[p], block.PntY[p], scale);
            QVERIFY(!labels[i].rect.contains(at));
        }
    }
    // Everything drawn lies within the drawing's bounds.
    const QRectF bounds = DrawingPainter::bounds(block, opt);
    for (const DrawingPainter::Label& l : labels)
        QVERIFY(bounds.contains(l.rect));
}

void TstDrawingPainter::sparsePointsAllNumbered()
{
    const BlkRec b = ring(12, 1.5);
    DrawingPainter::Options opt;
    opt.scale = 20;
    const QList<DrawingPainter::Label> labels = DrawingPainter::pointLabels(b, opt);
    QCOMPARE(labels.size(), 12);
    // Each number sits next to its own point.
    for (const DrawingPainter::Label& l : labels) {
        const QPointF at = DrawingPainter::toPaper(b.PntX[l.point], b.PntY[l.point], 20);
        QVERIFY(l.rect.adjusted(-3, -3, 3, 3).contains(at));
    }
}

void TstDrawingPainter::paintsTrueSizeOnPaper_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<double>("metres");
    QTest::newRow("1 m at 1:20") << 20 << 1.0;
    QTest::newRow("2 m at 1:50") << 50 << 2.0;
    QTest::newRow("0.5 m at 1:5") << 5 << 0.5;
}

// The outline painted into an image of 10 pixels per mm: its black extent is
// the length on paper plus the line's width.
void TstDrawingPainter::paintsTrueSizeOnPaper()
{
    QFETCH(int, scale);
    QFETCH(double, metres);
    const BlkRec b = rectangleBlock(metres, metres / 2);
    const double mm = metres * 1000 / scale;
    constexpr double pxPerMm = 10;
    QImage img(int((mm + 20) * pxPerMm), int((mm / 2 + 20) * pxPerMm), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.scale(pxPerMm, pxPerMm);
        DrawingPainter::paint(p, QRectF(0, 0, mm + 20, mm / 2 + 20), b, bare(scale));
    }
    // Along the row through the middle of the side edges, away from the
    // point marks at the corners.
    const int y = img.height() / 2;
    int left = img.width();
    int right = -1;
    for (int x = 0; x < img.width(); ++x) {
        if (qGray(img.pixel(x, y)) < 128) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    const double measured = (right - left + 1) / pxPerMm; // outer edges of the 0.35 mm lines
    QVERIFY2(std::abs(measured - (mm + 0.35)) <= 0.25,
             qPrintable(QStringLiteral("%1 mm for %2 mm").arg(measured).arg(mm)));
}

void TstDrawingPainter::annotationsGrowTheDrawing()
{
    const BlkRec b = rectangleBlock(2, 1.5);
    DrawingPainter::Options opt = bare(20);
    const QRectF plain = DrawingPainter::bounds(b, opt);
    // The bare outline: 100 x 75 mm plus the line's reach.
    QVERIFY(std::abs(plain.width() - 100) < 1 && std::abs(plain.height() - 75) < 1);
    opt.dimensions = true;
    const QRectF dims = DrawingPainter::bounds(b, opt);
    QVERIFY(dims.bottom() > plain.bottom() + 5); // B below
    QVERIFY(dims.left() < plain.left() - 5);     // H to the left
    opt.scaleNote = true;
    const QRectF noted = DrawingPainter::bounds(b, opt);
    QVERIFY(noted.bottom() >= dims.bottom() + DrawingPainter::scaleNoteSize(opt).height());
    // An empty block still has its scale note, and nothing else.
    const QSizeF empty = DrawingPainter::size(BlkRec(), opt);
    QCOMPARE(empty, DrawingPainter::scaleNoteSize(opt));
}

void TstDrawingPainter::scaleBarIsRound_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<double>("step");
    QTest::newRow("1:5") << 5 << 0.05;
    QTest::newRow("1:20") << 20 << 0.2;
    QTest::newRow("1:25") << 25 << 0.2;
    QTest::newRow("1:100") << 100 << 1.0;
    QTest::newRow("1:200") << 200 << 2.0;
    QTest::newRow("1:500") << 500 << 5.0;
}

void TstDrawingPainter::scaleBarIsRound()
{
    QFETCH(int, scale);
    QFETCH(double, step);
    QVERIFY(std::abs(DrawingPainter::scaleBarStep(scale) - step) < 1e-12);
    const double length =
        step * DrawingScale::mmPerMetre(scale) * DrawingPainter::scaleBarDivisions(scale);
    QVERIFY(length >= 8 && length <= 60);
}

QTEST_MAIN(TstDrawingPainter)
#include "tst_drawingpainter.moc"

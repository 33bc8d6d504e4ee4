#include "view/previewpainter.h"
#include "view/sectionpainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <limits>

class TstPreviewPainter : public QObject
{
    Q_OBJECT
private slots:
    void fit_data();
    void fit();
    void farPointIsClipped();
    void badSegmentsSkipped();
};

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The outline of the box 0..4 x 0..2 as four segments, with B and H given.
BlkRec box(double b, double h)
{
    BlkRec r;
    r.B = b;
    r.H = h;
    r.PntCnt = 4;
    const double xs[] = {0, 4, 4, 0};
    const double ys[] = {0, 0, 2, 2};
    for (int i = 1; i <= 4; ++i) {
        r.PntX[i] = xs[i - 1];
        r.PntY[i] = ys[i - 1];
        r.LineSt[i] = qint16(i);
        r.LineEd[i] = qint16(i % 4 + 1);
    }
    r.LineCnt = 4;
    return r;
}

QImage paint(const BlkRec& r, QSize size = QSize(100, 100))
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::red); // anything not painted shows
    QPainter p(&img);
    PreviewPainter::paint(p, size, r);
    return img;
}

// Bounding box of the white pixels; every other pixel must be black.
QRect whiteBox(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (c == Palette::Fore.rgb())
                box |= QRect(x, y, 1, 1);
            else if (c != Palette::Back.rgb())
                return QRect(-1, -1, 1, 1);
        }
    }
    return box;
}

} // namespace

void TstPreviewPainter::fit_data()
{
    QTest::addColumn<BlkRec>("rec");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("white");
    // Square: 20 px/m, so 5 m across; the box's corners at 10..90 and 30..70.
    const QRect square(QPoint(10, 30), QPoint(90, 70));
    QTest::newRow("B 4 H 2 square") << box(4, 2) << QSize(100, 100) << square;
    // Wide: the height decides, 100 / 3 px/m; centred across.
    QTest::newRow("B 4 H 2 wide") << box(4, 2) << QSize(200, 100)
                                  << QRect(QPoint(33, 16), QPoint(166, 83));
    // A broken specification box falls back to the points' extent, here the
    // same box.
    QTest::newRow("B 0") << box(0, 2) << QSize(100, 100) << square;
    QTest::newRow("B -1") << box(-1, 2) << QSize(100, 100) << square;
    QTest::newRow("H negative") << box(4, -7) << QSize(100, 100) << square;
    QTest::newRow("B NaN") << box(kNaN, 2) << QSize(100, 100) << square;
    QTest::newRow("H infinite") << box(4, kInf) << QSize(100, 100) << square;
    QTest::newRow("empty picture") << box(4, 2) << QSize(0, 0) << QRect();
}

void TstPreviewPainter::fit()
{
    QFETCH(BlkRec, rec);
    QFETCH(QSize, size);
    QFETCH(QRect, white);
    if (size.isEmpty()) {
        QCOMPARE(PreviewPainter::frame(rec, size).k, 0.0);
        return;
    }
    QCOMPARE(whiteBox(paint(rec, size)), white);
}

void TstPreviewPainter::farPointIsClipped()
{
    // From the centre (pixel 50, 50) to points far beyond the right edge and
    // the lower left corner: beyond any 16-bit or int pixel position.
    BlkRec r = box(4, 2);
    r.PntCnt = 7;
    r.PntX[5] = 2;
    r.PntY[5] = 1;
    r.PntX[6] = 1e12;
    r.PntY[6] = 1;
    r.PntX[7] = -1e300;
    r.PntY[7] = -1e300;
    r.LineCnt = 2;
    r.LineSt[1] = 5;
    r.LineEd[1] = 6;
    r.LineSt[2] = 5;
    r.LineEd[2] = 7;
    const QImage img = paint(r);
    QCOMPARE(whiteBox(img), QRect(QPoint(1, 50), QPoint(99, 99)));
    for (int x = 50; x < 100; ++x)
        QCOMPARE(img.pixel(x, 50), Palette::Fore.rgb());
    for (int i = 0; i < 50; ++i)
        QCOMPARE(img.pixel(50 - i, 50 + i), Palette::Fore.rgb());
}

void TstPreviewPainter::badSegmentsSkipped()
{
    BlkRec r = box(4, 2);
    const QImage good = paint(r);
    r.PntX[3] = kNaN; // the two segments at point 3 go
    r.LineCnt = 8;
    const qint16 bad[][2] = {{0, 1}, {1, 101}, {-1, 2}, {32767, 4}};
    for (int i = 0; i < 4; ++i) {
        r.LineSt[5 + i] = bad[i][0];
        r.LineEd[5 + i] = bad[i][1];
    }
    BlkRec expect = box(4, 2); // 1-2 along the bottom and 4-1 up the left side
    expect.LineSt[2] = 4;
    expect.LineEd[2] = 1;
    expect.LineCnt = 2;
    QCOMPARE(paint(r), paint(expect));
    QVERIFY(paint(r) != good);
}

QTEST_GUILESS_MAIN(TstPreviewPainter)
#include "tst_previewpainter.moc"

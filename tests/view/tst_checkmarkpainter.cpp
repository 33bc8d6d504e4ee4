#include "view/checkmarkpainter.h"
#include "view/sectionpainter.h"
#include "view/viewstate.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(CheckMarks)

namespace {

constexpr int kW = 200;
constexpr int kH = 100;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 20 px/m with the world origin at pixel (20, 60).
ViewState view(bool fitted)
{
    ViewState v;
    v.Gz_xmax = kW;
    v.Gz_ymax = kH;
    if (!fitted)
        return v;
    v.Dan_scl = 20;
    v.Dan_xmin = -1;
    v.Dan_xmax = v.Dan_xmin + kW / v.Dan_scl;
    v.Dan_ymax = 3;
    v.Dan_ymin = v.Dan_ymax - kH / v.Dan_scl;
    return v;
}

// A 4 x 2 box (segments 1..4), a damaged segment 5 naming point 300, and
// segment 6 from the box's lower right corner straight up to point 5, a
// thousand kilometres away. Entries 6 and 7, beyond the counts, would be
// drawable if they were ever used.
BlkRec block()
{
    BlkRec b;
    const double xs[] = {0, 4, 4, 0, 4};
    const double ys[] = {0, 0, 2, 2, 1e9};
    b.PntCnt = 5;
    for (int i = 1; i <= 5; ++i) {
        b.PntX[i] = xs[i - 1];
        b.PntY[i] = ys[i - 1];
    }
    const int segs[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 300}, {2, 5}, {1, 3}};
    for (int i = 1; i <= 7; ++i) {
        b.LineSt[i] = qint16(segs[i - 1][0]);
        b.LineEd[i] = qint16(segs[i - 1][1]);
    }
    b.LineCnt = 6;
    return b;
}

} // namespace

class TstCheckMarkPainter : public QObject
{
    Q_OBJECT
private slots:
    void marks_data();
    void marks();
};

// expect: 1 the probe pixel (offset from the screen position of world point
// probe) is the mark colour, 0 it is not, -1 no pixel anywhere is.
void TstCheckMarkPainter::marks_data()
{
    QTest::addColumn<CheckMarks>("marks");
    QTest::addColumn<bool>("fitted");
    QTest::addColumn<QPointF>("probe");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("expect");

    const CheckMarks p1{{1}, {}, {}};
    const CheckMarks s2{{}, {2}, {}};
    const CheckMarks x{{}, {}, {{2, 1}}};
    QTest::newRow("ring around a point") << p1 << true << QPointF(0, 0) << QPoint(6, 0) << 1;
    QTest::newRow("ring is hollow") << p1 << true << QPointF(0, 0) << QPoint(3, 0) << 0;
    QTest::newRow("segment drawn thick") << s2 << true << QPointF(4, 1) << QPoint(1, 0) << 1;
    QTest::newRow("only a little thick") << s2 << true << QPointF(4, 1) << QPoint(3, 0) << 0;
    QTest::newRow("cross at a position") << x << true << QPointF(2, 1) << QPoint(2, 2) << 1;
    QTest::newRow("cross, no box") << x << true << QPointF(2, 1) << QPoint(3, 0) << 0;
    QTest::newRow("segment to a far point keeps its place")
        << CheckMarks{{}, {6}, {}} << true << QPointF(4, 1) << QPoint(-1, 0) << 1;
    QTest::newRow("points 0 and beyond the count")
        << CheckMarks{{0, 6, -1}, {}, {}} << true << QPointF() << QPoint() << -1;
    QTest::newRow("segments naming no point, 0 and beyond the count")
        << CheckMarks{{}, {5, 0, 7, 101}, {}} << true << QPointF() << QPoint() << -1;
    QTest::newRow("far away and NaN positions")
        << CheckMarks{{5}, {}, {{1e12, -1e12}, {kNaN, 1}, {-20, 1}}} << true << QPointF()
        << QPoint() << -1;
    QTest::newRow("before a fit") << CheckMarks{{1}, {2}, {{2, 1}}} << false << QPointF()
                                  << QPoint() << -1;
}

void TstCheckMarkPainter::marks()
{
    QFETCH(CheckMarks, marks);
    QFETCH(bool, fitted);
    QFETCH(QPointF, probe);
    QFETCH(QPoint, offset);
    QFETCH(int, expect);
    const ViewState v = view(fitted);
    const BlkRec b = block();
    QImage img(kW, kH, QImage::Format_RGB32);
    {
        QPainter p(&img);
        SectionPainter::paint(p, img.size(), v, b, {});
        paintCheckMarks(p, img.size(), v, b, marks);
    }
    const QRgb mark = kCheckMarkColor.rgb();
    if (expect < 0) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                QVERIFY2(img.pixel(x, y) != mark, qPrintable(QString("%1,%2").arg(x).arg(y)));
        return;
    }
    const QPoint at = SectionPainter::toScreen(v, probe.x(), probe.y()) + offset;
    QCOMPARE(img.pixel(at) == mark, expect == 1);
}

QTEST_MAIN(TstCheckMarkPainter)
#include "tst_checkmarkpainter.moc"

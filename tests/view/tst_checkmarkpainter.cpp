#include "view/checkmarkpainter.h"
#include "view/sectionpainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(CheckMarks)

class TstCheckMarkPainter : public QObject
{
    Q_OBJECT
private slots:
    void marks_data();
    void marks();
};

// At 20 px/m with the world origin at pixel (20, 60): the 4 x 2 box of points
// 1..4 and segments 1..4; segment 5 names point 300, segment 6 runs from the
// box's lower right corner (100, 60) up and right to point 5, a thousand
// kilometres away, two across for one up. Point 6 and segment 7, beyond the
// counts, would be drawable.
void TstCheckMarkPainter::marks_data()
{
    QTest::addColumn<CheckMarks>("marks");
    QTest::addColumn<bool>("fitted");
    QTest::addColumn<QList<QPoint>>("marked");   // none at all when both are empty
    QTest::addColumn<QList<QPoint>>("unmarked"); // near them, not marked
    const double nan = std::numeric_limits<double>::quiet_NaN();
    using P = QList<QPoint>;
    QTest::newRow("ring around point 1")
        << CheckMarks{{1}, {}, {}} << true << P{{26, 60}} << P{{22, 58}};
    QTest::newRow("segment 2 thick")
        << CheckMarks{{}, {2}, {}} << true << P{{99, 40}, {101, 40}} << P{{103, 40}};
    QTest::newRow("cross at (2, 1)")
        << CheckMarks{{}, {}, {{2, 1}}} << true << P{{62, 42}, {58, 38}} << P{{63, 40}};
    QTest::newRow("segment to a far point in place")
        << CheckMarks{{}, {6}, {}} << true << P{{160, 30}} << P{{160, 35}};
    QTest::newRow("numbers outside the tables")
        << CheckMarks{{0, 6, -1}, {0, 5, 7, 101}, {}} << true << P{} << P{};
    QTest::newRow("far away and NaN positions")
        << CheckMarks{{5}, {}, {{1e12, -1e12}, {nan, 1}, {-20, 1}}} << true << P{} << P{};
    QTest::newRow("before a fit") << CheckMarks{{1}, {2}, {{2, 1}}} << false << P{} << P{};
}

void TstCheckMarkPainter::marks()
{
    QFETCH(CheckMarks, marks);
    QFETCH(bool, fitted);
    QFETCH(QList<QPoint>, marked);
    QFETCH(QList<QPoint>, unmarked);
    ViewState v;
    v.Gz_xmax = 200;
    v.Gz_ymax = 100;
    if (fitted) {
        v.Dan_scl = 20;
        v.Dan_xmin = -1;
        v.Dan_xmax = 9;
        v.Dan_ymin = -2;
        v.Dan_ymax = 3;
    }
    BlkRec b;
    const double pts[][2] = {{0, 0}, {4, 0}, {4, 2}, {0, 2}, {4 + 2e9, 1e9}};
    const int segs[][2] = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {1, 300}, {2, 5}, {1, 3}};
    for (int i = 1; i <= 7; ++i) {
        b.PntX[i] = i <= 5 ? pts[i - 1][0] : 1;
        b.PntY[i] = i <= 5 ? pts[i - 1][1] : 1;
        b.LineSt[i] = qint16(segs[i - 1][0]);
        b.LineEd[i] = qint16(segs[i - 1][1]);
    }
    b.PntCnt = 5;
    b.LineCnt = 6;

    QImage img(200, 100, QImage::Format_RGB32);
    QPainter p(&img);
    SectionPainter::paint(p, img.size(), v, b, {});
    paintCheckMarks(p, img.size(), v, b, marks);
    p.end();
    const QRgb mark = kCheckMarkColor.rgb();
    for (const QPoint& at : marked)
        QVERIFY2(img.pixel(at) == mark, qPrintable(QString("%1,%2").arg(at.x()).arg(at.y())));
    for (const QPoint& at : unmarked)
        QVERIFY(img.pixel(at) != mark);
    if (marked.isEmpty()) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QVERIFY(img.pixel(x, y) != mark);
    }
}

QTEST_MAIN(TstCheckMarkPainter)
#include "tst_checkmarkpainter.moc"

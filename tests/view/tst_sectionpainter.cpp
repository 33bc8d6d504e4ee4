#include "document/blockfile.h"
#include "view/sectionpainter.h"
#include "view/viewstate.h"

#include <QDir>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

class TstSectionPainter : public QObject
{
    Q_OBJECT
private slots:
    void emptyBlockGridOffIsBlack();
    void paintBeforeFitIsBlack();
    void wholeSectionGrid_data();
    void wholeSectionGrid();
    void gridLineJustLeftOfViewIsOnColumnZero();
    void gridIsDotted_data();
    void gridIsDotted();
    void gridDotRuns();
    void pointMarkAndLabel_data();
    void pointMarkAndLabel();
    void gravityMark_data();
    void gravityMark();
    void segmentPixels_data();
    void segmentPixels();
    void laterItemsPaintOver();
    void damagedSegmentIsSkipped_data();
    void damagedSegmentIsSkipped();
    void segmentToPointZeroIsDrawn_data();
    void segmentToPointZeroIsDrawn();
    void damagedCountsStayInTable();
    void extremeZoomIn();
    void extremeZoomOut();
    void farAwaySegmentCrossingTheArea();
    void gridStep_data();
    void gridStep();
    void gridPositions_data();
    void gridPositions();
    void gridLinesBounded_data();
    void gridLinesBounded();
    void directAndPainterPathsAgree_data();
    void directAndPainterPathsAgree();
    void bandRectXor_data();
    void bandRectXor();
    void bandLineXor_data();
    void bandLineXor();
    void pointLabel_data();
    void pointLabel();
    void plusSetsFivePixels();
    void selectionHighlights();
    void samplePicture();
    void coloursOption_data();
    void coloursOption();
    void sampleFiles_data();
    void sampleFiles();
};

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGrey = Palette::Grid.rgb();
const QRgb kWhite = Palette::Fore.rgb();
const QRgb kMagenta = Palette::PointMark.rgb();
const QRgb kCyan = Palette::Gravity.rgb();
const QRgb kYellow = Palette::Band.rgb();

QFont testFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    return f;
}

ViewState fitted(int w, int h, const BlkRec& b)
{
    ViewState v;
    v.Gz_xmax = qint16(w);
    v.Gz_ymax = qint16(h);
    Mk_Dan_xyminmax(v, b);
    Mk_Dan_scl(v);
    return v;
}

// A view of w x h pixels with x from xmin and y up to ymax at scl px/m.
ViewState viewAt(int w, int h, double xmin, double ymax, double scl)
{
    ViewState v;
    v.Gz_xmax = qint16(w);
    v.Gz_ymax = qint16(h);
    v.Dan_scl = scl;
    v.Dan_xmin = xmin;
    v.Dan_xmax = xmin + w / scl;
    v.Dan_ymax = ymax;
    v.Dan_ymin = ymax - h / scl;
    v.Dan_xc = (v.Dan_xmin + v.Dan_xmax) / 2;
    v.Dan_yc = (v.Dan_ymin + v.Dan_ymax) / 2;
    return v;
}

BlkRec block(const QList<QPointF>& pts, const QList<QPoint>& segs = {})
{
    BlkRec b;
    b.PntCnt = qint16(pts.size());
    for (int i = 0; i < pts.size(); ++i) {
        b.PntX[i + 1] = pts[i].x();
        b.PntY[i + 1] = pts[i].y();
    }
    b.LineCnt = qint16(segs.size());
    for (int i = 0; i < segs.size(); ++i) {
        b.LineSt[i + 1] = qint16(segs[i].x());
        b.LineEd[i + 1] = qint16(segs[i].y());
    }
    return b;
}

// An outline like the ones engineers draw: a stepped block with a slit.
BlkRec sampleBlock()
{
    BlkRec b = block({{0, 0}, {4, 0}, {4, 1.5}, {3, 1.5}, {3, 3}, {1, 3}, {1, 1.5}, {0, 1.5}},
                     {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 1}});
    b.Gx = 2;
    b.Gy = 1.2;
    return b;
}

using PainterSetup = std::function<void(QPainter&)>;

// Paints onto an image filled with a colour that the painter never uses, so
// that the background must really be cleared.
QImage render(QSize imageSize, QSize area, const ViewState& v, const BlkRec& b, bool grid,
              QImage::Format format = QImage::Format_RGB32, const PainterSetup& setup = {},
              const QColor& initial = QColor(200, 30, 30))
{
    QImage img(imageSize, format);
    img.fill(initial);
    QPainter p(&img);
    if (setup)
        setup(p);
    SectionPainter::Options opt;
    opt.grid = grid;
    opt.font = testFont();
    SectionPainter::paint(p, area, v, b, opt);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage render(QSize size, const ViewState& v, const BlkRec& b, bool grid)
{
    return render(size, size, v, b, grid);
}

QRgb px(const QImage& img, int x, int y)
{
    return img.pixel(x, y) | 0xff000000;
}

int countColour(const QImage& img, QRgb c, const QRect& r)
{
    int n = 0;
    const QRect in = r.intersected(img.rect());
    for (int y = in.top(); y <= in.bottom(); ++y)
        for (int x = in.left(); x <= in.right(); ++x)
            n += px(img, x, y) == c;
    return n;
}

int countColour(const QImage& img, QRgb c)
{
    return countColour(img, c, img.rect());
}

// Columns (or rows) that hold a dotted grid line: about every other pixel grey.
QList<int> greyLines(const QImage& img, bool columns)
{
    QList<int> out;
    const int n = columns ? img.width() : img.height();
    const int len = columns ? img.height() : img.width();
    for (int i = 0; i < n; ++i) {
        const QRect r = columns ? QRect(i, 0, 1, len) : QRect(0, i, len, 1);
        if (countColour(img, kGrey, r) >= len / 3)
            out.append(i);
    }
    return out;
}

// Lengths of the alternating runs of grey and not grey pixels along a column
// (or row), starting with grey.
QList<int> greyRuns(const QImage& img, bool column, int at)
{
    QList<int> runs;
    const int len = column ? img.height() : img.width();
    bool grey = true;
    int run = 0;
    for (int i = 0; i < len; ++i) {
        const bool g = (column ? px(img, at, i) : px(img, i, at)) == kGrey;
        if (g != grey) {
            runs.append(run);
            grey = g;
            run = 0;
        }
        ++run;
    }
    runs.append(run);
    return runs;
}

// The grid alone as it should look in an image of the given size: each line
// three grey pixels on, three off, counted on vertical lines from the grid's
// bottom row upward and on horizontal ones from column 0, within the area.
QImage expectedGrid(QSize image, QSize area, const SectionPainter::GridLines& g)
{
    QImage img(image, QImage::Format_RGB32);
    img.fill(Qt::black);
    const auto lit = [](int fromAnchor) { return fromAnchor % 6 < 3; };
    const int lastRow = std::min({g.bottom, area.height(), image.height() - 1});
    const int lastColumn = std::min({g.right, area.width(), image.width() - 1});
    for (int x : g.columns)
        for (int y = 0; y <= lastRow; ++y)
            if (x < image.width() && lit(g.bottom - y))
                img.setPixel(x, y, kGrey);
    for (int y : g.rows)
        for (int x = 0; x <= lastColumn; ++x)
            if (y < image.height() && lit(x))
                img.setPixel(x, y, kGrey);
    return img;
}

bool isPaletteColour(QRgb c)
{
    return c == kBlack || c == kGrey || c == kWhite || c == kMagenta || c == kCyan;
}

} // namespace

Q_DECLARE_METATYPE(PainterSetup)

void TstSectionPainter::emptyBlockGridOffIsBlack()
{
    const ViewState v = fitted(200, 150, BlkRec{});
    const QImage img = render(QSize(200, 150), v, BlkRec{}, false);
    QCOMPARE(countColour(img, kBlack), 200 * 150);
}

void TstSectionPainter::paintBeforeFitIsBlack()
{
    // Before the first fit the scale is 0: only the background is drawn.
    ViewState v;
    const QImage img = render(QSize(120, 90), v, sampleBlock(), true);
    QCOMPARE(countColour(img, kBlack), 120 * 90);
}

void TstSectionPainter::wholeSectionGrid_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QList<int>>("lines");

    // 360 px for X and Y -1..11: 30 px/m, lines at -1, 0, .., 11. The last
    // one lies on pixel 360, the far edge of the view: the image is one pixel
    // larger so that it shows.
    QList<int> at30;
    for (int i = 0; i <= 12; ++i)
        at30.append(30 * i);
    QTest::newRow("360 px: 13 lines") << 360 << at30;
    QList<int> at40;
    for (int i = 0; i <= 12; ++i)
        at40.append(40 * i);
    QTest::newRow("480 px: 13 lines") << 480 << at40;
}

void TstSectionPainter::wholeSectionGrid()
{
    QFETCH(int, side);
    QFETCH(QList<int>, lines);
    const ViewState v = fitted(side, side, BlkRec{});
    QCOMPARE(v.Dan_xmin, -1.0);
    QCOMPARE(v.Dan_ymax, 11.0);
    const QImage img = render(QSize(side + 1, side + 1), QSize(side, side), v, BlkRec{}, true,
                              QImage::Format_RGB32, {}, Qt::black);
    QCOMPARE(greyLines(img, true), lines);
    QCOMPARE(greyLines(img, false), lines);
    // Nothing else is drawn.
    QCOMPARE(countColour(img, kGrey) + countColour(img, kBlack), (side + 1) * (side + 1));
    // With the grid off the same view is black.
    QCOMPARE(countColour(render(QSize(side, side), v, BlkRec{}, false), kBlack), side * side);
}

void TstSectionPainter::gridLineJustLeftOfViewIsOnColumnZero()
{
    // At 40 px/m the line at -1 m lies 0.4 px left of Dan_xmin = -0.99: it
    // truncates (toward zero) to column 0, the next one is at 0.99 * 40.
    const ViewState v = viewAt(200, 200, -0.99, 4.5, 40);
    const QImage img = render(QSize(200, 200), v, BlkRec{}, true);
    const QList<int> cols = greyLines(img, true);
    QVERIFY(!cols.isEmpty());
    QCOMPARE(cols.first(), 0);
    QCOMPARE(cols.at(1), 39);
    // Rows: 4.5 m is the top; lines at 4, 3, .. at 20, 60, ...
    const QList<int> rows = greyLines(img, false);
    QCOMPARE(rows.first(), 20);
    QCOMPARE(rows.at(1), 60);
}

void TstSectionPainter::gridIsDotted_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QPointF>("corner"); // Dan_xmin, Dan_ymax
    QTest::addColumn<double>("scl");
    QTest::addColumn<bool>("viaPainter");
    // The grid's bottom falls on row 80, just below the area, in the first
    // rows; with the others it takes every phase of the pattern (0..5).
    const struct
    {
        const char* name;
        QSize image;
        QSize area;
        QPointF corner;
        double scl;
    } cases[] = {
        {"100 x 80 at 20 px/m", {100, 80}, {100, 80}, {-0.5, 4}, 20},
        {"bottom row inside the image", {101, 81}, {100, 80}, {-0.5, 4}, 20},
        {"101 x 83 at 17 px/m", {101, 83}, {101, 83}, {0.3, 2.2}, 17},
        {"97 x 79 at 13 px/m", {98, 80}, {97, 79}, {-3.1, 0.7}, 13},
        {"120 x 78 at 13 px/m", {121, 79}, {120, 78}, {0.5, 5.5}, 13},
        {"64 x 76 at 9 px/m", {65, 77}, {64, 76}, {1, 1}, 9},
        {"50 x 45 at 3.7 px/m", {51, 46}, {50, 45}, {-7.77, 3.3}, 3.7},
    };
    for (const auto& c : cases) {
        QTest::addRow("%s, image pixels", c.name)
            << c.image << c.area << c.corner << c.scl << false;
        QTest::addRow("%s, QPainter", c.name) << c.image << c.area << c.corner << c.scl << true;
    }
}

void TstSectionPainter::gridIsDotted()
{
    QFETCH(QSize, image);
    QFETCH(QSize, area);
    QFETCH(QPointF, corner);
    QFETCH(double, scl);
    QFETCH(bool, viaPainter);
    const ViewState v = viewAt(area.width(), area.height(), corner.x(), corner.y(), scl);
    // A clip of the whole image sends the grid through QPainter's dashes.
    const PainterSetup clip = [image](QPainter& p) { p.setClipRect(QRect(QPoint(0, 0), image)); };
    const QImage img = render(image, area, v, BlkRec{}, true, QImage::Format_RGB32,
                              viaPainter ? clip : PainterSetup{}, Qt::black);
    const SectionPainter::GridLines g = SectionPainter::gridLines(v, area);
    QVERIFY(g.columns.size() >= 2);
    QVERIFY(g.rows.size() >= 2);
    // The lines are where the grid says (those inside the image), found by
    // their grey pixels.
    const auto inside = [](QList<int> lines, int size) {
        lines.removeIf([size](int i) { return i >= size; });
        return lines;
    };
    QCOMPARE(greyLines(img, true), inside(g.columns, image.width()));
    QCOMPARE(greyLines(img, false), inside(g.rows, image.height()));
    const QImage expected = expectedGrid(image, area, g);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY2(px(img, x, y) == px(expected, x, y),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void TstSectionPainter::gridDotRuns()
{
    const ViewState v = viewAt(100, 80, -0.5, 4, 20);
    for (bool viaPainter : {false, true}) {
        const PainterSetup clip = [](QPainter& p) { p.setClipRect(QRect(0, 0, 100, 80)); };
        const QImage img = render(QSize(100, 80), QSize(100, 80), v, BlkRec{}, true,
                                  QImage::Format_RGB32, viaPainter ? clip : PainterSetup{});
        QCOMPARE(greyLines(img, true), (QList<int>{10, 30, 50, 70, 90}));
        QCOMPARE(greyLines(img, false), (QList<int>{0, 20, 40, 60}));
        // Column 10 (x = 0 m) from the top: the pattern starts at the grid's
        // bottom, row 80 just below the area, so rows 78, 79 end it there
        // and row 0 begins a full run. No horizontal line lights column 10.
        QList<int> column;
        for (int i = 0; i < 13; ++i)
            column << 3 << 3;
        column << 2;
        QCOMPARE(greyRuns(img, true, 10), column);
        // Row 40 from column 0, where the vertical lines happen to be dark.
        QList<int> row;
        for (int i = 0; i < 16; ++i)
            row << 3 << 3;
        row << 3 << 1;
        QCOMPARE(greyRuns(img, false, 40), row);
    }
}

void TstSectionPainter::pointMarkAndLabel_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("7") << 7;
    QTest::newRow("12") << 12;
    QTest::newRow("100") << 100;
}

void TstSectionPainter::pointMarkAndLabel()
{
    QFETCH(int, number);
    // The point sits at the view centre; the others are far outside.
    QList<QPointF> pts(number, QPointF(-1000, -1000));
    pts[number - 1] = QPointF(5, 5);
    const ViewState v = viewAt(200, 160, 0, 9, 20);
    const QImage img = render(QSize(200, 160), v, block(pts), false);
    const QPoint c(100, 80);
    for (const QPoint d : {QPoint(0, 0), QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
        QCOMPARE(px(img, c.x() + d.x(), c.y() + d.y()), kMagenta);
    QCOMPARE(countColour(img, kMagenta), 5);

    // The label as the text layout places a top-left aligned " n " at
    // (px, py + 1), drawn alone on black.
    QImage ref(img.size(), QImage::Format_RGB32);
    ref.fill(Qt::black);
    {
        QPainter p(&ref);
        QFont f = testFont();
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(c.x(), c.y() + 1, 100, 50), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral(" %1 ").arg(number));
    }
    const int whites = countColour(ref, kWhite);
    QVERIFY(whites > 10);
    QCOMPARE(countColour(img, kWhite), whites);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QCOMPARE(px(img, x, y) == kWhite, px(ref, x, y) == kWhite);
    // All of it below the point and from its column rightward.
    QCOMPARE(countColour(img, kWhite, QRect(c.x(), c.y() + 1, 100, 50)), whites);
}

void TstSectionPainter::gravityMark_data()
{
    QTest::addColumn<double>("gx");
    QTest::addColumn<double>("gy");
    QTest::addColumn<bool>("shown");
    QTest::newRow("0, 0: none") << 0.0 << 0.0 << false;
    QTest::newRow("0, 1.5: on the Y axis") << 0.0 << 1.5 << true;
    QTest::newRow("1.5, 0") << 1.5 << 0.0 << true;
    QTest::newRow("2, 3") << 2.0 << 3.0 << true;
}

void TstSectionPainter::gravityMark()
{
    QFETCH(double, gx);
    QFETCH(double, gy);
    QFETCH(bool, shown);
    BlkRec b;
    b.Gx = gx;
    b.Gy = gy;
    const ViewState v = viewAt(200, 200, -1, 4, 40);
    const QImage img = render(QSize(200, 200), v, b, false);
    if (!shown) {
        QCOMPARE(countColour(img, kBlack), 200 * 200);
        return;
    }
    const QPoint c = SectionPainter::toScreen(v, gx, gy);
    QCOMPARE(c, QPoint(int((gx + 1) * 40), int((4 - gy) * 40)));
    for (const QPoint d : {QPoint(0, 0), QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
        QCOMPARE(px(img, c.x() + d.x(), c.y() + d.y()), kCyan);
    QCOMPARE(countColour(img, kCyan), 5);
    // "G" with its top-left at (px + 5, py - 5).
    const QFontMetrics fm(testFont(), &img);
    const QRect box(c.x() + 5, c.y() - 5, fm.horizontalAdvance(QLatin1Char('G')) + 1, fm.height());
    const int whites = countColour(img, kWhite);
    QVERIFY(whites > 5);
    QCOMPARE(countColour(img, kWhite, box), whites);
    // The letter reaches up to near the box's top (the cap height is most of
    // the ascent), so it is not drawn on the baseline instead.
    QVERIFY(countColour(img, kWhite, QRect(box.left(), box.top(), box.width(), fm.ascent() / 2)) >
            0);
}

void TstSectionPainter::segmentPixels_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::newRow("diagonal up") << QPointF(0, 0) << QPointF(6, 4);
    QTest::newRow("diagonal down, reversed") << QPointF(6, 0) << QPointF(0, 4);
    QTest::newRow("horizontal") << QPointF(0, 2) << QPointF(6, 2);
    QTest::newRow("vertical") << QPointF(3, 0) << QPointF(3, 4);
    QTest::newRow("steep") << QPointF(1, 0) << QPointF(2, 4);
}

void TstSectionPainter::segmentPixels()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    const ViewState v = viewAt(320, 240, -1, 5, 40);
    const QImage img = render(QSize(320, 240), v, block({a, b}, {{1, 2}}), false);
    const QPointF pa((a.x() + 1) * 40, (5 - a.y()) * 40);
    const QPointF pb((b.x() + 1) * 40, (5 - b.y()) * 40);
    // Along the middle part (away from the marks and labels) every step of
    // the line has a white pixel within a pixel of the ideal line.
    const int steps = int(std::max(std::abs(pb.x() - pa.x()), std::abs(pb.y() - pa.y())));
    for (int s = steps / 4; s <= 3 * steps / 4; ++s) {
        const double t = double(s) / steps;
        const QPointF q = pa + (pb - pa) * t;
        QVERIFY2(countColour(img, kWhite, QRect(int(q.x()) - 1, int(q.y()) - 1, 3, 3)) > 0,
                 qPrintable(QStringLiteral("no white near %1,%2").arg(q.x()).arg(q.y())));
    }
    // Without the segment those pixels are black.
    const QImage bare = render(QSize(320, 240), v, block({a, b}), false);
    const QPointF mid = (pa + pb) / 2;
    QCOMPARE(countColour(bare, kWhite, QRect(int(mid.x()) - 1, int(mid.y()) - 1, 3, 3)), 0);
}

void TstSectionPainter::laterItemsPaintOver()
{
    // Grid under segments under marks: a point on a grid crossing and on a
    // segment shows magenta; the segment covers the grid.
    const ViewState v = viewAt(200, 200, -1, 4, 40);
    const QImage img = render(QSize(200, 200), v, block({{1, 1}, {3, 1}}, {{1, 2}}), true);
    QCOMPARE(px(img, 80, 120), kMagenta);
    QCOMPARE(px(img, 81, 120), kMagenta);
    for (int x = 90; x < 150; ++x)
        QCOMPARE(px(img, x, 120), kWhite);
}

void TstSectionPainter::damagedSegmentIsSkipped_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("asStart");
    for (int n : {101, -1, -5, 30000, -32768}) {
        QTest::addRow("%d as start", n) << n << true;
        QTest::addRow("%d as end", n) << n << false;
    }
}

void TstSectionPainter::damagedSegmentIsSkipped()
{
    QFETCH(int, number);
    QFETCH(bool, asStart);
    BlkRec b = block({{0, 0}, {3, 2}}, {{1, 2}, {2, 1}});
    // Stale table entries where a bad number could reach.
    b.PntX[0] = 1;
    b.PntY[0] = 3;
    (asStart ? b.LineSt[1] : b.LineEd[1]) = qint16(number);
    b.LineSt[2] = b.LineEd[2] = 2; // a zero-length segment: a single pixel
    const ViewState v = fitted(240, 200, b);
    BlkRec without = b;
    without.LineCnt = 1;
    without.LineSt[1] = without.LineEd[1] = 2;
    QCOMPARE(render(QSize(240, 200), v, b, false), render(QSize(240, 200), v, without, false));
}

void TstSectionPainter::segmentToPointZeroIsDrawn_data()
{
    QTest::addColumn<bool>("asStart");
    QTest::addColumn<QPointF>("entryZero");
    QTest::newRow("as start, at the origin") << true << QPointF(0, 0);
    QTest::newRow("as end, at the origin") << false << QPointF(0, 0);
    QTest::newRow("as start, stale entry") << true << QPointF(1, 3);
    QTest::newRow("as end, stale entry") << false << QPointF(1, 3);
}

void TstSectionPainter::segmentToPointZeroIsDrawn()
{
    QFETCH(bool, asStart);
    QFETCH(QPointF, entryZero);
    // Entry 0 of the table is a place like any other: a segment naming it is
    // drawn to wherever it holds, without a mark of its own.
    BlkRec b = block({{4, 1}}, {asStart ? QPoint(0, 1) : QPoint(1, 0)});
    b.PntX[0] = entryZero.x();
    b.PntY[0] = entryZero.y();
    const ViewState v = viewAt(240, 200, -1, 5, 40);
    const QImage img = render(QSize(240, 200), v, b, false);
    // The same segment to an entry beyond the count, holding the same place.
    BlkRec same = block({{4, 1}}, {asStart ? QPoint(2, 1) : QPoint(1, 2)});
    same.PntX[2] = entryZero.x();
    same.PntY[2] = entryZero.y();
    QCOMPARE(img, render(QSize(240, 200), v, same, false));
    // Its middle is white; without the segment it is black.
    const QPoint mid =
        SectionPainter::toScreen(v, (4 + entryZero.x()) / 2, (1 + entryZero.y()) / 2);
    QVERIFY(countColour(img, kWhite, QRect(mid - QPoint(1, 1), QSize(3, 3))) > 0);
    BlkRec none = b;
    none.LineCnt = 0;
    QCOMPARE(countColour(render(QSize(240, 200), v, none, false), kWhite,
                         QRect(mid - QPoint(1, 1), QSize(3, 3))),
             0);
    QCOMPARE(countColour(img, kMagenta), 5); // only point 1 is marked
}

void TstSectionPainter::damagedCountsStayInTable()
{
    BlkRec full;
    full.PntCnt = BlkRec::PntLast;
    full.LineCnt = BlkRec::LineLast;
    for (int i = 1; i <= BlkRec::PntLast; ++i) {
        full.PntX[i] = i % 10;
        full.PntY[i] = i / 10;
        full.LineSt[i] = qint16(i);
        full.LineEd[i] = qint16(i % 100 + 1);
    }
    const ViewState v = fitted(400, 300, full);
    BlkRec damaged = full;
    damaged.PntCnt = 30000;
    damaged.LineCnt = 32767;
    QCOMPARE(render(QSize(400, 300), v, damaged, true), render(QSize(400, 300), v, full, true));
    damaged.PntCnt = -7;
    damaged.LineCnt = -1;
    QCOMPARE(render(QSize(400, 300), v, damaged, false),
             render(QSize(400, 300), v, BlkRec{}, false));
}

void TstSectionPainter::extremeZoomIn()
{
    // Point 1 at the origin with segments leaving it right, up and up-right
    // (3 : 4), two of them drawn toward it. Zoomed in 200 times about it
    // (10^19 and more px/m), every other point is astronomically far away,
    // yet the segments must stay straight rays from the centre.
    BlkRec b = block({{0, 0}, {4, 0}, {0, 3}, {3, 4}}, {{1, 2}, {3, 1}, {4, 1}});
    ViewState v = fitted(400, 300, b);
    for (int i = 0; i < 200; ++i)
        Set_Dan_scl(v, 0, 0, 0);
    QVERIFY(v.Dan_scl > 1e19);
    const QImage img = render(QSize(400, 300), v, b, true);
    const QPoint c = SectionPainter::toScreen(v, 0, 0);
    QVERIFY(std::abs(c.x() - 200) <= 1 && std::abs(c.y() - 150) <= 1);
    QCOMPARE(px(img, c.x(), c.y()), kMagenta);
    // Right: the point's row white out to the edge.
    for (int x = c.x() + 40; x < 400; ++x)
        QCOMPARE(px(img, x, c.y()), kWhite);
    // Up: its column white to the top.
    for (int y = 0; y < c.y() - 10; ++y)
        QCOMPARE(px(img, c.x(), y), kWhite);
    // Up-right: leaves the top edge 3/4 of the height right of the point.
    const int top = c.x() + c.y() * 3 / 4;
    QVERIFY(countColour(img, kWhite, QRect(top - 2, 0, 5, 1)) > 0);
    QCOMPARE(countColour(img, kWhite, QRect(0, 0, top - 5, 1)), 1); // only the vertical ray
    QCOMPARE(countColour(img, kWhite, QRect(top + 5, 0, 400, 1)), 0);
    // Only palette colours, and little of the area covered.
    int used = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QVERIFY(isPaletteColour(px(img, x, y)));
            used += px(img, x, y) != kBlack;
        }
    QVERIFY(used < 400 * 300 / 20);
}

void TstSectionPainter::extremeZoomOut()
{
    BlkRec b = sampleBlock();
    ViewState v = fitted(400, 300, b);
    for (int i = 0; i < 200; ++i)
        Set_Dan_scl(v, 1, 2, 1.5);
    QVERIFY(v.Dan_scl < 1e-20);
    const SectionPainter::GridLines g = SectionPainter::gridLines(v, QSize(400, 300));
    QVERIFY(g.columns.size() <= 400 / 3 + 3);
    QVERIFY(g.rows.size() <= 300 / 3 + 3);
    QVERIFY(g.columns.size() >= 400 / 8);
    const QImage img = render(QSize(400, 300), v, b, true);
    // The whole block collapses onto the centre pixel: its marks and labels
    // stay near it, the rest is grid. The centre of gravity comes last.
    const QPoint c = SectionPainter::toScreen(v, 2, 1.5);
    QVERIFY(std::abs(c.x() - 200) <= 1 && std::abs(c.y() - 150) <= 1);
    QCOMPARE(px(img, c.x(), c.y()), kCyan);
    QVERIFY(countColour(img, kWhite, QRect(c.x(), c.y() + 1, 30, 20)) > 5);
    QCOMPARE(greyLines(img, true).size(), g.columns.size());
    const QRect nearCentre(c.x() - 5, c.y() - 8, 70, 40);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb colour = px(img, x, y);
            QVERIFY(isPaletteColour(colour));
            if (!nearCentre.contains(x, y))
                QVERIFY2(colour == kBlack || colour == kGrey,
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
}

void TstSectionPainter::farAwaySegmentCrossingTheArea()
{
    // Both ends of each segment 10^11 px away (beyond 32 bits) on opposite
    // sides: the visible parts are the straight lines through the area, the
    // row through y = 1 m and the diagonal through the top-left corner.
    const ViewState v = viewAt(300, 200, 0, 2, 100);
    const BlkRec b =
        block({{-1e9, 1}, {1e9, 1}, {-1e9, 2 + 1e9}, {1e9, 2 - 1e9}}, {{1, 2}, {4, 3}});
    const QImage img = render(QSize(300, 200), v, b, false);
    QCOMPARE(countColour(img, kWhite, QRect(0, 100, 300, 1)), 300);
    for (int i = 0; i < 200; ++i)
        QCOMPARE(px(img, i, i), kWhite);
    QCOMPARE(countColour(img, kWhite), 300 + 200 - 1);

    // Absurd coordinates (1e300 m) may lose the line's place, but never
    // draw anything but the palette, nor anything undefined.
    const BlkRec absurd =
        block({{1e300, -1e300}, {-1e300, 1e300}, {1e308, 1}, {-1e308, 1}}, {{1, 2}, {3, 4}});
    const QImage far = render(QSize(300, 200), v, absurd, true);
    for (int y = 0; y < far.height(); ++y)
        for (int x = 0; x < far.width(); ++x)
            QVERIFY(isPaletteColour(px(far, x, y)));
}

void TstSectionPainter::gridStep_data()
{
    QTest::addColumn<double>("scl");
    QTest::addColumn<double>("step");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("40 px/m") << 40.0 << 1.0;
    QTest::newRow("3 px/m") << 3.0 << 1.0;
    QTest::newRow("2.9 px/m") << 2.9 << 2.0;
    QTest::newRow("1.5 px/m") << 1.5 << 2.0;
    QTest::newRow("1 px/m") << 1.0 << 5.0;
    QTest::newRow("0.5 px/m") << 0.5 << 10.0;
    QTest::newRow("0.1 px/m") << 0.1 << 50.0;
    QTest::newRow("0.001 px/m") << 0.001 << 5000.0;
    QTest::newRow("1e-25 px/m") << 1e-25 << 5e25;
    QTest::newRow("no scale") << 0.0 << inf;
    QTest::newRow("negative") << -1.0 << inf;
}

void TstSectionPainter::gridStep()
{
    QFETCH(double, scl);
    QFETCH(double, step);
    const double got = SectionPainter::gridStep(scl);
    if (std::isinf(step))
        QVERIFY(std::isinf(got));
    else
        QVERIFY2(std::abs(got - step) <= 1e-9 * step, qPrintable(QString::number(got, 'g', 17)));
}

void TstSectionPainter::gridPositions_data()
{
    QTest::addColumn<double>("xmin");
    QTest::addColumn<double>("scl");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("columns");
    QTest::newRow("1 m at 10 px/m") << -0.25 << 10.0 << 40 << QList<int>{2, 12, 22, 32};
    // 1 px/m: every 5 m, at multiples of 5; 0 m is half a pixel left of the
    // view and truncates onto column 0.
    QTest::newRow("5 m at 1 px/m") << 0.5 << 1.0 << 30 << QList<int>{0, 4, 9, 14, 19, 24, 29};
    QTest::newRow("5000 m at 0.001 px/m")
        << -12345.6 << 0.001 << 40 << QList<int>{2, 7, 12, 17, 22, 27, 32, 37};
}

void TstSectionPainter::gridPositions()
{
    QFETCH(double, xmin);
    QFETCH(double, scl);
    QFETCH(int, width);
    QFETCH(QList<int>, columns);
    const ViewState v = viewAt(width, 10, xmin, 0, scl);
    QCOMPARE(SectionPainter::gridLines(v, QSize(width, 10)).columns, columns);
}

void TstSectionPainter::gridLinesBounded_data()
{
    QTest::addColumn<double>("scl");
    for (double s : {1e30, 1e6, 40.0, 3.0, 2.99, 1.0, 0.37, 1e-3, 1e-12, 1e-30, 1e-300})
        QTest::addRow("%g px/m", s) << s;
}

void TstSectionPainter::gridLinesBounded()
{
    QFETCH(double, scl);
    const QSize area(1920, 1080);
    for (double origin : {0.0, -12.3456, 98765.4321}) {
        const ViewState v = viewAt(area.width(), area.height(), origin, origin, scl);
        const SectionPainter::GridLines g = SectionPainter::gridLines(v, area);
        QVERIFY(g.columns.size() <= area.width() / 3 + 3);
        QVERIFY(g.rows.size() <= area.height() / 3 + 3);
        for (const QList<int>* list : {&g.columns, &g.rows}) {
            for (int i = 1; i < list->size(); ++i) {
                // Only a line truncated onto pixel 0 from left of it can be
                // closer than three pixels to its neighbour.
                const int gap = list->at(i) - list->at(i - 1);
                QVERIFY2(gap >= 3 || (i == 1 && list->at(0) == 0 && gap >= 2),
                         qPrintable(QString::number(gap)));
            }
        }
        if (scl <= 40)
            QVERIFY(g.columns.size() >= 2);
    }
}

void TstSectionPainter::directAndPainterPathsAgree_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("zoomSteps"); // positive in, negative out

    QTest::newRow("fit") << QSize(400, 300) << 0;
    QTest::newRow("odd size") << QSize(397, 263) << 0;
    QTest::newRow("zoomed in") << QSize(320, 241) << 6;
    QTest::newRow("zoomed out") << QSize(333, 222) << -12;
    QTest::newRow("far out") << QSize(300, 200) << -200;
    // Sizes on the remaining phases of the dotted pattern (size modulo 6).
    QTest::newRow("404 x 303") << QSize(404, 303) << 0;
    QTest::newRow("395 x 304, zoomed in") << QSize(395, 304) << 3;
    QTest::newRow("401 x 307, zoomed out") << QSize(401, 307) << -5;
}

void TstSectionPainter::directAndPainterPathsAgree()
{
    QFETCH(QSize, size);
    QFETCH(int, zoomSteps);
    const BlkRec b = sampleBlock();
    ViewState v = fitted(size.width(), size.height(), b);
    for (int i = 0; i < std::abs(zoomSteps); ++i)
        Set_Dan_scl(v, zoomSteps > 0 ? 0 : 1, 1.7, 1.3);
    const QSize image = size + QSize(1, 1);
    const QImage direct = render(image, size, v, b, true);
    // A clip (of the whole image) and another pixel format both send the
    // grid through QPainter.
    const PainterSetup clip = [image](QPainter& p) { p.setClipRect(QRect(QPoint(0, 0), image)); };
    const QImage clipped = render(image, size, v, b, true, QImage::Format_RGB32, clip);
    const QImage rgb888 = render(image, size, v, b, true, QImage::Format_RGB888);
    const QImage premul = render(image, size, v, b, true, QImage::Format_ARGB32_Premultiplied);
    QVERIFY(countColour(direct, kGrey) > 100);
    QCOMPARE(direct, clipped);
    QCOMPARE(direct, rgb888);
    QCOMPARE(direct, premul);
}

void TstSectionPainter::bandRectXor_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<int>("pixels");
    QTest::newRow("box") << QPoint(10, 20) << QPoint(60, 50) << 2 * 51 + 2 * 29;
    QTest::newRow("reversed corners") << QPoint(60, 50) << QPoint(10, 20) << 2 * 51 + 2 * 29;
    QTest::newRow("one pixel") << QPoint(30, 30) << QPoint(30, 30) << 1;
    QTest::newRow("flat") << QPoint(5, 30) << QPoint(25, 30) << 21;
    QTest::newRow("thin") << QPoint(40, 5) << QPoint(40, 25) << 21;
    QTest::newRow("two rows") << QPoint(5, 30) << QPoint(25, 31) << 42;
    QTest::newRow("partly outside") << QPoint(-10, -10) << QPoint(20, 20) << 21 + 20;
}

void TstSectionPainter::bandRectXor()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(int, pixels);
    for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        const ViewState v = viewAt(100, 80, -0.5, 3.5, 20);
        QImage img(100, 80, f);
        {
            QPainter p(&img);
            SectionPainter::Options opt;
            opt.grid = true;
            opt.font = testFont();
            SectionPainter::paint(p, img.size(), v, sampleBlock(), opt);
        }
        const QImage before = img.copy();
        QImage blank(100, 80, f);
        blank.fill(Qt::black);
        {
            QPainter p(&img);
            SectionPainter::bandRect(p, a, b);
            QPainter q(&blank);
            SectionPainter::bandRect(q, a, b);
        }
        QVERIFY(img != before);
        // On black the band is the yellow outline, corners included.
        const QImage band = blank.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(countColour(band, kYellow), pixels);
        QCOMPARE(countColour(band, kYellow) + countColour(band, kBlack), 100 * 80);
        const int x0 = std::min(a.x(), b.x());
        const int x1 = std::max(a.x(), b.x());
        const int y0 = std::min(a.y(), b.y());
        const int y1 = std::max(a.y(), b.y());
        for (const QPoint c : {QPoint(x0, y0), QPoint(x1, y0), QPoint(x0, y1), QPoint(x1, y1)})
            if (band.rect().contains(c))
                QCOMPARE(px(band, c.x(), c.y()), kYellow);
        {
            QPainter p(&img);
            SectionPainter::bandRect(p, a, b);
        }
        QCOMPARE(img, before);
    }
}

void TstSectionPainter::bandLineXor_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::newRow("diagonal") << QPoint(3, 4) << QPoint(90, 60);
    QTest::newRow("backwards") << QPoint(90, 60) << QPoint(3, 4);
    QTest::newRow("steep") << QPoint(50, 0) << QPoint(55, 79);
    QTest::newRow("point") << QPoint(20, 20) << QPoint(20, 20);
}

void TstSectionPainter::bandLineXor()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    const ViewState v = viewAt(100, 80, -0.5, 3.5, 20);
    QImage img(100, 80, QImage::Format_RGB32);
    {
        QPainter p(&img);
        SectionPainter::Options opt;
        opt.grid = true;
        opt.font = testFont();
        SectionPainter::paint(p, img.size(), v, sampleBlock(), opt);
    }
    const QImage before = img.copy();
    QImage blank(100, 80, QImage::Format_RGB32);
    blank.fill(Qt::black);
    {
        QPainter p(&img);
        SectionPainter::bandLine(p, a, b);
        QPainter q(&blank);
        SectionPainter::bandLine(q, a, b);
    }
    QVERIFY(img != before);
    QCOMPARE(px(blank, a.x(), a.y()), kYellow);
    QCOMPARE(px(blank, b.x(), b.y()), kYellow);
    const int len = std::max(std::abs(a.x() - b.x()), std::abs(a.y() - b.y())) + 1;
    QCOMPARE(countColour(blank, kYellow), len);
    {
        QPainter p(&img);
        SectionPainter::bandLine(p, a, b);
    }
    QCOMPARE(img, before);
}

void TstSectionPainter::pointLabel_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::newRow("7") << 7 << QStringLiteral(" 7 ");
    QTest::newRow("12") << 12 << QStringLiteral(" 12 ");
    QTest::newRow("100") << 100 << QStringLiteral(" 100 ");
    QTest::newRow("0") << 0 << QStringLiteral(" 0 ");
    QTest::newRow("negative: the sign takes the blank") << -3 << QStringLiteral("-3 ");
}

void TstSectionPainter::pointLabel()
{
    QFETCH(int, n);
    QFETCH(QString, text);
    QCOMPARE(SectionPainter::pointLabel(n), text);
}

void TstSectionPainter::plusSetsFivePixels()
{
    QImage img(7, 7, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        SectionPainter::plus(p, QPoint(3, 3), Palette::Gravity);
        SectionPainter::plus(p, QPoint(0, 6), Palette::PointMark); // partly outside
    }
    QCOMPARE(countColour(img, kCyan), 5);
    QCOMPARE(countColour(img, kCyan, QRect(3, 2, 1, 3)), 3);
    QCOMPARE(countColour(img, kCyan, QRect(2, 3, 3, 1)), 3);
    QCOMPARE(countColour(img, kMagenta), 3);
}

void TstSectionPainter::selectionHighlights()
{
    // Points at pixels (20, 140), (160, 140), (160, 40): segment 1 along row
    // 140 and point 3 are selected, among numbers that name nothing.
    const BlkRec b = block({{1, 1}, {8, 1}, {8, 6}}, {{1, 2}, {2, 3}});
    const ViewState v = viewAt(200, 160, 0, 8, 20);
    const QImage plain = render(QSize(200, 160), v, b, false);
    QImage img = plain;
    QPainter p(&img);
    const std::array<qint16, 3> lines{0, 1, 3};
    const std::array<qint16, 2> points{3, 4};
    SectionPainter::Options opt;
    opt.font = testFont();
    SectionPainter::paintSelection(p, img.size(), v, b, lines, points, opt);
    p.end();
    QCOMPARE(countColour(img, kYellow, QRect(21, 140, 139, 1)), 139);
    QCOMPARE(countColour(img, kYellow, QRect(159, 39, 3, 3)), 5); // the plus
    const QRect label(161, 41, 39, 30);                           // " 3 ", pixel for pixel
    QVERIFY(countColour(plain, kWhite, label) > 5);
    QCOMPARE(countColour(img, kYellow, label), countColour(plain, kWhite, label));
    // Nothing else changes: segment 2 stays white, point 1 magenta.
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (px(img, x, y) != px(plain, x, y))
                QCOMPARE(px(img, x, y), kYellow);
    QCOMPARE(countColour(img, kWhite, label), 0);
}

void TstSectionPainter::samplePicture()
{
    const BlkRec b = sampleBlock();
    const ViewState v = fitted(480, 360, b);
    const QImage img = render(QSize(480, 360), v, b, true);
    // The outline's segments, the marks and the centre of gravity.
    for (int i = 1; i <= b.PntCnt; ++i) {
        const QPoint c = SectionPainter::toScreen(v, b.PntX[i], b.PntY[i]);
        QCOMPARE(px(img, c.x(), c.y()), kMagenta);
    }
    const QPoint g = SectionPainter::toScreen(v, b.Gx, b.Gy);
    QCOMPARE(px(img, g.x(), g.y()), kCyan);
    // Segment 5 runs along y = 3 from x = 3 to 1.
    const QPoint s = SectionPainter::toScreen(v, 2, 3);
    QCOMPARE(px(img, s.x(), s.y()), kWhite);
    QVERIFY(countColour(img, kGrey) > 1000);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QVERIFY(isPaletteColour(px(img, x, y)));
}

void TstSectionPainter::coloursOption_data()
{
    QTest::addColumn<bool>("grid");
    QTest::newRow("grid off") << false;
    QTest::newRow("grid on") << true;
}

void TstSectionPainter::coloursOption()
{
    // Other colours change only the colours: every pixel of the screen's
    // picture comes out in the colour given for its part, nothing moves.
    QFETCH(bool, grid);
    SectionPainter::Colours c;
    c.back = QColor(10, 20, 30);
    c.grid = QColor(40, 50, 60);
    c.segment = c.text = QColor(70, 80, 90); // both white on screen
    c.pointMark = QColor(100, 110, 120);
    c.gravity = QColor(130, 140, 150);
    const QHash<QRgb, QRgb> map = {{kBlack, c.back.rgb()},
                                   {kGrey, c.grid.rgb()},
                                   {kWhite, c.segment.rgb()},
                                   {kMagenta, c.pointMark.rgb()},
                                   {kCyan, c.gravity.rgb()}};
    const BlkRec b = sampleBlock();
    const ViewState v = fitted(320, 240, b);
    const QImage screen = render(QSize(320, 240), v, b, grid);
    QImage img(screen.size(), QImage::Format_RGB32);
    QPainter p(&img);
    SectionPainter::Options opt;
    opt.grid = grid;
    opt.font = testFont();
    opt.colours = c;
    SectionPainter::paint(p, img.size(), v, b, opt);
    p.end();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QCOMPARE(px(img, x, y), map.value(px(screen, x, y)) | 0xff000000);
}

void TstSectionPainter::sampleFiles_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(MRB_SAMPLES_DIR));
    const QStringList files =
        dir.entryList({QStringLiteral("*.csv"), QStringLiteral("*.CSV")}, QDir::Files);
    for (const QString& f : files)
        QTest::newRow(qPrintable(f)) << dir.filePath(f);
    if (files.isEmpty())
        QTest::newRow("no sample files") << QString();
}

void TstSectionPainter::sampleFiles()
{
    QFETCH(QString, path);
    if (path.isEmpty())
        QSKIP("the samples folder holds no block file yet");
    BlkRec b;
    QVERIFY2(Blk_ReadPath(b, path), qPrintable(path));
    QVERIFY(b.PntCnt > 0);
    const ViewState v = fitted(640, 480, b);
    const QImage img = render(QSize(640, 480), v, b, true);
    // Every point's mark is there, unless a later label covers its centre.
    for (int i = 1; i <= b.PntCnt; ++i) {
        const QPoint c = SectionPainter::toScreen(v, b.PntX[i], b.PntY[i]);
        QVERIFY(img.rect().contains(c));
        const QRgb centre = px(img, c.x(), c.y());
        QVERIFY(centre == kMagenta || centre == kWhite);
    }
    // Every segment shows near its middle (white, or a mark or label on it).
    for (int i = 1; i <= b.LineCnt; ++i) {
        const int s = b.LineSt[i];
        const int e = b.LineEd[i];
        const QPoint m =
            SectionPainter::toScreen(v, (b.PntX[s] + b.PntX[e]) / 2, (b.PntY[s] + b.PntY[e]) / 2);
        QVERIFY(countColour(img, kWhite, QRect(m.x() - 1, m.y() - 1, 3, 3)) +
                    countColour(img, kMagenta, QRect(m.x() - 1, m.y() - 1, 3, 3)) >
                0);
    }
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QVERIFY(isPaletteColour(px(img, x, y)));
}

QTEST_MAIN(TstSectionPainter)
#include "tst_sectionpainter.moc"

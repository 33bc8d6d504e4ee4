#include "view/sectionpainter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

// Screen positions are clamped to this far outside any drawing area: well
// inside int, and inside the fixed-point range of Qt's rasteriser.
constexpr int kFar = 1 << 20;

// Segments are clipped to the drawing area widened by this many pixels, so
// that their visible part keeps the slope of the whole line.
constexpr double kClipPad = 4;

int truncClamped(double d)
{
    if (std::isnan(d))
        return -kFar;
    return int(std::clamp(d, double(-kFar), double(kFar)));
}

bool usableView(const ViewState& v)
{
    return std::isfinite(v.Dan_scl) && v.Dan_scl > 0;
}

double screenX(const ViewState& v, double x)
{
    return (x - v.Dan_xmin) * v.Dan_scl;
}
double screenY(const ViewState& v, double y)
{
    return (v.Dan_ymax - y) * v.Dan_scl;
}

QPen cosmeticPen(const QColor& c, bool cosmetic = true)
{
    QPen pen(c, 1);
    pen.setCosmetic(cosmetic);
    return pen;
}

// The dotted style: three pixels on, three off, along every grid line.
constexpr int kDotsOn = 3;
constexpr int kDotPeriod = 6;

// Whether the pixel at distance i from a line's anchor (a lit pixel that
// starts a run going away from it) is lit.
bool dotLit(int i)
{
    return (i % kDotPeriod + kDotPeriod) % kDotPeriod < kDotsOn;
}

// Lines are always drawn toward growing coordinates with a flat cap: the last
// pixel (the end point) is not drawn, so the caller decides exactly which
// pixels light up. phase: the position within the pattern of the first pixel.
QPen dottedPen(const QColor& c, int phase, bool cosmetic)
{
    QPen pen = cosmeticPen(c, cosmetic);
    pen.setCapStyle(Qt::FlatCap);
    pen.setDashPattern({double(kDotsOn), double(kDotPeriod - kDotsOn)});
    pen.setDashOffset(phase);
    return pen;
}

// Pixel positions of the grid lines between the whole metres floor(lo) and
// floor(hi): multiples of the step only, kept when in [0, extent]. The far end
// belongs to the grid as to a fitted view: the visible rectangle spans exactly
// extent pixels, so its right edge and bottom lie on pixel extent.
// toPixel maps a world coordinate to its untruncated pixel position.
template <typename ToPixel>
QList<int> gridPositions(double lo, double hi, double step, int extent, ToPixel toPixel)
{
    QList<int> out;
    if (extent <= 0 || !std::isfinite(step) || !(step > 0))
        return out;
    const double first = std::ceil(std::floor(lo) / step);
    const double last = std::floor(std::floor(hi) / step);
    if (!std::isfinite(first) || !std::isfinite(last))
        return out;
    // Lines are at least three pixels apart, so no more than this many of
    // them can start left of the area's far edge. The bound also holds when
    // far from the origin a double no longer tells neighbouring metres apart.
    const int maxLines = extent / 3 + 3;
    for (int n = 0; n < maxLines; ++n) {
        const double m = first + n;
        if (m > last)
            break;
        const int pos = truncClamped(toPixel(m * step));
        if (pos < 0 || pos > extent || (!out.isEmpty() && out.last() == pos))
            continue;
        out.append(pos);
    }
    return out;
}

// Which sides of r a point lies beyond.
enum Outside : unsigned
{
    Left = 1,
    Right = 2,
    Above = 4,
    Below = 8
};

unsigned outside(double x, double y, const QRectF& r)
{
    return (x < r.left() ? Left : 0u) | (x > r.right() ? Right : 0u) | (y < r.top() ? Above : 0u) |
           (y > r.bottom() ? Below : 0u);
}

// Clips the segment a–b to r in place (Cohen–Sutherland); false when nothing
// of it is inside or its coordinates are not finite. Zoomed in far, an end can
// lie 10^20 pixels away: each crossing is computed from whichever end is
// nearer to the edge, so a small result never comes from a huge start value
// that has lost its precision, and the visible part keeps its place and slope.
bool clipSegment(double& ax, double& ay, double& bx, double& by, const QRectF& r)
{
    for (double d : {ax, ay, bx, by, bx - ax, by - ay})
        if (!std::isfinite(d))
            return false;
    // Each pass puts one end onto an edge; a few passes always suffice.
    for (int pass = 0; pass < 8; ++pass) {
        const unsigned ca = outside(ax, ay, r);
        const unsigned cb = outside(bx, by, r);
        if ((ca | cb) == 0)
            return true;
        if ((ca & cb) != 0)
            return false;
        const bool moveA = ca != 0;
        double& ox = moveA ? ax : bx; // the end outside
        double& oy = moveA ? ay : by;
        const double ix = moveA ? bx : ax; // the other end
        const double iy = moveA ? by : ay;
        const unsigned c = moveA ? ca : cb;
        if (c & (Left | Right)) {
            const double ex = (c & Left) ? r.left() : r.right();
            const bool fromO = std::abs(ox - ex) < std::abs(ix - ex);
            const double slope = (oy - iy) / (ox - ix);
            oy = fromO ? oy + (ex - ox) * slope : iy + (ex - ix) * slope;
            ox = ex;
        } else {
            const double ey = (c & Above) ? r.top() : r.bottom();
            const bool fromO = std::abs(oy - ey) < std::abs(iy - ey);
            const double slope = (ox - ix) / (oy - iy);
            ox = fromO ? ox + (ey - oy) * slope : ix + (ey - iy) * slope;
            oy = ey;
        }
        // A nearly parallel crossing of an absurdly long segment can overflow.
        if (!std::isfinite(ox) || !std::isfinite(oy))
            return false;
    }
    return outside(ax, ay, r) == 0 && outside(bx, by, r) == 0;
}

// The dotted grid written straight into the pixels of a QImage: the same
// pixels as the QPainter path, several times faster for a dense grid. Used
// only when nothing (transform, clip, composition, opacity, pixel ratio) could
// make the painter draw differently.
QImage* directTarget(QPainter& p)
{
    QPaintDevice* dev = p.device();
    if (dev == nullptr || dev->devType() != QInternal::Image)
        return nullptr;
    auto* img = static_cast<QImage*>(dev);
    const QImage::Format f = img->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    // A shared image would detach on bits(), away from the painter's buffer.
    const bool plain = img->isDetached() && img->devicePixelRatio() == 1 &&
                       p.deviceTransform().isIdentity() && !p.hasClipping() && p.opacity() == 1.0 &&
                       p.compositionMode() == QPainter::CompositionMode_SourceOver;
    return plain ? img : nullptr;
}

// Extent and anchors of the dotted grid. Vertical lines cover rows 0..vLast
// and are anchored at the grid's bottom row, where the pattern starts going
// up, as if each line were drawn from the bottom; horizontal lines cover
// columns 0..hLast from their anchor at column 0. Anchored pixels stay put
// whatever part of a line is drawn, so the pattern does not crawl.
struct GridDots
{
    int vAnchor = 0;
    int vLast = -1;
    int hLast = -1;
};

bool verticalDotLit(const GridDots& d, int y)
{
    return dotLit(d.vAnchor - y);
}

void drawGridDirect(QImage& img, const SectionPainter::GridLines& g, const GridDots& d,
                    const QColor& colour)
{
    const QRgb grey = colour.rgba();
    uchar* bits = img.bits();
    const qsizetype stride = img.bytesPerLine();
    const auto row = [&](int y) { return reinterpret_cast<QRgb*>(bits + y * stride); };
    const int vLast = std::min(d.vLast, img.height() - 1);
    const int hLast = std::min(d.hLast, img.width() - 1);
    for (int y = 0; y <= vLast; ++y) {
        if (!verticalDotLit(d, y))
            continue;
        QRgb* line = row(y);
        for (int x : g.columns) {
            if (x < img.width())
                line[x] = grey;
        }
    }
    for (int y : g.rows) {
        if (y >= img.height())
            continue;
        QRgb* line = row(y);
        for (int x = 0; x <= hLast; x += kDotPeriod) {
            const int end = std::min(x + kDotsOn - 1, hLast);
            for (int i = x; i <= end; ++i)
                line[i] = grey;
        }
    }
}

void drawGridPainter(QPainter& p, const SectionPainter::GridLines& g, const GridDots& d,
                     const SectionPainter::Options& opt)
{
    // Drawn top-down from row 0: the pattern's phase there follows from the
    // anchor, and from there on the dash pattern matches the anchored one.
    // The flat cap leaves the end pixel out, so each line ends one past its
    // last pixel, and no line has zero length (which would always be a dot).
    if (d.vLast >= 0) {
        // A run going down starts kDotsOn - 1 rows above an anchored pixel.
        const int phase = ((kDotsOn - 1 - d.vAnchor) % kDotPeriod + kDotPeriod) % kDotPeriod;
        p.setPen(dottedPen(opt.colours.grid, phase, opt.cosmeticPens));
        for (int x : g.columns)
            p.drawLine(x, 0, x, d.vLast + 1);
    }
    if (d.hLast >= 0) {
        p.setPen(dottedPen(opt.colours.grid, 0, opt.cosmeticPens));
        for (int y : g.rows)
            p.drawLine(0, y, d.hLast + 1, y);
    }
}

void drawGrid(QPainter& p, QSize area, const ViewState& v, const SectionPainter::Options& opt)
{
    const SectionPainter::GridLines g = SectionPainter::gridLines(v, area);
    // Vertical lines run from the bottom of the grid up to row 0, horizontal
    // ones from column 0 to the right end. Only the part within the area is
    // drawn, always top-down or left-right from a pixel inside it, so the
    // pattern's phase never depends on how the painter clips.
    GridDots d;
    if (g.bottom >= 0) {
        d.vAnchor = g.bottom;
        d.vLast = std::min(g.bottom, area.height());
    }
    if (g.right >= 0)
        d.hLast = std::min(g.right, area.width());
    // Written pixels are one pixel wide, which only a cosmetic pen matches.
    QImage* img = opt.cosmeticPens ? directTarget(p) : nullptr;
    if (img != nullptr && opt.colours.grid.alpha() == 255)
        drawGridDirect(*img, g, d, opt.colours.grid);
    else
        drawGridPainter(p, g, d, opt);
}

// The drawing area widened by the clipping pad.
QRectF segmentClip(QSize area)
{
    return QRectF(-kClipPad, -kClipPad, area.width() + 2 * kClipPad, area.height() + 2 * kClipPad);
}

// Segment i on the screen, clipped to clip; false when nothing of it is inside.
bool clippedSegment(const QRectF& clip, const ViewState& v, const BlkRec& blk, int i, QLine& line)
{
    const int a = blk.LineSt[i];
    const int b = blk.LineEd[i];
    // Numbers outside the table come only from a damaged file. Entry 0
    // exists (normally the origin) and is drawn like any other.
    if (a < 0 || a > BlkRec::PntLast || b < 0 || b > BlkRec::PntLast)
        return false;
    double ax = screenX(v, blk.PntX[a]);
    double ay = screenY(v, blk.PntY[a]);
    double bx = screenX(v, blk.PntX[b]);
    double by = screenY(v, blk.PntY[b]);
    if (!clipSegment(ax, ay, bx, by, clip))
        return false;
    line = QLine(truncClamped(ax), truncClamped(ay), truncClamped(bx), truncClamped(by));
    return true;
}

// Segment i in the painter's current pen, clipped to clip.
void drawSegment(QPainter& p, const QRectF& clip, const ViewState& v, const BlkRec& blk, int i)
{
    QLine line;
    if (clippedSegment(clip, v, blk, i, line))
        p.drawLine(line);
}

void drawSegments(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                  const SectionPainter::Options& opt)
{
    const QRectF clip = segmentClip(area);
    p.setPen(cosmeticPen(opt.colours.segment, opt.cosmeticPens));
    const int n = std::min<int>(blk.LineCnt, BlkRec::LineLast);
    for (int i = 1; i <= n; ++i)
        drawSegment(p, clip, v, blk, i);
}

// Draws text with the top-left corner of its glyph box at pos.
void textAt(QPainter& p, QPoint pos, const QString& s, int ascent)
{
    p.drawText(QPoint(pos.x(), pos.y() + ascent), s);
}

// Marks far outside the area are skipped: this rectangle holds every mark
// whose label can still reach into the area.
QRect markReach(const QFontMetrics& fm, QSize area)
{
    const int margin =
        fm.horizontalAdvance(SectionPainter::pointLabel(BlkRec::PntLast)) + fm.height() + 4;
    return QRect(-margin, -margin, area.width() + 2 * margin, area.height() + 2 * margin);
}

// The five-pixel plus of SectionPainter::plus, in a cosmetic pen or one
// pixel of the painter's units wide.
void plusMark(QPainter& p, QPoint pos, const QColor& c, bool cosmetic)
{
    const std::array<QPoint, 5> pts = {pos, pos + QPoint(-1, 0), pos + QPoint(1, 0),
                                       pos + QPoint(0, -1), pos + QPoint(0, 1)};
    p.setPen(cosmeticPen(c, cosmetic));
    p.drawPoints(pts.data(), int(pts.size()));
}

// Point i's plus in colour mark and its number in colour text, the label's
// top-left corner one pixel below the point.
void drawPoint(QPainter& p, const QRect& reach, int ascent, const ViewState& v, const BlkRec& blk,
               int i, const QColor& mark, const QColor& text, bool cosmetic = true)
{
    const QPoint pos = SectionPainter::toScreen(v, blk.PntX[i], blk.PntY[i]);
    if (!reach.contains(pos))
        return;
    plusMark(p, pos, mark, cosmetic);
    p.setPen(cosmeticPen(text, cosmetic));
    textAt(p, QPoint(pos.x(), pos.y() + 1), SectionPainter::pointLabel(i), ascent);
}

void drawPoints(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                const SectionPainter::Options& opt)
{
    const SectionPainter::Colours& c = opt.colours;
    if (blk.PntCnt <= 0 && blk.Gx == 0 && blk.Gy == 0)
        return; // nothing to label: spare the font set-up (it shows at start-up)
    const QFontMetrics fm = p.fontMetrics();
    const QRect reach = markReach(fm, area);
    const int n = std::min<int>(blk.PntCnt, BlkRec::PntLast);
    for (int i = 1; i <= n; ++i)
        drawPoint(p, reach, fm.ascent(), v, blk, i, c.pointMark, c.text, opt.cosmeticPens);
    if (blk.Gx == 0 && blk.Gy == 0)
        return;
    const QPoint g = SectionPainter::toScreen(v, blk.Gx, blk.Gy);
    if (!reach.contains(g))
        return;
    plusMark(p, g, c.gravity, opt.cosmeticPens);
    p.setPen(cosmeticPen(c.text, opt.cosmeticPens));
    textAt(p, QPoint(g.x() + 5, g.y() - 5), QStringLiteral("G"), fm.ascent());
}

// The painter state both paint() and paintSelection() draw with.
void beginPaint(QPainter& p, const SectionPainter::Options& opt)
{
    p.save();
    // The copy pen, whatever a rubber band left set.
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setBrush(Qt::NoBrush);
    QFont font = opt.font;
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
}

} // namespace

SectionPainter::Colours SectionPainter::printColours()
{
    Colours c;
    c.back = Qt::white;
    c.grid = QColor(170, 170, 170);
    c.segment = Qt::black;
    c.pointMark = QColor(192, 0, 96);
    c.gravity = QColor(0, 112, 160);
    c.text = QColor(32, 32, 32);
    return c;
}

double SectionPainter::gridStep(double scl)
{
    // Neighbouring lines k * scl pixels apart truncate to positions at least
    // three pixels apart once k * scl >= 3.
    constexpr double minGap = 3;
    if (!(scl > 0))
        return std::numeric_limits<double>::infinity();
    double decade = 1;
    while (std::isfinite(decade)) {
        for (double m : {1.0, 2.0, 5.0}) {
            if (m * decade * scl >= minGap)
                return m * decade;
        }
        decade *= 10;
    }
    return std::numeric_limits<double>::infinity();
}

SectionPainter::GridLines SectionPainter::gridLines(const ViewState& v, QSize area)
{
    GridLines g;
    if (!usableView(v))
        return g;
    const double step = gridStep(v.Dan_scl);
    g.columns = gridPositions(v.Dan_xmin, v.Dan_xmax, step, area.width(),
                              [&v](double x) { return screenX(v, x); });
    g.rows = gridPositions(v.Dan_ymin, v.Dan_ymax, step, area.height(),
                           [&v](double y) { return screenY(v, y); });
    std::reverse(g.rows.begin(), g.rows.end()); // found bottom-up, listed top-down
    g.bottom = truncClamped((v.Dan_ymax - v.Dan_ymin) * v.Dan_scl);
    g.right = truncClamped((v.Dan_xmax - v.Dan_xmin) * v.Dan_scl);
    return g;
}

void SectionPainter::paint(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                           const Options& opt)
{
    beginPaint(p, opt);
    p.fillRect(QRect(QPoint(0, 0), area), opt.colours.back);
    if (usableView(v)) {
        if (opt.grid)
            drawGrid(p, area, v, opt);
        drawSegments(p, area, v, blk, opt);
        drawPoints(p, area, v, blk, opt);
    }
    p.restore();
}

void SectionPainter::paintSelection(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                                    std::span<const qint16> lines, std::span<const qint16> points,
                                    const Options& opt)
{
    if (!usableView(v) || (lines.empty() && points.empty()))
        return;
    beginPaint(p, opt);
    const QRectF clip = segmentClip(area);
    p.setPen(cosmeticPen(Palette::Band));
    const int lineCnt = std::min<int>(blk.LineCnt, BlkRec::LineLast);
    for (qint16 i : lines) {
        if (i >= 1 && i <= lineCnt)
            drawSegment(p, clip, v, blk, i);
    }
    const QFontMetrics fm = p.fontMetrics();
    const QRect reach = markReach(fm, area);
    const int pntCnt = std::min<int>(blk.PntCnt, BlkRec::PntLast);
    for (qint16 i : points) {
        if (i >= 1 && i <= pntCnt)
            drawPoint(p, reach, fm.ascent(), v, blk, i, Palette::Band, Palette::Band);
    }
    p.restore();
}

bool SectionPainter::segmentOnScreen(const ViewState& v, QSize area, const BlkRec& blk, int i,
                                     QLine& line)
{
    if (!usableView(v) || i < 0 || i > BlkRec::LineLast)
        return false;
    return clippedSegment(segmentClip(area), v, blk, i, line);
}

QPoint SectionPainter::toScreen(const ViewState& v, double x, double y)
{
    return QPoint(truncClamped(screenX(v, x)), truncClamped(screenY(v, y)));
}

void SectionPainter::plus(QPainter& p, QPoint pos, const QColor& c)
{
    plusMark(p, pos, c, true);
}

QString SectionPainter::pointLabel(int n)
{
    // Numbers print with a sign position in front (blank when positive) and
    // one blank after.
    const QString digits = QString::number(n);
    return n < 0 ? digits + QLatin1Char(' ') : QLatin1Char(' ') + digits + QLatin1Char(' ');
}

void SectionPainter::paintHover(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                                qint16 line, qint16 point)
{
    if (!usableView(v))
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Palette::Gravity, 3);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QLine seg;
    if (line >= 1 && line <= std::min<int>(blk.LineCnt, BlkRec::LineLast) &&
        segmentOnScreen(v, area, blk, line, seg))
        p.drawLine(seg);
    if (point >= 1 && point <= std::min<int>(blk.PntCnt, BlkRec::PntLast)) {
        const QPoint c = toScreen(v, blk.PntX[point], blk.PntY[point]);
        pen.setWidth(2);
        p.setPen(pen);
        p.drawRect(QRect(c - QPoint(6, 6), c + QPoint(6, 6)));
    }
    p.restore();
}

void SectionPainter::paintHint(QPainter& p, QSize area, const QString& text, const QFont& font)
{
    p.save();
    QFont f = font;
    f.setStyleStrategy(QFont::NoAntialias); // like the picture's other text
    p.setFont(f);
    const QRect box =
        p.fontMetrics().boundingRect(QRect(QPoint(0, 0), area), Qt::AlignCenter, text);
    // On a clear patch, so that grid lines do not cut through the letters.
    p.fillRect(box.adjusted(-4, -2, 4, 2), Palette::Back);
    p.setPen(Palette::Hint);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

void SectionPainter::bandRect(QPainter& p, QPoint a, QPoint b)
{
    const int x0 = std::min(a.x(), b.x());
    const int x1 = std::max(a.x(), b.x());
    const int y0 = std::min(a.y(), b.y());
    const int y1 = std::max(a.y(), b.y());
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    // The outline as runs that touch every pixel exactly once: a pixel hit
    // twice would cancel itself out under XOR.
    const auto run = [&p](int x, int y, int w, int h) {
        p.fillRect(QRect(x, y, w, h), Palette::Band);
    };
    run(x0, y0, x1 - x0 + 1, 1);
    if (y1 > y0)
        run(x0, y1, x1 - x0 + 1, 1);
    if (y1 - y0 >= 2) {
        run(x0, y0 + 1, 1, y1 - y0 - 1);
        if (x1 > x0)
            run(x1, y0 + 1, 1, y1 - y0 - 1);
    }
    p.restore();
}

void SectionPainter::bandLine(QPainter& p, QPoint a, QPoint b)
{
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(cosmeticPen(Palette::Band));
    p.drawLine(a, b);
    p.restore();
}

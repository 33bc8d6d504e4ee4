#include "view/drawingpainter.h"

#include "document/numtext.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Text is laid out and drawn in hundredths of a millimetre: font pixel sizes
// are whole numbers, and a millimetre is far too coarse a step for them.
constexpr double kTextUnit = 0.01;

// Paper measures of the drawing's parts, in mm.
constexpr double kMarkRadius = 0.45;   // point mark, a filled dot
constexpr double kLabelGap = 0.4;      // between a point's mark and its number
constexpr double kLabelAir = 0.6;      // between two numbers side by side
constexpr double kGravityRadius = 1.6; // centre-of-gravity symbol
constexpr double kDimDistance = 8.0;   // from the drawing to a dimension line
constexpr double kExtensionGap = 1.0;  // extension line short of the box corner
constexpr double kExtensionOver = 2.0; // extension line beyond the dimension line
constexpr double kArrowLength = 2.5;
constexpr double kArrowHalfWidth = 0.45;
constexpr double kDimTextGap = 0.8;   // dimension text off its line
constexpr double kNoteDistance = 7.0; // scale note below the drawing
constexpr double kBarHeight = 1.5;
constexpr double kBarMinDivision = 8.0; // shortest division of the scale bar
constexpr double kBarMaxLength = 60.0;
constexpr int kBarMaxDivisions = 5;

const QColor kInk(0, 0, 0);

// A bounding box grown point by point; empty until something is added.
struct Extent
{
    bool any = false;
    double left = 0, top = 0, right = 0, bottom = 0;

    void add(QPointF p)
    {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return;
        if (!any) {
            left = right = p.x();
            top = bottom = p.y();
            any = true;
            return;
        }
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    void add(const QRectF& r)
    {
        add(r.topLeft());
        add(r.bottomRight());
    }
    void add(const QLineF& l)
    {
        add(l.p1());
        add(l.p2());
    }
    QRectF rect() const
    {
        return any ? QRectF(QPointF(left, top), QPointF(right, bottom)) : QRectF();
    }
};

QFont fontOf(const DrawingPainter::Options& opt, double sizeMm)
{
    QFont f;
    f.setFamilies(opt.fontFamilies);
    f.setPixelSize(std::max(1, int(std::lround(sizeMm / kTextUnit))));
    // Laid out at one size and drawn at any: unhinted advances stay true.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// The box of a one-line text in mm: advance by ascent + descent.
QSizeF textSize(const QFontMetricsF& fm, const QString& s)
{
    return QSizeF(fm.horizontalAdvance(s) * kTextUnit, (fm.ascent() + fm.descent()) * kTextUnit);
}

QSizeF textSize(const QFont& f, const QString& s)
{
    return textSize(QFontMetricsF(f), s);
}

// Text whose box has its top-left corner at topLeft; upright == false turns
// it a quarter left, reading upward, its box then standing on topLeft's
// lower-left instead (the caller gives the turned box's top-left).
void drawText(QPainter& p, const QFont& f, const QString& s, const QRectF& box, bool upright = true)
{
    p.save();
    if (upright) {
        p.translate(box.topLeft());
    } else {
        p.translate(box.bottomLeft());
        p.rotate(-90);
    }
    p.scale(kTextUnit, kTextUnit);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QPointF(0, QFontMetricsF(f).ascent()), s);
    p.restore();
}

QPen inkPen(double width)
{
    QPen pen(kInk, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Whether segment s passes through rectangle r (Liang–Barsky).
bool crosses(const QLineF& s, const QRectF& r)
{
    const double dx = s.dx();
    const double dy = s.dy();
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {s.x1() - r.left(), r.right() - s.x1(), s.y1() - r.top(),
                         r.bottom() - s.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

struct Mark
{
    int point;
    QPointF pos;
};

struct Dimension
{
    QLineF line; // between the arrow tips
    QLineF ext1;
    QLineF ext2;
    QString text;
    QRectF textBox; // as seen on paper (turned text: tall and narrow)
    bool upright = true;
};

// Everything the drawing places, in its own frame.
struct Layout
{
    bool valid = false;
    QList<QLineF> segments;
    std::vector<Mark> marks;
    bool gravity = false;
    QPointF g;
    QRectF gLabel;
    QList<DrawingPainter::Label> labels;
    std::vector<Dimension> dims;
    bool note = false;
    QPointF notePos;
    QRectF bounds;
};

bool finite(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

void collectGeometry(Layout& l, const BlkRec& blk, int scale)
{
    const int n = std::min<int>(blk.PntCnt, BlkRec::PntLast);
    for (int i = 1; i <= n; ++i) {
        if (finite(blk.PntX[i], blk.PntY[i]))
            l.marks.push_back({i, DrawingPainter::toPaper(blk.PntX[i], blk.PntY[i], scale)});
    }
    const int m = std::min<int>(blk.LineCnt, BlkRec::LineLast);
    for (int i = 1; i <= m; ++i) {
        const int a = blk.LineSt[i];
        const int b = blk.LineEd[i];
        // Numbers outside the table come only from a damaged file.
        if (a < 0 || a > BlkRec::PntLast || b < 0 || b > BlkRec::PntLast)
            continue;
        if (!finite(blk.PntX[a], blk.PntY[a]) || !finite(blk.PntX[b], blk.PntY[b]))
            continue;
        l.segments.append(QLineF(DrawingPainter::toPaper(blk.PntX[a], blk.PntY[a], scale),
                                 DrawingPainter::toPaper(blk.PntX[b], blk.PntY[b], scale)));
    }
    l.gravity = !(blk.Gx == 0 && blk.Gy == 0) && finite(blk.Gx, blk.Gy);
    if (l.gravity)
        l.g = DrawingPainter::toPaper(blk.Gx, blk.Gy, scale);
}

QRectF around(QPointF c, double r)
{
    return QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r);
}

// The rectangle of size s whose nearest point to c, along the direction at
// angle a, lies gap away from c.
QRectF besideAt(QPointF c, QSizeF s, double a, double gap)
{
    const double ux = std::cos(a);
    const double uy = std::sin(a);
    const double reach = gap + std::abs(ux) * s.width() / 2 + std::abs(uy) * s.height() / 2;
    const QPointF centre(c.x() + ux * reach, c.y() + uy * reach);
    return QRectF(centre.x() - s.width() / 2, centre.y() - s.height() / 2, s.width(), s.height());
}

// One label: the candidate places around the point, best first by how far
// their direction turns from the preferred one and by ring; the first one
// that touches no obstacle wins, unless a later one crosses fewer segments.
std::optional<QRectF> placeLabel(const Mark& m, QSizeF size, double preferred,
                                 const QList<QRectF>& obstacles, const QList<QLineF>& segments)
{
    struct Candidate
    {
        QRectF rect;
        double cost;
    };
    std::vector<Candidate> cands;
    constexpr int kDirections = 8;
    const double rings[] = {kMarkRadius + kLabelGap, kMarkRadius + kLabelGap + size.height()};
    for (int ring = 0; ring < 2; ++ring) {
        for (int k = 0; k < kDirections; ++k) {
            const double a = k * 2 * std::numbers::pi / kDirections;
            double turn = std::abs(std::remainder(a - preferred, 2 * std::numbers::pi));
            cands.push_back({besideAt(m.pos, size, a, rings[ring]), turn + ring * 2.0});
        }
    }
    std::stable_sort(cands.begin(), cands.end(),
                     [](const Candidate& a, const Candidate& b) { return a.cost < b.cost; });
    std::optional<QRectF> best;
    double bestCost = 0;
    for (const Candidate& c : cands) {
        if (best && bestCost <= c.cost)
            break; // no later place can be better
        if (std::any_of(obstacles.begin(), obstacles.end(),
                        [&c](const QRectF& o) { return o.intersects(c.rect); }))
            continue;
        const auto hits = std::count_if(segments.begin(), segments.end(),
                                        [&c](const QLineF& s) { return crosses(s, c.rect); });
        const double cost = c.cost + 10.0 * double(hits);
        if (!best || cost < bestCost) {
            best = c.rect;
            bestCost = cost;
        }
    }
    return best;
}

void placeLabels(Layout& l, const DrawingPainter::Options& opt)
{
    Extent e;
    for (const Mark& m : l.marks)
        e.add(m.pos);
    const QPointF middle = e.rect().center();
    // Numbers keep clear of every mark, of the gravity symbol and of each
    // other; the outline they only avoid where they can.
    QList<QRectF> obstacles;
    for (const Mark& m : l.marks)
        obstacles.append(around(m.pos, kMarkRadius + 0.1));
    if (l.gravity) {
        obstacles.append(around(l.g, kGravityRadius));
        obstacles.append(l.gLabel);
    }
    const QFontMetricsF fm(fontOf(opt, opt.labelSize));
    for (const Mark& m : l.marks) {
        const QString text = QString::number(m.point);
        const QPointF out = m.pos - middle;
        // Away from the middle; straight up-right for a point at the middle.
        const double preferred =
            (out.x() == 0 && out.y() == 0) ? -std::numbers::pi / 4 : std::atan2(out.y(), out.x());
        const std::optional<QRectF> r =
            placeLabel(m, textSize(fm, text), preferred, obstacles, l.segments);
        if (!r)
            continue;
        // A little air between neighbouring numbers, so "54" and "55" never
        // read as "5455".
        obstacles.append(r->adjusted(-kLabelAir, -kLabelAir / 2, kLabelAir, kLabelAir / 2));
        l.labels.append({m.point, text, *r});
    }
}

// The B dimension below the drawing's content, or the H dimension left of it.
Dimension dimensionB(const QRectF& content, double length, const QString& text, const QFont& f)
{
    Dimension d;
    const double y = content.bottom() + kDimDistance;
    d.line = QLineF(0, y, length, y);
    d.ext1 = QLineF(0, kExtensionGap, 0, y + kExtensionOver);
    d.ext2 = QLineF(length, kExtensionGap, length, y + kExtensionOver);
    d.text = text;
    const QSizeF s = textSize(f, text);
    // Between the arrows when it fits, otherwise beyond the right one.
    const double x =
        s.width() + 2 * kArrowLength <= length ? length / 2 - s.width() / 2 : length + kArrowLength;
    d.textBox = QRectF(x, y - kDimTextGap - s.height(), s.width(), s.height());
    return d;
}

Dimension dimensionH(const QRectF& content, double length, const QString& text, const QFont& f)
{
    Dimension d;
    const double x = content.left() - kDimDistance;
    d.line = QLineF(x, 0, x, -length);
    d.ext1 = QLineF(-kExtensionGap, 0, x - kExtensionOver, 0);
    d.ext2 = QLineF(-kExtensionGap, -length, x - kExtensionOver, -length);
    d.text = text;
    const QSizeF s = textSize(f, text);
    const double y = s.width() + 2 * kArrowLength <= length ? -length / 2 - s.width() / 2
                                                            : -length - kArrowLength - s.width();
    d.textBox = QRectF(x - kDimTextGap - s.height(), y, s.height(), s.width());
    d.upright = false;
    return d;
}

Layout layoutOf(const BlkRec& blk, const DrawingPainter::Options& opt)
{
    Layout l;
    if (opt.scale <= 0)
        return l;
    l.valid = true;
    const double k = DrawingScale::mmPerMetre(opt.scale);
    collectGeometry(l, blk, opt.scale);
    Extent e;
    for (const Mark& m : l.marks)
        e.add(around(m.pos, kMarkRadius));
    for (const QLineF& s : l.segments)
        e.add(s);
    if (l.gravity) {
        e.add(around(l.g, kGravityRadius));
        const QSizeF s = textSize(fontOf(opt, opt.labelSize), QStringLiteral("G"));
        l.gLabel = QRectF(
            QPointF(l.g.x() + kGravityRadius * 0.8, l.g.y() - kGravityRadius * 0.8 - s.height()),
            s);
        e.add(l.gLabel);
    }
    const bool hasB = opt.dimensions && std::isfinite(blk.B) && blk.B > 0;
    const bool hasH = opt.dimensions && std::isfinite(blk.H) && blk.H > 0;
    if (hasB || hasH)
        e.add(QPointF(0, 0)); // the box's lower-left corner
    if (hasB)
        e.add(QPointF(blk.B * k, 0));
    if (hasH)
        e.add(QPointF(0, -blk.H * k));
    if (opt.pointNumbers) {
        placeLabels(l, opt);
        for (const DrawingPainter::Label& lb : l.labels)
            e.add(lb.rect);
    }
    const QRectF content = e.any ? e.rect() : QRectF(0, 0, 0, 0);
    const QFont df = fontOf(opt, opt.textSize);
    if (hasB)
        l.dims.push_back(dimensionB(
            content, blk.B * k,
            DrawingPainter::dimensionText(QStringLiteral("B"), blk.B, opt.dimensionText), df));
    if (hasH)
        l.dims.push_back(dimensionH(
            content, blk.H * k,
            DrawingPainter::dimensionText(QStringLiteral("H"), blk.H, opt.dimensionText), df));
    for (const Dimension& d : l.dims) {
        e.add(d.ext1);
        e.add(d.ext2);
        e.add(d.textBox);
    }
    if (opt.scaleNote) {
        const QRectF above = e.any ? e.rect() : QRectF(0, 0, 0, 0);
        l.note = true;
        l.notePos = QPointF(above.left(), e.any ? above.bottom() + kNoteDistance : 0);
        e.add(QRectF(l.notePos, DrawingPainter::scaleNoteSize(opt)));
    }
    l.bounds = e.any ? e.rect() : QRectF(0, 0, 0, 0);
    return l;
}

void drawArrow(QPainter& p, QPointF tip, QPointF from)
{
    const QLineF axis(tip, from);
    if (axis.length() <= 0)
        return;
    const QPointF u = (from - tip) / axis.length();
    const QPointF n(-u.y(), u.x());
    const QPointF base = tip + u * kArrowLength;
    p.drawPolygon(QPolygonF({tip, base + n * kArrowHalfWidth, base - n * kArrowHalfWidth}));
}

void drawDimension(QPainter& p, const Dimension& d, const QFont& f, double thin)
{
    p.setPen(inkPen(thin));
    p.drawLine(d.ext1);
    p.drawLine(d.ext2);
    p.drawLine(d.line);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    drawArrow(p, d.line.p1(), d.line.p2());
    drawArrow(p, d.line.p2(), d.line.p1());
    p.setBrush(Qt::NoBrush);
    drawText(p, f, d.text, d.textBox, d.upright);
}

// The symbol for a centre of gravity: a circle with two opposite quarters
// filled.
void drawGravity(QPainter& p, QPointF g, double thin)
{
    const QRectF box = around(g, kGravityRadius);
    QPainterPath quarters;
    quarters.moveTo(g);
    quarters.arcTo(box, 0, 90);
    quarters.closeSubpath();
    quarters.moveTo(g);
    quarters.arcTo(box, 180, 90);
    quarters.closeSubpath();
    p.fillPath(quarters, kInk);
    p.setPen(inkPen(thin));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(box);
}

QString metresLabel(double m)
{
    return QString::number(m, 'g', 6);
}

// Positions within the scale note, from its top-left corner.
struct NoteLayout
{
    QRectF word;  // "縮尺"
    QRectF scale; // "1:20"
    QRectF bar;
    QRectF unit; // "m"
    double numbersTop = 0;
    double labelHeight = 0;
    QSizeF size;
};

NoteLayout noteLayout(const DrawingPainter::Options& opt)
{
    NoteLayout n;
    const QFont f = fontOf(opt, opt.textSize);
    const QFont lf = fontOf(opt, opt.labelSize);
    const QSizeF word = textSize(f, QStringLiteral("縮尺"));
    const QSizeF scale = textSize(f, DrawingScale::text(opt.scale));
    const QSizeF unit = textSize(lf, QStringLiteral("m"));
    const double th = std::max(word.height(), scale.height());
    const double barTop = std::max(0.0, (th - kBarHeight) / 2);
    const double textTop = barTop + kBarHeight / 2 - th / 2;
    const double barLength = DrawingPainter::scaleBarStep(opt.scale) *
                             DrawingScale::mmPerMetre(opt.scale) *
                             DrawingPainter::scaleBarDivisions(opt.scale);
    n.word = QRectF(QPointF(0, textTop), word);
    n.scale = QRectF(QPointF(word.width() + 1.5, textTop), scale);
    n.bar = QRectF(n.scale.right() + 6, barTop, barLength, kBarHeight);
    n.labelHeight = textSize(lf, QStringLiteral("0")).height();
    n.numbersTop = n.bar.bottom() + 0.6;
    // The unit follows the last number, on its line.
    const int divisions = DrawingPainter::scaleBarDivisions(opt.scale);
    const QSizeF last =
        textSize(lf, metresLabel(divisions * DrawingPainter::scaleBarStep(opt.scale)));
    n.unit = QRectF(QPointF(n.bar.right() + last.width() / 2 + 1.5, n.numbersTop), unit);
    n.size = QSizeF(n.unit.right(), std::max(textTop + th, n.numbersTop + n.labelHeight));
    return n;
}

} // namespace

bool DrawingScale::isStandard(int n)
{
    return std::find(Standard.begin(), Standard.end(), n) != Standard.end();
}

QString DrawingScale::text(int n)
{
    return QStringLiteral("1:%1").arg(n);
}

std::optional<int> DrawingScale::parse(QStringView s)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(?:1\\s*[:/]\\s*)?(\\d{1,9})\\s*$"));
    const QRegularExpressionMatch m = re.match(s);
    if (!m.hasMatch())
        return std::nullopt;
    const int n = m.capturedView(1).toInt();
    if (n <= 0)
        return std::nullopt;
    return n;
}

namespace {

bool fitsIn(QSizeF s, QSizeF frame)
{
    constexpr double kSlack = 1e-9;
    return s.width() <= frame.width() + kSlack && s.height() <= frame.height() + kSlack;
}

} // namespace

int DrawingScale::largestFitting(const std::function<QSizeF(int)>& sizeAt, QSizeF frame)
{
    for (int n : Standard) {
        if (fitsIn(sizeAt(n), frame))
            return n;
    }
    return 0;
}

int DrawingScale::largestFitting(QSizeF metres, QSizeF frame)
{
    return largestFitting([metres](int n) { return metres * mmPerMetre(n); }, frame);
}

int DrawingScale::reducedFitting(const std::function<QSizeF(int)>& sizeAt, QSizeF frame)
{
    for (int decade = 1000; decade <= 100'000'000; decade *= 10) {
        for (int m : {1, 2, 5}) {
            if (fitsIn(sizeAt(m * decade), frame))
                return m * decade;
        }
    }
    return fitsIn(sizeAt(1'000'000'000), frame) ? 1'000'000'000 : 0;
}

QPointF DrawingPainter::toPaper(double x, double y, int scale)
{
    const double k = DrawingScale::mmPerMetre(scale);
    return QPointF(x * k, -y * k);
}

QRectF DrawingPainter::bounds(const BlkRec& blk, const Options& opt)
{
    return layoutOf(blk, opt).bounds;
}

QSizeF DrawingPainter::size(const BlkRec& blk, const Options& opt)
{
    return bounds(blk, opt).size();
}

QList<DrawingPainter::Label> DrawingPainter::pointLabels(const BlkRec& blk, const Options& opt)
{
    return layoutOf(blk, opt).labels;
}

namespace {

// The drawing's size at 1:n, or, when the outline alone is already larger
// than frame, that smaller size: enough to tell that it does not fit, without
// placing labels and dimensions.
QSizeF sizeForFit(const BlkRec& blk, const DrawingPainter::Options& opt, int n, QSizeF frame)
{
    DrawingPainter::Options o = opt;
    o.scale = n;
    Layout l;
    collectGeometry(l, blk, n);
    Extent e;
    for (const Mark& m : l.marks)
        e.add(m.pos);
    for (const QLineF& s : l.segments)
        e.add(s);
    const QSizeF outline = e.rect().size();
    if (!fitsIn(outline, frame))
        return outline;
    return DrawingPainter::size(blk, o);
}

} // namespace

int DrawingPainter::largestScale(const BlkRec& blk, const Options& opt, QSizeF frame)
{
    return DrawingScale::largestFitting([&](int n) { return sizeForFit(blk, opt, n, frame); },
                                        frame);
}

int DrawingPainter::reducedScale(const BlkRec& blk, const Options& opt, QSizeF frame)
{
    return DrawingScale::reducedFitting([&](int n) { return sizeForFit(blk, opt, n, frame); },
                                        frame);
}

void DrawingPainter::paint(QPainter& p, const QRectF& frame, const BlkRec& blk, const Options& opt)
{
    const Layout l = layoutOf(blk, opt);
    if (!l.valid)
        return;
    p.save();
    p.translate(frame.center() - l.bounds.center());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setBrush(Qt::NoBrush);

    p.setPen(inkPen(opt.outlineWidth));
    p.drawLines(l.segments);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (const Mark& m : l.marks)
        p.drawEllipse(m.pos, kMarkRadius, kMarkRadius);
    p.setBrush(Qt::NoBrush);
    if (l.gravity) {
        drawGravity(p, l.g, opt.thinWidth);
        drawText(p, fontOf(opt, opt.labelSize), QStringLiteral("G"), l.gLabel);
    }
    const QFont lf = fontOf(opt, opt.labelSize);
    for (const Label& lb : l.labels)
        drawText(p, lf, lb.text, lb.rect);
    const QFont df = fontOf(opt, opt.textSize);
    for (const Dimension& d : l.dims)
        drawDimension(p, d, df, opt.thinWidth);
    if (l.note)
        paintScaleNote(p, l.notePos, opt);
    p.restore();
}

double DrawingPainter::scaleBarStep(int scale)
{
    const double k = DrawingScale::mmPerMetre(scale);
    for (double decade = 1e-3; decade < 1e9; decade *= 10) {
        for (double m : {1.0, 2.0, 5.0}) {
            if (m * decade * k >= kBarMinDivision - 1e-9)
                return m * decade;
        }
    }
    return 1e9;
}

int DrawingPainter::scaleBarDivisions(int scale)
{
    const double division = scaleBarStep(scale) * DrawingScale::mmPerMetre(scale);
    return std::clamp(int(kBarMaxLength / division + 1e-9), 1, kBarMaxDivisions);
}

QSizeF DrawingPainter::scaleNoteSize(const Options& opt)
{
    return noteLayout(opt).size;
}

void DrawingPainter::paintScaleNote(QPainter& p, QPointF topLeft, const Options& opt)
{
    if (opt.scale <= 0)
        return;
    const NoteLayout n = noteLayout(opt);
    const QFont f = fontOf(opt, opt.textSize);
    const QFont lf = fontOf(opt, opt.labelSize);
    p.save();
    p.translate(topLeft);
    p.setRenderHint(QPainter::Antialiasing, true);
    drawText(p, f, QStringLiteral("縮尺"), n.word);
    drawText(p, f, DrawingScale::text(opt.scale), n.scale);
    const int divisions = scaleBarDivisions(opt.scale);
    const double step = scaleBarStep(opt.scale);
    const double w = n.bar.width() / divisions;
    for (int i = 0; i < divisions; ++i) {
        const QRectF cell(n.bar.left() + i * w, n.bar.top(), w, n.bar.height());
        p.fillRect(cell, i % 2 == 0 ? kInk : QColor(Qt::white));
    }
    p.setPen(inkPen(opt.thinWidth));
    p.setBrush(Qt::NoBrush);
    p.drawRect(n.bar);
    // Each number centred under its tick, so the distance between two of
    // them is the length they name.
    for (int i = 0; i <= divisions; ++i) {
        const QString s = metresLabel(i * step);
        const QSizeF ts = textSize(lf, s);
        const double x = n.bar.left() + i * w;
        drawText(p, lf, s, QRectF(QPointF(x - ts.width() / 2, n.numbersTop), ts));
    }
    drawText(p, lf, QStringLiteral("m"), n.unit);
    p.restore();
}

QString DrawingPainter::dimensionText(const QString& name, double metres, DimensionText style)
{
    const QString value = NumText::fmt000(metres);
    if (style == DimensionText::Plain)
        return value;
    return QStringLiteral("%1 = %2 m").arg(name, value);
}

// The shapes of the chosen layers as an outline: chords for arcs, merged end
// points, metres, the lower-left corner at the origin, the record's limits.
#include "exchange/dxfimport.h"

#include "exchange/dxfnumbers.h"
#include "exchange/dxfshapes.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
// Farther from the origin than this (metres) is no block.
constexpr double kMaxCoordinate = 1e7;
// Segments kept for merging; beyond, only counted (the result is refused anyway).
constexpr long long kKeepSegments = 2000;
// Chords of one arc counted at most (a huge circle at a tiny deviation).
constexpr long long kMaxChords = 100000000;

struct Raw
{
    QPointF a, b;
};

QString named(const DxfDrawing& d)
{
    return d.fileName.isEmpty() ? QStringLiteral("(名前なし)") : d.fileName;
}

// Collects the segments of the shapes, in metres.
class Segments
{
public:
    Segments(DxfUnit unit, double deviation) : mUnit(unit), mDeviation(deviation) {}

    std::vector<Raw> kept;
    long long total = 0;

    // Empty when the shape is drawn, else why not.
    QString add(const DxfShape& s);

private:
    double m(double v) const
    {
        return mUnit == DxfUnit::Millimetre ? DxfNumbers::shiftDecimal(v, -3) : v;
    }
    bool usable(double v) const { return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate; }
    void segment(QPointF a, QPointF b)
    {
        if (total++ < kKeepSegments)
            kept.push_back({a, b});
    }
    long long chordCount(double radius, double sweep, long long least) const;
    void arc(QPointF centre, double radius, double start, double sweep, QPointF from, QPointF to,
             long long least);
    void bulge(QPointF a, QPointF b, double bulge);

    DxfUnit mUnit;
    double mDeviation; // metres
};

long long Segments::chordCount(double radius, double sweep, long long least) const
{
    // A chord over the angle t lies r(1 - cos(t/2)) from its arc at most.
    const double c = 1 - mDeviation / radius;
    const double step = c <= -1 ? 2 * kPi : 2 * std::acos(c);
    const double n = std::ceil(std::fabs(sweep) / step - 1e-9);
    return std::max<long long>(least, std::isfinite(n) ? (long long)std::min<double>(n, kMaxChords)
                                                       : kMaxChords);
}

// Chords from `from` to `to` along the circle; sweep in radians, signed.
void Segments::arc(QPointF centre, double radius, double start, double sweep, QPointF from,
                   QPointF to, long long least)
{
    const long long n = chordCount(radius, sweep, least);
    if (total + n > kKeepSegments) {
        total += n; // only counted: the outline is refused
        return;
    }
    QPointF prev = from;
    for (long long k = 1; k < n; ++k) {
        const double t = start + sweep * double(k) / double(n);
        const QPointF p(centre.x() + radius * std::cos(t), centre.y() + radius * std::sin(t));
        segment(prev, p);
        prev = p;
    }
    segment(prev, to);
}

void Segments::bulge(QPointF a, QPointF b, double bulge)
{
    // bulge = tan(included angle / 4), positive counter-clockwise.
    const QPointF d = b - a;
    const double chord = std::hypot(d.x(), d.y());
    if (chord == 0 || !std::isfinite(bulge) || std::fabs(bulge) < 1e-12) {
        segment(a, b);
        return;
    }
    const double sweep = 4 * std::atan(bulge);
    const double radius = chord * (1 + bulge * bulge) / (4 * std::fabs(bulge));
    const double off = (1 - bulge * bulge) / (4 * bulge); // along the left normal, times chord
    const QPointF centre = (a + b) / 2 + QPointF(-d.y(), d.x()) * off;
    const double start = std::atan2(a.y() - centre.y(), a.x() - centre.x());
    arc(centre, radius, start, sweep, a, b, std::fabs(sweep) > kPi ? 2 : 1);
}

QString Segments::add(const DxfShape& s)
{
    if (!s.refusal.isEmpty())
        return s.refusal;
    const QString tooFar =
        QStringLiteral("%1 行目の図形の座標が大きすぎるか数値ではありません。").arg(s.line);
    std::vector<QPointF> v;
    for (const DxfShape::Vertex& p : s.vertices) {
        const QPointF q(m(p.x), m(p.y));
        if (!usable(q.x()) || !usable(q.y()))
            return tooFar;
        v.push_back(q);
    }
    switch (s.kind) {
    case DxfShape::Kind::Line:
        segment(v[0], v[1]);
        break;
    case DxfShape::Kind::Polyline: {
        const size_t n = v.size();
        const size_t last = s.closed ? n : n - 1;
        for (size_t i = 0; n >= 2 && i < last; ++i)
            bulge(v[i], v[(i + 1) % n], s.vertices[i].bulge);
        break;
    }
    case DxfShape::Kind::Arc:
    case DxfShape::Kind::Circle: {
        const QPointF c(m(s.cx), m(s.cy));
        const double r = m(s.radius);
        if (!usable(c.x()) || !usable(c.y()) || !usable(r) || !std::isfinite(s.startAngle) ||
            !std::isfinite(s.endAngle))
            return tooFar;
        if (r <= 0)
            break; // a point: no segment
        if (s.kind == DxfShape::Kind::Circle) {
            const QPointF p(c.x() + r, c.y());
            arc(c, r, 0, 2 * kPi, p, p, 3);
            break;
        }
        const double a0 = std::fmod(s.startAngle, 360.0) * kPi / 180;
        double sweep = std::fmod(s.endAngle - s.startAngle, 360.0);
        if (sweep <= 0)
            sweep += 360;
        sweep = sweep * kPi / 180;
        const double a1 = a0 + sweep;
        const QPointF from(c.x() + r * std::cos(a0), c.y() + r * std::sin(a0));
        const QPointF to(c.x() + r * std::cos(a1), c.y() + r * std::sin(a1));
        arc(c, r, a0, sweep, from, to, sweep > kPi ? 2 : 1);
        break;
    }
    }
    return {};
}

// End points within the tolerance become one point, numbered in the order
// they first appear; segments of no length and repeated ones go.
DxfOutline merge(const std::vector<Raw>& raw, double tolerance)
{
    DxfOutline out;
    auto pointOf = [&](QPointF p) {
        for (size_t i = 0; i < out.points.size(); ++i) {
            const QPointF d = out.points[i] - p;
            if (std::hypot(d.x(), d.y()) <= tolerance)
                return int(i);
        }
        out.points.push_back(p);
        return int(out.points.size()) - 1;
    };
    QSet<QPair<int, int>> seen;
    for (const Raw& r : raw) {
        const int a = pointOf(r.a);
        const int b = pointOf(r.b);
        if (a == b || seen.contains({std::min(a, b), std::max(a, b)}))
            continue;
        seen.insert({std::min(a, b), std::max(a, b)});
        out.segments.emplace_back(a, b);
    }
    // A point that only ended segments of no length is no point of the outline.
    std::vector<int> renumber(out.points.size(), -1);
    std::vector<QPointF> used;
    for (auto& [a, b] : out.segments) {
        for (int* e : {&a, &b}) {
            if (renumber[size_t(*e)] < 0) {
                renumber[size_t(*e)] = int(used.size());
                used.push_back(out.points[size_t(*e)]);
            }
            *e = renumber[size_t(*e)];
        }
    }
    out.points = std::move(used);
    return out;
}

// The lower-left corner of the outline to (0, 0). The subtraction leaves
// binary dust (1000.123 - 1000 = 0.12300000000000182): rounded to nanometres.
void moveToOrigin(DxfOutline& o)
{
    double minX = o.points.front().x(), minY = o.points.front().y();
    for (const QPointF& p : o.points) {
        minX = std::min(minX, p.x());
        minY = std::min(minY, p.y());
    }
    auto shift = [](double v, double by) { return by == 0 ? v : std::round((v - by) * 1e9) / 1e9; };
    for (QPointF& p : o.points)
        p = QPointF(shift(p.x(), minX), shift(p.y(), minY));
}

QStringList unknownLayers(const DxfDrawing& d, const QStringList& chosen, QSet<int>& indices)
{
    QStringList unknown;
    for (const QString& name : chosen) {
        bool found = false;
        for (int i = 0; i < d.layers.size(); ++i) {
            if (d.layers[i].name.compare(name, Qt::CaseInsensitive) == 0) {
                indices.insert(i);
                found = true;
            }
        }
        if (!found)
            unknown << name;
    }
    return unknown;
}

} // namespace

namespace Dxf {

DxfOutlineResult toOutline(const DxfDrawing& drawing, const DxfImportOptions& options)
{
    DxfOutlineResult r;
    const QString name = named(drawing);
    if (!(options.toleranceMm >= 0 && options.toleranceMm <= 1000) ||
        !(options.deviationMm > 0 && options.deviationMm <= 1000)) {
        r.error = QStringLiteral("端点をまとめる距離は 0〜1000 mm、円弧と弦の最大距離は 0 より"
                                 "大きく 1000 mm までで指定してください。");
        return r;
    }
    QSet<int> chosen;
    const QStringList layers = options.layers.isEmpty() ? defaultLayers(drawing) : options.layers;
    const QStringList unknown = unknownLayers(drawing, layers, chosen);
    if (!unknown.isEmpty()) {
        r.error = QStringLiteral("「%1」に画層「%2」はありません。")
                      .arg(name, unknown.join(QStringLiteral("」「")));
        return r;
    }
    Segments segs(unitFor(drawing, options.unit), options.deviationMm / 1000);
    for (const DxfShape& s : Dxf::shapesOn(drawing, chosen)) {
        const QString why = segs.add(s);
        if (!why.isEmpty()) {
            r.error = QStringLiteral("「%1」を取り込めません。\n%2").arg(name, why);
            return r;
        }
    }
    DxfOutline o = merge(segs.kept, options.toleranceMm / 1000);
    const bool counted = segs.total > kKeepSegments;
    if (o.segments.empty()) {
        r.error =
            QStringLiteral(
                "「%1」の選んだ画層には線 (LINE, LWPOLYLINE, POLYLINE, ARC, CIRCLE) がありません。")
                .arg(name);
        return r;
    }
    if (counted || o.points.size() > size_t(BlkRec::PntLast) ||
        o.segments.size() > size_t(BlkRec::LineLast)) {
        const QString points = counted ? QStringLiteral("%1 個以上").arg(o.points.size())
                                       : QStringLiteral("%1 個").arg(o.points.size());
        const QString lines = counted ? QStringLiteral("約 %1 本").arg(segs.total)
                                      : QStringLiteral("%1 本").arg(o.segments.size());
        r.error = QStringLiteral("「%1」の選んだ画層からは点が %2、線分が %3 できます。\n"
                                 "取り込めるのは点、線分とも %4 までです。"
                                 "画層を絞るか、端点をまとめる距離や円弧と弦の最大距離を"
                                 "大きくしてください。")
                      .arg(name, points, lines)
                      .arg(BlkRec::PntLast);
        return r;
    }
    if (options.moveToOrigin)
        moveToOrigin(o);
    r.outline = std::move(o);
    return r;
}

DxfOutlineResult import(QByteArrayView bytes, const QString& fileName,
                        const DxfImportOptions& options)
{
    const DxfReadResult read = Dxf::read(bytes, fileName);
    if (!read.ok()) {
        DxfOutlineResult r;
        r.error = read.error;
        return r;
    }
    return toOutline(read.drawing, options);
}

void applyOutline(BlkRec& blk, const DxfOutline& outline)
{
    const int np = std::min<int>(int(outline.points.size()), BlkRec::PntLast);
    const int ns = std::min<int>(int(outline.segments.size()), BlkRec::LineLast);
    blk.PntX.fill(0);
    blk.PntY.fill(0);
    blk.LineSt.fill(0);
    blk.LineEd.fill(0);
    for (int i = 0; i < np; ++i) {
        blk.PntX[size_t(i + 1)] = outline.points[size_t(i)].x();
        blk.PntY[size_t(i + 1)] = outline.points[size_t(i)].y();
    }
    int kept = 0;
    for (int i = 0; i < ns; ++i) {
        const auto [a, b] = outline.segments[size_t(i)];
        if (a < 0 || a >= np || b < 0 || b >= np)
            continue;
        ++kept;
        blk.LineSt[size_t(kept)] = qint16(a + 1);
        blk.LineEd[size_t(kept)] = qint16(b + 1);
    }
    blk.PntCnt = qint16(np);
    blk.LineCnt = qint16(kept);
}

} // namespace Dxf

#include "analysis/sectiongeometry.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

double SectionGeometry::Edge::xAt(double y) const
{
    // The ends are returned as stored, so neighbouring slabs agree exactly.
    if (y <= yLo)
        return xLo;
    if (y >= yHi)
        return xHi;
    return xLo + (xHi - xLo) * (y - yLo) / (yHi - yLo);
}

SectionGeometry::SectionGeometry(const BlkRec& rec, const OutlineFindings& outline)
{
    if (outline.loops.isEmpty())
        return;
    mHasLoops = true;

    auto at = [&](qint16 p) { return QPointF(rec.PntX[size_t(p)], rec.PntY[size_t(p)]); };
    const QPointF first = at(outline.loops[0].points[0]);
    mBounds = {first.x(), first.y(), first.x(), first.y()};
    std::array<bool, BlkRec::LineLast + 1> inLoop{};
    std::vector<double> cuts;
    std::vector<Edge> edges;
    for (const OutlineLoop& loop : outline.loops) {
        const qsizetype n = loop.points.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QPointF a = at(loop.points[i]);
            const QPointF b = at(loop.points[(i + 1) % n]);
            mBounds.xMin = std::min(mBounds.xMin, a.x());
            mBounds.xMax = std::max(mBounds.xMax, a.x());
            mBounds.yMin = std::min(mBounds.yMin, a.y());
            mBounds.yMax = std::max(mBounds.yMax, a.y());
            cuts.push_back(a.y());
            if (a.y() < b.y())
                edges.push_back({a.y(), b.y(), a.x(), b.x()});
            else if (b.y() < a.y())
                edges.push_back({b.y(), a.y(), b.x(), a.x()});
            inLoop[size_t(loop.segments[i])] = true;
        }
    }
    // Where two loop segments cross, their order changes: a cut goes there too.
    for (const SegmentCrossing& c : outline.crossings) {
        if (c.kind == CrossingKind::Cross && inLoop[size_t(c.first)] && inLoop[size_t(c.second)] &&
            c.at.y() > mBounds.yMin && c.at.y() < mBounds.yMax)
            cuts.push_back(c.at.y());
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    build(cuts, edges);
}

void SectionGeometry::build(const std::vector<double>& cuts, std::vector<Edge>& edges)
{
    std::sort(edges.begin(), edges.end(),
              [](const Edge& a, const Edge& b) { return a.yLo < b.yLo; });
    // The edges through the slab, kept in the left-to-right order of the slab
    // before: from one slab to the next only edges that start or end and
    // pairs that cross at the cut change places, so an insertion sort has
    // little to do, where a full sort per slab made a self-crossing outline
    // slow. Sorted by (x0 + x1, x0, x1) as ever, so the sums below see the
    // very same sequence of values.
    std::vector<const Edge*> active;
    struct Crossing
    {
        double key; // x0 + x1: the order at the slab's middle
        double x0;  // at y0 and y1, from the lower-left corner
        double x1;
        const Edge* edge;
        bool operator<(const Crossing& o) const
        {
            return key != o.key ? key < o.key : (x0 != o.x0 ? x0 < o.x0 : x1 < o.x1);
        }
    };
    std::vector<Crossing> row;
    size_t next = 0;
    double below = 0;
    double mx = 0; // first moments about the lower-left corner, for precision
    double my = 0;
    const double ox = mBounds.xMin;
    const double oy = mBounds.yMin;
    mSlabs.reserve(cuts.size());
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double y0 = cuts[k];
        const double y1 = cuts[k + 1];
        const double h = y1 - y0;
        std::erase_if(active, [&](const Edge* e) { return e->yHi <= y0; });
        while (next < edges.size() && edges[next].yLo <= y0)
            active.push_back(&edges[next++]);

        row.clear();
        for (const Edge* e : active) {
            const double x0 = e->xAt(y0);
            const double x1 = e->xAt(y1);
            row.push_back({x0 + x1, x0 - ox, x1 - ox, e});
        }
        for (size_t i = 1; i < row.size(); ++i) {
            const Crossing c = row[i];
            size_t j = i;
            for (; j > 0 && c < row[j - 1]; --j)
                row[j] = row[j - 1];
            row[j] = c;
        }
        for (size_t i = 0; i < row.size(); ++i)
            active[i] = row[i].edge;
        Slab s{y0, y1, 0, 0, below, mx, my};
        const double v0 = y0 - oy;
        const double v1 = y1 - oy;
        // Closed loops always cross a slab an even number of times.
        for (size_t i = 0; i + 1 < row.size(); i += 2) {
            const double l0 = row[i].x0;
            const double l1 = row[i].x1;
            const double r0 = row[i + 1].x0;
            const double r1 = row[i + 1].x1;
            const double w0 = r0 - l0;
            const double w1 = r1 - l1;
            s.w0 += w0;
            s.w1 += w1;
            const double dr = r1 - r0;
            const double dl = l1 - l0;
            s.a0 += r0 * r0 - l0 * l0;
            s.a1 += 2 * (r0 * dr - l0 * dl) / h;
            s.a2 += (dr * dr - dl * dl) / (h * h);
            mx += h / 6 * ((r0 * r0 + r0 * r1 + r1 * r1) - (l0 * l0 + l0 * l1 + l1 * l1));
            my += h / 6 * (w0 * (2 * v0 + v1) + w1 * (v0 + 2 * v1));
        }
        below += h * (s.w0 + s.w1) / 2;
        mSlabs.push_back(s);
    }
    mArea = below;
    if (hasArea())
        mCentroid = QPointF(ox + mx / mArea, oy + my / mArea);
    else
        mCentroid = QPointF((mBounds.xMin + mBounds.xMax) / 2, (mBounds.yMin + mBounds.yMax) / 2);
}

double SectionGeometry::areaBelow(double y) const
{
    if (!(y > mBounds.yMin) || mSlabs.empty())
        return 0;
    if (y >= mBounds.yMax)
        return mArea;
    const auto it = std::upper_bound(mSlabs.begin(), mSlabs.end(), y,
                                     [](double v, const Slab& s) { return v < s.y0; });
    const Slab& s = *(it - 1);
    const double t = y - s.y0;
    const double wy = s.w0 + (s.w1 - s.w0) * t / (s.y1 - s.y0);
    return s.below + t * (s.w0 + wy) / 2;
}

SectionGeometry::Part SectionGeometry::partBelow(double y) const
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    if (!(y > mBounds.yMin) || mSlabs.empty())
        return {0, QPointF(nan, nan)};
    if (y >= mBounds.yMax)
        return {mArea, hasArea() ? mCentroid : QPointF(nan, nan)};
    const auto it = std::upper_bound(mSlabs.begin(), mSlabs.end(), y,
                                     [](double v, const Slab& s) { return v < s.y0; });
    const Slab& s = *(it - 1);
    const double t = y - s.y0;
    const double k = (s.w1 - s.w0) / (s.y1 - s.y0); // width grows by k per metre
    const double v0 = s.y0 - mBounds.yMin;
    const double area = s.below + t * (s.w0 + (s.w0 + k * t)) / 2;
    const double mx = s.mxBelow + (s.a0 * t + s.a1 * t * t / 2 + s.a2 * t * t * t / 3) / 2;
    const double my = s.myBelow + s.w0 * v0 * t + (s.w0 + k * v0) * t * t / 2 + k * t * t * t / 3;
    if (!(area > kMinArea))
        return {area, QPointF(nan, nan)};
    return {area, QPointF(mBounds.xMin + mx / area, mBounds.yMin + my / area)};
}

double SectionGeometry::bandArea(double lo, double hi) const
{
    if (!(hi > lo))
        return 0;
    return areaBelow(hi) - areaBelow(lo);
}

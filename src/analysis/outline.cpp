#include "analysis/outline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int kPntSlots = BlkRec::PntLast + 1;

// A segment whose two ends are usable, distinct point numbers.
struct Edge
{
    qint16 no = 0;
    qint16 a = 0;
    qint16 b = 0;
};

// The segments seen as a graph on the points; loops are found in its 2-core.
struct Graph
{
    std::vector<Edge> edges;
    std::array<int, kPntSlots> degree{};
    std::array<int, kPntSlots + 1> first{}; // edges at point p: incident[first[p] .. first[p+1])
    std::vector<int> incident;

    void index()
    {
        degree.fill(0);
        for (const Edge& e : edges) {
            ++degree[e.a];
            ++degree[e.b];
        }
        first[0] = 0;
        for (int p = 0; p < kPntSlots; ++p)
            first[p + 1] = first[p] + degree[p];
        incident.assign(size_t(first[kPntSlots]), 0);
        std::array<int, kPntSlots> fill{};
        for (int i = 0; i < int(edges.size()); ++i) {
            const Edge& e = edges[size_t(i)];
            incident[size_t(first[e.a] + fill[e.a]++)] = i;
            incident[size_t(first[e.b] + fill[e.b]++)] = i;
        }
    }
    int other(int edge, int p) const
    {
        const Edge& e = edges[size_t(edge)];
        return e.a == p ? e.b : e.a;
    }
};

QPointF pointAt(const BlkRec& rec, int p)
{
    return {rec.PntX[size_t(p)], rec.PntY[size_t(p)]};
}

bool usableCoord(double v)
{
    return std::isfinite(v) && std::fabs(v) <= kCoordLimit;
}

double dist(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// Distance from p to the segment a-b.
double distToSegment(QPointF p, QPointF a, QPointF b)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return dist(p, QPointF(a.x() + t * dx, a.y() + t * dy));
}

double orient(QPointF a, QPointF b, QPointF c)
{
    return (b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x());
}

bool near(QPointF a, QPointF b)
{
    return dist(a, b) < kSamePointTol;
}

void findBadPoints(const BlkRec& rec, OutlineFindings& out, std::array<bool, kPntSlots>& usable)
{
    usable.fill(false);
    for (int p = 1; p <= out.pntCnt; ++p) {
        usable[size_t(p)] = usableCoord(rec.PntX[size_t(p)]) && usableCoord(rec.PntY[size_t(p)]);
        if (!usable[size_t(p)])
            out.badPoints.append(qint16(p));
    }
}

// Sorts the segments into bad numbers, zero lengths and the graph. A segment
// at an unusable point is left out of the graph; that point is reported.
void classifySegments(const BlkRec& rec, OutlineFindings& out,
                      const std::array<bool, kPntSlots>& usable, Graph& g,
                      std::array<bool, kPntSlots>& named)
{
    named.fill(false);
    auto valid = [&](int p) { return p >= 1 && p <= out.pntCnt; };
    for (int i = 1; i <= out.lineCnt; ++i) {
        const int a = rec.LineSt[size_t(i)];
        const int b = rec.LineEd[size_t(i)];
        if (valid(a))
            named[size_t(a)] = true;
        if (valid(b))
            named[size_t(b)] = true;
        if (!valid(a) || !valid(b)) {
            out.badSegments.append(qint16(i));
            continue;
        }
        if (!usable[size_t(a)] || !usable[size_t(b)])
            continue;
        if (a == b || near(pointAt(rec, a), pointAt(rec, b)))
            out.zeroLengthSegments.append(qint16(i));
        // A segment between two coincident points still links them; only a
        // point joined to itself adds nothing to the outline.
        if (a != b)
            g.edges.push_back({qint16(i), qint16(a), qint16(b)});
    }
}

void findEndsAndBranches(OutlineFindings& out, const std::array<bool, kPntSlots>& usable,
                         const std::array<bool, kPntSlots>& named, const Graph& g)
{
    for (int p = 1; p <= out.pntCnt; ++p) {
        if (usable[size_t(p)] && !named[size_t(p)])
            out.loosePoints.append(qint16(p));
        if (g.degree[size_t(p)] == 1)
            out.openEnds.append(qint16(p));
        else if (g.degree[size_t(p)] >= 3)
            out.branchPoints.append(qint16(p));
    }
}

// Strips the dangling parts (trees hanging off the outline, open chains) so
// that only the 2-core is left; alive marks its edges, deg its degrees.
void pruneToCore(const Graph& g, std::vector<char>& alive, std::array<int, kPntSlots>& deg)
{
    alive.assign(g.edges.size(), 1);
    deg = g.degree;
    std::vector<int> stack;
    for (int p = 0; p < kPntSlots; ++p) {
        if (deg[size_t(p)] == 1)
            stack.push_back(p);
    }
    while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        if (deg[size_t(p)] != 1)
            continue;
        for (int k = g.first[size_t(p)]; k < g.first[size_t(p) + 1]; ++k) {
            const int e = g.incident[size_t(k)];
            if (!alive[size_t(e)])
                continue;
            alive[size_t(e)] = 0;
            deg[size_t(p)] = 0;
            const int q = g.other(e, p);
            if (--deg[size_t(q)] == 1)
                stack.push_back(q);
            break;
        }
    }
}

// Walks the cycle through edge `start`, every point of which has two live edges.
OutlineLoop walkLoop(const Graph& g, const std::vector<char>& alive, int start,
                     std::vector<char>& taken)
{
    OutlineLoop loop;
    int e = start;
    int p = g.edges[size_t(start)].a;
    do {
        taken[size_t(e)] = 1;
        loop.points.append(qint16(p));
        loop.segments.append(g.edges[size_t(e)].no);
        p = g.other(e, p);
        int next = start;
        for (int k = g.first[size_t(p)]; k < g.first[size_t(p) + 1]; ++k) {
            const int c = g.incident[size_t(k)];
            if (alive[size_t(c)] && c != e) {
                next = c;
                break;
            }
        }
        e = next;
    } while (e != start && !taken[size_t(e)]);
    return loop;
}

// The loops are the components of the 2-core in which every point has exactly
// two edges. A component with a branch (a chord, two loops at one point) is
// left unresolved: which way it closes is a guess.
void findLoops(OutlineFindings& out, const Graph& g)
{
    std::vector<char> alive;
    std::array<int, kPntSlots> deg{};
    pruneToCore(g, alive, deg);

    std::vector<int> comp(g.edges.size(), -1);
    std::vector<char> taken(g.edges.size(), 0);
    std::vector<int> queue;
    std::array<int, kPntSlots> seenAt{};
    seenAt.fill(-1);
    for (int s = 0; s < int(g.edges.size()); ++s) {
        if (!alive[size_t(s)] || comp[size_t(s)] >= 0)
            continue;
        bool simple = true;
        queue.assign(1, s);
        comp[size_t(s)] = s;
        for (size_t qi = 0; qi < queue.size(); ++qi) {
            const Edge& e = g.edges[size_t(queue[qi])];
            for (const int p : {int(e.a), int(e.b)}) {
                if (seenAt[size_t(p)] == s)
                    continue;
                seenAt[size_t(p)] = s;
                simple = simple && deg[size_t(p)] == 2;
                for (int k = g.first[size_t(p)]; k < g.first[size_t(p) + 1]; ++k) {
                    const int c = g.incident[size_t(k)];
                    if (alive[size_t(c)] && comp[size_t(c)] < 0) {
                        comp[size_t(c)] = s;
                        queue.push_back(c);
                    }
                }
            }
        }
        if (simple)
            out.loops.append(walkLoop(g, alive, s, taken));
    }

    std::array<bool, BlkRec::LineLast + 1> inLoop{};
    for (size_t e = 0; e < g.edges.size(); ++e) {
        if (taken[e])
            inLoop[size_t(g.edges[e].no)] = true;
    }
    for (int i = 1; i <= out.lineCnt; ++i) {
        if (!inLoop[size_t(i)])
            out.segmentsOutsideLoops.append(qint16(i));
    }
}

// Even-odd test of p against the polygon of a loop.
bool insideLoop(const BlkRec& rec, const OutlineLoop& loop, QPointF p)
{
    bool in = false;
    const qsizetype n = loop.points.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF a = pointAt(rec, loop.points[i]);
        const QPointF b = pointAt(rec, loop.points[(i + 1) % n]);
        if ((a.y() > p.y()) != (b.y() > p.y())) {
            const double x = a.x() + (p.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
            if (p.x() < x)
                in = !in;
        }
    }
    return in;
}

// Whether p lies on one of the loop's segments.
bool onLoop(const BlkRec& rec, const OutlineLoop& loop, QPointF p)
{
    const qsizetype n = loop.points.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (distToSegment(p, pointAt(rec, loop.points[i]), pointAt(rec, loop.points[(i + 1) % n])) <
            kSamePointTol)
            return true;
    }
    return false;
}

// A point that stands for the loop: the middle of one of its segments (unlike
// a corner, it does not lie on a loop that merely touches this one at a
// point), the first such middle that lies on no other loop. Loops that touch
// at the middle of a segment would otherwise count each other as enclosing.
QPointF standIn(const BlkRec& rec, const OutlineFindings& out, const OutlineLoop& loop)
{
    const qsizetype n = loop.points.size();
    QPointF first;
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF mid =
            (pointAt(rec, loop.points[i]) + pointAt(rec, loop.points[(i + 1) % n])) / 2;
        if (i == 0)
            first = mid;
        const bool clear =
            std::none_of(out.loops.begin(), out.loops.end(), [&](const OutlineLoop& other) {
                return &other != &loop && onLoop(rec, other, mid);
            });
        if (clear)
            return mid;
    }
    return first; // every middle on another loop: the loops lie along each other
}

void findDepths(const BlkRec& rec, OutlineFindings& out)
{
    for (OutlineLoop& loop : out.loops) {
        const QPointF at = standIn(rec, out, loop);
        for (const OutlineLoop& other : std::as_const(out.loops)) {
            if (&other != &loop && insideLoop(rec, other, at))
                ++loop.depth;
        }
    }
}

void findDuplicates(const BlkRec& rec, OutlineFindings& out,
                    const std::array<bool, kPntSlots>& usable)
{
    std::vector<int> order;
    for (int p = 1; p <= out.pntCnt; ++p) {
        if (usable[size_t(p)])
            order.push_back(p);
    }
    std::sort(order.begin(), order.end(),
              [&](int i, int j) { return rec.PntX[size_t(i)] < rec.PntX[size_t(j)]; });
    for (size_t i = 0; i < order.size(); ++i) {
        const QPointF pi = pointAt(rec, order[i]);
        for (size_t j = i + 1; j < order.size(); ++j) {
            if (rec.PntX[size_t(order[j])] - pi.x() >= kSamePointTol)
                break;
            if (near(pi, pointAt(rec, order[j]))) {
                const auto [lo, hi] = std::minmax(order[i], order[j]);
                out.duplicatePoints.append({qint16(lo), qint16(hi)});
            }
        }
    }
    std::sort(out.duplicatePoints.begin(), out.duplicatePoints.end(),
              [](const PointPair& x, const PointPair& y) {
                  return x.first != y.first ? x.first < y.first : x.second < y.second;
              });
}

struct Stretch
{
    qint16 no = 0;
    QPointF p;
    QPointF q;
    double xMin = 0;
    double xMax = 0;
    double yMin = 0;
    double yMax = 0;
};

// Segments that have both ends in common, or one end in common and fold back
// onto each other, overlap; neighbours that only share an end are fine.
bool sharedEndsOverlap(const Stretch& s, const Stretch& t, bool& anyShared)
{
    const bool pq = near(s.p, t.p);
    const bool pr = near(s.p, t.q);
    const bool qp = near(s.q, t.p);
    const bool qq = near(s.q, t.q);
    const int shared = int(pq || pr) + int(qp || qq);
    anyShared = shared > 0;
    if (shared == 0)
        return false;
    if (shared == 2)
        return true;
    const QPointF sFar = (pq || pr) ? s.q : s.p;
    const QPointF tFar = (pq || qp) ? t.q : t.p;
    return distToSegment(tFar, s.p, s.q) < kSamePointTol ||
           distToSegment(sFar, t.p, t.q) < kSamePointTol;
}

bool meet(const Stretch& s, const Stretch& t, SegmentCrossing& c)
{
    bool anyShared = false;
    if (sharedEndsOverlap(s, t, anyShared)) {
        c.kind = CrossingKind::Overlap;
        c.at = near(s.p, t.p) || near(s.p, t.q) ? s.p : s.q;
        return true;
    }
    if (anyShared)
        return false;

    // An end of one on the other: one such end is a touch, two mean the
    // segments lie along each other.
    const QPointF ends[4] = {t.p, t.q, s.p, s.q};
    const bool on[4] = {
        distToSegment(t.p, s.p, s.q) < kSamePointTol, distToSegment(t.q, s.p, s.q) < kSamePointTol,
        distToSegment(s.p, t.p, t.q) < kSamePointTol, distToSegment(s.q, t.p, t.q) < kSamePointTol};
    const int onCount = int(on[0]) + int(on[1]) + int(on[2]) + int(on[3]);
    if (onCount > 0) {
        c.kind = onCount >= 2 ? CrossingKind::Overlap : CrossingKind::Touch;
        c.at = ends[std::find(on, on + 4, true) - on];
        return true;
    }

    const double o1 = orient(s.p, s.q, t.p);
    const double o2 = orient(s.p, s.q, t.q);
    const double o3 = orient(t.p, t.q, s.p);
    const double o4 = orient(t.p, t.q, s.q);
    if (!((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) || !((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0)))
        return false;
    const double k = o3 / (o3 - o4); // where along s the line of t is met
    c.kind = CrossingKind::Cross;
    c.at = s.p + k * (s.q - s.p);
    // Collinear segments apart from each other give signs from rounding
    // noise alone; their "crossing" then lies off one of them.
    return distToSegment(c.at, t.p, t.q) < kSamePointTol;
}

// Pairs are swept in order of their left ends, so only segments whose x
// ranges overlap are compared.
void findCrossings(const BlkRec& rec, OutlineFindings& out, const Graph& g)
{
    std::vector<Stretch> segs;
    segs.reserve(g.edges.size());
    for (const Edge& e : g.edges) {
        Stretch s{e.no, pointAt(rec, e.a), pointAt(rec, e.b)};
        if (near(s.p, s.q))
            continue; // reported as zero length
        s.xMin = std::min(s.p.x(), s.q.x());
        s.xMax = std::max(s.p.x(), s.q.x());
        s.yMin = std::min(s.p.y(), s.q.y());
        s.yMax = std::max(s.p.y(), s.q.y());
        segs.push_back(s);
    }
    std::sort(segs.begin(), segs.end(),
              [](const Stretch& a, const Stretch& b) { return a.xMin < b.xMin; });
    for (size_t i = 0; i < segs.size(); ++i) {
        const Stretch& s = segs[i];
        for (size_t j = i + 1; j < segs.size(); ++j) {
            const Stretch& t = segs[j];
            if (t.xMin > s.xMax + kSamePointTol)
                break;
            if (t.yMin > s.yMax + kSamePointTol || s.yMin > t.yMax + kSamePointTol)
                continue;
            SegmentCrossing c;
            if (meet(s, t, c)) {
                c.first = std::min(s.no, t.no);
                c.second = std::max(s.no, t.no);
                out.crossings.append(c);
            }
        }
    }
    std::sort(out.crossings.begin(), out.crossings.end(),
              [](const SegmentCrossing& x, const SegmentCrossing& y) {
                  return x.first != y.first ? x.first < y.first : x.second < y.second;
              });
}

} // namespace

int OutlineFindings::holeCount() const
{
    return int(std::count_if(loops.begin(), loops.end(),
                             [](const OutlineLoop& l) { return l.depth % 2 == 1; }));
}

OutlineFindings analyzeOutline(const BlkRec& rec)
{
    OutlineFindings out;
    out.pntCnt = std::clamp<qint16>(rec.PntCnt, 0, BlkRec::PntLast);
    out.lineCnt = std::clamp<qint16>(rec.LineCnt, 0, BlkRec::LineLast);

    std::array<bool, kPntSlots> usable{};
    std::array<bool, kPntSlots> named{};
    Graph g;
    g.edges.reserve(size_t(out.lineCnt));
    findBadPoints(rec, out, usable);
    classifySegments(rec, out, usable, g, named);
    g.index();
    findEndsAndBranches(out, usable, named, g);
    findLoops(out, g);
    findDepths(rec, out);
    findDuplicates(rec, out, usable);
    findCrossings(rec, out, g);
    return out;
}

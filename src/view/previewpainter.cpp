#include "view/previewpainter.h"

#include "view/sectionpainter.h"

#include <QPainter>
#include <QPen>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Clipping leaves ends this far outside the picture, so that the drawn part
// keeps the slope of the whole segment.
constexpr double kClipPad = 2;

struct Box
{
    double x0, y0, x1, y1;
};

bool validPoint(int n)
{
    return n >= 1 && n <= BlkRec::PntLast;
}

bool finitePoint(const BlkRec& rec, int n)
{
    return std::isfinite(rec.PntX[n]) && std::isfinite(rec.PntY[n]);
}

// The segments that can be drawn at all: both ends named within the table.
template <typename Fn> void forEachSegment(const BlkRec& rec, Fn fn)
{
    const int n = std::clamp<int>(rec.LineCnt, 0, BlkRec::LineLast);
    for (int i = 1; i <= n; ++i) {
        const int a = rec.LineSt[i];
        const int b = rec.LineEd[i];
        if (validPoint(a) && validPoint(b) && finitePoint(rec, a) && finitePoint(rec, b))
            fn(a, b);
    }
}

std::optional<Box> pointsExtent(const BlkRec& rec)
{
    std::optional<Box> box;
    auto take = [&](int n) {
        const double x = rec.PntX[n];
        const double y = rec.PntY[n];
        if (!box) {
            box = Box{x, y, x, y};
            return;
        }
        box->x0 = std::min(box->x0, x);
        box->y0 = std::min(box->y0, y);
        box->x1 = std::max(box->x1, x);
        box->y1 = std::max(box->y1, y);
    };
    forEachSegment(rec, [&](int a, int b) {
        take(a);
        take(b);
    });
    return box;
}

std::optional<Box> fitBox(const BlkRec& rec)
{
    if (std::isfinite(rec.B) && std::isfinite(rec.H) && rec.B > 0 && rec.H > 0)
        return Box{0, 0, rec.B, rec.H};
    return pointsExtent(rec);
}

// Which sides of r a point lies beyond.
unsigned outside(double x, double y, const QRectF& r)
{
    return (x < r.left() ? 1u : 0u) | (x > r.right() ? 2u : 0u) | (y < r.top() ? 4u : 0u) |
           (y > r.bottom() ? 8u : 0u);
}

// Cohen-Sutherland: clips a-b to r in place; false when nothing is inside.
// Each crossing is computed from the end nearer to the edge, so that a huge
// coordinate at the far end does not cost the visible part its precision.
bool clip(double& ax, double& ay, double& bx, double& by, const QRectF& r)
{
    for (int pass = 0; pass < 8; ++pass) {
        const unsigned ca = outside(ax, ay, r);
        const unsigned cb = outside(bx, by, r);
        if ((ca | cb) == 0)
            return true;
        if ((ca & cb) != 0)
            return false;
        const bool moveA = ca != 0;
        double& ox = moveA ? ax : bx;
        double& oy = moveA ? ay : by;
        const double ix = moveA ? bx : ax;
        const double iy = moveA ? by : ay;
        const unsigned c = moveA ? ca : cb;
        if (c & 3u) {
            const double ex = (c & 1u) ? r.left() : r.right();
            const double slope = (oy - iy) / (ox - ix);
            oy = std::abs(ox - ex) < std::abs(ix - ex) ? oy + (ex - ox) * slope
                                                       : iy + (ex - ix) * slope;
            ox = ex;
        } else {
            const double ey = (c & 4u) ? r.top() : r.bottom();
            const double slope = (ox - ix) / (oy - iy);
            ox = std::abs(oy - ey) < std::abs(iy - ey) ? ox + (ey - oy) * slope
                                                       : ix + (ey - iy) * slope;
            oy = ey;
        }
        if (!std::isfinite(ox) || !std::isfinite(oy))
            return false;
    }
    return outside(ax, ay, r) == 0 && outside(bx, by, r) == 0;
}

} // namespace

PreviewPainter::Frame PreviewPainter::frame(const BlkRec& rec, QSize size)
{
    const std::optional<Box> box = fitBox(rec);
    const double w = size.width();
    const double h = size.height();
    if (!box || w <= 0 || h <= 0)
        return {};
    const double bw = box->x1 - box->x0;
    const double bh = box->y1 - box->y0;
    const double k = std::min(w / (bw + 1), h / (bh + 1));
    // Halves first: the sum of two huge coordinates could overflow.
    const double left = box->x0 / 2 + box->x1 / 2 - (w / 2) / k;
    const double top = box->y0 / 2 + box->y1 / 2 + (h / 2) / k;
    if (!std::isfinite(k) || !(k > 0) || !std::isfinite(left) || !std::isfinite(top))
        return {};
    return {k, left, top};
}

void PreviewPainter::paint(QPainter& p, QSize size, const BlkRec& rec)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(QPoint(0, 0), size), Palette::Back);
    const Frame f = frame(rec, size);
    if (f.k > 0) {
        QPen pen(Palette::Fore, 1);
        pen.setCosmetic(true);
        p.setPen(pen);
        const QRectF area(-kClipPad, -kClipPad, size.width() + 2 * kClipPad,
                          size.height() + 2 * kClipPad);
        forEachSegment(rec, [&](int a, int b) {
            double ax = (rec.PntX[a] - f.left) * f.k;
            double ay = (f.top - rec.PntY[a]) * f.k;
            double bx = (rec.PntX[b] - f.left) * f.k;
            double by = (f.top - rec.PntY[b]) * f.k;
            for (double d : {ax, ay, bx, by})
                if (!std::isfinite(d))
                    return;
            if (!clip(ax, ay, bx, by, area))
                return;
            p.drawLine(QPoint(int(std::floor(ax)), int(std::floor(ay))),
                       QPoint(int(std::floor(bx)), int(std::floor(by))));
        });
    }
    p.restore();
}

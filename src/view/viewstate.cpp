#include "view/viewstate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Drawing-area size. The fields are 16-bit; the difference is taken in int so
// that it cannot wrap.
int areaWidth(const ViewState& v)
{
    return int(v.Gz_xmax) - int(v.Gz_xmin);
}
int areaHeight(const ViewState& v)
{
    return int(v.Gz_ymax) - int(v.Gz_ymin);
}

// Damaged data can hold any finite number. The whole section keeps within
// this bound, far inside the double range, so that its margins and its fit
// never overflow; a point beyond it lies outside the whole-section view.
constexpr double kFarthest = 1e300;

// How closely a new view's rectangle must fill the drawing area. Zoomed in
// far from the origin, doubles can no longer place the edges that precisely;
// such a view cannot be represented and is refused.
constexpr double kFillTolerance = 1e-10;

// Widens [mn, mx] on both sides: by frac of the span when the span is at least
// 10 m, else by the fixed amount. Both ends come from the old values.
void addMargins(double& mn, double& mx, double frac, double fixed)
{
    const double s = mx - mn;
    const double d = s >= 10 ? s * frac : fixed;
    const double newMax = mx + d;
    const double newMin = mn - d;
    mx = newMax;
    mn = newMin;
}

// A scale that every division and multiplication of the transforms can use:
// positive, finite and not so small that dividing by it overflows.
bool usableScale(double scl)
{
    return std::isnormal(scl) && scl > 0;
}

// Whether [lo, hi] at scale scl spans the given pixels: finite edges, a
// finite positive span, and the span filling the pixels to within the
// tolerance.
bool fillsArea(double lo, double hi, int pixels, double scl)
{
    const double span = hi - lo;
    return pixels > 0 && std::isfinite(lo) && std::isfinite(hi) && std::isfinite(span) &&
           span > 0 && std::abs(span * scl - pixels) <= kFillTolerance * pixels;
}

// Scale scl with the visible rectangle filling the drawing area about (cx, cy);
// false, and v untouched, when that view cannot be represented: the scale at
// either end of the double range, absurd coordinates, or edges that doubles
// cannot place this far from the origin.
bool setView(ViewState& v, double scl, double cx, double cy)
{
    if (!usableScale(scl) || !std::isfinite(cx) || !std::isfinite(cy))
        return false;
    const int w = areaWidth(v);
    const int h = areaHeight(v);
    const double halfW = w / scl / 2;
    const double halfH = h / scl / 2;
    const double xmin = cx - halfW;
    const double ymin = cy - halfH;
    const double xmax = cx + halfW;
    const double ymax = cy + halfH;
    if (!fillsArea(xmin, xmax, w, scl) || !fillsArea(ymin, ymax, h, scl))
        return false;
    v.Dan_scl = scl;
    v.Dan_xmin = xmin;
    v.Dan_ymin = ymin;
    v.Dan_xmax = xmax;
    v.Dan_ymax = ymax;
    v.Dan_xc = cx;
    v.Dan_yc = cy;
    return true;
}

// Mk_Dan_scl's fit of the visible rectangle; false, and v untouched, when it
// has no representable fit (an empty drawing area included).
bool fitToArea(ViewState& v)
{
    const double sx = areaWidth(v) / (v.Dan_xmax - v.Dan_xmin);
    const double sy = areaHeight(v) / (v.Dan_ymax - v.Dan_ymin);
    const double scl = sx < sy ? sx : sy;
    // Halving first: the sum of two far edges may not be finite.
    return setView(v, scl, v.Dan_xmax / 2 + v.Dan_xmin / 2, v.Dan_ymax / 2 + v.Dan_ymin / 2);
}

// A rectangle zoom ends by fitting the new rectangle, set in z, a copy of the
// view. Only a representable result replaces the view; anything else leaves it
// exactly as it was, like a rectangle below the minimum.
ZoomResult commitZoom(ViewState& v, ViewState z)
{
    if (!fitToArea(z))
        return ZoomResult::TooSmall;
    v = z;
    return ZoomResult::Zoomed;
}

// Rounds down into the 16-bit range. Values beyond it (and NaN, which has no
// position at all) are clamped in double first: converting an out-of-range
// double to an integer is undefined.
qint16 floorTo16(double d)
{
    constexpr double lo = std::numeric_limits<qint16>::min();
    constexpr double hi = std::numeric_limits<qint16>::max();
    if (std::isnan(d))
        return qint16(lo);
    return qint16(std::clamp(std::floor(d), lo, hi));
}

} // namespace

void Mk_Dan_xyminmax(ViewState& v, const BlkRec& blk)
{
    constexpr double sentinel = 999.9;
    double xmin = sentinel;
    double ymin = sentinel;
    double xmax = -sentinel;
    double ymax = -sentinel;
    // A damaged record may carry a count beyond the table.
    const int n = std::min<int>(blk.PntCnt, BlkRec::PntLast);
    for (int i = 1; i <= n; ++i) {
        const double x = blk.PntX[i];
        const double y = blk.PntY[i];
        // The reader never yields these, but a point without a place must
        // not take the whole section with it.
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        if (x < xmin)
            xmin = x;
        if (x > xmax)
            xmax = x;
        if (y < ymin)
            ymin = y;
        if (y > ymax)
            ymax = y;
    }
    if (xmin == sentinel)
        xmin = 0;
    if (xmax == -sentinel)
        xmax = 10;
    if (ymin == sentinel)
        ymin = 0;
    if (ymax == -sentinel)
        ymax = 10;
    // The sentinels keep each range reaching to within 999.9 m of the origin,
    // so however far out the points are, the span is as large as their
    // distance and the fit can place the edges; only the size needs a bound.
    for (double* d : {&xmin, &xmax, &ymin, &ymax})
        *d = std::clamp(*d, -kFarthest, kFarthest);
    addMargins(xmin, xmax, 0.1, 1);
    addMargins(ymin, ymax, 0.1, 1);
    v.Dan_xmin = v.Zen_xmin = xmin;
    v.Dan_xmax = v.Zen_xmax = xmax;
    v.Dan_ymin = v.Zen_ymin = ymin;
    v.Dan_ymax = v.Zen_ymax = ymax;
}

void Mk_Dan_scl(ViewState& v)
{
    if (areaWidth(v) <= 0 || areaHeight(v) <= 0) {
        // Nothing to fit into (a hidden or collapsed area): mark the view as
        // not ready rather than divide by zero.
        v.Dan_scl = 0;
        return;
    }
    // A rectangle without a representable fit (set by hand; the whole
    // section always has one) leaves the view as it was.
    fitToArea(v);
}

void Set_Dan_scl(ViewState& v, qint16 SclSw, double x, double y)
{
    if (!usableScale(v.Dan_scl))
        return;
    // The scale has no bound of its own; a step only fails where the view
    // could no longer be represented, and then changes nothing.
    setView(v, v.Dan_scl * (SclSw == 0 ? 1.25 : 0.75), x, y);
}

void GzToKz(const ViewState& v, int gx, int gy, double& x, double& y)
{
    if (!usableScale(v.Dan_scl)) {
        x = v.Dan_xmin;
        y = v.Dan_ymax;
        return;
    }
    x = (gx - v.Gz_xmin) / v.Dan_scl + v.Dan_xmin;
    y = v.Dan_ymax - (gy - v.Gz_ymin) / v.Dan_scl;
}

void KzToGz(const ViewState& v, double x, double y, qint16& gx, qint16& gy)
{
    gx = floorTo16((x - v.Dan_xmin) * v.Dan_scl);
    gy = floorTo16((v.Dan_ymax - y) * v.Dan_scl);
}

ZoomResult Kakudai_rect(ViewState& v, int gxa, int gya, int gxb, int gyb)
{
    if (!(v.Dan_scl > 0))
        return ZoomResult::NotReady;
    double xa = 0, ya = 0, xb = 0, yb = 0;
    GzToKz(v, gxa, gya, xa, ya);
    GzToKz(v, gxb, gyb, xb, yb);
    // Written so that a NaN counts as too small.
    if (!(std::abs(xa - xb) >= 0.3) || !(std::abs(ya - yb) >= 0.3))
        return ZoomResult::TooSmall;
    ViewState z = v;
    z.Dan_xmin = std::min(xa, xb);
    z.Dan_xmax = std::max(xa, xb);
    z.Dan_ymin = std::min(ya, yb);
    z.Dan_ymax = std::max(ya, yb);
    addMargins(z.Dan_xmin, z.Dan_xmax, 0.01, 0.1);
    addMargins(z.Dan_ymin, z.Dan_ymax, 0.01, 0.1);
    return commitZoom(v, z);
}

ZoomResult Shukusho_rect(ViewState& v, int gxa, int gya, int gxb, int gyb)
{
    if (!(v.Dan_scl > 0))
        return ZoomResult::NotReady;
    double xa = 0, ya = 0, xb = 0, yb = 0;
    GzToKz(v, gxa, gya, xa, ya);
    GzToKz(v, gxb, gyb, xb, yb);
    if (!(std::abs(xa - xb) >= 0.01) || !(std::abs(ya - yb) >= 0.01))
        return ZoomResult::TooSmall;
    const double rx = (xb + xa) / 2;
    const double ry = (ya + yb) / 2;
    // Halving first, as in the fit.
    const double vx = v.Dan_xmax / 2 + v.Dan_xmin / 2;
    const double vy = v.Dan_ymin / 2 + v.Dan_ymax / 2;
    const double right = v.Dan_xmax - rx;
    const double left = rx - v.Dan_xmin;
    const double top = v.Dan_ymax - ry;
    const double bottom = ry - v.Dan_ymin;
    const double kx = std::abs(xa - xb) / (v.Dan_xmax - v.Dan_xmin);
    const double ky = std::abs(ya - yb) / (v.Dan_ymax - v.Dan_ymin);
    const double k = kx < ky ? kx : ky;
    // Repeated, this overflows at the end of the double range; the fit of the
    // copy then fails and the view stays.
    ViewState z = v;
    z.Dan_xmax = vx + right / k;
    z.Dan_xmin = vx - left / k;
    z.Dan_ymax = vy + top / k;
    z.Dan_ymin = vy - bottom / k;
    return commitZoom(v, z);
}

namespace {

// The distance the view moves for a change of d units on a bar of the given
// range, r being the reach from the view centre to the farther edge of the
// whole section.
double scrollShift(int d, int min, int max, double r)
{
    if (max <= min)
        return 0;
    return double(d) / double(max - min) * r * 2;
}

qint16 to16(int value)
{
    return qint16(std::clamp<int>(value, std::numeric_limits<qint16>::min(),
                                  std::numeric_limits<qint16>::max()));
}

// Moves [lo, hi] by shift unless that takes it beyond the double range
// (zoomed far out, the shift can be near the largest double) or the move is
// so large against the range that doubles lose it.
bool shiftRange(double& lo, double& hi, double shift)
{
    const double newLo = lo + shift;
    const double newHi = hi + shift;
    const bool collapses = hi > lo && !(newHi > newLo);
    if (!std::isfinite(newLo) || !std::isfinite(newHi) || !std::isfinite(newHi - newLo) ||
        collapses)
        return false;
    lo = newLo;
    hi = newHi;
    return true;
}

} // namespace

bool HScroll_change(ViewState& v, ScrollState& s, int value, int min, int max)
{
    if (s.HScl_sw != 0)
        return false;
    const int d = int(to16(value)) - int(s.HScl_val);
    const double r = std::max(std::abs(v.Zen_xmax - v.Dan_xc), std::abs(v.Zen_xmin - v.Dan_xc));
    if (!shiftRange(v.Dan_xmin, v.Dan_xmax, scrollShift(d, min, max, r)))
        return false;
    s.HScl_val = to16(value);
    return true;
}

bool VScroll_change(ViewState& v, ScrollState& s, int value, int min, int max)
{
    if (s.VScl_sw != 0)
        return false;
    const int d = int(to16(value)) - int(s.VScl_val);
    const double r = std::max(std::abs(v.Zen_ymax - v.Dan_yc), std::abs(v.Zen_ymin - v.Dan_yc));
    // The bar grows downward, world Y upward.
    if (!shiftRange(v.Dan_ymin, v.Dan_ymax, -scrollShift(d, min, max, r)))
        return false;
    s.VScl_val = to16(value);
    return true;
}

bool Zoom_at(ViewState& v, qint16 SclSw, int gx, int gy)
{
    if (!usableScale(v.Dan_scl))
        return false;
    double x = 0, y = 0;
    GzToKz(v, gx, gy, x, y);
    const double scl = v.Dan_scl * (SclSw == 0 ? 1.25 : 0.75);
    // The centre that puts (x, y) back under the same pixel at the new scale.
    const double cx = x + (areaWidth(v) / 2.0 - (gx - v.Gz_xmin)) / scl;
    const double cy = y - (areaHeight(v) / 2.0 - (gy - v.Gz_ymin)) / scl;
    return setView(v, scl, cx, cy);
}

bool Pan_view(ViewState& v, int dx, int dy)
{
    if (!usableScale(v.Dan_scl))
        return false;
    ViewState p = v;
    // Dragging to the right brings what lies to the left into view.
    if (!shiftRange(p.Dan_xmin, p.Dan_xmax, -dx / v.Dan_scl) ||
        !shiftRange(p.Dan_ymin, p.Dan_ymax, dy / v.Dan_scl))
        return false;
    v = p;
    return true;
}

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

// Scale scl with the visible rectangle filling the drawing area about (cx, cy);
// false, and v untouched, when that view has no finite numbers (the scale
// at either end of the double range, or absurd coordinates).
bool setView(ViewState& v, double scl, double cx, double cy)
{
    if (!usableScale(scl))
        return false;
    const double halfW = areaWidth(v) / scl / 2;
    const double halfH = areaHeight(v) / scl / 2;
    const double xmin = cx - halfW;
    const double ymin = cy - halfH;
    const double xmax = cx + halfW;
    const double ymax = cy + halfH;
    for (double d : {xmin, ymin, xmax, ymax})
        if (!std::isfinite(d))
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
        if (blk.PntX[i] < xmin)
            xmin = blk.PntX[i];
        if (blk.PntX[i] > xmax)
            xmax = blk.PntX[i];
        if (blk.PntY[i] < ymin)
            ymin = blk.PntY[i];
        if (blk.PntY[i] > ymax)
            ymax = blk.PntY[i];
    }
    if (xmin == sentinel)
        xmin = 0;
    if (xmax == -sentinel)
        xmax = 10;
    if (ymin == sentinel)
        ymin = 0;
    if (ymax == -sentinel)
        ymax = 10;
    addMargins(xmin, xmax, 0.1, 1);
    addMargins(ymin, ymax, 0.1, 1);
    v.Dan_xmin = v.Zen_xmin = xmin;
    v.Dan_xmax = v.Zen_xmax = xmax;
    v.Dan_ymin = v.Zen_ymin = ymin;
    v.Dan_ymax = v.Zen_ymax = ymax;
}

void Mk_Dan_scl(ViewState& v)
{
    const int w = areaWidth(v);
    const int h = areaHeight(v);
    if (w <= 0 || h <= 0) {
        // Nothing to fit into (a hidden or collapsed area): mark the view as
        // not ready rather than divide by zero.
        v.Dan_scl = 0;
        return;
    }
    const double sx = w / (v.Dan_xmax - v.Dan_xmin);
    const double sy = h / (v.Dan_ymax - v.Dan_ymin);
    const double scl = sx < sy ? sx : sy;
    // An empty, inverted or unbounded rectangle (absurd coordinates from a
    // damaged file) has no scale; the view then stays as it was.
    setView(v, scl, (v.Dan_xmax + v.Dan_xmin) / 2, (v.Dan_ymax + v.Dan_ymin) / 2);
}

void Set_Dan_scl(ViewState& v, qint16 SclSw, double x, double y)
{
    if (!usableScale(v.Dan_scl))
        return;
    // The scale has no bound of its own; a step only fails where the view's
    // numbers would stop being finite, and then changes nothing.
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
    v.Dan_xmin = std::min(xa, xb);
    v.Dan_xmax = std::max(xa, xb);
    v.Dan_ymin = std::min(ya, yb);
    v.Dan_ymax = std::max(ya, yb);
    addMargins(v.Dan_xmin, v.Dan_xmax, 0.01, 0.1);
    addMargins(v.Dan_ymin, v.Dan_ymax, 0.01, 0.1);
    Mk_Dan_scl(v);
    return ZoomResult::Zoomed;
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
    const double vx = (v.Dan_xmax + v.Dan_xmin) / 2;
    const double vy = (v.Dan_ymin + v.Dan_ymax) / 2;
    const double right = v.Dan_xmax - rx;
    const double left = rx - v.Dan_xmin;
    const double top = v.Dan_ymax - ry;
    const double bottom = ry - v.Dan_ymin;
    const double kx = std::abs(xa - xb) / (v.Dan_xmax - v.Dan_xmin);
    const double ky = std::abs(ya - yb) / (v.Dan_ymax - v.Dan_ymin);
    const double k = kx < ky ? kx : ky;
    v.Dan_xmax = vx + right / k;
    v.Dan_xmin = vx - left / k;
    v.Dan_ymax = vy + top / k;
    v.Dan_ymin = vy - bottom / k;
    Mk_Dan_scl(v);
    return ZoomResult::Zoomed;
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

} // namespace

bool HScroll_change(ViewState& v, ScrollState& s, int value, int min, int max)
{
    if (s.HScl_sw != 0)
        return false;
    const int d = int(to16(value)) - int(s.HScl_val);
    const double r = std::max(std::abs(v.Zen_xmax - v.Dan_xc), std::abs(v.Zen_xmin - v.Dan_xc));
    const double shift = scrollShift(d, min, max, r);
    v.Dan_xmin += shift;
    v.Dan_xmax += shift;
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
    const double shift = -scrollShift(d, min, max, r);
    v.Dan_ymin += shift;
    v.Dan_ymax += shift;
    s.VScl_val = to16(value);
    return true;
}

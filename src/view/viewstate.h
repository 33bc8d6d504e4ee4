#pragma once

#include "document/blkrec.h"

#include <QtGlobal>

// The link between the block's world (metres, Y up) and the drawing area's
// pixels (origin top left, y down): the visible world rectangle, its centre,
// one scale for both axes, the drawing area's size and the whole-section
// rectangle that 全表示 shows. Every field is 0 before the first fit.
struct ViewState
{
    double Dan_xmin = 0;
    double Dan_xmax = 0;
    double Dan_ymin = 0;
    double Dan_ymax = 0;
    double Dan_xc = 0;
    double Dan_yc = 0;
    double Dan_scl = 0; // pixels per metre
    qint16 Gz_xmin = 0;
    qint16 Gz_ymin = 0;
    qint16 Gz_xmax = 0; // width of the drawing area in pixels
    qint16 Gz_ymax = 0; // height of the drawing area in pixels
    double Zen_xmin = 0;
    double Zen_xmax = 0;
    double Zen_ymin = 0;
    double Zen_ymax = 0;
};

// A view is representable when all its Dan_ numbers are finite, the scale is
// positive and the visible rectangle fills the drawing area to within 1e-10
// of its size in both directions. Fits and zooms produce only representable
// views: one that would not be (at either end of the double range, or zoomed
// in so far from the origin that doubles cannot place the edges) is ignored
// and the view stays exactly as it was.

// Whole-section rectangle of the block's points with its margins, made both the
// visible and the whole-section rectangle. Scale and centre are left alone.
// Points with a non-finite coordinate are skipped and extents are held within
// +-1e300 m, so that for any drawing area Mk_Dan_scl finds a representable
// fit for it.
void Mk_Dan_xyminmax(ViewState& v, const BlkRec& blk);

// Fits the visible rectangle to the drawing area about its centre. An empty
// drawing area sets the scale to 0 (not ready); a rectangle without a
// representable fit (empty, inverted, unbounded) leaves the view unchanged.
void Mk_Dan_scl(ViewState& v);

// One zoom step about world point (x, y): x1.25 when SclSw is 0, else x0.75.
// The scale is unbounded, but a step to a view that cannot be represented
// changes nothing; neither does any step before a fit.
void Set_Dan_scl(ViewState& v, qint16 SclSw, double x, double y);

// Pixel position to world position, without rounding. Before a fit (scale
// not positive) every pixel gives (Dan_xmin, Dan_ymax).
void GzToKz(const ViewState& v, int gx, int gy, double& x, double& y);

// World position to pixel position, rounded down; results beyond the 16-bit
// range (extreme zoom) are clamped to it rather than wrapped, and a NaN gives
// -32768 (off the area).
void KzToGz(const ViewState& v, double x, double y, qint16& gx, qint16& gy);

// What a rectangle zoom did, so that the window knows what to redraw.
enum class ZoomResult
{
    NotReady, // no fit yet (scale not positive): nothing to do
    TooSmall, // rectangle below the minimum, or a zoom that cannot be
              // represented: the view is unchanged
    Zoomed    // the view changed: reset the scroll bars and repaint
};

// Enlarges the rectangle between two pixel corners to fill the drawing area
// (margins 1 % or 0.1 m); ignored below 0.3 m in either direction. A zoom
// whose view cannot be represented is ignored in the same way (TooSmall).
ZoomResult Kakudai_rect(ViewState& v, int gxa, int gya, int gxb, int gyb);

// Shrinks the whole current view into the rectangle between two pixel corners;
// ignored below 0.01 m in either direction, and like Kakudai_rect when the
// shrunk view cannot be represented (repeated, it reaches the end of the
// double range).
ZoomResult Shukusho_rect(ViewState& v, int gxa, int gya, int gxb, int gyb);

// The scroll bars' reference values and the guards that make the change
// handlers ignore values the program sets itself.
struct ScrollState
{
    static constexpr int Neutral = 50;
    qint16 HScl_val = Neutral;
    qint16 VScl_val = Neutral;
    qint16 HScl_sw = 0;
    qint16 VScl_sw = 0;
};

// The change handlers' arithmetic for a new bar value within [min, max]:
// returns false (and changes nothing) while the guard is set, or when the move
// would take an edge beyond the double range or be too large for doubles to
// keep the view's width; otherwise moves the visible rectangle by the
// difference to the last handled value.
bool HScroll_change(ViewState& v, ScrollState& s, int value, int min, int max);
bool VScroll_change(ViewState& v, ScrollState& s, int value, int min, int max);

// The wheel's zoom: one click-zoom step (x1.25 when SclSw is 0, else x0.75)
// that keeps the world point under pixel (gx, gy) under it. False, and the
// view unchanged, before a fit or where the view could not be represented.
bool Zoom_at(ViewState& v, qint16 SclSw, int gx, int gy);

// A drag of (dx, dy) pixels with the middle button: the visible rectangle
// follows the pointer; scale, centre and whole-section rectangle stay, as they
// do when scrolling. False, and nothing changed, where doubles cannot move it.
bool Pan_view(ViewState& v, int dx, int dy);

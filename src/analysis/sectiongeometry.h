#pragma once

#include "analysis/outline.h"
#include "document/blkrec.h"

#include <QPointF>

#include <vector>

// The extent of the section in metres, y upward.
struct SectionBounds
{
    double xMin = 0;
    double yMin = 0;
    double xMax = 0;
    double yMax = 0;

    double width() const { return xMax - xMin; }
    double height() const { return yMax - yMin; }
};

// The cross-section enclosed by the closed loops of the outline, filled by
// the even-odd rule: a loop inside another is a hole, one inside a hole is
// solid again, and loops that cross are still filled consistently.
//
// The section is cut into horizontal slabs at every corner height (and at
// every height where two loop segments cross). Inside a slab no corner and no
// crossing occurs, so the segments through it keep their left-to-right order
// and pair up into trapezoids: area, centroid and the area between any two
// heights are then exact for the polygons, with no sampling.
class SectionGeometry
{
public:
    SectionGeometry() = default; // no closed loop
    SectionGeometry(const BlkRec& rec, const OutlineFindings& outline);

    bool hasLoops() const { return mHasLoops; }
    double area() const { return mArea; }
    // Centre of the area; meaningless when the area is zero (see hasArea).
    QPointF centroid() const { return mCentroid; }
    bool hasArea() const { return mArea > kMinArea; }
    // Extent of the loops' corners; all zero without a loop.
    const SectionBounds& bounds() const { return mBounds; }

    // Area of the section below height y (0 below the section, the whole area
    // above it, 0 for NaN).
    double areaBelow(double y) const;
    // Area of the section between heights lo and hi (0 when hi <= lo).
    double bandArea(double lo, double hi) const;

    // The part of the section below height y: its area (as areaBelow) and the
    // centre of that area, exact like the whole one. The centre is NaN when
    // the part has no area worth one.
    struct Part
    {
        double area = 0;
        QPointF centroid;
    };
    Part partBelow(double y) const;

private:
    // Below a square millimetre the section has no area worth a centroid.
    static constexpr double kMinArea = 1.0e-6;

    struct Slab
    {
        double y0 = 0; // bottom and top height
        double y1 = 0;
        double w0 = 0; // total width of the section at y0 and at y1
        double w1 = 0;
        double below = 0;   // area of the section below y0
        double mxBelow = 0; // first moments of that area about the lower-left corner
        double myBelow = 0;
        // Inside the slab, the sum over its trapezoids of right² - left²
        // (x from the lower-left corner) is a0 + a1·s + a2·s², s = y - y0.
        double a0 = 0;
        double a1 = 0;
        double a2 = 0;
    };

    // A non-horizontal loop segment, lower end first.
    struct Edge
    {
        double yLo = 0;
        double yHi = 0;
        double xLo = 0;
        double xHi = 0;

        double xAt(double y) const;
    };

    void build(const std::vector<double>& cuts, std::vector<Edge>& edges);

    std::vector<Slab> mSlabs;
    SectionBounds mBounds;
    QPointF mCentroid;
    double mArea = 0;
    bool mHasLoops = false;
};

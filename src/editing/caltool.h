#pragma once

#include <QtGlobal>

// Plane vector arithmetic that the segment search rests on.

// The dot product (B - A) . (D - C).
double Vec_Dot(double ax, double ay, double bx, double by, double cx, double cy, double dx,
               double dy);

// Drops the perpendicular from P onto the line through (x1, y1) and (x2, y2).
// Returns -1 when the two points coincide (squared length below 1e-10) and
// leaves fx, fy untouched; otherwise writes the foot on the infinite line into
// fx, fy and returns 0 when it lies on the segment (ends included), 1 when it
// lies beyond either end.
qint16 Perp_Foot(double x1, double y1, double x2, double y2, double px, double py, double& fx,
                 double& fy);

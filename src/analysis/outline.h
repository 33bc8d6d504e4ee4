#pragma once

#include "document/blkrec.h"

#include <QList>
#include <QPointF>
#include <QtGlobal>

// Two points closer than this are one point, and a segment shorter than this
// has no length. A tenth of the block file's resolution (three decimals): two
// different stored coordinates are never merged, arithmetic noise always is.
inline constexpr double kSamePointTol = 0.0001;

// Coordinates beyond this many metres count as damaged. No block comes near
// it, and the bound keeps every product the geometry forms finite.
inline constexpr double kCoordLimit = 1.0e6;

// One closed loop of the outline: points and segments in walking order.
struct OutlineLoop
{
    QList<qint16> points;   // the first point is not repeated at the end
    QList<qint16> segments; // segments[i] joins points[i] and points[(i + 1) % n]
    int depth = 0;          // how many other loops enclose it; odd for a hole
};

enum class CrossingKind
{
    Cross,  // the interiors cross at one point
    Touch,  // an end of one lies on the other, not at one of its ends
    Overlap // they share a stretch (collinear, or the same segment twice)
};

struct SegmentCrossing
{
    qint16 first = 0; // segment numbers, first < second
    qint16 second = 0;
    CrossingKind kind = CrossingKind::Cross;
    QPointF at; // where they meet; for an overlap, an end of the shared stretch
};

struct PointPair
{
    qint16 first = 0; // point numbers, first < second
    qint16 second = 0;
};

// What the segments make of the points. Every list is in ascending order of
// its (first) number. Counts are those of the record, clamped to its arrays.
struct OutlineFindings
{
    qint16 pntCnt = 0;
    qint16 lineCnt = 0;
    QList<OutlineLoop> loops;
    QList<qint16> segmentsOutsideLoops; // segments 1..lineCnt that are in no loop
    QList<qint16> loosePoints;          // usable points that no segment names
    QList<qint16> openEnds;             // points at the end of exactly one segment
    QList<qint16> branchPoints;         // points in three segments or more
    QList<qint16> zeroLengthSegments;   // shorter than kSamePointTol, a point to itself included
    QList<PointPair> duplicatePoints;   // closer than kSamePointTol
    QList<SegmentCrossing> crossings;   // shared ends of neighbours are not crossings
    QList<qint16> badSegments;          // naming a point outside 1..pntCnt
    QList<qint16> badPoints;            // a coordinate not finite or beyond kCoordLimit

    int holeCount() const;
};

// Analyses the outline of any record, however damaged: counts are clamped,
// point numbers checked before use, and points with unusable coordinates are
// reported and left out, together with their segments.
OutlineFindings analyzeOutline(const BlkRec& rec);

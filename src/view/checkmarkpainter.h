#pragma once

#include "document/blkrec.h"
#include "view/viewstate.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QSize>
#include <QtGlobal>

class QPainter;

// What one finding of the block check points at in the drawing: point and
// segment numbers of the record, and positions in metres.
struct CheckMarks
{
    QList<qint16> points;
    QList<qint16> segments;
    QList<QPointF> positions;

    bool isEmpty() const { return points.isEmpty() && segments.isEmpty() && positions.isEmpty(); }
    bool operator==(const CheckMarks&) const = default;
};

// Orange-red: stands out on the black drawing and is never taken for the
// yellow of the selection.
inline const QColor kCheckMarkColor(255, 96, 32);

// Draws marks over a section that SectionPainter::paint() drew with the same
// view and area: a ring around each point, each segment again with a thick
// pen, a small cross at each position. Numbers outside 1..PntCnt or
// 1..LineCnt and marks far off the area are skipped; nothing is drawn before
// the view has a scale.
void paintCheckMarks(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                     const CheckMarks& marks);

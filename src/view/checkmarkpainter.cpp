#include "view/checkmarkpainter.h"

#include "view/sectionpainter.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRingRadius = 6; // pixels, just outside the five-pixel plus
constexpr int kCrossArm = 4;   // pixels from the centre of a cross to its tips
constexpr int kSegmentPen = 3; // wide enough to see over the white line
constexpr int kMarkPen = 2;

bool usableView(const ViewState& v)
{
    return std::isfinite(v.Dan_scl) && v.Dan_scl > 0;
}

QPen markPen(int width)
{
    QPen pen(kCheckMarkColor, width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// The area widened by a mark's reach: a mark centred outside it cannot show.
QRect reach(QSize area)
{
    const int m = kRingRadius + kMarkPen;
    return QRect(-m, -m, area.width() + 2 * m, area.height() + 2 * m);
}

void drawSegments(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                  const QList<qint16>& segments)
{
    p.setPen(markPen(kSegmentPen));
    const int lineCnt = std::min<int>(blk.LineCnt, BlkRec::LineLast);
    for (const qint16 i : segments) {
        QLine line;
        if (i >= 1 && i <= lineCnt && SectionPainter::segmentOnScreen(v, area, blk, i, line))
            p.drawLine(line);
    }
}

void drawRings(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
               const QList<qint16>& points)
{
    p.setPen(markPen(kMarkPen));
    const QRect near = reach(area);
    const int pntCnt = std::min<int>(blk.PntCnt, BlkRec::PntLast);
    for (const qint16 i : points) {
        if (i < 1 || i > pntCnt)
            continue;
        const QPoint c = SectionPainter::toScreen(v, blk.PntX[size_t(i)], blk.PntY[size_t(i)]);
        if (near.contains(c))
            p.drawEllipse(c, kRingRadius, kRingRadius);
    }
}

void drawCrosses(QPainter& p, QSize area, const ViewState& v, const QList<QPointF>& positions)
{
    p.setPen(markPen(kMarkPen));
    const QRect near = reach(area);
    for (const QPointF& at : positions) {
        const QPoint c = SectionPainter::toScreen(v, at.x(), at.y());
        if (!near.contains(c))
            continue;
        const int a = kCrossArm;
        p.drawLine(c + QPoint(-a, -a), c + QPoint(a, a));
        p.drawLine(c + QPoint(-a, a), c + QPoint(a, -a));
    }
}

} // namespace

void paintCheckMarks(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                     const CheckMarks& marks)
{
    if (!usableView(v) || marks.isEmpty())
        return;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, false); // like the rest of the drawing
    p.setBrush(Qt::NoBrush);
    p.setClipRect(QRect(QPoint(0, 0), area), Qt::IntersectClip);
    // Segments first, so the rings and crosses on them stay whole.
    drawSegments(p, area, v, blk, marks.segments);
    drawRings(p, area, v, blk, marks.points);
    drawCrosses(p, area, v, marks.positions);
    p.restore();
}

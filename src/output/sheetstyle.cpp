#include "output/sheetstyle.h"

#include "output/datasheet.h"

#include <QFontMetricsF>
#include <QPainter>

namespace SheetStyle {

QFont sheetFont(int pixelSize, bool bold)
{
    QFont f;
    f.setFamilies(DataSheet::fontFamilies());
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    // Glyphs are scaled far from the size they are laid out at: unhinted
    // advances keep the spacing true on paper.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void text(QPainter& p, const QRectF& r, Qt::Alignment align, const QString& s, const QFont& f,
          const QColor& c)
{
    p.setFont(f);
    p.setPen(c);
    const QString shown = QFontMetricsF(f, p.device()).elidedText(s, Qt::ElideRight, r.width());
    p.drawText(r, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

QPen linePen(const QColor& c, double width)
{
    QPen pen(c, width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void line(QPainter& p, QPointF a, QPointF b, const QColor& c, double width)
{
    p.setPen(linePen(c, width));
    p.drawLine(a, b);
}

void frame(QPainter& p, const QRectF& r, const QColor& c, double width)
{
    p.setPen(linePen(c, width));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

QString dateText(const QDate& d)
{
    if (!d.isValid())
        return {};
    return QStringLiteral("%1年%2月%3日").arg(d.year()).arg(d.month()).arg(d.day());
}

} // namespace SheetStyle

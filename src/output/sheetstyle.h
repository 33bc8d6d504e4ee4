#pragma once

#include <QColor>
#include <QDate>
#include <QFont>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

// The look the printed pages share (the data sheet, the catalogue's index):
// inks, the Japanese face, and the few drawing steps every table uses.
// Lengths are the pages' units, tenths of a millimetre.
namespace SheetStyle {

inline const QColor kInk{32, 32, 32};
inline const QColor kMuted{96, 96, 96};
inline const QColor kAccent{31, 58, 95};
inline const QColor kRule{64, 64, 64};
inline const QColor kHairline{184, 184, 184};
inline const QColor kHeaderFill{228, 233, 240};
inline const QColor kStripe{245, 246, 248};

// The sheet's face at a pixel size in page units.
QFont sheetFont(int pixelSize, bool bold = false);

// One line of text in r, cut with "…" where it would not fit.
void text(QPainter& p, const QRectF& r, Qt::Alignment align, const QString& s, const QFont& f,
          const QColor& c);

QPen linePen(const QColor& c, double width);
void line(QPainter& p, QPointF a, QPointF b, const QColor& c, double width);
void frame(QPainter& p, const QRectF& r, const QColor& c, double width);

// "2026年12月7日"; empty for an invalid date.
QString dateText(const QDate& d);

} // namespace SheetStyle

#pragma once

#include <QFontMetricsF>
#include <QRect>
#include <QWidget>
#include <QtMath>

#include <algorithm>

// Layout values of the dialogs are given in twips (1/1440 inch); they become
// pixels through the logical DPI of the screen the widget is on.
namespace Twips {

// The layouts were drawn for a 9-point Gothic face (13 pixels a line at 96
// DPI). A larger interface font enlarges them alike, so that no caption is
// cut off; with that font or a smaller one the factor is 1.
inline double fontScale(const QWidget& w)
{
    const double design = 13.0 * w.logicalDpiY() / 96.0;
    return std::max(1.0, QFontMetricsF(w.font()).height() / design);
}

inline int toPixelsX(const QWidget& w, int twips)
{
    return qRound(twips * w.logicalDpiX() * fontScale(w) / 1440.0);
}

inline int toPixelsY(const QWidget& w, int twips)
{
    return qRound(twips * w.logicalDpiY() * fontScale(w) / 1440.0);
}

inline int fromPixelsX(const QWidget& w, int pixels)
{
    return qRound(pixels * 1440.0 / (w.logicalDpiX() * fontScale(w)));
}

inline QRect toPixels(const QWidget& w, int left, int top, int width, int height)
{
    return {toPixelsX(w, left), toPixelsY(w, top), toPixelsX(w, width), toPixelsY(w, height)};
}

} // namespace Twips

#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include <QtMath>

// Layout values given in twips (1/1440 inch) in pixels at the logical DPI of
// the widget's screen.
class Twips
{
public:
    explicit Twips(const QWidget* w)
        : mDx(w->logicalDpiX() > 0 ? w->logicalDpiX() : 96),
          mDy(w->logicalDpiY() > 0 ? w->logicalDpiY() : 96)
    {
    }
    int x(int twips) const { return qRound(twips * mDx / 1440.0); }
    int y(int twips) const { return qRound(twips * mDy / 1440.0); }
    QSize size(int w, int h) const { return {x(w), y(h)}; }
    QRect rect(int left, int top, int w, int h) const { return {x(left), y(top), x(w), y(h)}; }

private:
    qreal mDx;
    qreal mDy;
};

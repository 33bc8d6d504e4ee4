#pragma once

#include "document/blkrec.h"

#include <QSize>

class QPainter;

// The outline preview of the shape-selection dialog: a block's segments in
// white on black, its specification box 0..B x 0..H fitted into the picture
// with half a metre to spare on every side. Paints onto any QPainter.
class PreviewPainter
{
public:
    // World metres to picture pixels: x = floor((X - left) * k),
    // y = floor((top - Y) * k). k is 0 when nothing can be drawn.
    struct Frame
    {
        double k = 0;
        double left = 0;
        double top = 0;
    };

    // The frame for a picture of the given size. The box is B x H when both
    // are positive and finite; otherwise the extent of the points the
    // segments join stands in for it, so that a block whose specification is
    // missing or broken still shows its outline.
    static Frame frame(const BlkRec& rec, QSize size);

    // Clears (0, 0)..size to black and draws the segments. Segments naming a
    // point outside 1..100 or a non-finite coordinate are skipped; the rest
    // are clipped to the picture before they become pixel positions, so a
    // point far outside never overflows.
    static void paint(QPainter& p, QSize size, const BlkRec& rec);
};

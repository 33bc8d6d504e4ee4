#pragma once

#include "document/blkrec.h"
#include "view/viewstate.h"

#include <QColor>
#include <QFont>
#include <QLine>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

#include <span>

class QPainter;

// The classic 16-colour palette entries the section view uses.
namespace Palette {
inline const QColor Grid(128, 128, 128);    // 8
inline const QColor Gravity(0, 255, 255);   // 11
inline const QColor PointMark(255, 0, 255); // 13
inline const QColor Band(255, 255, 0);      // 14: rubber bands and selections
inline const QColor Fore(255, 255, 255);    // 15: segments and text
inline const QColor Back(0, 0, 0);
inline const QColor Hint(192, 192, 192); // 7: guidance on the empty picture
} // namespace Palette

// Draws the whole section picture: black background, the optional grid,
// segments, numbered point marks and the centre of gravity. Paints onto any
// QPainter, so the same code serves the window and tests on a QImage.
class SectionPainter
{
public:
    // The colours of each part of the picture; the screen's palette unless
    // set otherwise.
    struct Colours
    {
        QColor back = Palette::Back;
        QColor grid = Palette::Grid;
        QColor segment = Palette::Fore;
        QColor pointMark = Palette::PointMark;
        QColor gravity = Palette::Gravity;
        QColor text = Palette::Fore;
    };

    // Dark lines on white, for paper.
    static Colours printColours();

    struct Options
    {
        bool grid = false;
        QFont font; // small UI font for point numbers and "G"
        Colours colours;
        // Lines one device pixel wide, as on screen. A print draws the area
        // under a scaling transform, one of its pixels a fixed length on
        // paper; with false, lines and dots are that wide too.
        bool cosmeticPens = true;
    };

    // The grid step in metres at scale scl: 1 m, or the smallest step of the
    // 1-2-5 sequence (2, 5, 10, 20, 50, ...) that keeps neighbouring lines
    // more than two pixels apart (step * scl >= 3). Infinite when scl is not
    // positive or no finite step is wide enough.
    static double gridStep(double scl);

    // The grid lines a repaint draws, at the multiples of gridStep: columns
    // of the vertical and rows of the horizontal lines, both ascending, within
    // 0..width and 0..height of the area (a fitted view's right and bottom
    // edges fall on pixel width and height, so a line there is kept, as its
    // truncated position gives it); and the truncated far ends of the grid,
    // bottom row and right column. The dotted pattern of vertical lines
    // starts at the bottom row going up, that of horizontal ones at column 0.
    // At most width / 3 + 3 columns and height / 3 + 3 rows at any zoom.
    struct GridLines
    {
        QList<int> columns;
        QList<int> rows;
        int bottom = 0;
        int right = 0;
    };
    static GridLines gridLines(const ViewState& v, QSize area);

    // Paints the area (0, 0)..area. Draws only the background while the
    // view has no usable scale (before the first fit). Segments are clipped
    // to just beyond the area, so any zoom draws them straight and in place;
    // segments naming a point outside 0..100 and marks far outside the area
    // are skipped. Grid lines are dotted three pixels on, three off. Text is
    // drawn without antialiasing, like everything else.
    static void paint(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                      const Options& opt);

    // Highlights the selected segments (solid yellow lines) and points (plus
    // and number in yellow) over a picture that paint() drew with the same
    // arguments, at the same positions. Numbers outside 1..LineCnt or
    // 1..PntCnt are skipped.
    static void paintSelection(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                               std::span<const qint16> lines, std::span<const qint16> points,
                               const Options& opt);

    // Segment i (0..LineLast) on the screen as paint() draws it: clipped to
    // just beyond the area, so its visible part keeps its place and slope at
    // any zoom. False when the view has no scale, nothing of the segment is
    // near the area, or it names a point outside the table.
    static bool segmentOnScreen(const ViewState& v, QSize area, const BlkRec& blk, int i,
                                QLine& line);

    // Screen position the painter uses for a world point: truncated toward
    // zero, clamped far outside any drawing area so that nothing overflows.
    static QPoint toScreen(const ViewState& v, double x, double y);

    // The five-pixel plus at pos (sets the painter's pen), and the label text
    // point numbers are shown with.
    static void plus(QPainter& p, QPoint pos, const QColor& c);
    static QString pointLabel(int n); // " 12 "

    // The segment (1..LineCnt) or point (1..PntCnt) a click would pick,
    // marked in cyan over the picture: the segment widened, the point ringed.
    // -1, or a number outside the tables, marks nothing.
    static void paintHover(QPainter& p, QSize area, const ViewState& v, const BlkRec& blk,
                           qint16 line, qint16 point);

    // One line of grey guidance in the middle of the area.
    static void paintHint(QPainter& p, QSize area, const QString& text, const QFont& font);

    // Rubber bands, drawn so that drawing the same band twice leaves the
    // picture as it was (XOR with palette 14).
    static void bandRect(QPainter& p, QPoint a, QPoint b);
    static void bandLine(QPainter& p, QPoint a, QPoint b);
};

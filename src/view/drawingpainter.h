#pragma once

#include "document/blkrec.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <functional>
#include <optional>

class QPainter;

// Drawing scales 1:N. N is the number of world millimetres one millimetre of
// paper stands for, so one metre of the block is 1000 / N mm on paper.
namespace DrawingScale {

// The scales a drawing of the section is offered and chosen at, largest first.
inline constexpr std::array<int, 8> Standard = {5, 10, 20, 25, 50, 100, 200, 500};

// Millimetres on paper for one metre of the block at 1:n.
constexpr double mmPerMetre(int n)
{
    return 1000.0 / n;
}

bool isStandard(int n);

// The scale as written on a drawing: "1:20".
QString text(int n);

// N of a scale typed as "1:20", "1/20" or "20" (blanks allowed around the
// parts); nullopt for anything else or an N that is not positive.
std::optional<int> parse(QStringView s);

// The largest standard scale (smallest N) whose drawing fits within frame:
// sizeAt(n) gives the drawing's extent in mm at 1:n, annotations of fixed
// paper size included. 0 when it fits at none of them.
int largestFitting(const std::function<QSizeF(int)>& sizeAt, QSizeF frame);

// The same for a plain extent of the block in metres.
int largestFitting(QSizeF metres, QSizeF frame);

// A scale beyond the standard ones for a drawing too large for 1:500: the
// smallest N of 1000, 2000, 5000, 10000, ... at which it fits; 0 when even
// 1:10^9 is too large (an empty frame).
int reducedFitting(const std::function<QSizeF(int)>& sizeAt, QSizeF frame);

} // namespace DrawingScale

// The section as a drawing for paper: white background, the outline in black
// lines 0.35 mm wide, point marks with their numbers (no two numbers
// overlapping), the centre-of-gravity symbol, dimension lines for B and H
// along the box 0..B x 0..H, and the scale written with a scale bar. It works
// in millimetres on paper at one drawing scale: whatever painter it is given
// must map one of its units to one millimetre (a PDF writer or printer scaled
// by resolution / 25.4, an SVG generator whose viewBox is in mm, an image
// scaled by dpi / 25.4). It needs no window: fonts only (QGuiApplication,
// offscreen is enough).
//
// Positions in the drawing's own frame are paper mm with the world origin at
// (0, 0) and y downward; paint() shifts that frame into the one given.
class DrawingPainter
{
public:
    // How dimension values are written: "B = 2.500 m" or, in the engineering
    // style of civil drawings, the bare "2.500".
    enum class DimensionText
    {
        Named,
        Plain
    };

    struct Options
    {
        int scale = 20;             // 1:N
        double outlineWidth = 0.35; // mm: outline segments
        double thinWidth = 0.18;    // mm: dimension, extension and symbol lines
        double textSize = 3.0;      // mm, font size of dimensions and scale
        double labelSize = 2.5;     // mm, font size of point numbers
        QStringList fontFamilies = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                    QStringLiteral("DejaVu Sans")};
        DimensionText dimensionText = DimensionText::Named;
        bool pointNumbers = true;
        bool dimensions = true;
        bool scaleNote = true; // "縮尺 1:20" and the scale bar below the drawing
    };

    // Where a point's number is written: its rectangle in the drawing's own
    // frame. Points whose number would overlap another's have none.
    struct Label
    {
        int point = 0;
        QString text;
        QRectF rect;
    };

    // World (x, y) in metres to the drawing's own frame at 1:scale.
    static QPointF toPaper(double x, double y, int scale);

    // The extent of everything paint() draws, in the drawing's own frame.
    // Empty (null) only for an invalid scale.
    static QRectF bounds(const BlkRec& blk, const Options& opt);

    // Size of the drawing in mm: bounds' size.
    static QSizeF size(const BlkRec& blk, const Options& opt);

    // The point numbers as paint() places them. Each number goes to the first
    // free place around its point (preferring the side away from the
    // outline's middle and places that no segment crosses); one that finds
    // no free place is left out.
    static QList<Label> pointLabels(const BlkRec& blk, const Options& opt);

    // Paints the drawing centred in frame (painter units = mm) in black on
    // whatever is there: the caller clears the paper. A drawing larger than
    // frame overflows it evenly on each side.
    static void paint(QPainter& p, const QRectF& frame, const BlkRec& blk, const Options& opt);

    // The largest standard scale at which the drawing, with opt's
    // annotations, fits frame (mm); 0 when none does.
    static int largestScale(const BlkRec& blk, const Options& opt, QSizeF frame);
    // For a drawing too large for 1:500: the reduced scale beyond the
    // standard ones that fits (DrawingScale::reducedFitting); 0 when none.
    static int reducedScale(const BlkRec& blk, const Options& opt, QSizeF frame);

    // The scale note on its own ("縮尺" "1:20" and a bar of round lengths),
    // for a sheet that places it apart from the drawing: its size in mm and
    // the note painted with its top-left corner at topLeft.
    static QSizeF scaleNoteSize(const Options& opt);
    static void paintScaleNote(QPainter& p, QPointF topLeft, const Options& opt);

    // The length in metres of one division of the scale bar at 1:scale (a
    // 1, 2, 5 x 10^k value at least 8 mm long) and how many divisions it has.
    static double scaleBarStep(int scale);
    static int scaleBarDivisions(int scale);

    // The dimension value as written: "B = 2.500 m" or "2.500".
    static QString dimensionText(const QString& name, double metres, DimensionText style);
};

#pragma once

#include "document/blkrec.h"
#include "document/figuresettings.h"

#include <QDate>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

// What the sheet tells besides the block itself: which file and when, and
// the unit weights and still-water levels its mass and buoyancy are figured
// with (the defaults, no levels, unless given).
struct DataSheetInfo
{
    QString fileName;      // the block file's name, "無題" when never saved
    bool modified = false; // the block differs from that file
    QDate date;            // the day of printing
    FigureSettings figures;
};

// The data sheet of one block on one A4 portrait page: title, the section as
// a drawing to scale (DrawingPainter) with the scale written and a scale
// bar, specification values, point table and layer table, file name and
// date; the mass figures, and with still-water levels set a table of the
// buoyancy at each. Printed at 100 %, the drawing measures true at its
// scale. All lengths are in tenths of a millimetre on the A4 page: whole
// numbers of them make usable font pixel sizes.
namespace DataSheet {

inline constexpr double PageWidth = 2100;
inline constexpr double PageHeight = 2970;

// Most rows of one column group of each table; more rows go into further
// groups side by side. 100 points and 51 layer rows fill four and three.
inline constexpr int PointRowsPerGroup = 25;
inline constexpr int LayerRowsPerGroup = 17;

// Where everything goes, in page units. A table's rectangle holds its
// heading and every group.
struct Layout
{
    QRectF title;
    QRectF section; // the drawing box
    QRectF scaleBar;
    QRectF spec;
    QRectF points;
    QRectF layers;
    QRectF footer;
    int pointGroups = 0;
    int pointRows = 0; // rows per group
    int layerGroups = 0;
    int layerRows = 0;
    // The water-level table with its heading and the notes below it; empty
    // without levels. Notes that find no room are counted in a last line.
    QRectF levels;
    int levelRows = 0;
    int levelNotes = 0; // note lines under the table, besides the legend
    // Rows and type of the tables and the 諸元 box: the usual ones, closer ones
    // where levels crowd the page and closer rows give a finer drawing.
    double rowHeight = 0;
    double headerRowHeight = 0;
    int tableFontSize = 0;
    double specRowHeight = 0;
    int specFontSize = 0;
};

// The layout for a block with the levels of s: the tables as large as
// their rows need (counts are taken within the record's limits), the
// section box in what is left.
Layout layout(const BlkRec& blk, const FigureSettings& s = {});

// The scale 1:N the section is drawn at: the largest standard scale at
// which the drawing fits the section box; a reduced scale beyond 1:500 for
// a block too large for any of them; 0 for a block with nothing to draw.
int sectionScale(const BlkRec& blk, const FigureSettings& s = {});

// Paints the sheet into target, in the painter's device coordinates
// (normally the whole page): the A4 page scaled to fit and centred. Any
// painter serves: a PDF writer, a printer, a print preview, an image.
void paint(QPainter& p, const QRectF& target, const BlkRec& blk, const DataSheetInfo& info);

// The font families the sheet's text is set in, in order of preference.
QStringList fontFamilies();

} // namespace DataSheet

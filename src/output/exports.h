#pragma once

#include "document/blkrec.h"
#include "output/datasheet.h"
#include "view/drawingpainter.h"
#include "view/sectionpainter.h"

#include <QSize>
#include <QString>

class QPrinter;
class QSaveFile;

// The outcome of an export: success, or the reason in Japanese to show the
// user. A failed export leaves no file behind (files are written to a
// temporary name and renamed only when complete), except what a printer
// itself may have started.
struct ExportResult
{
    QString reason; // empty on success

    bool ok() const { return reason.isEmpty(); }
    static ExportResult failed(const QString& why) { return {why}; }
};

// The look a picture of the section alone is drawn in: as on the screen
// (black, pixels, fitted to a size) or as a drawing to scale (white paper,
// millimetres, dimensions).
enum class SectionLook
{
    Screen,
    Drawing
};

// What an export of the section alone is drawn with.
struct SectionExport
{
    SectionLook look = SectionLook::Drawing;
    // Drawing look: its options; drawing.scale is 1:N, or 0 for the scale the
    // export chooses (the largest standard one that fits: the PNG's size,
    // or for SVG and PDF an A4 sheet, see defaultScale).
    DrawingPainter::Options drawing = [] {
        DrawingPainter::Options o;
        o.scale = 0; // chosen by the export unless set
        return o;
    }();
    // Screen look: grid and font.
    SectionPainter::Options screen;
    // Pixels: the picture in the screen look, and a drawing-look PNG whose
    // scale is 0. A drawing-look PNG at a given scale takes the drawing's
    // page at dpi instead.
    QSize size{1600, 1200};
    int dpi = 300; // PNG: written into the file; screen-look PDF: 96 is used
};

// Exports of the block: the data sheet to PDF or a printer, the section to
// SVG, PDF or PNG. The sheet is drawn in print colours with the section as a
// drawing at the largest standard scale that fits its box. The section alone
// comes in either look (SectionExport); the older SVG and PNG functions
// taking SectionPainter::Options draw the screen look fitted to a size.
// None of these needs a window.
namespace Exports {

inline constexpr int PdfResolution = 300; // dpi
inline constexpr int MinImageSide = 16;
inline constexpr int MaxImageSide = 8192;
inline constexpr int ScreenDpi = 96; // screen-look pictures: one pixel a screen's
inline constexpr int MinDpi = 36;
inline constexpr int MaxDpi = 2400;
// The largest page of an SVG or PDF drawing, each side (PDF readers take
// up to 200 inches).
inline constexpr double MaxPageSide = 5000; // mm
// Blank paper around a drawing exported alone, on each side.
inline constexpr double DrawingMargin = 10; // mm

// The data sheet as a one-page A4 PDF, fonts embedded.
ExportResult writeDataSheetPdf(const QString& path, const BlkRec& blk, const DataSheetInfo& info);

// The data sheet on a printer set up by the caller (page, output, copies).
// Fails with a reason when the printer cannot be started.
ExportResult printDataSheet(QPrinter& printer, const BlkRec& blk, const DataSheetInfo& info);

// The section as SVG of size pixels: one line element per segment drawn.
ExportResult writeSectionSvg(const QString& path, const BlkRec& blk,
                             const SectionPainter::Options& look, QSize size);

// The section as a PNG image of size pixels (MinImageSide..MaxImageSide).
ExportResult writeSectionPng(const QString& path, const BlkRec& blk,
                             const SectionPainter::Options& look, QSize size);

// The section alone. SVG: in the drawing look a page of drawingPageSize
// (width and height in mm, viewBox in mm, so one unit is one millimetre); in
// the screen look size pixels. PDF: one page of drawingPageSize (drawing
// look) or of size pixels at 96 dpi (screen look), rounded up to whole
// points as PDF pages are. PNG: see SectionExport;
// the dpi is written into the file. A scale that is not positive is chosen
// as SectionExport says; a page beyond MaxPageSide, a PNG larger than
// MaxImageSide or a dpi outside MinDpi..MaxDpi fails with a reason.
ExportResult writeSectionSvg(const QString& path, const BlkRec& blk, const SectionExport& e);
ExportResult writeSectionPdf(const QString& path, const BlkRec& blk, const SectionExport& e);
ExportResult writeSectionPng(const QString& path, const BlkRec& blk, const SectionExport& e);

// The page of a drawing exported alone, in mm: the drawing's size at
// opt.scale with DrawingMargin on each side, rounded up to whole mm.
QSizeF drawingPageSize(const BlkRec& blk, const DrawingPainter::Options& opt);

// The scale an SVG or PDF drawing is made at when none is given: the largest
// standard one at which the drawing fits an A4 sheet (either way round,
// within the margins); 500 when it fits at none.
int defaultScale(const BlkRec& blk, const DrawingPainter::Options& opt);

// The pixel size of a drawing-look PNG at opt.scale and dpi.
QSize drawingPixelSize(const BlkRec& blk, const DrawingPainter::Options& opt, int dpi);

// The view the exports draw the section in: the whole section fitted to size.
ViewState fittedView(const BlkRec& blk, QSize size);

// The steps every export writes its file with, for other documents: open
// file (fails with the reason when its folder is missing or not writable),
// then put the whole rendered bytes in place at once, or abandon it.
ExportResult openForWriting(QSaveFile& file);
ExportResult commitBytes(QSaveFile& file, const QByteArray& bytes);
ExportResult cannotRender(QSaveFile& file);

} // namespace Exports

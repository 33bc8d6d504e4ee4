#pragma once

#include "document/blkrec.h"
#include "output/datasheet.h"
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

// Exports of the block: the data sheet to PDF or a printer, the section to
// SVG or PNG. The sheet is drawn in print colours; SVG and PNG show the
// whole section as the screen draws it (look: the screen's options), in a
// view fitted to their size.
namespace Exports {

inline constexpr int PdfResolution = 300; // dpi
inline constexpr int MinImageSide = 16;
inline constexpr int MaxImageSide = 8192;

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

// The view the exports draw the section in: the whole section fitted to size.
ViewState fittedView(const BlkRec& blk, QSize size);

// The steps every export writes its file with, for other documents: open
// file (fails with the reason when its folder is missing or not writable),
// then put the whole rendered bytes in place at once, or abandon it.
ExportResult openForWriting(QSaveFile& file);
ExportResult commitBytes(QSaveFile& file, const QByteArray& bytes);
ExportResult cannotRender(QSaveFile& file);

} // namespace Exports

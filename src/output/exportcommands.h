#pragma once

#include "document/basmrblk.h"
#include "document/module1.h"
#include "output/datasheet.h"
#include "output/exports.h"
#include "view/sectionpainter.h"

#include <QSize>
#include <QString>

#include <array>
#include <optional>

class Prompts;
class QPrinter;
class QWidget;

// The export commands of the main window: each asks what it needs (file,
// printer, image size) through the prompts, exports the block being edited
// and reports a failure as an error message. They change nothing of the
// block, the data folder or the file name. Each returns true when something
// was written or printed.
class ExportCommands
{
public:
    ExportCommands(const Module1& mod, const basMr_Blk& blk, Prompts& prompts,
                   QWidget* parent = nullptr);

    bool dataSheetPdf();
    bool print();
    bool printPreview();
    // The section alone: the options dialog (look, scale, size, dpi), then
    // the file. look: the screen's options (grid, font) for the screen look;
    // size: the size the dialog proposes for it (the screen's drawing area,
    // DefaultPngSize). The dialog starts with the choices last made while the
    // program runs, the screen look the first time for SVG and PNG and the
    // drawing for PDF.
    bool sectionSvg(const SectionPainter::Options& look, QSize size);
    bool sectionPdf(const SectionPainter::Options& look, QSize size);
    bool sectionPng(const SectionPainter::Options& look, QSize proposed);

    // What the sheet says of the file: its name, whether the block has
    // changed since, today's date; and the unit weights and levels in use.
    DataSheetInfo sheetInfo() const;
    // The settings the sheet figures mass and buoyancy with, kept up to date
    // by their owner; the defaults until set.
    void useFigureSettings(const FigureSettings& s) { mFigureSettings = &s; }

    static constexpr QSize DefaultPngSize{1600, 1200};

private:
    // The chosen path with the suffix added when typed without one; empty
    // when cancelled.
    QString askPath(const QString& caption, const QString& filter, const QString& suffix);
    void setUpPrinter(QPrinter& printer) const;
    bool report(const ExportResult& r);
    // Format: SectionExportDialog::Format as an index.
    bool section(int format, const SectionPainter::Options& look, QSize size);

    const Module1& mMod;
    const basMr_Blk& mBlk;
    Prompts& mPrompts;
    QWidget* mParent;
    // The last choices of the options dialog, per format; look unset yet.
    std::array<std::optional<SectionExport>, 3> mLast;
    const FigureSettings* mFigureSettings = nullptr;
};

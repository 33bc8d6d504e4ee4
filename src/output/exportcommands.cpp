#include "output/exportcommands.h"

#include "dialogs/prompts.h"
#include "output/sectionexportdialog.h"

#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>

ExportCommands::ExportCommands(const Module1& mod, const basMr_Blk& blk, Prompts& prompts,
                               QWidget* parent)
    : mMod(mod), mBlk(blk), mPrompts(prompts), mParent(parent)
{
}

DataSheetInfo ExportCommands::sheetInfo() const
{
    DataSheetInfo info;
    info.fileName = mBlk.DataName == basMr_Blk::Untitled ? basMr_Blk::Untitled
                                                         : mBlk.DataName + QStringLiteral(".csv");
    info.modified = Data_Modified(mMod);
    info.date = QDate::currentDate();
    if (mFigureSettings)
        info.figures = *mFigureSettings;
    return info;
}

QString ExportCommands::askPath(const QString& caption, const QString& filter,
                                const QString& suffix)
{
    SaveFileRequest r;
    r.caption = caption;
    r.dir = mBlk.DataPath;
    r.name = mBlk.DataName + u'.' + suffix;
    r.filter = filter;
    r.suffix = suffix;
    QString path = mPrompts.saveFile(mParent, r);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    return path;
}

bool ExportCommands::report(const ExportResult& r)
{
    if (!r.ok())
        mPrompts.error(mParent, r.reason);
    return r.ok();
}

void ExportCommands::setUpPrinter(QPrinter& printer) const
{
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer.setDocName(mMod.BlkData.Name.isEmpty() ? QStringLiteral("直立消波ブロック")
                                                   : mMod.BlkData.Name);
}

bool ExportCommands::dataSheetPdf()
{
    const QString path = askPath(QStringLiteral("データシートを PDF に出力"),
                                 QStringLiteral("PDF ファイル (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return false;
    return report(Exports::writeDataSheetPdf(path, mMod.BlkData, sheetInfo()));
}

bool ExportCommands::print()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintDialog dlg(&printer, mParent);
    dlg.setWindowTitle(QStringLiteral("印刷"));
    if (mPrompts.exec(dlg) != QDialog::Accepted)
        return false;
    return report(Exports::printDataSheet(printer, mMod.BlkData, sheetInfo()));
}

bool ExportCommands::printPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintPreviewDialog dlg(&printer, mParent);
    dlg.setWindowTitle(QStringLiteral("印刷プレビュー"));
    // Large enough to read the sheet: two thirds of the screen, the page
    // filling the width.
    if (const QScreen* s = mParent ? mParent->screen() : QGuiApplication::primaryScreen())
        dlg.resize(s->availableSize() * 2 / 3);
    if (auto* fitWidth = dlg.findChild<QAction*>(QStringLiteral("fitWidthAction")))
        fitWidth->trigger();
    else if (auto* preview = dlg.findChild<QPrintPreviewWidget*>())
        preview->fitToWidth();
    const DataSheetInfo info = sheetInfo();
    bool printed = true;
    // Asked for every page drawn: the preview itself and printing from it.
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [this, &info, &printed](QPrinter* p) {
                         printed = report(Exports::printDataSheet(*p, mMod.BlkData, info));
                     });
    return mPrompts.exec(dlg) == QDialog::Accepted && printed;
}

bool ExportCommands::section(int format, const SectionPainter::Options& look, QSize size)
{
    using Format = SectionExportDialog::Format;
    const auto f = Format(format);
    SectionExport proposed;
    if (mLast[format]) {
        proposed = *mLast[format];
    } else {
        proposed.look = f == Format::Pdf ? SectionLook::Drawing : SectionLook::Screen;
        proposed.drawing.scale = 0;
        proposed.dpi = f == Format::Png ? Exports::ScreenDpi : 300;
    }
    proposed.screen = look;
    if (!mLast[format] && size.isValid())
        proposed.size = size;
    SectionExportDialog dlg(f, proposed, mMod.BlkData, mParent);
    if (mPrompts.exec(dlg) != QDialog::Accepted)
        return false;
    const SectionExport chosen = dlg.chosen();
    mLast[format] = chosen;
    const QString name = SectionExportDialog::formatName(f);
    const QString suffix = name.toLower();
    const QString filter = f == Format::Png
                               ? QStringLiteral("PNG 画像 (*.png)")
                               : QStringLiteral("%1 ファイル (*.%2)").arg(name, suffix);
    const QString path = askPath(QStringLiteral("断面を %1 に出力").arg(name), filter, suffix);
    if (path.isEmpty())
        return false;
    switch (f) {
    case Format::Svg:
        return report(Exports::writeSectionSvg(path, mMod.BlkData, chosen));
    case Format::Pdf:
        return report(Exports::writeSectionPdf(path, mMod.BlkData, chosen));
    case Format::Png:
        break;
    }
    return report(Exports::writeSectionPng(path, mMod.BlkData, chosen));
}

bool ExportCommands::sectionSvg(const SectionPainter::Options& look, QSize size)
{
    return section(int(SectionExportDialog::Format::Svg), look, size);
}

bool ExportCommands::sectionPdf(const SectionPainter::Options& look, QSize size)
{
    return section(int(SectionExportDialog::Format::Pdf), look, size);
}

bool ExportCommands::sectionPng(const SectionPainter::Options& look, QSize proposed)
{
    return section(int(SectionExportDialog::Format::Png), look,
                   proposed.isValid() ? proposed : DefaultPngSize);
}

#include "output/exports.h"

#include "view/viewstate.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Why a file could not be opened for writing at path, as the user can act
// on it: the folder is missing, the name is a folder, or it is not writable.
ExportResult openFailed(const QString& path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists() || !folder.isDir())
        return ExportResult::failed(
            QStringLiteral("フォルダ「%1」がありません。").arg(shown(folder.filePath())));
    if (target.isDir())
        return ExportResult::failed(
            QStringLiteral("「%1」はフォルダです。別の名前を指定してください。").arg(shown(path)));
    return ExportResult::failed(
        QStringLiteral("フォルダ「%1」に書き込めません。").arg(shown(folder.filePath())));
}

ExportResult saveFailed(const QString& path)
{
    return ExportResult::failed(
        QStringLiteral("ファイル「%1」を保存できませんでした。").arg(shown(path)));
}

ExportResult createFailed(const QString& path)
{
    return ExportResult::failed(
        QStringLiteral("ファイル「%1」を作成できませんでした。").arg(shown(path)));
}

ExportResult open(QSaveFile& file)
{
    if (file.fileName().isEmpty())
        return ExportResult::failed(QStringLiteral("ファイル名が指定されていません。"));
    // A folder of that name would only fail at the final rename.
    if (QFileInfo(file.fileName()).isDir() || !file.open(QIODevice::WriteOnly))
        return openFailed(file.fileName());
    return {};
}

// The bytes written and renamed into place. Pictures are rendered into memory
// first and written here in one checked write: on a short write (a full
// disk) Qt sets no error, and commit() would rename a truncated file over the
// old one (QTBUG-75077).
ExportResult commit(QSaveFile& file, const QByteArray& bytes)
{
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return saveFailed(file.fileName());
    }
    if (!file.commit())
        return saveFailed(file.fileName());
    return {};
}

// The temporary file goes when the QSaveFile does.
ExportResult abandon(QSaveFile& file, const ExportResult& why)
{
    file.cancelWriting();
    return why;
}

bool validSize(QSize s)
{
    return s.width() >= Exports::MinImageSide && s.width() <= Exports::MaxImageSide &&
           s.height() >= Exports::MinImageSide && s.height() <= Exports::MaxImageSide;
}

ExportResult badSize()
{
    return ExportResult::failed(QStringLiteral("画像の大きさは幅・高さとも %1 〜 %2 ピクセルで"
                                               "指定してください。")
                                    .arg(Exports::MinImageSide)
                                    .arg(Exports::MaxImageSide));
}

QString documentTitle(const BlkRec& blk)
{
    return blk.Name.isEmpty() ? QStringLiteral("直立消波ブロック") : blk.Name;
}

} // namespace

ViewState Exports::fittedView(const BlkRec& blk, QSize size)
{
    ViewState v;
    v.Gz_xmax = qint16(std::clamp(size.width(), 0, MaxImageSide));
    v.Gz_ymax = qint16(std::clamp(size.height(), 0, MaxImageSide));
    Mk_Dan_xyminmax(v, blk);
    Mk_Dan_scl(v);
    return v;
}

ExportResult Exports::writeDataSheetPdf(const QString& path, const BlkRec& blk,
                                        const DataSheetInfo& info)
{
    QSaveFile file(path);
    if (ExportResult r = open(file); !r.ok())
        return r;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(PdfResolution);
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        pdf.setTitle(documentTitle(blk));
        pdf.setCreator(QStringLiteral("直立消波ブロック設定"));
        QPainter p;
        if (!p.begin(&pdf))
            return abandon(file, createFailed(path));
        DataSheet::paint(p, QRectF(0, 0, pdf.width(), pdf.height()), blk, info);
        if (!p.end())
            return abandon(file, saveFailed(path));
    }
    return commit(file, bytes);
}

ExportResult Exports::printDataSheet(QPrinter& printer, const BlkRec& blk,
                                     const DataSheetInfo& info)
{
    // The sheet keeps its own margins: painted from the paper's corner, it
    // sits where it does in the PDF.
    printer.setFullPage(true);
    QPainter p;
    if (!p.begin(&printer))
        return ExportResult::failed(QStringLiteral("プリンタに出力できませんでした。"));
    DataSheet::paint(p, QRectF(0, 0, printer.width(), printer.height()), blk, info);
    if (!p.end())
        return ExportResult::failed(QStringLiteral("印刷を完了できませんでした。"));
    return {};
}

ExportResult Exports::writeSectionSvg(const QString& path, const BlkRec& blk,
                                      const SectionPainter::Options& look, QSize size)
{
    if (!validSize(size))
        return badSize();
    QSaveFile file(path);
    if (ExportResult r = open(file); !r.ok())
        return r;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(documentTitle(blk));
        svg.setDescription(QStringLiteral("直立消波ブロックの断面"));
        QPainter p;
        if (!p.begin(&svg))
            return abandon(file, createFailed(path));
        SectionPainter::paint(p, size, fittedView(blk, size), blk, look);
        p.end();
    }
    return commit(file, bytes);
}

ExportResult Exports::writeSectionPng(const QString& path, const BlkRec& blk,
                                      const SectionPainter::Options& look, QSize size)
{
    if (!validSize(size))
        return badSize();
    QImage img(size, QImage::Format_RGB32);
    if (img.isNull())
        return ExportResult::failed(QStringLiteral("画像を作成できませんでした。"));
    {
        QPainter p(&img);
        SectionPainter::paint(p, size, fittedView(blk, size), blk, look);
    }
    QSaveFile file(path);
    if (ExportResult r = open(file); !r.ok())
        return r;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!img.save(&buffer, "PNG"))
        return abandon(file, saveFailed(path));
    return commit(file, bytes);
}

ExportResult Exports::openForWriting(QSaveFile& file)
{
    return open(file);
}

ExportResult Exports::commitBytes(QSaveFile& file, const QByteArray& bytes)
{
    return commit(file, bytes);
}

ExportResult Exports::cannotRender(QSaveFile& file)
{
    return abandon(file, createFailed(file.fileName()));
}

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
#include <climits>
#include <cmath>
#include <functional>

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

// Checks that path can be written, has render write the file's bytes into
// memory, then writes them in one checked write. render returns the reason
// it failed, if it did.
ExportResult writeRendered(const QString& path,
                           const std::function<ExportResult(QIODevice&)>& render)
{
    QSaveFile file(path);
    if (ExportResult r = open(file); !r.ok())
        return r;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (ExportResult r = render(buffer); !r.ok())
            return abandon(file, r);
    }
    return commit(file, bytes);
}

// Paints with paint on device, through a painter that must start and finish.
ExportResult paintOn(QPaintDevice& device, const QString& path,
                     const std::function<void(QPainter&)>& paint)
{
    QPainter p;
    if (!p.begin(&device))
        return createFailed(path);
    paint(p);
    if (!p.end())
        return saveFailed(path);
    return {};
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

// An SVG generator writing into out, with the document's title.
void setUpSvg(QSvgGenerator& svg, QIODevice& out, const BlkRec& blk)
{
    svg.setOutputDevice(&out);
    svg.setTitle(documentTitle(blk));
    svg.setDescription(QStringLiteral("直立消波ブロックの断面"));
}

void setUpPdf(QPdfWriter& pdf, const BlkRec& blk, const QPageSize& page, int resolution)
{
    pdf.setResolution(resolution);
    pdf.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    pdf.setTitle(documentTitle(blk));
    pdf.setCreator(QStringLiteral("直立消波ブロック設定"));
}

// The drawing options with the scale settled: the given one, or for a scale
// that is not positive the default for a page.
DrawingPainter::Options pageDrawing(const BlkRec& blk, const SectionExport& e)
{
    DrawingPainter::Options o = e.drawing;
    if (o.scale <= 0)
        o.scale = Exports::defaultScale(blk, o);
    return o;
}

// Paints the drawing on its page, painter units in mm: white paper, the
// drawing centred within the margins.
void paintDrawingPage(QPainter& p, QSizeF page, const BlkRec& blk,
                      const DrawingPainter::Options& opt)
{
    p.fillRect(QRectF(QPointF(0, 0), page), Qt::white);
    DrawingPainter::paint(p, QRectF(QPointF(0, 0), page), blk, opt);
}

bool pageFits(QSizeF mm)
{
    return mm.width() <= Exports::MaxPageSide && mm.height() <= Exports::MaxPageSide;
}

ExportResult pageTooLarge(QSizeF mm)
{
    return ExportResult::failed(
        QStringLiteral("図面が大きすぎます（%1 × %2 mm）。用紙は幅・高さとも %3 mm までです。"
                       "縮尺を小さくしてください。")
            .arg(std::round(mm.width()))
            .arg(std::round(mm.height()))
            .arg(Exports::MaxPageSide));
}

ExportResult badDpi()
{
    return ExportResult::failed(QStringLiteral("解像度は %1 〜 %2 dpi で指定してください。")
                                    .arg(Exports::MinDpi)
                                    .arg(Exports::MaxDpi));
}

ExportResult tooLarge(QSize s)
{
    return ExportResult::failed(
        QStringLiteral("画像が大きすぎます（%1 × %2 ピクセル）。幅・高さとも %3 ピクセル以下に"
                       "なるよう、縮尺か解像度を下げてください。")
            .arg(s.width())
            .arg(s.height())
            .arg(Exports::MaxImageSide));
}

ExportResult noScaleFits()
{
    return ExportResult::failed(
        QStringLiteral("この画像の大きさには 1:%1 でも断面図が収まりません。"
                       "画像を大きくするか解像度を上げてください。")
            .arg(DrawingScale::Standard.back()));
}

// The PNG bytes of img, with its resolution.
ExportResult savePng(const QString& path, QImage& img, int dpi)
{
    const int perMetre = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(perMetre);
    img.setDotsPerMeterY(perMetre);
    return writeRendered(path, [&](QIODevice& out) {
        return img.save(&out, "PNG") ? ExportResult() : saveFailed(path);
    });
}

// A drawing-look picture: its pixel size and scale, or the reason it cannot
// be made.
ExportResult drawingImage(const BlkRec& blk, const SectionExport& e, QImage& img)
{
    DrawingPainter::Options opt = e.drawing;
    const double pxPerMm = e.dpi / 25.4;
    QSize size = e.size;
    if (opt.scale <= 0) {
        if (!validSize(size))
            return badSize();
        const QSizeF room(size.width() / pxPerMm - 2 * Exports::DrawingMargin,
                          size.height() / pxPerMm - 2 * Exports::DrawingMargin);
        opt.scale = DrawingPainter::largestScale(blk, opt, room);
        if (opt.scale == 0)
            return noScaleFits();
    } else {
        size = Exports::drawingPixelSize(blk, opt, e.dpi);
        if (size.width() > Exports::MaxImageSide || size.height() > Exports::MaxImageSide)
            return tooLarge(size);
        size = size.expandedTo(QSize(Exports::MinImageSide, Exports::MinImageSide));
    }
    img = QImage(size, QImage::Format_RGB32);
    if (img.isNull())
        return ExportResult::failed(QStringLiteral("画像を作成できませんでした。"));
    img.fill(Qt::white);
    QPainter p(&img);
    p.scale(pxPerMm, pxPerMm);
    const QSizeF page(size.width() / pxPerMm, size.height() / pxPerMm);
    paintDrawingPage(p, page, blk, opt);
    return {};
}

} // namespace

QSizeF Exports::drawingPageSize(const BlkRec& blk, const DrawingPainter::Options& opt)
{
    const QSizeF s = DrawingPainter::size(blk, opt);
    return QSizeF(std::ceil(s.width() - 1e-9) + 2 * DrawingMargin,
                  std::ceil(s.height() - 1e-9) + 2 * DrawingMargin);
}

int Exports::defaultScale(const BlkRec& blk, const DrawingPainter::Options& opt)
{
    const QSizeF a4(297 - 2 * DrawingMargin, 210 - 2 * DrawingMargin);
    const int landscape = DrawingPainter::largestScale(blk, opt, a4);
    const int portrait = DrawingPainter::largestScale(blk, opt, a4.transposed());
    const int best =
        std::min(landscape == 0 ? INT_MAX : landscape, portrait == 0 ? INT_MAX : portrait);
    return best == INT_MAX ? DrawingScale::Standard.back() : best;
}

QSize Exports::drawingPixelSize(const BlkRec& blk, const DrawingPainter::Options& opt, int dpi)
{
    const QSizeF mm = drawingPageSize(blk, opt);
    // Far beyond any size an image may have, and still within int.
    static constexpr double kBeyond = 1e9;
    const auto px = [dpi](double side) {
        return int(std::lround(std::clamp(side * dpi / 25.4, 0.0, kBeyond)));
    };
    return QSize(px(mm.width()), px(mm.height()));
}

ExportResult Exports::writeSectionSvg(const QString& path, const BlkRec& blk,
                                      const SectionExport& e)
{
    if (e.look == SectionLook::Screen)
        return writeSectionSvg(path, blk, e.screen, e.size);
    const DrawingPainter::Options opt = pageDrawing(blk, e);
    const QSizeF page = drawingPageSize(blk, opt);
    if (!pageFits(page))
        return pageTooLarge(page);
    return writeRendered(path, [&](QIODevice& out) {
        QSvgGenerator svg;
        setUpSvg(svg, out, blk);
        // Whole millimetres at 254 dpi are whole tenths: the size the
        // generator writes in mm is the page's exactly.
        constexpr int kSvgDpi = 254;
        svg.setResolution(kSvgDpi);
        svg.setSize(
            QSize(int(std::lround(page.width() * 10)), int(std::lround(page.height() * 10))));
        svg.setViewBox(QRectF(QPointF(0, 0), page));
        return paintOn(svg, path, [&](QPainter& p) { paintDrawingPage(p, page, blk, opt); });
    });
}

ExportResult Exports::writeSectionPdf(const QString& path, const BlkRec& blk,
                                      const SectionExport& e)
{
    const bool screen = e.look == SectionLook::Screen;
    if (screen && !validSize(e.size))
        return badSize();
    const DrawingPainter::Options opt = pageDrawing(blk, e);
    // A PDF page is a whole number of points: the drawing's page rounded up.
    const QSizeF wanted = screen ? QSizeF(e.size) * (25.4 / ScreenDpi) : drawingPageSize(blk, opt);
    constexpr double ptPerMm = 72 / 25.4;
    const QSizeF page(std::ceil(wanted.width() * ptPerMm - 1e-6) / ptPerMm,
                      std::ceil(wanted.height() * ptPerMm - 1e-6) / ptPerMm);
    if (!pageFits(page))
        return pageTooLarge(page);
    return writeRendered(path, [&](QIODevice& out) {
        QPdfWriter pdf(&out);
        setUpPdf(pdf, blk, QPageSize(page, QPageSize::Millimeter),
                 screen ? ScreenDpi : PdfResolution);
        return paintOn(pdf, path, [&](QPainter& p) {
            if (screen) {
                SectionPainter::paint(p, e.size, fittedView(blk, e.size), blk, e.screen);
            } else {
                p.scale(PdfResolution / 25.4, PdfResolution / 25.4);
                paintDrawingPage(p, page, blk, opt);
            }
        });
    });
}

ExportResult Exports::writeSectionPng(const QString& path, const BlkRec& blk,
                                      const SectionExport& e)
{
    if (e.dpi < MinDpi || e.dpi > MaxDpi)
        return badDpi();
    QImage img;
    if (e.look == SectionLook::Screen) {
        if (!validSize(e.size))
            return badSize();
        img = QImage(e.size, QImage::Format_RGB32);
        if (img.isNull())
            return ExportResult::failed(QStringLiteral("画像を作成できませんでした。"));
        QPainter p(&img);
        SectionPainter::paint(p, e.size, fittedView(blk, e.size), blk, e.screen);
    } else if (ExportResult r = drawingImage(blk, e, img); !r.ok()) {
        return r;
    }
    return savePng(path, img, e.dpi);
}

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
    return writeRendered(path, [&](QIODevice& out) {
        QPdfWriter pdf(&out);
        setUpPdf(pdf, blk, QPageSize(QPageSize::A4), PdfResolution);
        return paintOn(pdf, path, [&](QPainter& p) {
            DataSheet::paint(p, QRectF(0, 0, pdf.width(), pdf.height()), blk, info);
        });
    });
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
    // At its true size wherever A4 fits on the paper, so the drawing measures
    // true; shrunk to fit smaller paper.
    const QRectF paper(0, 0, printer.width(), printer.height());
    const double perMm = printer.resolution() / 25.4;
    QRectF sheet(0, 0, DataSheet::PageWidth / 10 * perMm, DataSheet::PageHeight / 10 * perMm);
    sheet.moveCenter(paper.center());
    const bool fits = sheet.width() <= paper.width() + 1 && sheet.height() <= paper.height() + 1;
    DataSheet::paint(p, fits ? sheet : paper, blk, info);
    if (!p.end())
        return ExportResult::failed(QStringLiteral("印刷を完了できませんでした。"));
    return {};
}

ExportResult Exports::writeSectionSvg(const QString& path, const BlkRec& blk,
                                      const SectionPainter::Options& look, QSize size)
{
    if (!validSize(size))
        return badSize();
    return writeRendered(path, [&](QIODevice& out) {
        QSvgGenerator svg;
        setUpSvg(svg, out, blk);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        return paintOn(svg, path, [&](QPainter& p) {
            SectionPainter::paint(p, size, fittedView(blk, size), blk, look);
        });
    });
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
    return savePng(path, img, ScreenDpi);
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

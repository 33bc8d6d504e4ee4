#include "output/catalogue.h"

#include "output/datasheet.h"
#include "output/exports.h"
#include "output/sheetstyle.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace {

using namespace SheetStyle;
using DataSheet::PageHeight;
using DataSheet::PageWidth;

// Index page geometry, in tenths of a millimetre like the data sheet's.
constexpr double kSide = 120;
constexpr double kTop = 110;
constexpr double kWidth = PageWidth - 2 * kSide;
constexpr double kTitleHeight = 140;
constexpr double kTableTop = kTop + kTitleHeight + 40;
constexpr double kHeaderRowHeight = 44;
constexpr double kRowHeight = 30;
constexpr double kCellPad = 10;
constexpr double kFooterTop = PageHeight - 110 - 36; // where the sheet's footer stands
// Below every page's footer, centred: clear of the sheet's own footer texts.
const QRectF kPageNumberBox(kSide, PageHeight - 95, kWidth, 40);

constexpr int kTitleSize = 56; // 16 pt, in page units
constexpr int kNoteSize = 23;  // 6.5 pt
constexpr int kTableSize = 25; // 7 pt

const QColor kCaution(170, 40, 30);

// The index's columns: a running number, the index's own columns, and the
// page of the block's data sheet.
struct Column
{
    double width;
    Qt::Alignment align;
};
constexpr int kColumns = FolderIndex::ColumnCount + 2;
const std::array<Column, kColumns> kColumnLayout = {{
    {70, Qt::AlignHCenter}, // No.
    {410, Qt::AlignLeft},   // 名称
    {200, Qt::AlignLeft},   // 種別
    {125, Qt::AlignRight},  // B
    {125, Qt::AlignRight},  // H
    {125, Qt::AlignRight},  // L
    {140, Qt::AlignRight},  // V
    {150, Qt::AlignRight},  // 質量
    {95, Qt::AlignHCenter}, // 判定
    {330, Qt::AlignLeft},   // ファイル名
    {90, Qt::AlignHCenter}, // 頁
}};

// Page units onto target, fitted and centred as the data sheet does it.
void toPage(QPainter& p, const QRectF& target)
{
    const double k = std::min(target.width() / PageWidth, target.height() / PageHeight);
    p.translate(target.center());
    p.scale(k, k);
    p.translate(-PageWidth / 2, -PageHeight / 2);
}

void paintPageNumber(QPainter& p, const QRectF& target, int page, int total)
{
    p.save();
    toPage(p, target);
    text(p, kPageNumberBox, Qt::AlignHCenter, QStringLiteral("%1 / %2").arg(page).arg(total),
         sheetFont(kNoteSize), kMuted);
    p.restore();
}

QString headerText(int column)
{
    if (column == 0)
        return QStringLiteral("No.");
    if (column == kColumns - 1)
        return QStringLiteral("頁");
    return FolderIndex::title(FolderIndex::Column(column - 1));
}

QString cellText(const Catalogue::Request& r, int i, int column)
{
    if (column == 0)
        return QString::number(i + 1);
    if (column == kColumns - 1)
        return QString::number(Catalogue::sheetPage(int(r.entries.size()), i));
    return FolderIndex::text(r.entries[i], FolderIndex::Column(column - 1));
}

void paintTitle(QPainter& p, const Catalogue::Request& r, int page)
{
    const QRectF caption(kSide, kTop, kWidth, 36);
    text(p, caption, Qt::AlignLeft, QStringLiteral("直立消波ブロック カタログ"),
         sheetFont(kNoteSize + 5), kMuted);
    text(p, caption, Qt::AlignRight, QStringLiteral("作成日　") + dateText(r.date),
         sheetFont(kNoteSize + 5), kMuted);
    const QString title =
        page == 0 ? QStringLiteral("ブロック一覧") : QStringLiteral("ブロック一覧（続き）");
    text(p, QRectF(kSide, kTop + 40, kWidth, 70), Qt::AlignLeft, title, sheetFont(kTitleSize, true),
         kInk);
    text(p, QRectF(kSide, kTop + 40, kWidth, 70), Qt::AlignRight,
         QStringLiteral("%1 ブロック（質量の小さい順）").arg(r.entries.size()),
         sheetFont(kNoteSize + 5), kMuted);
    text(p, QRectF(kSide, kTop + 108, kWidth, 30), Qt::AlignLeft,
         QStringLiteral("フォルダ　") + r.folder, sheetFont(kNoteSize), kMuted);
    line(p, QPointF(kSide, kTop + kTitleHeight - 4),
         QPointF(kSide + kWidth, kTop + kTitleHeight - 4), kAccent, 6);
}

void paintTable(QPainter& p, const Catalogue::Request& r, int first, int count)
{
    const QFont head = sheetFont(kTableSize, true);
    const QFont body = sheetFont(kTableSize);
    const double top = kTableTop;
    const double bottom = top + kHeaderRowHeight + std::max(count, 1) * kRowHeight;
    p.fillRect(QRectF(kSide, top, kWidth, kHeaderRowHeight), kHeaderFill);
    for (int row = 1; row < count; row += 2)
        p.fillRect(QRectF(kSide, top + kHeaderRowHeight + row * kRowHeight, kWidth, kRowHeight),
                   kStripe);
    double x = kSide;
    for (int c = 0; c < kColumns; ++c) {
        const Column& col = kColumnLayout[size_t(c)];
        text(p, QRectF(x + kCellPad / 2, top, col.width - kCellPad, kHeaderRowHeight),
             col.align == Qt::AlignLeft ? Qt::AlignHCenter : col.align, headerText(c), head, kInk);
        for (int row = 0; row < count; ++row) {
            const int i = first + row;
            const bool caution = c == int(FolderIndex::Column::Verdict) + 1 && !r.entries[i].passed;
            text(p,
                 QRectF(x + kCellPad, top + kHeaderRowHeight + row * kRowHeight,
                        col.width - 2 * kCellPad, kRowHeight),
                 col.align, cellText(r, i, c), body, caution ? kCaution : kInk);
        }
        if (c > 0)
            line(p, QPointF(x, top), QPointF(x, bottom), kHairline, 1.5);
        x += col.width;
    }
    if (count == 0)
        text(p, QRectF(kSide, top + kHeaderRowHeight, kWidth, kRowHeight), Qt::AlignHCenter,
             QStringLiteral("（ブロックファイルがありません）"), body, kMuted);
    line(p, QPointF(kSide, top + kHeaderRowHeight), QPointF(kSide + kWidth, top + kHeaderRowHeight),
         kRule, 2.5);
    frame(p, QRectF(kSide, top, kWidth, bottom - top), kRule, 3);
}

void paintFooter(QPainter& p)
{
    line(p, QPointF(kSide, kFooterTop - 14), QPointF(kSide + kWidth, kFooterTop - 14), kRule, 2);
    text(p, QRectF(kSide, kFooterTop, kWidth, 36), Qt::AlignRight,
         QStringLiteral("直立消波ブロック設定"), sheetFont(kNoteSize), kMuted);
}

} // namespace

namespace Catalogue {

int indexPageCount(int blocks)
{
    return std::max(1, (blocks + IndexRowsPerPage - 1) / IndexRowsPerPage);
}

void paintIndexPage(QPainter& p, const QRectF& target, const Request& request, int page, int total)
{
    const int n = int(request.entries.size());
    const int first = page * IndexRowsPerPage;
    const int count = std::clamp(n - first, 0, IndexRowsPerPage);
    p.save();
    toPage(p, target);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRectF(0, 0, PageWidth, PageHeight), Qt::white);
    paintTitle(p, request, page);
    paintTable(p, request, first, count);
    paintFooter(p);
    p.restore();
    paintPageNumber(p, target, page + 1, total);
}

Result write(const QString& path, const Request& request, const Progress& progress,
             const std::atomic_bool* cancel)
{
    Result result;
    QSaveFile file(path);
    if (const ExportResult r = Exports::openForWriting(file); !r.ok()) {
        result.reason = r.reason;
        return result;
    }
    const int blocks = int(request.entries.size());
    const int indexPages = indexPageCount(blocks);
    const int total = indexPages + blocks;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(Exports::PdfResolution);
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        pdf.setTitle(QStringLiteral("ブロック一覧 - ") + request.folder);
        pdf.setCreator(QStringLiteral("直立消波ブロック設定"));
        QPainter p;
        if (!p.begin(&pdf)) {
            result.reason = Exports::cannotRender(file).reason;
            return result;
        }
        const QRectF page(0, 0, pdf.width(), pdf.height());
        for (int i = 0; i < total; ++i) {
            if (cancel && cancel->load()) {
                p.end();
                file.cancelWriting();
                result.cancelled = true;
                return result;
            }
            if (i > 0)
                pdf.newPage();
            if (i < indexPages) {
                paintIndexPage(p, page, request, i, total);
            } else {
                const FolderIndex::Entry& e = request.entries[i - indexPages];
                DataSheetInfo info;
                info.fileName = e.fileName;
                info.date = request.date;
                info.figures = request.figures;
                DataSheet::paint(p, page, e.rec, info);
                paintPageNumber(p, page, i + 1, total);
            }
            if (progress)
                progress(i + 1, total);
        }
        if (!p.end()) {
            result.reason = Exports::cannotRender(file).reason;
            return result;
        }
    }
    if (const ExportResult r = Exports::commitBytes(file, bytes); !r.ok()) {
        result.reason = r.reason;
        return result;
    }
    result.pages = total;
    return result;
}

} // namespace Catalogue

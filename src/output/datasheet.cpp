#include "output/datasheet.h"

#include "document/numtext.h"
#include "output/sheetstyle.h"
#include "view/drawingpainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

using namespace DataSheet;
using namespace SheetStyle;

// Page geometry, in tenths of a millimetre.
constexpr double kSide = 120;
constexpr double kTop = 110;
constexpr double kBottom = 110;
constexpr double kWidth = PageWidth - 2 * kSide;
constexpr double kTitleHeight = 140;
constexpr double kFooterHeight = 36;
constexpr double kHeadingHeight = 52; // a block's heading above its box or table
constexpr double kBlockGap = 50;
constexpr double kTableGap = 80; // between point and layer table side by side
constexpr double kGroupGap = 40; // between the column groups of one table
constexpr double kHeaderRowHeight = 38;
constexpr double kRowHeight = 30;
constexpr double kScaleBarHeight = 70;
constexpr double kMaxSectionRow = 1350; // keeps a short sheet from a giant drawing
constexpr double kSpecWidth = 560;
constexpr double kSpecRowHeight = 48;
constexpr double kCellPad = 14;
constexpr double kUnitsPerMm = 10;
constexpr double kDrawingPad = 3; // mm between the drawing and its box

// Font pixel sizes in page units (1 pt is 3.53 of them).
constexpr int kCaptionSize = 28; // 8 pt
constexpr int kNameSize = 56;    // 16 pt
constexpr int kKindSize = 39;    // 11 pt
constexpr int kHeadingSize = 34; // 9.5 pt
constexpr int kSpecSize = 30;    // 8.5 pt
constexpr int kTableSize = 25;   // 7 pt
constexpr int kNoteSize = 23;    // 6.5 pt

struct Column
{
    QString title;
    double width;
    Qt::Alignment align;
};

const std::array<Column, 3> kPointColumns = {{
    {QStringLiteral("No."), 90, Qt::AlignHCenter},
    {QStringLiteral("X (m)"), 160, Qt::AlignRight},
    {QStringLiteral("Y (m)"), 160, Qt::AlignRight},
}};

const std::array<Column, 4> kLayerColumns = {{
    {QStringLiteral("No."), 60, Qt::AlignHCenter},
    {QStringLiteral("高さ(m)"), 150, Qt::AlignRight},
    {QStringLiteral("⊿Ｖ(m3)"), 160, Qt::AlignRight},
    {QStringLiteral("累計体積 Ｖ(m3)"), 210, Qt::AlignRight},
}};

template <std::size_t N> double groupWidth(const std::array<Column, N>& cols)
{
    double w = 0;
    for (const Column& c : cols)
        w += c.width;
    return w;
}

// The rows of a table within the record's limits; a damaged file can hold
// a negative count.
int pointCount(const BlkRec& blk)
{
    return std::clamp<int>(blk.PntCnt, 0, BlkRec::PntLast);
}
int layerCount(const BlkRec& blk)
{
    return std::clamp<int>(blk.LyrCnt, 0, BlkRec::LyrLast + 1);
}

// Groups and rows per group for n rows, balanced; an empty table keeps one
// row to say so.
void split(int n, int maxRows, int& groups, int& rows)
{
    if (n <= 0) {
        groups = rows = 1;
        return;
    }
    groups = (n + maxRows - 1) / maxRows;
    rows = (n + groups - 1) / groups;
}

double tableWidth(int groups, double oneGroup)
{
    return groups * oneGroup + (groups - 1) * kGroupGap;
}

double tableHeight(int rows)
{
    return kHeadingHeight + kHeaderRowHeight + rows * kRowHeight;
}

// A block's heading: an accent bar, the title, and a note on the right.
void heading(QPainter& p, const QRectF& r, const QString& title, const QString& note = {})
{
    const QRectF band(r.left(), r.top(), r.width(), kHeadingHeight - 12);
    p.fillRect(QRectF(band.left(), band.top() + 6, 8, band.height() - 12), kAccent);
    text(p, band.adjusted(22, 0, 0, 0), Qt::AlignLeft, title, sheetFont(kHeadingSize, true),
         kAccent);
    if (!note.isEmpty())
        text(p, band, Qt::AlignRight, note, sheetFont(kNoteSize), kMuted);
}

void paintTitle(QPainter& p, const QRectF& r, const BlkRec& blk, const DataSheetInfo& info)
{
    const QRectF caption(r.left(), r.top(), r.width(), 36);
    text(p, caption, Qt::AlignLeft, QStringLiteral("直立消波ブロック データシート"),
         sheetFont(kCaptionSize), kMuted);
    const QString date = dateText(info.date);
    if (!date.isEmpty())
        text(p, caption, Qt::AlignRight, QStringLiteral("作成日　") + date, sheetFont(kCaptionSize),
             kMuted);

    // Name and type on one baseline; a long name gives way to the type.
    const QFont nameFont = sheetFont(kNameSize, true);
    const QFont kindFont = sheetFont(kKindSize);
    const QString name = blk.Name.isEmpty() ? QStringLiteral("（名称なし）") : blk.Name;
    const double kindWidth =
        blk.Kind.isEmpty()
            ? 0
            : std::min(QFontMetricsF(kindFont, p.device()).horizontalAdvance(blk.Kind) + 4,
                       r.width() / 2);
    const double gap = blk.Kind.isEmpty() ? 0 : 50;
    const QFontMetricsF nameMetrics(nameFont, p.device());
    const double nameRoom = r.width() - kindWidth - gap;
    const QString shownName = nameMetrics.elidedText(name, Qt::ElideRight, nameRoom);
    const double baseline = r.top() + 48 + nameMetrics.ascent();
    p.setFont(nameFont);
    p.setPen(kInk);
    p.drawText(QPointF(r.left(), baseline), shownName);
    if (!blk.Kind.isEmpty()) {
        const double x = r.left() + std::min(nameMetrics.horizontalAdvance(shownName), nameRoom);
        const QFontMetricsF km(kindFont, p.device());
        p.setFont(kindFont);
        p.setPen(kMuted);
        p.drawText(QPointF(x + gap, baseline), km.elidedText(blk.Kind, Qt::ElideRight, kindWidth));
    }
    line(p, QPointF(r.left(), r.bottom() - 4), QPointF(r.right(), r.bottom() - 4), kAccent, 6);
}

// The section as a drawing, with its options for the sheet.
DrawingPainter::Options drawingOptions()
{
    DrawingPainter::Options opt;
    opt.fontFamilies = fontFamilies() << QStringLiteral("DejaVu Sans");
    opt.scaleNote = false; // written below the box, apart from the drawing
    return opt;
}

// Room for the drawing in the section box, in mm.
QSizeF drawingRoom(const Layout& l)
{
    const QSizeF box = l.section.size() / kUnitsPerMm;
    return QSizeF(std::max(0.0, box.width() - 2 * kDrawingPad),
                  std::max(0.0, box.height() - 2 * kDrawingPad));
}

int scaleFor(const BlkRec& blk, const Layout& l)
{
    const DrawingPainter::Options opt = drawingOptions();
    if (DrawingPainter::bounds(blk, opt).isEmpty())
        return 0; // nothing to draw, no scale to tell
    const QSizeF room = drawingRoom(l);
    const int n = DrawingPainter::largestScale(blk, opt, room);
    return n != 0 ? n : DrawingPainter::reducedScale(blk, opt, room);
}

void paintSection(QPainter& p, const Layout& l, const BlkRec& blk)
{
    const int scale = scaleFor(blk, l);
    QString note =
        QStringLiteral("線分 %1 本").arg(std::clamp<int>(blk.LineCnt, 0, BlkRec::LineLast));
    if (scale > 0)
        note = QStringLiteral("縮尺 %1　　").arg(DrawingScale::text(scale)) + note;
    heading(p, l.section.adjusted(0, -kHeadingHeight, 0, 0), QStringLiteral("断面図"), note);
    if (scale > 0) {
        DrawingPainter::Options opt = drawingOptions();
        opt.scale = scale;
        p.save();
        // The drawing works in mm; the page in tenths of them.
        p.scale(kUnitsPerMm, kUnitsPerMm);
        DrawingPainter::paint(
            p, QRectF(l.section.topLeft() / kUnitsPerMm, l.section.size() / kUnitsPerMm), blk, opt);
        const QSizeF noteSize = DrawingPainter::scaleNoteSize(opt);
        const QPointF at(l.scaleBar.left() / kUnitsPerMm,
                         l.scaleBar.center().y() / kUnitsPerMm - noteSize.height() / 2);
        DrawingPainter::paintScaleNote(p, at, opt);
        p.restore();
        text(p, l.scaleBar, Qt::AlignRight,
             QStringLiteral("A4 に 100 % で印刷したとき実寸の %1").arg(DrawingScale::text(scale)),
             sheetFont(kNoteSize), kMuted);
    }
    frame(p, l.section, kRule, 3);
}

void paintSpec(QPainter& p, const QRectF& r, const BlkRec& blk)
{
    heading(p, r, QStringLiteral("諸元"));
    struct Row
    {
        QString label;
        QString value;
        QString unit;
        bool isText;
    };
    const auto num = [](double d) { return NumText::fmt000(d); };
    const auto count = [](int n) { return QString::number(n); };
    const std::array<Row, 11> rows = {{
        {QStringLiteral("名称"), blk.Name, {}, true},
        {QStringLiteral("種別"), blk.Kind, {}, true},
        {QStringLiteral("寸法 B"), num(blk.B), QStringLiteral("m"), false},
        {QStringLiteral("寸法 H"), num(blk.H), QStringLiteral("m"), false},
        {QStringLiteral("寸法 L"), num(blk.L), QStringLiteral("m"), false},
        {QStringLiteral("重心 X"), num(blk.Gx), QStringLiteral("m"), false},
        {QStringLiteral("重心 Y"), num(blk.Gy), QStringLiteral("m"), false},
        {QStringLiteral("体積 V"), num(blk.V), QStringLiteral("m3"), false},
        {QStringLiteral("点数"), count(pointCount(blk)), {}, false},
        {QStringLiteral("線分数"),
         count(std::clamp<int>(blk.LineCnt, 0, BlkRec::LineLast)),
         {},
         false},
        {QStringLiteral("層数"), count(layerCount(blk)), {}, false},
    }};
    const double labelW = 170;
    const double unitW = 80;
    const QRectF box(r.left(), r.top() + kHeadingHeight, r.width(),
                     double(rows.size()) * kSpecRowHeight);
    p.fillRect(QRectF(box.left(), box.top(), labelW, box.height()), kHeaderFill);
    const QFont f = sheetFont(kSpecSize);
    const QFont numbers = sheetFont(kSpecSize);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const QRectF cell(box.left(), box.top() + double(i) * kSpecRowHeight, box.width(),
                          kSpecRowHeight);
        if (i > 0) {
            // A heavier rule between the values and the counts.
            const bool section = i == 8;
            line(p, cell.topLeft(), cell.topRight(), section ? kRule : kHairline,
                 section ? 3 : 1.5);
        }
        text(p, QRectF(cell.left() + kCellPad, cell.top(), labelW - 2 * kCellPad, cell.height()),
             Qt::AlignLeft, row.label, f, kInk);
        const double valueLeft = cell.left() + labelW + kCellPad;
        if (row.isText) {
            text(p,
                 QRectF(valueLeft, cell.top(), cell.width() - labelW - 2 * kCellPad, cell.height()),
                 Qt::AlignLeft, row.value, f, kInk);
        } else {
            text(p,
                 QRectF(valueLeft, cell.top(), cell.width() - labelW - unitW - kCellPad,
                        cell.height()),
                 Qt::AlignRight, row.value, numbers, kInk);
            text(p, QRectF(cell.right() - unitW + 12, cell.top(), unitW - 12, cell.height()),
                 Qt::AlignLeft, row.unit, f, kMuted);
        }
    }
    line(p, QPointF(box.left() + labelW, box.top()), QPointF(box.left() + labelW, box.bottom()),
         kHairline, 1.5);
    frame(p, box, kRule, 3);
}

// One table in column groups: rows per group, the i-th item's text in
// column c from cell(i, c); items beyond count leave their rows blank.
template <std::size_t N>
void paintTable(QPainter& p, const QRectF& r, const QString& title, const QString& note,
                const std::array<Column, N>& cols, int groups, int rows, int count,
                const std::function<QString(int, int)>& cell)
{
    heading(p, r, title, note);
    const double gw = groupWidth(cols);
    const QFont headFont = sheetFont(kTableSize, true);
    const QFont f = sheetFont(kTableSize);
    for (int g = 0; g < groups; ++g) {
        const double left = r.left() + g * (gw + kGroupGap);
        const double top = r.top() + kHeadingHeight;
        const QRectF box(left, top, gw, kHeaderRowHeight + rows * kRowHeight);
        p.fillRect(QRectF(left, top, gw, kHeaderRowHeight), kHeaderFill);
        for (int row = 1; row < rows; row += 2)
            p.fillRect(QRectF(left, top + kHeaderRowHeight + row * kRowHeight, gw, kRowHeight),
                       kStripe);
        double x = left;
        for (std::size_t c = 0; c < N; ++c) {
            const Column& col = cols[c];
            const QRectF head(x + kCellPad / 2, top, col.width - kCellPad, kHeaderRowHeight);
            text(p, head, col.align == Qt::AlignRight ? Qt::AlignRight : Qt::AlignHCenter,
                 col.title, headFont, kInk);
            for (int row = 0; row < rows; ++row) {
                const int item = g * rows + row;
                if (item >= count)
                    break;
                const QRectF rc(x + kCellPad, top + kHeaderRowHeight + row * kRowHeight,
                                col.width - 2 * kCellPad, kRowHeight);
                text(p, rc, col.align, cell(item, int(c)), f, kInk);
            }
            if (c > 0)
                line(p, QPointF(x, top), QPointF(x, box.bottom()), kHairline, 1.5);
            x += col.width;
        }
        if (count == 0 && g == 0)
            text(p, QRectF(left, top + kHeaderRowHeight, gw, kRowHeight), Qt::AlignHCenter,
                 QStringLiteral("（なし）"), f, kMuted);
        line(p, QPointF(left, top + kHeaderRowHeight), QPointF(box.right(), top + kHeaderRowHeight),
             kRule, 2.5);
        frame(p, box, kRule, 3);
    }
}

void paintFooter(QPainter& p, const QRectF& r, const DataSheetInfo& info)
{
    line(p, QPointF(r.left(), r.top() - 14), QPointF(r.right(), r.top() - 14), kRule, 2);
    QString file = QStringLiteral("ファイル　") + info.fileName;
    if (info.modified)
        file += QStringLiteral("（未保存の変更あり）");
    const QFont f = sheetFont(kNoteSize);
    text(p, r, Qt::AlignLeft, file, f, kMuted);
    text(p, r, Qt::AlignRight, QStringLiteral("直立消波ブロック設定"), f, kMuted);
}

} // namespace

int DataSheet::sectionScale(const BlkRec& blk)
{
    return scaleFor(blk, layout(blk));
}

QStringList DataSheet::fontFamilies()
{
    return {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
}

DataSheet::Layout DataSheet::layout(const BlkRec& blk)
{
    Layout l;
    l.title = QRectF(kSide, kTop, kWidth, kTitleHeight);
    l.footer = QRectF(kSide, PageHeight - kBottom - kFooterHeight, kWidth, kFooterHeight);
    const double contentTop = l.title.bottom() + 40;
    const double contentBottom = l.footer.top() - 50;

    split(pointCount(blk), PointRowsPerGroup, l.pointGroups, l.pointRows);
    split(layerCount(blk), LayerRowsPerGroup, l.layerGroups, l.layerRows);
    const double pw = tableWidth(l.pointGroups, groupWidth(kPointColumns));
    const double lw = tableWidth(l.layerGroups, groupWidth(kLayerColumns));
    const double ph = tableHeight(l.pointRows);
    const double lh = tableHeight(l.layerRows);
    const bool sideBySide = pw + kTableGap + lw <= kWidth;
    const double tablesHeight = sideBySide ? std::max(ph, lh) : ph + kBlockGap + lh;

    const double sectionRow =
        std::min(contentBottom - contentTop - kBlockGap - tablesHeight, kMaxSectionRow);
    const double boxWidth = kWidth - kSpecWidth - 60;
    l.section = QRectF(kSide, contentTop + kHeadingHeight, boxWidth,
                       sectionRow - kHeadingHeight - kScaleBarHeight);
    l.scaleBar = QRectF(kSide, l.section.bottom(), boxWidth, kScaleBarHeight);
    l.spec = QRectF(PageWidth - kSide - kSpecWidth, contentTop, kSpecWidth,
                    kHeadingHeight + 11 * kSpecRowHeight);

    const double tablesTop = contentTop + sectionRow + kBlockGap;
    l.points = QRectF(kSide, tablesTop, pw, ph);
    if (sideBySide)
        l.layers = QRectF(kSide + pw + kTableGap, tablesTop, lw, lh);
    else
        l.layers = QRectF(kSide, tablesTop + ph + kBlockGap, lw, lh);
    return l;
}

void DataSheet::paint(QPainter& p, const QRectF& target, const BlkRec& blk,
                      const DataSheetInfo& info)
{
    const Layout l = layout(blk);
    p.save();
    const double k = std::min(target.width() / PageWidth, target.height() / PageHeight);
    p.translate(target.center());
    p.scale(k, k);
    p.translate(-PageWidth / 2, -PageHeight / 2);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRectF(0, 0, PageWidth, PageHeight), Qt::white);

    paintTitle(p, l.title, blk, info);
    paintSection(p, l, blk);
    paintSpec(p, l.spec, blk);

    const int points = pointCount(blk);
    paintTable(p, l.points, QStringLiteral("点座標"), QStringLiteral("%1 点").arg(points),
               kPointColumns, l.pointGroups, l.pointRows, points, [&blk](int item, int c) {
                   const int i = item + 1;
                   switch (c) {
                   case 0:
                       return QString::number(i);
                   case 1:
                       return NumText::fmt000(blk.PntX[i]);
                   default:
                       return NumText::fmt000(blk.PntY[i]);
                   }
               });
    const int layers = layerCount(blk);
    paintTable(p, l.layers, QStringLiteral("層別体積"), QStringLiteral("%1 層").arg(layers),
               kLayerColumns, l.layerGroups, l.layerRows, layers, [&blk](int row, int c) {
                   switch (c) {
                   case 0:
                       return QString::number(row + 1);
                   case 1:
                       return NumText::fmtHash000(blk.LyrH[row]);
                   case 2:
                       return NumText::fmtHash000(blk.LyrV[row]);
                   default:
                       return NumText::fmtHash000(blk.LyrVSum[row]);
                   }
               });
    paintFooter(p, l.footer, info);
    p.restore();
}

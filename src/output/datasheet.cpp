#include "output/datasheet.h"

#include "analysis/blockfigures.h"
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
#include <optional>

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
constexpr double kScaleBarHeight = 70;
constexpr double kMaxSectionRow = 1350; // keeps a short sheet from a giant drawing
constexpr double kMinSectionBox = 500;  // the least drawing box closer rows make room for
constexpr double kSpecWidth = 560;
constexpr int kSpecRows = 14;
constexpr double kSpecNoteHeight = 40; // the unit weight under the 諸元 box
constexpr double kNoteLineHeight = 30; // a note under the water-level table
constexpr double kNotesGap = 8;
constexpr double kCellPad = 14;
constexpr double kUnitsPerMm = 10;
constexpr double kDrawingPad = 3; // mm between the drawing and its box

// Font pixel sizes in page units (1 pt is 3.53 of them).
constexpr int kCaptionSize = 28; // 8 pt
constexpr int kNameSize = 56;    // 16 pt
constexpr int kKindSize = 39;    // 11 pt
constexpr int kHeadingSize = 34; // 9.5 pt
constexpr int kNoteSize = 23;    // 6.5 pt

// Rows and type of the tables: the usual, then closer ones for a sheet that
// many water levels crowd; the first that leaves the section its room.
struct Density
{
    double row;
    double headerRow;
    int tableFont; // 7 pt down to 5.4 pt, in the same proportion to the row
    double specRow;
    int specFont; // 8.5 pt down to 6.5 pt
};
constexpr std::array<Density, 5> kDensities = {{
    {30, 38, 25, 48, 30},
    {28, 35, 23, 44, 28},
    {26, 32, 21, 40, 27},
    {24, 30, 20, 36, 25},
    {22, 28, 19, 32, 23},
}};

const QColor kWarn(176, 0, 0);

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

// The water-level table's columns, in the order of LevelColumn; the figures
// of the outline and of the layer table in pairs under a common title.
constexpr std::array<double, std::size_t(LevelColumn::Count)> kLevelWidths = {
    210, 130, 155, 155, 155, 155, 155, 155, 150, 150, 150, 140};

struct LevelGroup
{
    LevelColumn first;
    int span;
    QString title;
};

const std::array<LevelGroup, 7> kLevelGroups = {{
    {LevelColumn::Name, 1, QStringLiteral("名称")},
    {LevelColumn::Level, 1, QStringLiteral("水位 (m)")},
    {LevelColumn::OutlineVolume, 2, QStringLiteral("水中体積 (m3)")},
    {LevelColumn::OutlineBuoyancy, 2, QStringLiteral("浮力 (kN)")},
    {LevelColumn::OutlineInWater, 2, QStringLiteral("水中重量 (kN)")},
    {LevelColumn::OutlineCentreX, 3, QStringLiteral("浮心 (m)")},
    {LevelColumn::Note, 1, QStringLiteral("注記")},
}};

// Titles under a group's title, by column.
QString levelSubtitle(LevelColumn c)
{
    switch (c) {
    case LevelColumn::OutlineVolume:
    case LevelColumn::OutlineBuoyancy:
    case LevelColumn::OutlineInWater:
        return QStringLiteral("断面");
    case LevelColumn::LayersVolume:
    case LevelColumn::LayersBuoyancy:
    case LevelColumn::LayersInWater:
        return QStringLiteral("層表");
    case LevelColumn::OutlineCentreX:
        return QStringLiteral("X 断面");
    case LevelColumn::OutlineCentreY:
        return QStringLiteral("Y 断面");
    case LevelColumn::LayersCentreY:
        return QStringLiteral("Y 層表");
    default:
        return {};
    }
}

const QString kLevelsLegend = QStringLiteral(
    "断面: 水位より下の断面積 × L　　層表: 層別体積表の累計体積（層内は直線補間）　　"
    "水中重量 = 重量 − 浮力");

// The notes of the levels, each text once, and for each level the number
// of its note (1-based; 0 without one).
struct LevelNotes
{
    QStringList texts;
    QList<int> marks;
};

LevelNotes levelNotes(const QList<WaterLevelFigures>& levels)
{
    LevelNotes n;
    for (const WaterLevelFigures& f : levels) {
        if (f.note.isEmpty()) {
            n.marks.append(0);
            continue;
        }
        qsizetype i = n.texts.indexOf(f.note);
        if (i < 0) {
            i = n.texts.size();
            n.texts.append(f.note);
        }
        n.marks.append(int(i) + 1);
    }
    return n;
}

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

double tableHeight(const Density& d, int rows)
{
    return kHeadingHeight + d.headerRow + rows * d.row;
}

double specHeight(const Density& d)
{
    return kHeadingHeight + kSpecRows * d.specRow + kSpecNoteHeight;
}

// The water-level table: two header rows, a row per level, the legend and
// noteLines notes below.
double levelsHeight(const Density& d, int rows, int noteLines)
{
    return kHeadingHeight + 2 * d.headerRow + rows * d.row + kNotesGap +
           (1 + noteLines) * kNoteLineHeight;
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

void paintSpec(QPainter& p, const Layout& l, const BlkRec& blk, const FigureSettings& s)
{
    const QRectF& r = l.spec;
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
    const FigureTable mass = massTable(massFigures(blk, s));
    const auto massRow = [&mass](int i) -> Row {
        return {mass.rows[i][0], mass.rows[i][1], mass.rows[i][2], false};
    };
    const std::array<Row, kSpecRows> rows = {{
        {QStringLiteral("名称"), blk.Name, {}, true},
        {QStringLiteral("種別"), blk.Kind, {}, true},
        {QStringLiteral("寸法 B"), num(blk.B), QStringLiteral("m"), false},
        {QStringLiteral("寸法 H"), num(blk.H), QStringLiteral("m"), false},
        {QStringLiteral("寸法 L"), num(blk.L), QStringLiteral("m"), false},
        {QStringLiteral("重心 X"), num(blk.Gx), QStringLiteral("m"), false},
        {QStringLiteral("重心 Y"), num(blk.Gy), QStringLiteral("m"), false},
        {QStringLiteral("体積 V"), num(blk.V), QStringLiteral("m3"), false},
        massRow(0),
        massRow(1),
        massRow(2),
        {QStringLiteral("点数"), count(pointCount(blk)), {}, false},
        {QStringLiteral("線分数"),
         count(std::clamp<int>(blk.LineCnt, 0, BlkRec::LineLast)),
         {},
         false},
        {QStringLiteral("層数"), count(layerCount(blk)), {}, false},
    }};
    const double labelW = 265;
    const double unitW = 80;
    const double rowH = l.specRowHeight;
    const QRectF box(r.left(), r.top() + kHeadingHeight, r.width(), double(rows.size()) * rowH);
    p.fillRect(QRectF(box.left(), box.top(), labelW, box.height()), kHeaderFill);
    const QFont f = sheetFont(l.specFontSize);
    const QFont numbers = sheetFont(l.specFontSize);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const QRectF cell(box.left(), box.top() + double(i) * rowH, box.width(), rowH);
        if (i > 0) {
            // Heavier rules around the mass figures.
            const bool section = i == 8 || i == 11;
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
    text(p, QRectF(box.left(), box.bottom(), box.width(), kSpecNoteHeight), Qt::AlignRight,
         QStringLiteral("ρc = %1 t/m3、g = %2 m/s2")
             .arg(NumText::fixed(s.concrete, 2), NumText::fixed(s.gravity, 2)),
         sheetFont(kNoteSize), kMuted);
}

// One table in column groups: rows per group, the i-th item's text in
// column c from cell(i, c); items beyond count leave their rows blank.
template <std::size_t N>
void paintTable(QPainter& p, const Layout& l, const QRectF& r, const QString& title,
                const QString& note, const std::array<Column, N>& cols, int groups, int rows,
                int count, const std::function<QString(int, int)>& cell)
{
    heading(p, r, title, note);
    const double gw = groupWidth(cols);
    const double headerH = l.headerRowHeight;
    const double rowH = l.rowHeight;
    const QFont headFont = sheetFont(l.tableFontSize, true);
    const QFont f = sheetFont(l.tableFontSize);
    for (int g = 0; g < groups; ++g) {
        const double left = r.left() + g * (gw + kGroupGap);
        const double top = r.top() + kHeadingHeight;
        const QRectF box(left, top, gw, headerH + rows * rowH);
        p.fillRect(QRectF(left, top, gw, headerH), kHeaderFill);
        for (int row = 1; row < rows; row += 2)
            p.fillRect(QRectF(left, top + headerH + row * rowH, gw, rowH), kStripe);
        double x = left;
        for (std::size_t c = 0; c < N; ++c) {
            const Column& col = cols[c];
            const QRectF head(x + kCellPad / 2, top, col.width - kCellPad, headerH);
            text(p, head, col.align == Qt::AlignRight ? Qt::AlignRight : Qt::AlignHCenter,
                 col.title, headFont, kInk);
            for (int row = 0; row < rows; ++row) {
                const int item = g * rows + row;
                if (item >= count)
                    break;
                const QRectF rc(x + kCellPad, top + headerH + row * rowH, col.width - 2 * kCellPad,
                                rowH);
                text(p, rc, col.align, cell(item, int(c)), f, kInk);
            }
            if (c > 0)
                line(p, QPointF(x, top), QPointF(x, box.bottom()), kHairline, 1.5);
            x += col.width;
        }
        if (count == 0 && g == 0)
            text(p, QRectF(left, top + headerH, gw, rowH), Qt::AlignHCenter,
                 QStringLiteral("（なし）"), f, kMuted);
        line(p, QPointF(left, top + headerH), QPointF(box.right(), top + headerH), kRule, 2.5);
        frame(p, box, kRule, 3);
    }
}

// The figures at the still-water levels: the outline's and the layer
// table's side by side, a mark in 注記 for each note written below, the
// layer table's figures in red where it misrepresents the block.
void paintLevels(QPainter& p, const Layout& l, const QList<WaterLevelFigures>& levels,
                 const FigureSettings& s)
{
    const QRectF& r = l.levels;
    heading(p, r, QStringLiteral("静水位での浮力"), unitWeightsText(s));
    const FigureTable t = waterLevelTable(levels);
    const LevelNotes notes = levelNotes(levels);
    const double headerH = l.headerRowHeight;
    const double rowH = l.rowHeight;
    const double top = r.top() + kHeadingHeight;
    const double bodyTop = top + 2 * headerH;
    const QRectF box(r.left(), top, r.width(), 2 * headerH + l.levelRows * rowH);
    p.fillRect(QRectF(box.left(), top, box.width(), 2 * headerH), kHeaderFill);
    for (int row = 1; row < l.levelRows; row += 2)
        p.fillRect(QRectF(box.left(), bodyTop + row * rowH, box.width(), rowH), kStripe);

    std::array<double, kLevelWidths.size() + 1> x{};
    x[0] = box.left();
    for (std::size_t c = 0; c < kLevelWidths.size(); ++c)
        x[c + 1] = x[c] + kLevelWidths[c];
    const QFont headFont = sheetFont(l.tableFontSize, true);
    const QFont f = sheetFont(l.tableFontSize);

    for (const LevelGroup& g : kLevelGroups) {
        const auto first = std::size_t(g.first);
        const auto end = first + std::size_t(g.span);
        const double left = x[first];
        const double right = x[end];
        const double titleH = g.span > 1 ? headerH : 2 * headerH;
        text(p, QRectF(left + kCellPad / 2, top, right - left - kCellPad, titleH), Qt::AlignHCenter,
             g.title, headFont, kInk);
        if (g.span > 1) {
            line(p, QPointF(left, top + headerH), QPointF(right, top + headerH), kHairline, 1.5);
            for (std::size_t c = first; c < end; ++c) {
                text(
                    p,
                    QRectF(x[c] + kCellPad / 2, top + headerH, x[c + 1] - x[c] - kCellPad, headerH),
                    Qt::AlignHCenter, levelSubtitle(LevelColumn(c)), headFont, kInk);
                if (c > first)
                    line(p, QPointF(x[c], top + headerH), QPointF(x[c], box.bottom()), kHairline,
                         1.5);
            }
        }
        if (first > 0)
            line(p, QPointF(left, top), QPointF(left, box.bottom()), kRule, 1.5);
    }

    for (int row = 0; row < l.levelRows && row < t.rows.size(); ++row) {
        const QStringList& cells = t.rows[row];
        const bool disagree = levels[row].disagree;
        const double y = bodyTop + row * rowH;
        for (std::size_t c = 0; c < kLevelWidths.size(); ++c) {
            const auto col = LevelColumn(c);
            const bool layerSide = col == LevelColumn::LayersVolume ||
                                   col == LevelColumn::LayersBuoyancy ||
                                   col == LevelColumn::LayersInWater;
            QString shown = cells.value(qsizetype(c));
            Qt::Alignment align = Qt::AlignRight;
            if (col == LevelColumn::Name) {
                align = Qt::AlignLeft;
            } else if (col == LevelColumn::Note) {
                const int mark = notes.marks.value(row);
                shown = mark > 0 ? QStringLiteral("※%1").arg(mark) : QString();
                align = Qt::AlignHCenter;
            }
            const QColor ink = disagree && (layerSide || col == LevelColumn::Note) ? kWarn : kInk;
            text(p, QRectF(x[c] + kCellPad, y, x[c + 1] - x[c] - 2 * kCellPad, rowH), align, shown,
                 f, ink);
        }
    }
    line(p, QPointF(box.left(), bodyTop), QPointF(box.right(), bodyTop), kRule, 2.5);
    frame(p, box, kRule, 3);

    // The legend, then the notes that find room; a last line counts the rest.
    const QFont noteFont = sheetFont(kNoteSize);
    QRectF lineBox(box.left(), box.bottom() + kNotesGap, box.width(), kNoteLineHeight);
    text(p, lineBox, Qt::AlignLeft, kLevelsLegend, noteFont, kMuted);
    const auto count = qsizetype(l.levelNotes);
    const qsizetype shown = count < notes.texts.size() ? std::max<qsizetype>(count - 1, 0) : count;
    for (qsizetype i = 0; i < shown && i < notes.texts.size(); ++i) {
        lineBox.translate(0, kNoteLineHeight);
        text(p, lineBox, Qt::AlignLeft, QStringLiteral("※%1　%2").arg(i + 1).arg(notes.texts[i]),
             noteFont, kInk);
    }
    if (shown < notes.texts.size() && count > 0) {
        lineBox.translate(0, kNoteLineHeight);
        text(p, lineBox, Qt::AlignLeft,
             QStringLiteral("※%1 から ※%2 の注記は、チェック画面の「質量・浮力」に表示されます。")
                 .arg(shown + 1)
                 .arg(notes.texts.size()),
             noteFont, kInk);
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

// The layout for a block at density d with levels rows in the water-level
// table and noteLines notes under it.
Layout layoutAt(const BlkRec& blk, const Density& d, int levels, int noteLines)
{
    Layout l;
    l.title = QRectF(kSide, kTop, kWidth, kTitleHeight);
    l.footer = QRectF(kSide, PageHeight - kBottom - kFooterHeight, kWidth, kFooterHeight);
    const double contentTop = l.title.bottom() + 40;
    const double contentBottom = l.footer.top() - 50;
    l.rowHeight = d.row;
    l.headerRowHeight = d.headerRow;
    l.tableFontSize = d.tableFont;
    l.specRowHeight = d.specRow;
    l.specFontSize = d.specFont;

    split(pointCount(blk), PointRowsPerGroup, l.pointGroups, l.pointRows);
    split(layerCount(blk), LayerRowsPerGroup, l.layerGroups, l.layerRows);
    const double pw = tableWidth(l.pointGroups, groupWidth(kPointColumns));
    const double lw = tableWidth(l.layerGroups, groupWidth(kLayerColumns));
    const double ph = tableHeight(d, l.pointRows);
    const double lh = tableHeight(d, l.layerRows);
    const bool sideBySide = pw + kTableGap + lw <= kWidth;
    const double tablesHeight = sideBySide ? std::max(ph, lh) : ph + kBlockGap + lh;
    const double levelsH = levels > 0 ? levelsHeight(d, levels, noteLines) + kBlockGap : 0;

    const double sectionRow =
        std::min(contentBottom - contentTop - kBlockGap - tablesHeight - levelsH, kMaxSectionRow);
    const double boxWidth = kWidth - kSpecWidth - 60;
    l.section = QRectF(kSide, contentTop + kHeadingHeight, boxWidth,
                       sectionRow - kHeadingHeight - kScaleBarHeight);
    l.scaleBar = QRectF(kSide, l.section.bottom(), boxWidth, kScaleBarHeight);
    l.spec = QRectF(PageWidth - kSide - kSpecWidth, contentTop, kSpecWidth, specHeight(d));

    double tablesTop = contentTop + sectionRow + kBlockGap;
    if (levels > 0) {
        l.levelRows = levels;
        l.levelNotes = noteLines;
        l.levels = QRectF(kSide, tablesTop, kWidth, levelsH - kBlockGap);
        tablesTop += levelsH;
    }
    l.points = QRectF(kSide, tablesTop, pw, ph);
    if (sideBySide)
        l.layers = QRectF(kSide + pw + kTableGap, tablesTop, lw, lh);
    else
        l.layers = QRectF(kSide, tablesTop + ph + kBlockGap, lw, lh);
    return l;
}

// The section row holds the 諸元 box and a drawing box of a usable size.
bool roomy(const Layout& l)
{
    return l.scaleBar.bottom() >= l.spec.bottom() && l.section.height() >= kMinSectionBox;
}

// The layout with notes distinct notes under levels water levels. Without
// levels the usual rows. With them, the closer rows are taken only where
// they let the drawing come out at a finer scale; where even the closest
// leave too little room, the notes beyond it give way to a line that says
// where they are.
Layout layoutFor(const BlkRec& blk, int levels, int notes)
{
    if (levels <= 0)
        return layoutAt(blk, kDensities.front(), 0, 0);
    std::optional<Layout> chosen;
    int chosenScale = 0;
    for (const Density& d : kDensities) {
        Layout l = layoutAt(blk, d, levels, notes);
        if (!roomy(l))
            continue;
        const int scale = scaleFor(blk, l);
        if (!chosen || (scale > 0 && scale < chosenScale)) {
            chosen = l;
            chosenScale = scale;
        }
    }
    if (chosen)
        return *chosen;
    const Density& closest = kDensities.back();
    int lines = notes;
    Layout l = layoutAt(blk, closest, levels, lines);
    while (lines > 0 && !roomy(l))
        l = layoutAt(blk, closest, levels, --lines);
    return l;
}

QList<WaterLevelFigures> sheetLevels(const BlkRec& blk, const FigureSettings& s)
{
    if (s.levels.isEmpty())
        return {};
    return blockFigures(blk, s).levels;
}

Layout layoutFor(const BlkRec& blk, const QList<WaterLevelFigures>& levels)
{
    return layoutFor(blk, int(levels.size()), int(levelNotes(levels).texts.size()));
}

} // namespace

int DataSheet::sectionScale(const BlkRec& blk, const FigureSettings& s)
{
    return scaleFor(blk, layout(blk, s));
}

QStringList DataSheet::fontFamilies()
{
    return {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
}

DataSheet::Layout DataSheet::layout(const BlkRec& blk, const FigureSettings& s)
{
    return layoutFor(blk, sheetLevels(blk, s));
}

void DataSheet::paint(QPainter& p, const QRectF& target, const BlkRec& blk,
                      const DataSheetInfo& info)
{
    const QList<WaterLevelFigures> levels = sheetLevels(blk, info.figures);
    const Layout l = layoutFor(blk, levels);
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
    paintSpec(p, l, blk, info.figures);
    if (!levels.isEmpty())
        paintLevels(p, l, levels, info.figures);

    const int points = pointCount(blk);
    paintTable(p, l, l.points, QStringLiteral("点座標"), QStringLiteral("%1 点").arg(points),
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
    paintTable(p, l, l.layers, QStringLiteral("層別体積"), QStringLiteral("%1 層").arg(layers),
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

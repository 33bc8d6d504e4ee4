#include "exchange/dxfexport.h"

#include "document/cp932.h"
#include "exchange/dxfnumbers.h"

#include <dl_dxf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace {

// Points farther than this from the origin are not drawn (metres).
constexpr double kMaxCoordinate = 1e7;

// dxflib's writers take a DL_WriterA, which writes to a file and prints reals
// with 16 fixed decimals. This one collects the bytes in memory, ends lines
// with CR LF and prints each real as its shortest exact text. The base opens
// no file: it is given no name.
class BufferWriter : public DL_WriterA
{
public:
    explicit BufferWriter(DL_Codes::version v) : DL_WriterA("", v) {}

    void dxfReal(int gc, double value) const override
    {
        dxfString(gc, DxfNumbers::shortest(value));
    }
    void dxfInt(int gc, int value) const override { dxfString(gc, std::to_string(value)); }
    void dxfHex(int gc, int value) const override
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%X", unsigned(value));
        dxfString(gc, buf);
    }
    void dxfString(int gc, const char* value) const override
    {
        dxfString(gc, std::string(value ? value : ""));
    }
    void dxfString(int gc, const std::string& value) const override
    {
        // Group codes right-aligned in three columns, as CAD programs write them.
        std::string code = std::to_string(gc);
        if (code.size() < 3)
            code.insert(0, 3 - code.size(), ' ');
        mOut += code;
        mOut += "\r\n";
        mOut += value;
        mOut += "\r\n";
    }

    QByteArray bytes() const { return QByteArray::fromStdString(mOut); }

private:
    mutable std::string mOut;
};

// Texts and layer names in cp932; every one of ours has a code there.
std::string sjis(const QString& text)
{
    QByteArray b;
    Cp932::encode(text, b);
    return b.toStdString();
}

const QString kOutline = QStringLiteral("外形");
const QString kNumbers = QStringLiteral("点番号");
const QString kGravity = QStringLiteral("重心");
const QString kDimensions = QStringLiteral("寸法");

struct Layer
{
    const QString& name;
    int colour;
};

// Colours of the screen where they have a counterpart: magenta point marks,
// cyan centre of gravity.
const Layer kLayers[] = {{kOutline, 7}, {kNumbers, 6}, {kGravity, 4}, {kDimensions, 3}};

// Drawing the block: metres in, file units out.
class Drawer
{
public:
    Drawer(const BlkRec& blk, DxfUnit unit) : mBlk(blk), mUnit(unit), mWriter(DL_Codes::AC1009)
    {
        // DL_Dxf takes its version only from out(); with no file name it
        // opens nothing and returns no writer.
        delete mDxf.out("", DL_Codes::AC1009);
    }

    QByteArray draw();

private:
    double u(double metres) const
    {
        return mUnit == DxfUnit::Millimetre ? DxfNumbers::shiftDecimal(metres, 3) : metres;
    }
    DL_Attributes on(const QString& layer) const
    {
        return DL_Attributes(sjis(layer), 256, -1, -1, "BYLAYER");
    }
    // Annotation is placed by arithmetic on the text height, which leaves
    // binary dust (-0.32999999999999996): rounded to micrometres. Outline
    // points are written as they are.
    static double tidy(double metres) { return std::round(metres * 1e6) / 1e6; }
    void line(const QString& layer, double x1, double y1, double x2, double y2, bool exact = false)
    {
        if (!exact) {
            x1 = tidy(x1), y1 = tidy(y1), x2 = tidy(x2), y2 = tidy(y2);
        }
        mDxf.writeLine(mWriter, DL_LineData(u(x1), u(y1), 0, u(x2), u(y2), 0), on(layer));
    }
    // Text at (x, y) in metres; hAlign 0 left, 1 centre; angle in degrees.
    void text(const QString& layer, double x, double y, const QString& s, int hAlign = 0,
              double angle = 0)
    {
        const double rad = angle * std::numbers::pi / 180.0;
        x = tidy(x);
        y = tidy(y);
        DL_TextData d(u(x), u(y), 0, u(x), u(y), 0, u(mTextHeight), 1.0, 0, hAlign, 0, sjis(s),
                      "STANDARD", rad);
        mDxf.writeText(mWriter, d, on(layer));
    }
    void header();
    void tables();
    void outline();
    void pointNumbers();
    void gravity();
    void dimensions();
    QString value(double metres) const;

    const BlkRec& mBlk;
    DxfUnit mUnit;
    DL_Dxf mDxf;
    BufferWriter mWriter;
    double mTextHeight = 0.05; // metres
    double mMinX = 0, mMinY = 0, mMaxX = 0, mMaxY = 0;
};

void Drawer::header()
{
    mDxf.writeHeader(mWriter);
    mWriter.dxfString(9, "$DWGCODEPAGE");
    mWriter.dxfString(3, "ANSI_932");
    // The extents let a viewer open the drawing fitted to it; the margin
    // holds the dimensions.
    const double margin = 8 * mTextHeight;
    mWriter.dxfString(9, "$EXTMIN");
    mWriter.coord(10, u(tidy(mMinX - margin)), u(tidy(mMinY - margin)), 0);
    mWriter.dxfString(9, "$EXTMAX");
    mWriter.coord(10, u(mMaxX), u(mMaxY), 0);
    mWriter.sectionEnd();
}

void Drawer::tables()
{
    mWriter.sectionTables();
    mWriter.tableLinetypes(1);
    mDxf.writeLinetype(mWriter, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    mWriter.tableEnd();
    mWriter.tableLayers(int(std::size(kLayers)) + 1);
    mDxf.writeLayer(mWriter, DL_LayerData("0", 0), DL_Attributes("0", 7, -1, -1, "CONTINUOUS"));
    for (const Layer& l : kLayers) {
        mDxf.writeLayer(mWriter, DL_LayerData(sjis(l.name), 0),
                        DL_Attributes(sjis(l.name), l.colour, -1, -1, "CONTINUOUS"));
    }
    mWriter.tableEnd();
    mWriter.tableStyle(1);
    mDxf.writeStyle(mWriter,
                    DL_StyleData("STANDARD", 0, 0.0, 1.0, 0.0, 0, u(mTextHeight), "txt", ""));
    mWriter.tableEnd();
    mWriter.sectionEnd();
}

void Drawer::outline()
{
    for (int i = 1; i <= mBlk.LineCnt; ++i) {
        const int a = mBlk.LineSt[size_t(i)];
        const int b = mBlk.LineEd[size_t(i)];
        if (a < 1 || a > mBlk.PntCnt || b < 1 || b > mBlk.PntCnt)
            continue; // a segment to nowhere (from a damaged file) has nothing to draw
        line(kOutline, mBlk.PntX[size_t(a)], mBlk.PntY[size_t(a)], mBlk.PntX[size_t(b)],
             mBlk.PntY[size_t(b)], true);
    }
}

void Drawer::pointNumbers()
{
    // The number's lower-left corner a little up and right of the point.
    const double off = mTextHeight * 0.3;
    for (int i = 1; i <= mBlk.PntCnt; ++i)
        text(kNumbers, mBlk.PntX[size_t(i)] + off, mBlk.PntY[size_t(i)] + off, QString::number(i));
}

void Drawer::gravity()
{
    if (mBlk.Gx == 0 && mBlk.Gy == 0)
        return; // not given: the screen shows no mark either
    const double r = mTextHeight * 0.5;
    mDxf.writeCircle(mWriter, DL_CircleData(u(mBlk.Gx), u(mBlk.Gy), 0, u(tidy(r))), on(kGravity));
    line(kGravity, mBlk.Gx - 2 * r, mBlk.Gy, mBlk.Gx + 2 * r, mBlk.Gy);
    line(kGravity, mBlk.Gx, mBlk.Gy - 2 * r, mBlk.Gx, mBlk.Gy + 2 * r);
    text(kGravity, mBlk.Gx + 2 * r, mBlk.Gy + r, QStringLiteral("G"));
}

QString Drawer::value(double metres) const
{
    if (mUnit == DxfUnit::Millimetre)
        return QString::fromStdString(DxfNumbers::shortest(u(metres))) + QStringLiteral(" mm");
    return QString::number(metres, 'f', 3) + QStringLiteral(" m");
}

void Drawer::dimensions()
{
    const double h = mTextHeight;
    const double gap = 3 * h; // from the outline to the dimension line
    const double tick = h * 0.5;
    // B below the box 0..B, H left of the box 0..H.
    if (mBlk.B > 0) {
        const double y = std::min(mMinY, 0.0) - gap;
        line(kDimensions, 0, 0, 0, y - tick);
        line(kDimensions, mBlk.B, 0, mBlk.B, y - tick);
        line(kDimensions, 0, y, mBlk.B, y);
        line(kDimensions, -tick, y - tick, tick, y + tick);
        line(kDimensions, mBlk.B - tick, y - tick, mBlk.B + tick, y + tick);
        text(kDimensions, mBlk.B / 2, y + tick, QStringLiteral("B = ") + value(mBlk.B), 1);
    }
    const double x = std::min(mMinX, 0.0) - gap;
    if (mBlk.H > 0) {
        line(kDimensions, 0, 0, x - tick, 0);
        line(kDimensions, 0, mBlk.H, x - tick, mBlk.H);
        line(kDimensions, x, 0, x, mBlk.H);
        line(kDimensions, x - tick, -tick, x + tick, tick);
        line(kDimensions, x - tick, mBlk.H - tick, x + tick, mBlk.H + tick);
        text(kDimensions, x - tick, mBlk.H / 2, QStringLiteral("H = ") + value(mBlk.H), 1, 90);
    }
    // R12 has no units variable: the unit is said in words.
    const double below = std::min(mMinY, 0.0) - gap - 4 * h;
    text(kDimensions, x, below, QStringLiteral("単位: ") + Dxf::unitName(mUnit));
}

QByteArray Drawer::draw()
{
    // The extent of everything drawn, and a text height that suits it.
    mMinX = 0;
    mMaxX = std::max(0.0, mBlk.B);
    mMaxY = std::max(0.0, mBlk.H);
    for (int i = 1; i <= mBlk.PntCnt; ++i) {
        mMinX = std::min(mMinX, mBlk.PntX[size_t(i)]);
        mMaxX = std::max(mMaxX, mBlk.PntX[size_t(i)]);
        mMinY = std::min(mMinY, mBlk.PntY[size_t(i)]);
        mMaxY = std::max(mMaxY, mBlk.PntY[size_t(i)]);
    }
    const double size = std::max(mMaxX - mMinX, mMaxY - mMinY);
    if (size > 0)
        mTextHeight = std::max(0.001, tidy(size / 40));

    header();
    tables();
    mWriter.sectionEntities();
    outline();
    pointNumbers();
    gravity();
    dimensions();
    mWriter.sectionEnd();
    mWriter.dxfEOF();
    return mWriter.bytes();
}

// The first value the drawing cannot hold, as a message; empty if none.
QString unusable(const BlkRec& blk)
{
    auto bad = [](double v) { return !std::isfinite(v) || std::fabs(v) > kMaxCoordinate; };
    if (blk.PntCnt < 0 || blk.PntCnt > BlkRec::PntLast || blk.LineCnt < 0 ||
        blk.LineCnt > BlkRec::LineLast)
        return QStringLiteral("点または線分の数が範囲外です。");
    for (int i = 1; i <= blk.PntCnt; ++i) {
        if (bad(blk.PntX[size_t(i)]) || bad(blk.PntY[size_t(i)]))
            return QStringLiteral("点 %1 の座標が描ける値ではありません。").arg(i);
    }
    for (double v : {blk.B, blk.H, blk.Gx, blk.Gy}) {
        if (bad(v))
            return QStringLiteral("ブロック諸元 (B, H, 重心) に描ける値ではないものがあります。");
    }
    return {};
}

} // namespace

namespace Dxf {

QString unitName(DxfUnit unit)
{
    return unit == DxfUnit::Millimetre ? QStringLiteral("mm") : QStringLiteral("m");
}

DxfExportResult exportBlock(const BlkRec& blk, const DxfExportOptions& options)
{
    DxfExportResult r;
    r.error = unusable(blk);
    if (!r.ok())
        return r;
    Drawer d(blk, options.unit);
    r.bytes = d.draw();
    return r;
}

} // namespace Dxf

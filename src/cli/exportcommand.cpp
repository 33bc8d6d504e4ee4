#include "cli/exportcommand.h"

#include "cli/blockfiles.h"
#include "cli/console.h"
#include "cli/figuresjson.h"
#include "document/blockfile.h"
#include "exchange/dxfexport.h"
#include "output/exports.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>

namespace Cli {

namespace {

const QString kUsage = QStringLiteral(
    "export --format sheet|pdf|svg|png|dxf [--scale 1:N] [--look drawing|screen] -o OUT FILE");
const QString kAbout = QStringLiteral(
    "ブロックを書き出します。sheet: データシート (PDF)、pdf・svg・png: 断面図のみ、dxf: CAD "
    "用の図面\n"
    "(R12)。断面図は図面 (drawing: 白地、縮尺、寸法) か画面 (screen) の見た目で、縮尺を省くと\n"
    "収まる最大の標準縮尺 (PNG は --size に、SVG・PDF は A4 に) を使います。");

const QStringList kFormats = {QStringLiteral("sheet"), QStringLiteral("pdf"), QStringLiteral("svg"),
                              QStringLiteral("png"), QStringLiteral("dxf")};

// What the command line asks for, checked.
struct Request
{
    QString format;
    SectionExport section;
    DxfExportOptions dxf;
};

bool fail(Console& io, const QString& why)
{
    usageError(io, why, kUsage);
    return false;
}

bool parseSize(const QString& text, QSize& size)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^\\s*(\\d{1,5})\\s*[xX×]\\s*(\\d{1,5})\\s*$"))
            .match(text);
    if (!m.hasMatch())
        return false;
    size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    return true;
}

bool parse(const Options& opt, Request& r, Console& io)
{
    r.format = opt.value(QStringLiteral("format")).toLower();
    if (!kFormats.contains(r.format))
        return fail(io, QStringLiteral("--format には %1 のどれかを指定してください。")
                            .arg(kFormats.join(u'|')));
    const bool picture = r.format == u"pdf" || r.format == u"svg" || r.format == u"png";
    const QString look = opt.value(QStringLiteral("look"));
    if (!look.isEmpty() && look != u"drawing" && look != u"screen")
        return fail(io, QStringLiteral("--look には drawing か screen を指定してください。"));
    if (!look.isEmpty() && !picture)
        return fail(io, QStringLiteral("--look は pdf・svg・png のときだけ指定できます。"));
    r.section.look = look == u"screen" ? SectionLook::Screen : SectionLook::Drawing;
    r.section.drawing.scale = 0; // the largest standard one that fits
    if (opt.isSet(QStringLiteral("scale"))) {
        const std::optional<int> n = DrawingScale::parse(opt.value(QStringLiteral("scale")));
        if (!n)
            return fail(io, QStringLiteral("縮尺は 1:20 のように指定してください。"));
        if (!picture || r.section.look != SectionLook::Drawing)
            return fail(io, QStringLiteral("--scale は図面の見た目の pdf・svg・png のときだけ"
                                           "指定できます (データシートは縮尺を自分で選びます)。"));
        r.section.drawing.scale = *n;
    }
    if (opt.isSet(QStringLiteral("size")) &&
        !parseSize(opt.value(QStringLiteral("size")), r.section.size))
        return fail(io, QStringLiteral("大きさは 1600x1200 のように指定してください。"));
    if (opt.isSet(QStringLiteral("dpi"))) {
        bool ok = false;
        r.section.dpi = opt.value(QStringLiteral("dpi")).toInt(&ok);
        if (!ok)
            return fail(io, QStringLiteral("--dpi は整数で指定してください。"));
    }
    const QString unit = opt.value(QStringLiteral("unit"));
    if (!unit.isEmpty() && unit != u"mm" && unit != u"m")
        return fail(io, QStringLiteral("--unit には mm か m を指定してください。"));
    if (!unit.isEmpty() && r.format != u"dxf")
        return fail(io, QStringLiteral("--unit は dxf のときだけ指定できます。"));
    r.dxf.unit = unit == u"m" ? DxfUnit::Metre : DxfUnit::Millimetre;
    return true;
}

QString write(const Request& r, const QString& in, const QString& out, const BlkRec& rec)
{
    if (r.format == u"dxf") {
        const DxfExportResult d = Dxf::exportBlock(rec, r.dxf);
        if (!d.ok())
            return d.error;
        const BlkWriteResult w = Blk_WriteBytes(d.bytes, out);
        return w.ok ? QString() : w.message;
    }
    ExportResult e;
    if (r.format == u"sheet") {
        DataSheetInfo info;
        info.fileName = QFileInfo(in).fileName();
        info.date = QDate::currentDate();
        info.figures = currentFigureSettings();
        e = Exports::writeDataSheetPdf(out, rec, info);
    } else if (r.format == u"pdf") {
        e = Exports::writeSectionPdf(out, rec, r.section);
    } else if (r.format == u"svg") {
        e = Exports::writeSectionSvg(out, rec, r.section);
    } else {
        e = Exports::writeSectionPng(out, rec, r.section);
    }
    return e.reason;
}

} // namespace

int exportBlock(const QStringList& args, Console& io)
{
    Options opt(kUsage, kAbout);
    opt.add(
        QCommandLineOption(QStringLiteral("format"),
                           QStringLiteral("sheet (データシート PDF)、pdf・svg・png (断面図)、dxf"),
                           QStringLiteral("FORMAT")));
    opt.add(QCommandLineOption(QStringLiteral("scale"),
                               QStringLiteral("断面図の縮尺 (1:5 〜 1:500 など)。省くと収まる最大の"
                                              "標準縮尺"),
                               QStringLiteral("1:N")));
    opt.add(
        QCommandLineOption(QStringLiteral("look"),
                           QStringLiteral("断面図の見た目: drawing (図面、既定) か screen (画面)"),
                           QStringLiteral("LOOK")));
    opt.add(QCommandLineOption(
        QStringLiteral("size"),
        QStringLiteral("PNG (と画面の見た目) の大きさ、ピクセル (既定 1600x1200)"),
        QStringLiteral("WxH")));
    opt.add(QCommandLineOption(QStringLiteral("dpi"), QStringLiteral("PNG の解像度 (既定 300)"),
                               QStringLiteral("N")));
    opt.add(QCommandLineOption(QStringLiteral("unit"), QStringLiteral("DXF の単位: mm (既定) か m"),
                               QStringLiteral("UNIT")));
    opt.add(QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")},
                               QStringLiteral("出力するファイル"), QStringLiteral("OUT")));
    if (const auto stop = opt.parse(args, io, 1, 1))
        return *stop;
    Request r;
    const QString out = opt.value(QStringLiteral("output"));
    if (!parse(opt, r, io) || !checkOutput(out, kUsage, io))
        return Failed;

    const QString in = opt.positional().constFirst();
    BlkRec rec;
    if (!readBlock(in, rec, io))
        return Failed;
    if (const QString why = write(r, in, out, rec); !why.isEmpty()) {
        io.err(why);
        return Failed;
    }
    if (opt.json()) {
        QJsonObject o;
        o.insert(QStringLiteral("file"), out);
        o.insert(QStringLiteral("source"), in);
        o.insert(QStringLiteral("format"), r.format);
        o.insert(QStringLiteral("bytes"), double(QFileInfo(out).size()));
        io.json(o);
    } else {
        io.out(QStringLiteral("%1: 出力しました。").arg(shown(out)));
    }
    return AllWell;
}

} // namespace Cli

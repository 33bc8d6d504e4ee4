#include "cli/importdxfcommand.h"

#include "analysis/layervolumes.h"
#include "cli/blockfiles.h"
#include "cli/console.h"
#include "document/blockfile.h"
#include "exchange/dxfimport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace Cli {

namespace {

const QString kUsage = QStringLiteral("import-dxf [--layer NAME]... [--unit mm|m] [--tolerance MM] "
                                      "[--keep-origin] -o OUT.csv IN.dxf");
const QString kAbout = QStringLiteral(
    "DXF 図面 (R12〜2018、ASCII) "
    "の線・ポリライン・円弧から外形を取り込み、新しいブロックファイルに\n"
    "書きます。--layer を省くと、レイヤ「外形」があればそれを、なければすべてのレイヤを使います。\n"
    "名称はファイル名、B・H・重心は外形から入れます。L・V・層別体積は入力してください。");

bool fail(Console& io, const QString& why)
{
    usageError(io, why, kUsage);
    return false;
}

bool parse(const Options& opt, DxfImportOptions& o, Console& io)
{
    o.layers = opt.values(QStringLiteral("layer"));
    const QString unit = opt.value(QStringLiteral("unit"));
    if (!unit.isEmpty() && unit != u"mm" && unit != u"m")
        return fail(io, QStringLiteral("--unit には mm か m を指定してください。"));
    if (!unit.isEmpty())
        o.unit = unit == u"m" ? DxfUnitChoice::Metre : DxfUnitChoice::Millimetre;
    if (opt.isSet(QStringLiteral("tolerance"))) {
        bool ok = false;
        o.toleranceMm = opt.value(QStringLiteral("tolerance")).trimmed().toDouble(&ok);
        if (!ok || !(o.toleranceMm >= 0) || o.toleranceMm > 1000)
            return fail(io, QStringLiteral("--tolerance は 0〜1000 (mm) の数で指定してください。"));
    }
    o.moveToOrigin = !opt.isSet(QStringLiteral("keep-origin"));
    return true;
}

bool readBytes(const QString& path, QByteArray& bytes, Console& io)
{
    QFile f(path);
    const QFileInfo fi(path);
    if (!fi.isFile() || !f.open(QIODevice::ReadOnly)) {
        io.err(fi.exists() ? QStringLiteral("ファイル「%1」を開けません。").arg(shown(path))
                           : QStringLiteral("ファイル「%1」がありません。").arg(shown(path)));
        return false;
    }
    if (f.size() > Dxf::MaxFileBytes) {
        io.err(QStringLiteral("ファイル「%1」は大きすぎます。").arg(shown(path)));
        return false;
    }
    bytes = f.readAll();
    return true;
}

// The layers asked for that the drawing does not have, reported.
bool layersPresent(const DxfDrawing& d, const QStringList& asked, Console& io)
{
    QStringList known;
    for (const DxfLayerInfo& l : d.layers)
        known << l.name;
    for (const QString& name : asked) {
        if (!known.contains(name)) {
            io.err(QStringLiteral("%1: レイヤ「%2」はありません。レイヤ: %3")
                       .arg(shown(d.fileName), name, known.join(QStringLiteral("、"))));
            return false;
        }
    }
    return true;
}

// The new block: the outline, the file's name as the block's name where the
// block file can hold it, and what the outline gives of B, H and the centre.
BlkRec newBlock(const QString& in, const DxfOutline& outline)
{
    BlkRec rec;
    const QString name = QFileInfo(in).completeBaseName();
    if (Blk_TextProblem(QStringLiteral("名称"), name).isEmpty())
        rec.Name = name;
    Dxf::applyOutline(rec, outline);
    const SpecProposal p = proposeSpec(rec);
    if (p.ok) {
        rec.B = p.B;
        rec.H = p.H;
        rec.Gx = p.Gx;
        rec.Gy = p.Gy;
    }
    return rec;
}

} // namespace

int importDxf(const QStringList& args, Console& io)
{
    Options opt(kUsage, kAbout);
    opt.add(QCommandLineOption(QStringLiteral("layer"),
                               QStringLiteral("取り込むレイヤ。繰り返して複数指定"),
                               QStringLiteral("NAME")));
    opt.add(QCommandLineOption(
        QStringLiteral("unit"),
        QStringLiteral("図面の単位: mm か m (省くと図面の $INSUNITS、なければ mm)"),
        QStringLiteral("UNIT")));
    opt.add(QCommandLineOption(
        QStringLiteral("tolerance"),
        QStringLiteral("この距離 (mm) より近い端点を 1 点にまとめます (既定 0.5)"),
        QStringLiteral("MM")));
    opt.add(QCommandLineOption(QStringLiteral("keep-origin"),
                               QStringLiteral("外形の左下を (0, 0) に移しません")));
    opt.add(QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")},
                               QStringLiteral("出力するブロックファイル"),
                               QStringLiteral("OUT.csv")));
    if (const auto stop = opt.parse(args, io, 1, 1))
        return *stop;
    DxfImportOptions options;
    const QString out = opt.value(QStringLiteral("output"));
    if (!parse(opt, options, io) || !checkOutput(out, kUsage, io))
        return Failed;

    const QString in = opt.positional().constFirst();
    QByteArray bytes;
    if (!readBytes(in, bytes, io))
        return Failed;
    const DxfReadResult read = Dxf::read(bytes, shown(in));
    if (!read.ok()) {
        io.err(read.error);
        return Failed;
    }
    if (!layersPresent(read.drawing, options.layers, io))
        return Failed;
    if (options.layers.isEmpty())
        options.layers = Dxf::defaultLayers(read.drawing);
    const DxfOutlineResult r = Dxf::toOutline(read.drawing, options);
    if (!r.ok()) {
        io.err(r.error);
        return Failed;
    }
    const BlkRec rec = newBlock(in, r.outline);
    if (const BlkWriteResult w = Blk_Write(rec, out); !w.ok) {
        io.err(w.message);
        return Failed;
    }
    const QString unit = Dxf::unitName(Dxf::unitFor(read.drawing, options.unit));
    if (opt.json()) {
        QJsonObject o;
        o.insert(QStringLiteral("file"), out);
        o.insert(QStringLiteral("source"), in);
        o.insert(QStringLiteral("layers"), QJsonArray::fromStringList(options.layers));
        o.insert(QStringLiteral("unit"), unit);
        o.insert(QStringLiteral("points"), int(rec.PntCnt));
        o.insert(QStringLiteral("segments"), int(rec.LineCnt));
        io.json(o);
    } else {
        io.out(QStringLiteral("%1: 点 %2、線分 %3（レイヤ %4、単位 %5）")
                   .arg(shown(out))
                   .arg(rec.PntCnt)
                   .arg(rec.LineCnt)
                   .arg(options.layers.join(QStringLiteral("、")), unit));
    }
    return AllWell;
}

} // namespace Cli

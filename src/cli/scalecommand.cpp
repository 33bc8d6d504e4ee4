#include "cli/scalecommand.h"

#include "analysis/blockchecks.h"
#include "analysis/similarblock.h"
#include "cli/blockfiles.h"
#include "cli/blockjson.h"
#include "cli/console.h"
#include "cli/figuresjson.h"
#include "document/blockfile.h"
#include "document/numtext.h"

#include <QJsonArray>

namespace Cli {

namespace {

const QString kUsage = QStringLiteral("scale (--mass T | --factor S) [--json] -o OUT.csv FILE");
const QString kAbout = QStringLiteral(
    "相似形のブロックを作ります。長さを s 倍、体積を s³ 倍し (s = (目標質量 / "
    "現在の質量)^(1/3))、\n"
    "ファイルの小数 3 桁に丸めて OUT.csv に書きます。名称の質量は新しい質量に置き換えます。\n"
    "終了コード: 0 問題なし、1 元のブロックが通った検査に通らない、2 読み書きの失敗・指定の誤り。");

// The request from the command line; false (reported) when it is wrong.
bool request(const Options& opt, SimilarRequest& r, Console& io)
{
    const bool mass = opt.isSet(QStringLiteral("mass"));
    const bool factor = opt.isSet(QStringLiteral("factor"));
    if (mass == factor) {
        usageError(io, QStringLiteral("--mass と --factor のどちらか一方を指定してください。"),
                   kUsage);
        return false;
    }
    const QString text = opt.value(mass ? QStringLiteral("mass") : QStringLiteral("factor"));
    bool ok = false;
    r.by = mass ? SimilarRequest::By::Mass : SimilarRequest::By::Factor;
    r.value = text.trimmed().toDouble(&ok);
    if (!ok || !(r.value > 0)) {
        usageError(io, QStringLiteral("「%1」は正の数ではありません。").arg(text), kUsage);
        return false;
    }
    return true;
}

QString moveText(const RoundingMove& m)
{
    return QStringLiteral("%1 %2 → %3 (%4 %5)")
        .arg(m.what, NumText::fixed(m.exact, 6), NumText::fmt000(m.stored),
             NumText::fixed(m.moved(), 6), m.volume ? QStringLiteral("m3") : QStringLiteral("m"));
}

QJsonObject resultJson(const QString& out, const QString& in, const SimilarBlock& s)
{
    QJsonObject o = specJson(out, s.block);
    o.insert(QStringLiteral("source"), in);
    o.insert(QStringLiteral("factor"), number(s.factor));
    o.insert(QStringLiteral("oldMass"), number(s.oldMass));
    o.insert(QStringLiteral("newMass"), number(s.newMass));
    o.insert(QStringLiteral("layersAdjusted"), s.layersAdjusted);
    QJsonArray moves;
    for (const RoundingMove& m : s.moves) {
        QJsonObject j;
        j.insert(QStringLiteral("what"), m.what);
        j.insert(QStringLiteral("exact"), number(m.exact));
        j.insert(QStringLiteral("stored"), number(m.stored));
        j.insert(QStringLiteral("moved"), number(m.moved()));
        j.insert(QStringLiteral("unit"), m.volume ? QStringLiteral("m3") : QStringLiteral("m"));
        moves.append(j);
    }
    o.insert(QStringLiteral("moves"), moves);
    QJsonArray lost;
    for (const CheckId id : s.checksLost)
        lost.append(checkKey(id));
    o.insert(QStringLiteral("checksLost"), lost);
    return o;
}

} // namespace

int scale(const QStringList& args, Console& io)
{
    Options opt(kUsage, kAbout);
    opt.add(QCommandLineOption(QStringLiteral("mass"), QStringLiteral("目標の質量 (t)"),
                               QStringLiteral("T")));
    opt.add(QCommandLineOption(QStringLiteral("factor"), QStringLiteral("長さの倍率 s"),
                               QStringLiteral("S")));
    opt.add(QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")},
                               QStringLiteral("出力するブロックファイル"),
                               QStringLiteral("OUT.csv")));
    if (const auto stop = opt.parse(args, io, 1, 1))
        return *stop;
    SimilarRequest req;
    const QString out = opt.value(QStringLiteral("output"));
    if (!request(opt, req, io) || !checkOutput(out, kUsage, io))
        return Failed;

    const QString in = opt.positional().constFirst();
    BlkRec rec;
    if (!readBlock(in, rec, io))
        return Failed;
    const SimilarBlock s = makeSimilarBlock(rec, currentFigureSettings(), req);
    if (!s.ok) {
        io.err(QStringLiteral("%1: %2").arg(shown(in), s.error));
        return Failed;
    }
    const BlkWriteResult w = Blk_Write(s.block, out);
    if (!w.ok) {
        io.err(w.message);
        return Failed;
    }
    if (!s.checksLost.isEmpty()) {
        const BlockCheckReport report = checkBlock(s.block);
        for (const CheckId id : s.checksLost)
            io.err(QStringLiteral("%1: 元のブロックが合格した検査「%2」に注意があります。")
                       .arg(shown(out), report.row(id).title));
    }
    if (opt.json()) {
        io.json(resultJson(out, in, s));
    } else {
        io.out(QStringLiteral("%1: %2　%3 t → %4 t（倍率 %5）")
                   .arg(shown(out), s.block.Name, NumText::fmt000(s.oldMass),
                        NumText::fmt000(s.newMass), NumText::fixed(s.factor, 6)));
        for (const RoundingMove& m : s.moves)
            io.out(QStringLiteral("  丸め: ") + moveText(m));
    }
    return s.checksLost.isEmpty() ? AllWell : NeedsCare;
}

} // namespace Cli

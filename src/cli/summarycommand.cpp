#include "cli/summarycommand.h"

#include "analysis/folderindex.h"
#include "cli/blockfiles.h"
#include "cli/console.h"
#include "document/blockfile.h"

namespace Cli {

namespace {

const QString kUsage = QStringLiteral("summary [--json] -o OUT.csv DIR");
const QString kAbout = QStringLiteral(
    "フォルダのブロックの一覧 (名称・種別・B・H・L・V・質量・判定・ファイル名、質量の小さい順) を\n"
    "表計算ソフトでそのまま開ける CSV (UTF-8、BOM 付き) に出力します。");

} // namespace

int summary(const QStringList& args, Console& io)
{
    Options opt(kUsage, kAbout);
    opt.add(QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")},
                               QStringLiteral("出力する CSV ファイル"), QStringLiteral("OUT.csv")));
    if (const auto stop = opt.parse(args, io, 1, 1))
        return *stop;
    const QString out = opt.value(QStringLiteral("output"));
    if (!checkOutput(out, kUsage, io))
        return Failed;

    FolderIndex::Result index;
    int status = AllWell;
    if (!readFolder(opt.positional().constFirst(), out, io, index, status))
        return status;
    const BlkWriteResult w = Blk_WriteBytes(FolderIndex::csv(index.entries), out);
    if (!w.ok) {
        io.err(w.message);
        return Failed;
    }
    if (opt.json()) {
        for (const FolderIndex::Entry& e : index.entries)
            io.json(entryJson(e));
    } else {
        io.out(QStringLiteral("%1: %2 ブロックの一覧を出力しました。")
                   .arg(shown(out))
                   .arg(index.entries.size()));
    }
    return status;
}

} // namespace Cli

#include "cli/blockfiles.h"

#include "analysis/blockchecks.h"
#include "cli/blockjson.h"
#include "cli/console.h"
#include "cli/figuresjson.h"
#include "document/blockfile.h"
#include "document/blocklisting.h"
#include "document/datapath.h"

#include <QFileInfo>

namespace Cli {

QStringList blockFiles(const QStringList& paths, Console& io, int& missing)
{
    QStringList files;
    missing = 0;
    for (const QString& p : paths) {
        const QFileInfo fi(p);
        if (fi.isDir()) {
            // Named as the user wrote the folder, so the lines read back.
            const QString base = Dir_WithSlash(p);
            const QStringList names = BlockListing::candidates(base);
            if (names.isEmpty())
                io.err(QStringLiteral("フォルダ「%1」に CSV ファイルがありません。").arg(shown(p)));
            for (const QString& name : names)
                files << base + name;
        } else if (fi.exists()) {
            files << p;
        } else {
            io.err(QStringLiteral("「%1」というファイルもフォルダもありません。").arg(shown(p)));
            ++missing;
        }
    }
    return files;
}

QString unreadableText(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        return QStringLiteral("ファイル「%1」がありません。").arg(shown(path));
    if (!fi.isFile() || !fi.isReadable())
        return QStringLiteral("ファイル「%1」を開けません。").arg(shown(path));
    return QStringLiteral(
               "ファイル「%1」は直立消波ブロックのデータ形式ではないか、途中で壊れています。")
        .arg(shown(path));
}

bool readBlock(const QString& path, BlkRec& rec, Console& io)
{
    rec = BlkRec();
    // Only ordinary files: reading a pipe or a device could wait for ever.
    if (QFileInfo(path).isFile() && Blk_ReadPath(rec, path))
        return true;
    io.err(unreadableText(path));
    return false;
}

bool readFolder(const QString& dir, const QString& output, Console& io, FolderIndex::Result& index,
                int& status)
{
    const QFileInfo fi(dir);
    if (!fi.isDir()) {
        io.err(fi.exists() ? QStringLiteral("「%1」はフォルダではありません。").arg(shown(dir))
                           : QStringLiteral("フォルダ「%1」がありません。").arg(shown(dir)));
        status = Failed;
        return false;
    }
    index = FolderIndex::build(dir, currentFigureSettings());
    if (!index.folderFound) {
        io.err(QStringLiteral("フォルダ「%1」を読めません。").arg(shown(dir)));
        status = Failed;
        return false;
    }
    status = AllWell;
    const QString replaced = QFileInfo(output).absoluteFilePath();
    for (const QString& path : index.unreadable) {
        if (QFileInfo(path).absoluteFilePath() == replaced)
            continue;
        io.err(unreadableText(path));
        status = Failed;
    }
    for (const FolderIndex::Entry& e : index.entries) {
        if (!e.passed)
            status = worse(status, NeedsCare);
    }
    if (index.entries.isEmpty())
        io.err(QStringLiteral("フォルダ「%1」にブロックファイルがありません。").arg(shown(dir)));
    return true;
}

QJsonObject entryJson(const FolderIndex::Entry& e)
{
    QJsonObject o = specJson(e.path, e.rec);
    o.insert(QStringLiteral("mass"), number(e.mass));
    o.insert(QStringLiteral("verdict"), verdictText(e.passed ? Verdict::Pass : Verdict::Caution));
    return o;
}

bool checkOutput(const QString& output, const QString& usage, Console& io)
{
    if (output.isEmpty()) {
        usageError(io, QStringLiteral("出力ファイルを -o で指定してください。"), usage);
        return false;
    }
    if (QFileInfo(output).isDir()) {
        io.err(QStringLiteral("「%1」はフォルダです。出力ファイルの名前を指定してください。")
                   .arg(shown(output)));
        return false;
    }
    return true;
}

} // namespace Cli

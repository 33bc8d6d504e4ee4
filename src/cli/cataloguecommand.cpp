#include "cli/cataloguecommand.h"

#include "cli/blockfiles.h"
#include "cli/console.h"
#include "cli/figuresjson.h"
#include "output/catalogue.h"

#include <QFileInfo>

namespace Cli {

namespace {

const QString kUsage = QStringLiteral("catalogue [--json] -o OUT.pdf DIR");
const QString kAbout = QStringLiteral(
    "フォルダのブロックの一覧 (質量の小さい順) と、各ブロックのデータシートを 1 つの PDF "
    "(A4、頁番号付き) に出力します。");

} // namespace

int catalogue(const QStringList& args, Console& io)
{
    Options opt(kUsage, kAbout);
    opt.add(QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")},
                               QStringLiteral("出力する PDF ファイル"), QStringLiteral("OUT.pdf")));
    if (const auto stop = opt.parse(args, io, 1, 1))
        return *stop;
    const QString out = opt.value(QStringLiteral("output"));
    if (!checkOutput(out, kUsage, io))
        return Failed;

    const QString dir = opt.positional().constFirst();
    Catalogue::Request request;
    FolderIndex::Result index;
    int status = AllWell;
    if (!readFolder(dir, out, io, index, status))
        return status;
    request.folder = shown(QFileInfo(dir).absoluteFilePath());
    request.entries = index.entries;
    request.date = QDate::currentDate();
    request.figures = currentFigureSettings();
    const Catalogue::Result r = Catalogue::write(out, request, [&io](int done, int total) {
        io.progress(QStringLiteral("カタログ出力中 %1 / %2 頁").arg(done).arg(total));
    });
    io.done();
    if (!r.ok()) {
        io.err(r.reason);
        return Failed;
    }
    const int n = int(request.entries.size());
    if (opt.json()) {
        for (int i = 0; i < n; ++i) {
            QJsonObject o = entryJson(request.entries[i]);
            o.insert(QStringLiteral("page"), Catalogue::sheetPage(n, i));
            io.json(o);
        }
    } else {
        io.out(QStringLiteral("%1: %2 ブロック、%3 頁のカタログを出力しました。")
                   .arg(shown(out))
                   .arg(n)
                   .arg(r.pages));
    }
    return status;
}

} // namespace Cli

#include "cli/checkcommand.h"

#include "analysis/blockchecks.h"
#include "cli/blockfiles.h"
#include "cli/blockjson.h"
#include "cli/console.h"
#include "cli/figuresjson.h"

#include <QJsonArray>

namespace Cli {

namespace {

const QString kUsage = QStringLiteral("check [--json] PATH...");
const QString kAbout = QStringLiteral(
    "ブロックファイルを検査します。フォルダを指定すると、その中の *.csv をすべて検査します。\n"
    "終了コード: 0 すべて合格、1 注意のあるブロックあり、2 読めないファイルあり・指定の誤り。");

// A row that calls for care, as one phrase: its title, its figures and what
// was found.
QString rowText(const CheckRow& r)
{
    QString s = r.title + QStringLiteral("：");
    if (!r.storedText.isEmpty())
        s += QStringLiteral("計算値 %1、登録値 %2、差 %3。")
                 .arg(r.computedText, r.storedText, r.differenceText);
    return s + r.detail;
}

QString blockLine(const QString& path, const BlockCheckReport& report)
{
    QString line = shown(path) + QStringLiteral(": ");
    if (report.passed())
        return line + verdictText(Verdict::Pass);
    QStringList rows;
    for (const CheckRow& r : report.rows) {
        if (r.verdict == Verdict::Caution)
            rows << rowText(r);
    }
    return line + verdictText(Verdict::Caution) + QStringLiteral(" — ") +
           rows.join(QStringLiteral(" ／ "));
}

QJsonObject rowJson(const CheckRow& r)
{
    QJsonObject o;
    o.insert(QStringLiteral("id"), checkKey(r.id));
    o.insert(QStringLiteral("title"), r.title);
    o.insert(QStringLiteral("verdict"), verdictText(r.verdict));
    o.insert(QStringLiteral("computed"), number(r.computed));
    o.insert(QStringLiteral("stored"), number(r.stored));
    o.insert(QStringLiteral("difference"), number(r.difference));
    o.insert(QStringLiteral("tolerance"), number(r.tolerance));
    o.insert(QStringLiteral("computedText"), r.computedText);
    o.insert(QStringLiteral("storedText"), r.storedText);
    o.insert(QStringLiteral("differenceText"), r.differenceText);
    o.insert(QStringLiteral("detail"), r.detail);
    // What the window would mark, for scripts that go on from here.
    const auto numbers = [](const auto& list) {
        QJsonArray a;
        for (const auto n : list)
            a.append(int(n));
        return a;
    };
    if (!r.points.isEmpty())
        o.insert(QStringLiteral("points"), numbers(r.points));
    if (!r.segments.isEmpty())
        o.insert(QStringLiteral("segments"), numbers(r.segments));
    if (!r.layers.isEmpty()) {
        QJsonArray rows; // numbered from 1, as the layer table shows them
        for (const int row : r.layers)
            rows.append(row + 1);
        o.insert(QStringLiteral("layers"), rows);
    }
    if (!r.positions.isEmpty()) {
        QJsonArray at;
        for (const QPointF& p : r.positions)
            at.append(QJsonArray{number(p.x()), number(p.y())});
        o.insert(QStringLiteral("positions"), at);
    }
    return o;
}

QJsonObject blockJson(const QString& path, const BlkRec& rec, const BlockCheckReport& report,
                      const FigureSettings& settings)
{
    QJsonObject o = specJson(path, rec);
    // The figures at the settings' levels, from the section the checks built.
    const BlockFigures figures = blockFigures(rec, report.section, settings);
    addMassJson(o, figures.mass, settings);
    addLevelsJson(o, figures.levels);
    o.insert(QStringLiteral("verdict"),
             verdictText(report.passed() ? Verdict::Pass : Verdict::Caution));
    o.insert(QStringLiteral("cautions"), report.cautionCount());
    QJsonArray rows;
    for (const CheckRow& r : report.rows)
        rows.append(rowJson(r));
    o.insert(QStringLiteral("checks"), rows);
    return o;
}

} // namespace

int check(const QStringList& args, Console& io)
{
    Options opt(kUsage, kAbout);
    if (const auto stop = opt.parse(args, io, 1, -1))
        return *stop;

    int missing = 0;
    const QStringList files = blockFiles(opt.positional(), io, missing);
    int status = missing > 0 ? Failed : AllWell;
    const FigureSettings settings = opt.json() ? currentFigureSettings() : FigureSettings();
    BlkRec rec;
    for (const QString& path : files) {
        if (!readBlock(path, rec, io)) {
            if (opt.json())
                io.json(unreadableJson(path));
            else
                io.out(shown(path) + QStringLiteral(": 読込不可"));
            status = Failed;
            continue;
        }
        const BlockCheckReport report = checkBlock(rec);
        if (!report.passed())
            status = worse(status, NeedsCare);
        if (opt.json())
            io.json(blockJson(path, rec, report, settings));
        else
            io.out(blockLine(path, report));
    }
    return status;
}

} // namespace Cli

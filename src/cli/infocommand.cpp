#include "cli/infocommand.h"

#include "analysis/blockchecks.h"
#include "analysis/blockfigures.h"
#include "analysis/outline.h"
#include "cli/blockfiles.h"
#include "cli/blockjson.h"
#include "cli/console.h"
#include "cli/figuresjson.h"

namespace Cli {

namespace {

const QString kUsage = QStringLiteral("info [--water-level H]... [--json] FILE");
const QString kAbout = QStringLiteral(
    "ブロックの質量・重量・充填率と、静水面 (ブロック下端 y = 0 からの高さ) "
    "ごとの水中体積・浮力・\n"
    "水中重量・浮心を、断面から求めた値と層別体積表から求めた値を並べて表示します。\n"
    "--water-level を省くと設定の水位を使います。単位体積重量は設定の値です。\n"
    "終了コード: 0 問題なし、1 検査に注意があるか層別体積表が断面と合わない水位あり、2 読めない。");

// Mass, weight and fill ratio, one a line: "質量 ρc·V: 8.096 t".
void printMass(Console& io, const FigureTable& t)
{
    for (const QStringList& row : t.rows)
        io.out(QStringLiteral("  ") +
               QStringLiteral("%1: %2 %3").arg(row.value(0), row.value(1), row.value(2)).trimmed());
}

// Each level's figures under a line naming the level.
void printLevels(Console& io, const FigureTable& t)
{
    for (const QStringList& row : t.rows) {
        io.out(QStringLiteral("  ") +
               QStringLiteral("水位 %1 m %2").arg(row.value(1), row.value(0)).trimmed());
        for (qsizetype c = 2; c < row.size() && c < t.header.size(); ++c) {
            if (!row[c].isEmpty())
                io.out(QStringLiteral("    %1: %2").arg(t.header[c], row[c]));
        }
    }
}

bool parseLevels(const QStringList& texts, QList<WaterLevel>& levels, Console& io)
{
    for (const QString& t : texts) {
        bool ok = false;
        const double h = t.trimmed().toDouble(&ok);
        if (!ok || !levelUsable(h)) {
            usageError(io, QStringLiteral("水位「%1」は数ではないか、範囲外です。").arg(t), kUsage);
            return false;
        }
        levels.append({QString(), h});
    }
    return true;
}

} // namespace

int info(const QStringList& args, Console& io)
{
    Options opt(kUsage, kAbout);
    opt.add(
        QCommandLineOption(QStringLiteral("water-level"),
                           QStringLiteral("静水面の高さ (m、ブロック下端から)。繰り返して複数指定"),
                           QStringLiteral("H")));
    if (const auto stop = opt.parse(args, io, 1, 1))
        return *stop;
    FigureSettings settings = currentFigureSettings();
    if (opt.isSet(QStringLiteral("water-level"))) {
        settings.levels.clear();
        if (!parseLevels(opt.values(QStringLiteral("water-level")), settings.levels, io))
            return Failed;
    }

    const QString path = opt.positional().constFirst();
    BlkRec rec;
    if (!readBlock(path, rec, io))
        return Failed;
    const OutlineFindings outline = analyzeOutline(rec);
    const SectionGeometry section(rec, outline);
    const BlockFigures figures = blockFigures(rec, section, settings);
    const bool passed = checkBlock(rec).passed();
    bool disagree = false;
    for (const WaterLevelFigures& l : figures.levels)
        disagree = disagree || l.disagree;

    if (opt.json()) {
        QJsonObject o = specJson(path, rec);
        o.insert(QStringLiteral("verdict"), verdictText(passed ? Verdict::Pass : Verdict::Caution));
        addMassJson(o, figures.mass, settings);
        addLevelsJson(o, figures.levels);
        io.json(o);
    } else {
        io.out(QStringLiteral("%1: %2　%3　検査 %4")
                   .arg(shown(path), rec.Name, rec.Kind,
                        verdictText(passed ? Verdict::Pass : Verdict::Caution)));
        printMass(io, massTable(figures.mass));
        io.out(QStringLiteral("  ") + unitWeightsText(settings));
        if (figures.levels.isEmpty())
            io.out(QStringLiteral("  水位の指定がありません (--water-level H)。"));
        else
            printLevels(io, waterLevelTable(figures.levels));
    }
    return passed && !disagree ? AllWell : NeedsCare;
}

} // namespace Cli

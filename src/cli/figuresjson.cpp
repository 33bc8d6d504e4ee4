#include "cli/figuresjson.h"

#include "cli/console.h"
#include "document/datapath.h"

#include <QJsonArray>

namespace Cli {

namespace {

QJsonObject buoyancyJson(const BuoyancyFigures& f)
{
    QJsonObject o;
    o.insert(QStringLiteral("available"), f.available);
    o.insert(QStringLiteral("submergedVolume"), number(f.submergedVolume));
    o.insert(QStringLiteral("buoyancy"), number(f.buoyancy));
    o.insert(QStringLiteral("weightInWater"), number(f.weightInWater));
    o.insert(QStringLiteral("centreX"), number(f.centreX));
    o.insert(QStringLiteral("centreY"), number(f.centreY));
    return o;
}

} // namespace

void addMassJson(QJsonObject& o, const MassFigures& m, const FigureSettings& s)
{
    o.insert(QStringLiteral("mass"), number(m.mass));
    o.insert(QStringLiteral("weight"), number(m.weight));
    o.insert(QStringLiteral("fillRatio"), number(m.fillRatio));
    QJsonObject units;
    units.insert(QStringLiteral("concrete"), number(s.concrete));
    units.insert(QStringLiteral("seawater"), number(s.seawater));
    units.insert(QStringLiteral("gravity"), number(s.gravity));
    o.insert(QStringLiteral("unitWeights"), units);
}

void addLevelsJson(QJsonObject& o, const QList<WaterLevelFigures>& levels)
{
    QJsonArray list;
    for (const WaterLevelFigures& l : levels) {
        QJsonObject w;
        w.insert(QStringLiteral("name"), l.level.name);
        w.insert(QStringLiteral("h"), number(l.level.h));
        w.insert(QStringLiteral("outline"), buoyancyJson(l.outline));
        w.insert(QStringLiteral("layerTable"), buoyancyJson(l.layers));
        w.insert(QStringLiteral("difference"), number(l.difference));
        w.insert(QStringLiteral("tolerance"), number(l.tolerance));
        w.insert(QStringLiteral("disagree"), l.disagree);
        w.insert(QStringLiteral("note"), l.note);
        list.append(w);
    }
    o.insert(QStringLiteral("waterLevels"), list);
}

FigureSettings currentFigureSettings()
{
    return readFigureSettings(DataPathPlaces::current().settingsFile());
}

} // namespace Cli

#pragma once

#include "analysis/blockfigures.h"

#include <QJsonObject>

// The engineering figures in the subcommands' JSON lines, under keys that say
// which method each comes from.
namespace Cli {

// "mass", "weight", "fillRatio" and the unit weights used, added to o.
void addMassJson(QJsonObject& o, const MassFigures& m, const FigureSettings& s);

// "waterLevels": one object per level with "outline" and "layerTable".
void addLevelsJson(QJsonObject& o, const QList<WaterLevelFigures>& levels);

// The settings of the running program (unit weights, levels).
FigureSettings currentFigureSettings();

} // namespace Cli

#pragma once

#include <QStringList>

namespace Cli {

class Console;

// mrb_make info [--water-level H]... [--json] FILE: the engineering figures of
// one block: mass, weight and fill ratio, and at still-water levels (those
// given, else the settings' ones) the submerged volume, buoyancy, weight in
// water and centre of buoyancy, from the outline and from the layer table
// side by side.
int info(const QStringList& args, Console& io);

} // namespace Cli

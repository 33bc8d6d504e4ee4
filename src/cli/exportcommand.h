#pragma once

#include <QStringList>

namespace Cli {

class Console;

// mrb_make export --format sheet|pdf|svg|png|dxf [--scale 1:N]
// [--look drawing|screen] [--size WxH] [--dpi N] [--unit mm|m] [--json]
// -o OUT FILE: the data sheet (PDF), the section alone as PDF, SVG or PNG, or
// the block as a DXF drawing for CAD.
int exportBlock(const QStringList& args, Console& io);

} // namespace Cli

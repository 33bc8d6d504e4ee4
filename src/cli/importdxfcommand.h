#pragma once

#include <QStringList>

namespace Cli {

class Console;

// mrb_make import-dxf [--layer NAME]... [--unit mm|m] [--tolerance MM]
// [--keep-origin] [--json] -o OUT.csv IN.dxf: a new block file whose outline
// is taken from a DXF drawing, as 点 → DXF から取込... takes it; without
// --layer the layers the dialog chooses beforehand.
int importDxf(const QStringList& args, Console& io);

} // namespace Cli

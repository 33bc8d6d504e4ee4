#pragma once

#include <QStringList>

namespace Cli {

class Console;

// mrb_make summary [--json] -o OUT.csv DIR: the index of the blocks of a
// folder (name, type, B, H, L, V, mass, verdict, file name; lightest first)
// as CSV for a spreadsheet; with --json one object per block listed.
int summary(const QStringList& args, Console& io);

} // namespace Cli

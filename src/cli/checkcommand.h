#pragma once

#include <QStringList>

namespace Cli {

class Console;

// mrb_make check [--json] PATH...: checks block files, and every "*.csv" file
// of the folders among the paths, as the block check window does. One line per
// block with its verdict and the rows that call for care; with --json one
// object per block with the figures of every row. Files that are no blocks
// are reported as unreadable.
int check(const QStringList& args, Console& io);

} // namespace Cli

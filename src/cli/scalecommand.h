#pragma once

#include <QStringList>

namespace Cli {

class Console;

// mrb_make scale (--mass T | --factor S) [--json] -o OUT.csv FILE: the similar
// block of another mass (or of a scale factor) written as a new block file:
// lengths × s, volumes × s³, rounded to the file's three decimals, the name's
// mass replaced. Tells which values rounding moved.
int scale(const QStringList& args, Console& io);

} // namespace Cli

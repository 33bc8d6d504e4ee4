#pragma once

#include <QStringList>

namespace Cli {

class Console;

// mrb_make catalogue [--json] -o OUT.pdf DIR: one PDF with the index of the
// blocks of a folder and a data sheet per block, pages numbered; with --json
// one object per block with the page of its sheet.
int catalogue(const QStringList& args, Console& io);

} // namespace Cli

#pragma once

#include <QString>

// The program without a window: main() hands over to run() when the first
// argument names a subcommand, before any window exists.
namespace Cli {

// Whether arg is the name of a subcommand ("check", "summary", ...).
bool isSubcommand(const char* arg);

// Runs the subcommand argv[1] with the rest of the arguments and returns the
// program's exit status.
int run(int argc, char* argv[]);

// The subcommands with a line on each, for the program's --help.
QString subcommandHelp();

} // namespace Cli

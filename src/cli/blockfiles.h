#pragma once

#include "analysis/folderindex.h"
#include "document/blkrec.h"

#include <QJsonObject>

#include <QString>
#include <QStringList>

// The block files a subcommand is given: files as they are, folders as the
// shape-selection list would read them (every "*.csv" file in any case).
namespace Cli {

class Console;

// The files named by paths, in order; a folder gives its candidate files in
// the listing's order. Paths that are neither a file nor a folder are
// reported on the console and counted in missing.
QStringList blockFiles(const QStringList& paths, Console& io, int& missing);

// Reads the block file at path into rec; on failure reports why, naming the
// file, and returns false.
bool readBlock(const QString& path, BlkRec& rec, Console& io);

// The text of a file that could not be read as a block, for a message.
QString unreadableText(const QString& path);

// The index of folder dir for the subcommands that list a folder, lightest
// first. Files that are no blocks are reported (all but the file at output,
// which the subcommand is about to replace) and make status Failed; a block
// that calls for care makes it NeedsCare. False, with the reason reported,
// when dir is no folder.
bool readFolder(const QString& dir, const QString& output, Console& io, FolderIndex::Result& index,
                int& status);

// An index entry's JSON line: the file, its name, type, values, mass and verdict.
QJsonObject entryJson(const FolderIndex::Entry& e);

// The file that -o names: given, and not a folder; otherwise the mistake is
// reported and false returned.
bool checkOutput(const QString& output, const QString& usage, Console& io);

} // namespace Cli

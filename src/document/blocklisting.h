#pragma once

#include "document/blkrec.h"

#include <QList>
#include <QString>

#include <functional>

// The list of the shape-selection dialog: every block file of a folder that
// reads completely, one fixed-width line each. A pure function of the folder,
// so it is tested and measured without a window.
namespace BlockListing {

inline constexpr int MaxEntries = 1001; // ListNm 0..1000

struct Entry
{
    QString name; // the file's name without its extension
    QString path; // the file's full path
    QString line; // its line in the list
};

// Whether a folder can be listed.
enum class FolderState
{
    Readable,
    Missing,   // nothing there
    NotFolder, // a file, not a folder
    NoAccess   // a folder the user may not read or enter
};

struct Result
{
    QList<Entry> entries;   // at most MaxEntries
    bool truncated = false; // more readable block files were left out
    FolderState state = FolderState::Readable;
};

// An optional short mark put after the V column of a block's line. Listings
// call it from several threads at once: it must only read rec.
using Mark = std::function<QString(const BlkRec&)>;

// How a listing reaches the files, so that tests and benchmarks can stand in
// a slow network share or a folder the user may not read. An empty member
// means the real thing.
struct Source
{
    // Whether dir can be listed (default: folderState).
    std::function<FolderState(const QString& dir)> check;
    // Reads the block file at path into rec (default: Blk_ReadPath). Called
    // from several threads at once, each with a record of its own.
    std::function<bool(BlkRec& rec, const QString& path)> read;
};

// The real check: a folder the user may read and enter.
FolderState folderState(const QString& dir);
FolderState check(const Source& source, const QString& dir);

// Reads path into rec when it is an ordinary file once links are followed: a
// link to a pipe or a device is never handed to the reader, whose open could
// wait for ever. False, rec untouched, for anything else.
bool readFile(const Source& source, BlkRec& rec, const QString& path);

// The names of dir's candidate files ("*.csv" in any case, not hidden, no
// folders or pipes), sorted as the list is: by name regardless of case, names
// equal but for case case-sensitively. dir ends in "/".
QStringList candidates(const QString& dir);

// Reads candidate file of folder (ending in "/") into rec and, when it is a
// block file, makes its entry; false when it is to be left out.
bool readEntry(const Source& source, const Mark& mark, const QString& folder, const QString& file,
               BlkRec& rec, Entry& entry);

// The list line of rec: Name in 20 columns and Kind in 10, left-aligned; B, H
// and L right-aligned in 8 and V in 9, three decimals; one space between
// columns. Columns are cp932 bytes; a wider field pushes the rest right.
// Control characters (a lone LF can stand in a name) show as spaces, so a
// line stays one line of one column each. A non-empty mark follows V after a
// space.
QString line(const BlkRec& rec, const Mark& mark = {});

// Lists folder dir: its ordinary files named "*.csv" in any case, not hidden,
// in name order regardless of case, each read into scratch; files that fail
// to read are left out silently. Stops at MaxEntries entries. Reads one file
// after the other on the calling thread; FolderListing reads several at once
// off the user-interface thread and gives the same result.
Result list(const QString& dir, BlkRec& scratch, const Mark& mark = {}, const Source& source = {});

} // namespace BlockListing

#pragma once

#include "document/blkrec.h"

#include <QList>
#include <QString>
#include <QStringList>

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

struct Result
{
    QList<Entry> entries;   // at most MaxEntries
    bool truncated = false; // more readable block files were left out
};

// An optional short mark put after the V column of a block's line.
using Mark = std::function<QString(const BlkRec&)>;

// The list line of rec: Name in 20 columns and Kind in 10, left-aligned; B, H
// and L right-aligned in 8 and V in 9, three decimals; one space between
// columns. Columns are cp932 bytes; a wider field pushes the rest right.
// Control characters (a lone LF can stand in a name) show as spaces, so a
// line stays one line of one column each. A non-empty mark follows V after a
// space.
QString line(const BlkRec& rec, const Mark& mark = {});

// The names of folder dir's candidate files (ordinary files named "*.csv" in
// any case, not hidden), in the listing's order: by name regardless of case.
QStringList candidates(const QString& dir);

// Lists folder dir: its ordinary files named "*.csv" in any case, not hidden,
// in name order regardless of case, each read into scratch; files that fail
// to read are left out silently. Stops at MaxEntries entries.
Result list(const QString& dir, BlkRec& scratch, const Mark& mark = {});

} // namespace BlockListing

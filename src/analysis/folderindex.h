#pragma once

#include "document/blkrec.h"
#include "document/figuresettings.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>

// The index of a folder of blocks for a spreadsheet or a catalogue: every
// block file the shape-selection list would show, with its mass and its
// check verdict, lightest first. A pure function of the folder, no window.
namespace FolderIndex {

struct Entry
{
    QString fileName; // with its extension, as in the folder
    QString path;     // the file's full path
    BlkRec rec;
    double mass = 0;     // t: ρc·V with V as stored
    bool passed = false; // no check calls for care
};

struct Result
{
    QList<Entry> entries;   // lightest first; equal masses by name, then file
    QStringList unreadable; // full paths of the "*.csv" files that are no blocks
    bool folderFound = true;
    bool cancelled = false;
};

// Reads every candidate file of folder dir (the listing's candidates, in any
// number), the masses with the settings' concrete. cancel, when given, is
// looked at between files.
Result build(const QString& dir, const FigureSettings& settings,
             const std::atomic_bool* cancel = nullptr);

// The columns of the index, in order.
enum class Column
{
    Name,
    Kind,
    B,
    H,
    L,
    V,
    Mass,
    Verdict,
    File
};
inline constexpr int ColumnCount = int(Column::File) + 1;

// A column's heading, e.g. "質量 (t)".
QString title(Column c);
// A cell as shown: texts as they are, lengths and volumes with three
// decimals, the mass with three decimals, "合格" or "注意".
QString text(const Entry& e, Column c);
bool isNumber(Column c);

// The index as CSV for a spreadsheet: UTF-8 with a byte-order mark (Japanese
// spreadsheets then open it as it is), a heading row, CR LF line ends, and
// fields quoted where they hold a comma, a quote or a line break.
QByteArray csv(const QList<Entry>& entries);

} // namespace FolderIndex

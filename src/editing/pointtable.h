#pragma once

#include "document/blkrec.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The point table as the user leaves it in the point editor, and the
// re-linking of the segments to the points after the edit.

// One X or Y cell of the point grid: its text and, as long as the user has not
// changed the cell, the exact value it was filled from (the text shows that
// value rounded to three decimals).
struct PntCell
{
    QString text;
    std::optional<double> exact;
};

struct PntRow
{
    PntCell x;
    PntCell y;
    qint16 origin = 0; // the stored point the row was filled from; 0 for a row added
};

// For each new point 1..PntCnt, the stored point its row was filled from,
// 0 for a point the user added (index 0 unused).
using PntOrigins = std::array<qint16, BlkRec::PntLast + 1>;

// Where the table ends short of the rows that hold values.
struct PntCut
{
    int row = 0;         // the grid row (from 1) where the table ends; 0 when nothing is cut
    bool marked = false; // that row holds (-999, -999) rather than being empty
    int dropped = 0;     // rows below it that hold values, which would not be stored
};

// The segments of the old table that re-linking by position would delete,
// as old segment numbers: moved, when both end points are still in the table
// (their rows say so), so the segment could follow them; gone, when an end
// point has left the table. Segments whose ends were out of range already
// are in neither list.
struct PntLostLines
{
    QList<int> moved;
    QList<int> gone;
};

// What an empty cell reads as.
inline constexpr double kPntEmpty = -999;

// The value a cell stands for: its exact value when it still has one, -999
// when it is empty, otherwise the lenient number rule (0 for a text that does
// not begin with a number).
double Pnt_CellValue(const PntCell& cell);

// Takes the grid rows as the new points of rec, numbered 1 upward in grid
// order. The table ends at the first row whose two values are both -999 (two
// empty cells, or -999 typed into both), and after 100 rows. A row the user
// did not touch never ends it, even if its stored point lies at (-999, -999).
// Points beyond the new PntCnt keep what they held; segments are not touched.
void Pnt_FromRows(BlkRec& rec, const QList<PntRow>& rows);

// Where the table would end (see Pnt_FromRows) when rows holding values lie
// below that row; an empty PntCut otherwise.
PntCut Pnt_Cut(const QList<PntRow>& rows);

// The origins of the first `count` rows.
PntOrigins Pnt_Origins(const QList<PntRow>& rows, int count);

PntLostLines Pnt_LostLines(const BlkRec& old, const BlkRec& rec, const PntOrigins& origins);

// For each old point 1..old.PntCnt, the number of the first point of rec at
// the same position (within 0.0001 in X and in Y), 0 when none; index 0 and
// indices without an old point hold 0.
std::array<qint16, BlkRec::PntLast + 1> Pnt_Map(const BlkRec& old, const BlkRec& rec);

// Rebuilds the segments of rec from those of old, renumbered through Pnt_Map:
// a segment survives, in its old order, exactly when both of its end points
// still exist at the same position. Old end numbers outside 1..old.PntCnt
// count as missing. With `follow`, a segment that would be lost while both its
// end points are still in the table (moved) goes with them instead.
void Pnt_Relink(const BlkRec& old, BlkRec& rec, const PntOrigins* follow = nullptr);

#pragma once

#include "document/blkrec.h"

#include <QList>
#include <QString>

#include <optional>

// The volume-by-height layer table as the user leaves it in the block
// specification dialog, and the check that its volumes add up to V.

// The texts of the 高さ and ⊿Ｖ cells of one grid row.
struct LyrRow
{
    QString h;
    QString v;
};

// The value of a cell: -1 when it is empty, otherwise the lenient number rule.
double Lyr_CellValue(const QString& text);

// Takes the grid rows as the layer table of rec, with the cumulative volumes.
// A row needs a height and a volume of at least 0.0001 each; the first row
// lacking either ends the table, and at most 51 rows are read. Layer entries
// at and beyond the new LyrCnt keep what they held.
void Lyr_FromRows(BlkRec& rec, const QList<LyrRow>& rows);

// The sum check of 登録: the message to show when V and the sum of the layer
// volumes differ by more than 0.0001, nullopt when they agree or when there
// are no layer rows.
std::optional<QString> Lyr_SumCheck(const BlkRec& rec);

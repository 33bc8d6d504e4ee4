#pragma once

#include "document/blkrec.h"

#include <QString>

#include <array>
#include <vector>

// The editor's block state: the block being edited, its saved copy, the undo
// stack and the selections. One instance is owned by the application and
// handed by reference to whatever needs it.
struct Module1
{
    static constexpr int UndoLast = 100; // undo entries 0..100, entry 0 newest
    static constexpr int SelLast = 100;  // selection lists 0..100

    BlkRec BlkData;
    BlkRec SaveData;

    std::array<BlkRec, UndoLast + 1> UndoData{};
    std::array<QString, UndoLast + 1> UndoName{};
    qint16 UndoCnt = 0;
    // What undo took back, newest last; emptied by every new undo entry.
    std::vector<BlkRec> RedoData;
    std::vector<QString> RedoName;

    std::array<qint16, SelLast + 1> SelPnt{};
    qint16 SelPntCnt = 0;
    std::array<qint16, SelLast + 1> SelLine{};
    qint16 SelLineCnt = 0;

    // Start and end point of the segment being joined.
    std::array<qint16, 2> NewLine{};
};

// True when the block differs from the copy taken at the last load, save or New.
inline bool Data_Modified(const Module1& m)
{
    return Blk_Differs(m.BlkData, m.SaveData);
}

#pragma once

#include "document/blkrec.h"

// Which editing commands have something to work on. The toolbar buttons
// "Line", "Line_Del" and "Pnt_Del" follow the menu items of the same command.
struct EditEnables
{
    bool lineIn = false;     // 結線, toolbar "Line": needs points
    bool lineDel = false;    // 線分 → 削除, toolbar "Line_Del": needs segments
    bool lineDelAll = false; // 線分 → 一括削除: needs segments
    bool pointDel = false;   // 点 → 削除, toolbar "Pnt_Del": needs points

    bool operator==(const EditEnables&) const = default;
};

EditEnables Menu_EnableRule(const BlkRec& blk);

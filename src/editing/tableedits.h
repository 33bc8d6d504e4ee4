#pragma once

#include "document/blkrec.h"
#include "document/module1.h"

#include <QtGlobal>

// The edits the mouse modes make to the point and segment tables of BlkData.
// Callers push the undo snapshot before and call Menu_Enable after.

enum class LineAddResult
{
    Added,        // appended as the last segment, in the order picked
    AlreadyThere, // a segment joins the two points already, in either direction
    TableFull,    // the table holds 100 segments: nothing added
    BadEnds       // the same point twice, or a point outside 1..PntCnt
};

// What Line_Add would do with the segment a-b, without changing anything.
LineAddResult Line_AddTest(const BlkRec& blk, qint16 a, qint16 b);

// Appends the segment NewLine(0)-NewLine(1) unless Line_AddTest refuses it.
LineAddResult Line_Add(Module1& m);

// Deletes the segments listed in SelLine; the rest keep their order and
// direction and are numbered from 1 without gaps. Entries naming no segment
// are ignored. The selection is left for the caller to empty.
void SelLine_Del(Module1& m);

// Deletes the points listed in SelPnt together with every segment that
// touches them. Higher points move down to close each gap, segment ends are
// renumbered to follow them, and the later SelPnt entries are renumbered as
// each point goes, so the order of selection does not matter. Entries naming
// no point are ignored; a segment end outside the table is left as it is.
void SelPnt_Del(Module1& m);

// Deletes every segment of the record.
void Line_DelAll(BlkRec& blk);

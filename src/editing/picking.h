#pragma once

#include "document/blkrec.h"
#include "document/module1.h"

#include <QtGlobal>

// Finding what a click hit, in world coordinates (metres). Every result is a
// point number, a segment number or a list position; -1 means none.

// The point nearest (x, y) within radius r. A point at exactly the radius is
// found; among points at the same distance the highest number wins.
qint16 Near_Pnt(const BlkRec& blk, double x, double y, double r);

// The segment nearest (x, y) within radius r, measured to the segment itself
// (to the nearer end when the foot of the perpendicular lies beyond it). A
// segment at exactly the radius is not found; among segments at the same
// distance the lowest number wins. A segment naming a point outside
// 1..PntCnt (only a damaged file has one) is never found.
qint16 Near_Line(const BlkRec& blk, double x, double y, double r);

// The first position of n in SelPnt or SelLine, or -1.
qint16 SelPnt_Find(const Module1& m, qint16 n);
qint16 SelLine_Find(const Module1& m, qint16 n);

// The counts clamped to what the arrays hold, so that a damaged count never
// indexes outside them.
int pntCount(const BlkRec& blk);
int lineCount(const BlkRec& blk);
int selPntCount(const Module1& m);
int selLineCount(const Module1& m);

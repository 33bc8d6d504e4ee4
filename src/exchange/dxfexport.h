#pragma once

#include "document/blkrec.h"

#include <QByteArray>
#include <QString>

// DXF export of a block: a drawing CAD programs open as it is. The file is
// R12 ASCII (the version every CAD reads), CR LF line ends, $DWGCODEPAGE
// ANSI_932 with every text and layer name in cp932. Layers:
//   "外形"   the segments as LINE entities
//   "点番号" the point numbers as TEXT
//   "重心"   the centre of gravity: a circle and a cross
//   "寸法"   B and H as dimension lines with their values, and the unit
//            (R12 has no units variable) as a TEXT "単位: mm" or "単位: m"
// Coordinates are exact: a point at X m is written as the decimal X × 1000
// in millimetres (the shortest text that reads back as that number), or as
// X itself in metres.

enum class DxfUnit
{
    Millimetre,
    Metre
};

struct DxfExportOptions
{
    DxfUnit unit = DxfUnit::Millimetre;
};

// The file's bytes, or why there are none (a Japanese message: a point or a
// value that is not a finite number, or one too large to draw).
struct DxfExportResult
{
    QByteArray bytes;
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }
};

namespace Dxf {

// The block as a DXF file. A pure function: nothing is written anywhere.
DxfExportResult exportBlock(const BlkRec& blk, const DxfExportOptions& options = {});

// The unit's name as the file and the user see it: "mm" or "m".
QString unitName(DxfUnit unit);

} // namespace Dxf

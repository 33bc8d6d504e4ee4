#pragma once

#include "document/blkrec.h"
#include "exchange/dxfexport.h"

#include <QByteArrayView>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

// DXF import of an outline, in two steps so that a dialog can show the
// layers between them:
//   1. Dxf::read: the file's bytes to a DxfDrawing (its layers with their
//      entity counts and the unit it declares); every entity that can become
//      part of an outline (LINE, LWPOLYLINE, POLYLINE, ARC and CIRCLE of model
//      space) is checked here, so that a damaged file is refused at once.
//   2. Dxf::toOutline: those entities of the chosen layers to points and segments
//      in metres: arcs, circles and polyline bulges as chords, end points
//      closer than a tolerance merged, the lower-left corner moved to (0, 0).
// Dxf::import does both with the layers the dialog would choose beforehand.
// ASCII DXF from R12 to 2018; texts in the code page of $DWGCODEPAGE (when
// the file names none: UTF-8 if they are that, else cp932), in UTF-8 from
// R2007 ($ACADVER AC1021) on.
// Every failure is a Japanese message naming the file and, where the file is
// at fault, the line. No input crashes or hangs the reader.

struct DxfLayerInfo
{
    QString name;
    int entities = 0;   // entities of model space on the layer, of any kind
    int importable = 0; // of them, LINE, LWPOLYLINE, POLYLINE, ARC and CIRCLE
};

// The file's groups, kept for step 2 (defined in dxfshapes.h).
struct DxfSource;

struct DxfDrawing
{
    QString fileName;                // as given, for messages
    QString version;                 // $ACADVER, "AC1009" ..
    std::optional<DxfUnit> fileUnit; // $INSUNITS 4 or 6, or the unit note of this program's export
    QList<DxfLayerInfo> layers;      // in the order of the layer table, then of first use
    std::shared_ptr<const DxfSource> source; // the checked entities, read again by step 2
};

struct DxfReadResult
{
    DxfDrawing drawing;
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }
};

enum class DxfUnitChoice
{
    FromFile, // $INSUNITS or the export's note; millimetres when the file says nothing
    Millimetre,
    Metre
};

// The import's choices, as the dialog and the command line give them.
struct DxfImportOptions
{
    QStringList layers; // empty: Dxf::defaultLayers
    DxfUnitChoice unit = DxfUnitChoice::FromFile;
    double toleranceMm = 0.5; // end points closer than this become one point
    double deviationMm = 5.0; // chords at most this far from their arc
    bool moveToOrigin = true; // lower-left corner of the outline to (0, 0)
};

// Points in metres and segments joining them (0-based indices into points).
struct DxfOutline
{
    std::vector<QPointF> points;
    std::vector<std::pair<int, int>> segments;
};

struct DxfOutlineResult
{
    DxfOutline outline;
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }
};

namespace Dxf {

// Largest file read at all; a larger one is refused before reading.
inline constexpr qint64 MaxFileBytes = 256LL * 1024 * 1024;

// Step 1. fileName only names the file in messages.
DxfReadResult read(QByteArrayView bytes, const QString& fileName);

// The layers chosen before the user chooses: "外形" when the file has it,
// otherwise every layer.
QStringList defaultLayers(const DxfDrawing& drawing);

// The unit the import uses for the choice.
DxfUnit unitFor(const DxfDrawing& drawing, DxfUnitChoice choice);

// Step 2. Points are numbered in the order they first appear, segments in
// the order of the entities. Refused, with a message naming the file, when
// the result has more than 100 points or segments (the message gives both
// counts) or no segment at all, when a layer named is not in the drawing
// (layer names compare without regard to case), when an entity lies outside
// the XY plane or beyond 10,000 km (the message names its line), or when
// the tolerance is not within 0..1000 mm or the deviation not within
// 0 (excluded)..1000 mm.
DxfOutlineResult toOutline(const DxfDrawing& drawing, const DxfImportOptions& options);

// Both steps at once.
DxfOutlineResult import(QByteArrayView bytes, const QString& fileName,
                        const DxfImportOptions& options = {});

// Replaces the points and segments of blk by the outline (1-based there);
// everything else of the block stays. The outline must be within the limits.
void applyOutline(BlkRec& blk, const DxfOutline& outline);

} // namespace Dxf

#pragma once

#include "analysis/sectiongeometry.h"
#include "document/blkrec.h"
#include "document/figuresettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <limits>
#include <span>

// The engineering figures of a block: its mass and weight, and at still-water
// levels its submerged volume, buoyancy, weight in water and centre of
// buoyancy. Pure functions of a record and the settings' unit weights, for
// the window, the data sheet and the command line alike.
//
// Units: volumes m3, masses t, forces kN, lengths m. Positions are in the
// block's own coordinates (those of its points); a level h is a height y.

inline constexpr double kNoFigure = std::numeric_limits<double>::quiet_NaN();

// Mass ρc·V (t), weight ρc·V·g (kN) and fill ratio V / (B·H·L), with V as
// stored in the block (or as typed). The fill ratio is NaN unless B·H·L > 0.
struct MassFigures
{
    double volume = kNoFigure;
    double mass = kNoFigure;
    double weight = kNoFigure;
    double fillRatio = kNoFigure;
};
MassFigures massFigures(double V, double B, double H, double L, const FigureSettings& s);
MassFigures massFigures(const BlkRec& rec, const FigureSettings& s);

// The figures at one level by one method. Not available (all NaN) when the
// method has nothing to go on: no closed section or L not a number for the
// outline, no layer rows for the layer table.
struct BuoyancyFigures
{
    bool available = false;
    double submergedVolume = kNoFigure; // m3
    double buoyancy = kNoFigure;        // ρw·g·Vsub, kN
    double weightInWater = kNoFigure;   // ρc·g·V - buoyancy, kN (V as stored)
    double centreX = kNoFigure;         // centre of buoyancy; NaN when nothing is
    double centreY = kNoFigure;         // submerged, and x always for the layer table
};

// One level, computed two ways side by side:
// - outline: the area of the section below h times L, exact (the slabs the
//   layer volumes use; holes respected), the centre that of that area;
// - layers: the layer table's cumulative volume at h, linear within a layer,
//   the layers stacked from the section's bottom (y = 0 without a section);
//   the centre's y from the layer slabs, each (part of a) layer at its
//   middle height.
// Below the block both give 0, above it the whole block (the table's sum).
struct WaterLevelFigures
{
    WaterLevel level;
    BuoyancyFigures outline;
    BuoyancyFigures layers;
    // layers - outline submerged volume (m3), and the tolerance it is held
    // to: kVolumeRelTol of the outline's volume, at least kFileStep (those
    // of the block checks). NaN unless both are available.
    double difference = kNoFigure;
    double tolerance = kNoFigure;
    // The layer table misrepresents the block at this level.
    bool disagree = false;
    QString note; // Japanese: the disagreement, or why a method has no figures
};

struct BlockFigures
{
    MassFigures mass;
    QList<WaterLevelFigures> levels; // in the order asked for
};

// Figures at the given levels, with the section already built from rec.
QList<WaterLevelFigures> waterLevelFigures(const BlkRec& rec, const SectionGeometry& section,
                                           const FigureSettings& s,
                                           std::span<const WaterLevel> levels);
// Mass and the figures at the settings' levels (s.levels).
BlockFigures blockFigures(const BlkRec& rec, const SectionGeometry& section,
                          const FigureSettings& s);
BlockFigures blockFigures(const BlkRec& rec, const FigureSettings& s);

// The figures as rows of texts (three decimals, "－" where there is no
// figure), for the check window and the data sheet: a header row of column
// titles with units, then one row per mass figure or per level.
struct FigureTable
{
    QStringList header;
    QList<QStringList> rows;
};
// Rows 質量, 重量, 充填率 with columns 項目, 値, 単位.
FigureTable massTable(const MassFigures& m);
// One row per level, the outline's and the table's figures side by side; the
// columns in this order (the header names them with their units).
enum class LevelColumn
{
    Name,            // 名称
    Level,           // 水位 (m)
    OutlineVolume,   // 水中体積 断面 (m3)
    LayersVolume,    // 水中体積 層表 (m3)
    OutlineBuoyancy, // 浮力 断面 (kN)
    LayersBuoyancy,  // 浮力 層表 (kN)
    OutlineInWater,  // 水中重量 断面 (kN)
    LayersInWater,   // 水中重量 層表 (kN)
    OutlineCentreX,  // 浮心 X 断面 (m)
    OutlineCentreY,  // 浮心 Y 断面 (m)
    LayersCentreY,   // 浮心 Y 層表 (m)
    Note,            // 注記: the note
    Count
};
FigureTable waterLevelTable(const QList<WaterLevelFigures>& levels);
// "単位体積重量: コンクリート 2.30 t/m3 (22.6 kN/m3)、海水 1.03 t/m3 (10.1 kN/m3)、g = 9.81 m/s2".
QString unitWeightsText(const FigureSettings& s);

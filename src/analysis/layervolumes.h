#pragma once

#include "analysis/sectiongeometry.h"
#include "document/blkrec.h"

#include <QList>

#include <span>

// Layers are stacked from the bottom of the section (the lowest corner of its
// loops), not from y = 0: the layer table is entered "from the bottom of the
// block upward", and the block's bottom is where its section begins. For an
// outline with its lower-left corner at the origin, as blocks are drawn, the
// two agree; for one drawn higher up, counting from 0 would fill the first
// layers with nothing and cut the top off.

// The volume of each layer: the section's area between the layer's lower and
// upper height times L, unrounded. A layer height that is negative or not a
// number gives a layer of no volume and does not move the ones above it.
QList<double> layerVolumes(const SectionGeometry& section, double L,
                           std::span<const double> heights);

// A layer table as the file keeps it, three decimals. The cumulative volumes
// are the exact ones rounded, and each layer is the difference of its
// cumulative volume and the one below: no rounding error piles up in the top
// row, and layers covering the whole section add up to the proposed V.
struct LayerTable
{
    QList<double> lyrV;
    QList<double> lyrVSum;
};
LayerTable layerTable(const SectionGeometry& section, double L, std::span<const double> heights);

// The table's layer heights (rows 0..LyrCnt-1, clamped to the arrays).
std::span<const double> layerHeights(const BlkRec& rec);

// Fills ⊿Ｖ and the cumulative volumes of rec's layer rows from its own
// outline and its L. False, with rec untouched, when the outline has no closed
// loop or L is not a number.
bool fillLayerVolumes(BlkRec& rec);

// V, Gx and Gy (and B, H) as the outline gives them, rounded to the file's
// three decimals; Gx and Gy are measured from the lower-left corner of the
// section's extent. ok is false when there is no closed loop with an area or L
// is not a number; nothing else is then meaningful.
struct SpecProposal
{
    bool ok = false;
    double V = 0;
    double Gx = 0;
    double Gy = 0;
    double B = 0;
    double H = 0;
};
SpecProposal proposeSpec(const SectionGeometry& section, double L);
SpecProposal proposeSpec(const BlkRec& rec);

// v rounded to three decimals exactly as the block file stores it.
double roundToFile(double v);

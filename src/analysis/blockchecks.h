#pragma once

#include "analysis/outline.h"
#include "analysis/sectiongeometry.h"
#include "document/blkrec.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QtGlobal>

#include <limits>

// Engineering checks of a block against its own outline: its 諸元
// values and the layer table held against what the drawn section gives, and
// the outline's own soundness. Pure functions of a record, for the check
// window, the status bar, the marks in the drawing and the file list alike.

// Volumes may differ from A × L by half a per cent: the accuracy engineers
// work to, and ample for a curved face drawn as a polyline.
inline constexpr double kVolumeRelTol = 0.005;
// The block file keeps three decimals, so two stored values meant to agree
// may still differ by one unit in the last place. Also the floor of every
// volume tolerance, which would otherwise vanish for tiny volumes.
inline constexpr double kFileStep = 0.001;
// Positions and lengths may be 1 cm apart: ten times the file's resolution
// and far below anything that matters for placing or casting a block.
inline constexpr double kPositionTol = 0.01;

enum class Verdict
{
    Pass,         // 合格
    Caution,      // 注意
    NotApplicable // 判定不可: the check cannot be made (no closed loop, no layer rows)
};

// The checks, in the order of the report's rows.
enum class CheckId
{
    Volume,           // A × L against V
    Centroid,         // centroid against (Gx, Gy)
    Width,            // extent against B
    Height,           // extent against H
    LayerHeights,     // sum of LyrH against H
    CumulativeVolume, // last LyrVSum against V
    LayerVolumes,     // each LyrV against the section between its heights
    ClosedSection,
    LoosePoints,
    OpenEnds,
    BranchPoints,
    Crossings,
    ZeroLength,
    DuplicatePoints,
    SegmentNumbers,
    Coordinates,
};
inline constexpr int kCheckCount = int(CheckId::Coordinates) + 1;

struct CheckRow
{
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

    CheckId id = CheckId::Volume;
    QString title; // Japanese, e.g. "体積 A×L と V"
    Verdict verdict = Verdict::NotApplicable;
    // The figures; NaN where the row has none. computed is the figure under
    // test (from the outline, or the table's own sum), stored the record's
    // value it is held against; difference is computed - stored (for the
    // layer volumes the largest one, for the centroid the distance), in the
    // unit of differenceText: per cent of V for the volume against A × L.
    double computed = kNone;
    double stored = kNone;
    double difference = kNone;
    double tolerance = kNone;
    // The figures as the window shows them (three decimals, units); empty
    // where there is none.
    QString computedText;
    QString storedText;
    QString differenceText;
    QString detail; // Japanese: what was found, or the tolerance applied
    // What to mark: point and segment numbers, layer rows (0-based) and
    // positions in metres: for the centroid the computed one, then the stored
    // one placed from the section's lower-left corner; for crossings where
    // each pair meets, in the order of the detail text.
    QList<qint16> points;
    QList<qint16> segments;
    QList<int> layers;
    QList<QPointF> positions;
};

struct BlockCheckReport
{
    OutlineFindings outline;
    SectionGeometry section;
    QList<CheckRow> rows; // one per CheckId, in its order
    bool empty = false;   // no points and no segments: nothing to check yet

    const CheckRow& row(CheckId id) const { return rows[int(id)]; }
    int cautionCount() const;
    bool passed() const { return cautionCount() == 0; }
    // For the status bar: "検査: 注意 2", or "検査: 合格" when nothing calls for
    // care, or "検査: -" for an empty block.
    QString summaryText() const;
};

// Runs every check on rec; safe on any record, however damaged.
BlockCheckReport checkBlock(const BlkRec& rec);

// checkBlock(rec).passed(), found sooner: an outline that already calls for
// care is not built into a section, which for a badly crossing outline is
// most of the work. For the file list, which checks every file.
bool blockPasses(const BlkRec& rec);

// "合格", "注意", "判定不可".
QString verdictText(Verdict v);

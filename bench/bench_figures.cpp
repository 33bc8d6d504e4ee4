// The figures at ten still-water levels of a 100-point block: mass, and at
// each level the submerged volume, buoyancy, weight in water and centre of
// buoyancy, from the outline and from a 51-row layer table. Prints median and
// best per call, from the record (outline analysed, section built) and with
// the section already built as the check window has it.
#include "analysis/blockfigures.h"
#include "analysis/layervolumes.h"
#include "analysis/outline.h"

#include "benchblocks.h"
#include "benchtiming.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr int kWarmUp = 200;
constexpr int kRuns = 5000;
constexpr int kLevels = 10;
constexpr double kTargetMedianUs = 100;

// A ragged 100-gon with its 諸元 values (V, B, H) and a full layer table.
BlkRec raggedPolygon()
{
    BlkRec b;
    raggedOutline(b);
    b.L = 2;
    const SpecProposal p = proposeSpec(b);
    b.V = p.V;
    b.B = p.B;
    b.H = p.H;
    b.LyrCnt = BlkRec::LyrLast + 1;
    b.LyrH.fill(b.H / b.LyrCnt);
    fillLayerVolumes(b);
    return b;
}

using Figures = CallTimes;

Figures measure(const std::function<double()>& call)
{
    return timeCalls(kWarmUp, kRuns, call);
}

void report(const char* what, bool target, const Figures& f)
{
    std::printf("%-44s median %8.2f us  best %8.2f us", what, f.median, f.best);
    if (target)
        std::printf("  (target median <= %.0f us: %s)", kTargetMedianUs,
                    f.median <= kTargetMedianUs ? "met" : "MISSED");
    std::printf("\n");
}

} // namespace

int main()
{
    const BlkRec block = raggedPolygon();
    FigureSettings s;
    for (int i = 0; i < kLevels; ++i)
        s.levels.append({QStringLiteral("L%1").arg(i), -0.5 + i * (block.H + 1) / (kLevels - 1)});

    const BlockFigures f = blockFigures(block, s);
    int disagree = 0;
    for (const WaterLevelFigures& l : f.levels)
        disagree += l.disagree ? 1 : 0;
    std::printf("bench_figures: %d points, %d layer rows, %d levels; %d calls each\n",
                BlkRec::PntLast, BlkRec::LyrLast + 1, kLevels, kRuns);
    std::printf("mass %.3f t, submerged at the middle level %.3f m3 (table %.3f m3), %d level(s) "
                "where the table disagrees\n",
                f.mass.mass, f.levels[kLevels / 2].outline.submergedVolume,
                f.levels[kLevels / 2].layers.submergedVolume, disagree);

    report("from the record (blockFigures)", true,
           measure([&] { return blockFigures(block, s).levels.last().outline.buoyancy; }));
    const SectionGeometry section(block, analyzeOutline(block));
    report("section built (blockFigures with section)", false,
           measure([&] { return blockFigures(block, section, s).levels.last().outline.buoyancy; }));
    report("and as texts (waterLevelTable)", false, measure([&] {
               return double(waterLevelTable(blockFigures(block, section, s).levels).rows.size());
           }));
    return 0;
}

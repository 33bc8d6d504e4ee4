// All engineering checks of a block at the table's limits: 100 points, 100
// segments and 51 layer rows. Two outlines: a ragged 100-gon, and a ring cut
// open by a slit (outer and inner arc joined into one loop). Prints median and
// best per call, and for comparison the same for the worst outline a damaged
// file can give.
#include "analysis/blockchecks.h"
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
constexpr double kTargetMedianUs = 50;

// Specification values and a full layer table from the outline itself, so
// that every check has its figures to compare.
void completeSpec(BlkRec& b)
{
    b.PntCnt = BlkRec::PntLast;
    b.LineCnt = BlkRec::LineLast;
    for (int i = 1; i <= BlkRec::LineLast; ++i) {
        b.LineSt[size_t(i)] = qint16(i);
        b.LineEd[size_t(i)] = qint16(i % BlkRec::LineLast + 1);
    }
    b.L = 2;
    const SpecProposal p = proposeSpec(b);
    b.V = p.V;
    b.Gx = p.Gx;
    b.Gy = p.Gy;
    b.B = p.B;
    b.H = p.H;
    b.LyrCnt = BlkRec::LyrLast + 1;
    b.LyrH.fill(b.H / b.LyrCnt);
    fillLayerVolumes(b);
}

BlkRec raggedPolygon()
{
    BlkRec b;
    raggedOutline(b);
    completeSpec(b);
    return b;
}

// Outer arc counter-clockwise from the slit, inner arc back: one loop.
BlkRec slitRing()
{
    BlkRec b;
    const int half = BlkRec::PntLast / 2;
    const double gap = 0.05; // radians left open by the slit
    for (int k = 0; k < half; ++k) {
        const double a = gap + (2 * std::numbers::pi - 2 * gap) * k / (half - 1);
        b.PntX[size_t(k + 1)] = 3 + 3 * std::cos(a);
        b.PntY[size_t(k + 1)] = 3 + 3 * std::sin(a);
        b.PntX[size_t(BlkRec::PntLast - k)] = 3 + 2 * std::cos(a);
        b.PntY[size_t(BlkRec::PntLast - k)] = 3 + 2 * std::sin(a);
    }
    completeSpec(b);
    return b;
}

// The worst a damaged file can do: a star polygon {100/49}, every segment of
// which crosses almost every other (about 4,800 crossings).
BlkRec star()
{
    BlkRec b;
    for (int i = 1; i <= BlkRec::PntLast; ++i) {
        const double a = 2 * std::numbers::pi * (49 * i % BlkRec::PntLast) / BlkRec::PntLast;
        b.PntX[size_t(i)] = 5 + 5 * std::cos(a);
        b.PntY[size_t(i)] = 5 + 5 * std::sin(a);
    }
    completeSpec(b);
    return b;
}

using Figures = CallTimes;

Figures measure(const std::function<int()>& call)
{
    return timeCalls(kWarmUp, kRuns, call);
}

void report(const char* block, const char* what, bool target, const Figures& f)
{
    std::printf("%-16s %-30s median %8.2f us  best %8.2f us", block, what, f.median, f.best);
    if (target)
        std::printf("  (target median <= %.0f us: %s)", kTargetMedianUs,
                    f.median <= kTargetMedianUs ? "met" : "MISSED");
    std::printf("\n");
}

} // namespace

int main()
{
    const struct
    {
        const char* name;
        BlkRec block;
        bool target;
    } blocks[] = {{"100-gon", raggedPolygon(), true},
                  {"ring with slit", slitRing(), true},
                  {"star {100/49}", star(), false}};

    std::printf("bench_checks: %d points, %d segments, %d layer rows; %d calls each\n",
                BlkRec::PntLast, BlkRec::LineLast, BlkRec::LyrLast + 1, kRuns);
    for (const auto& b : blocks) {
        const BlockCheckReport r = checkBlock(b.block);
        std::printf("%-16s %s, %d loop(s), %d crossing(s), area %.3f m2\n", b.name,
                    r.summaryText().toUtf8().constData(), int(r.outline.loops.size()),
                    int(r.outline.crossings.size()), r.section.area());
        report(b.name, "all checks (checkBlock)", b.target,
               measure([&] { return checkBlock(b.block).cautionCount(); }));
        report(b.name, "outline only (analyzeOutline)", false,
               measure([&] { return int(analyzeOutline(b.block).loops.size()); }));
        BlkRec copy = b.block;
        report(b.name, "fill layer volumes", false,
               measure([&] { return int(fillLayerVolumes(copy)); }));
    }
    return 0;
}

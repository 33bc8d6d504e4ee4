// Time the recovery copy takes on the user-interface thread: one timer tick
// that finds the block changed and hands the copy (a full block: 51 layer
// rows, 100 points, 100 segments) to the writer thread, and one that finds
// nothing new. The write itself, off that thread, is shown for comparison.
//
// Target: every tick well under 2 ms, so no keystroke or click waits for it.
//
// Usage: bench_recovery [ticks per kind, default 500]
#include "document/blkrec.h"
#include "document/recovery.h"
#include "benchblocks.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Figures
{
    double median = 0;
    double p99 = 0;
    double worst = 0;
};

Figures figures(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100], us.back()};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(10, std::atoi(argv[1])) : 500;
    QTemporaryDir dir;
    Recovery rec(dir.path() + u'/');
    const BlkRec saved;
    BlkRec blk = fullBlock();
    using Clock = std::chrono::steady_clock;
    std::vector<double> changed;
    std::vector<double> unchanged;
    std::vector<double> written;
    for (int i = 0; i < ticks; ++i) {
        blk.V = 7.344 + 0.001 * i; // one edit between two ticks
        auto t0 = Clock::now();
        rec.update(blk, saved);
        auto t1 = Clock::now();
        rec.update(blk, saved);
        auto t2 = Clock::now();
        rec.flush();
        auto t3 = Clock::now();
        written.push_back(std::chrono::duration<double, std::micro>(t3 - t2).count());
        changed.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        unchanged.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
    }
    rec.discard();
    const Figures c = figures(changed);
    const Figures u = figures(unchanged);
    const Figures w = figures(written);
    std::printf("recovery tick, block changed (copy handed over): median %.0f us, p99 %.0f us, "
                "worst %.0f us (target < 2000 us)\n",
                c.median, c.p99, c.worst);
    std::printf(
        "recovery tick, nothing new:                  median %.1f us, p99 %.1f us, worst %.1f "
        "us\n",
        u.median, u.p99, u.worst);
    std::printf("the write itself, on the writer thread:      median %.0f us, p99 %.0f us, "
                "worst %.0f us\n",
                w.median, w.p99, w.worst);
    return 0;
}

// Speed of the block-file reader and writer on a full block (51 layer rows,
// 100 points, 100 segments, Japanese name and type), measured against the
// floor of merely opening the file, reading its bytes and splitting its lines.
//
// Targets: at least 20,000 full reads per second on one core, and a full read
// within 5 times the bytes-only floor.
//
// Usage: bench_blockfile [iterations per round, default 20000]
#include "document/blkrec.h"
#include "document/blockfile.h"
#include "benchblocks.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 7;

// Keeps the measured work from being optimised away.
volatile long long gSink = 0;

struct Figures
{
    double bestUs = 0;   // microseconds per operation, best round
    double medianUs = 0; // microseconds per operation, median round
};

struct Case
{
    const char* name;
    int iterations;
    std::function<void()> op;
    std::vector<double> perOp; // microseconds per operation, one entry per round
};

// Runs every case once per round, taking turns, so that a change in the load of
// the machine hits all of them alike and their ratios stay meaningful.
void measure(std::vector<Case>& cases)
{
    using Clock = std::chrono::steady_clock;
    for (Case& c : cases) { // warm caches and allocators
        for (int i = 0; i < std::max(1, c.iterations / 10); ++i)
            c.op();
    }
    for (int round = 0; round < kRounds; ++round) {
        for (Case& c : cases) {
            const auto start = Clock::now();
            for (int i = 0; i < c.iterations; ++i)
                c.op();
            const std::chrono::duration<double, std::micro> took = Clock::now() - start;
            c.perOp.push_back(took.count() / c.iterations);
        }
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

Figures figures(const Case& c)
{
    return {*std::min_element(c.perOp.begin(), c.perOp.end()), median(c.perOp)};
}

void print(const char* what, const Figures& f)
{
    std::printf("%-34s %9.2f us best %9.2f us median %11.0f /s (best)\n", what, f.bestUs,
                f.medianUs, 1e6 / f.bestUs);
}

// The least any reader must do: open the file, read its bytes, find its lines.
long long bytesOnlyFloor(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    long long lines = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype cr = bytes.indexOf('\r', from);
        if (cr < 0)
            break;
        const QByteArrayView line(bytes.constData() + from, cr - from);
        lines += line.size() > 0 ? 1 : 0;
        from = cr + 1;
        if (from < bytes.size() && bytes[from] == '\n')
            ++from;
    }
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    const int writeIterations = std::max(1, iterations / 20); // each write replaces a file

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("block.csv"));
    const QString writePath = dir.filePath(QStringLiteral("written.csv"));
    const BlkRec block = fullBlock();
    if (const BlkWriteResult r = Blk_Write(block, path); !r.ok) {
        std::fprintf(stderr, "write failed: %s\n", qPrintable(r.message));
        return 1;
    }
    QByteArray bytes;
    Blk_Encode(block, bytes);
    BlkRec check;
    if (!Blk_ReadPath(check, path) || Blk_Differs(check, block) || check.LyrVSum != block.LyrVSum) {
        std::fprintf(stderr, "the block does not read back\n");
        return 1;
    }

    std::printf("block file: %lld bytes, %d layer rows, %d points, %d segments\n",
                static_cast<long long>(bytes.size()), int(block.LyrCnt), int(block.PntCnt),
                int(block.LineCnt));
    std::printf("%d rounds of %d reads / %d writes\n\n", kRounds, iterations, writeIterations);

    std::vector<Case> cases;
    cases.push_back({"Blk_ReadPath (full read)",
                     iterations,
                     [&] {
                         BlkRec r;
                         gSink = gSink + Blk_ReadPath(r, path) + r.PntCnt;
                     },
                     {}});
    cases.push_back({"Blk_ReadBytes (from memory)",
                     iterations,
                     [&] {
                         BlkRec r;
                         gSink = gSink + Blk_ReadBytes(r, bytes) + r.PntCnt;
                     },
                     {}});
    cases.push_back({"bytes-only floor (open+readAll+CR)",
                     iterations,
                     [&] { gSink = gSink + bytesOnlyFloor(path); },
                     {}});
    cases.push_back({"Blk_Encode (to memory)",
                     iterations,
                     [&] {
                         QByteArray out;
                         gSink = gSink + Blk_Encode(block, out).ok + out.size();
                     },
                     {}});
    cases.push_back({"Blk_Write (QSaveFile)",
                     writeIterations,
                     [&] { gSink = gSink + Blk_Write(block, writePath).ok; },
                     {}});
    measure(cases);
    for (const Case& c : cases)
        print(c.name, figures(c));

    const Figures full = figures(cases[0]);
    const Figures floor = figures(cases[2]);
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round)
        ratios.push_back(cases[0].perOp[size_t(round)] / cases[2].perOp[size_t(round)]);
    const double readsPerSecond = 1e6 / full.bestUs;
    const double ratio = full.bestUs / floor.bestUs;
    const double ratioMedian = median(ratios);
    std::printf("\nfull reads per second: %.0f (target >= 20000: %s)\n", readsPerSecond,
                readsPerSecond >= 20000 ? "met" : "MISSED");
    std::printf("full read / bytes-only floor: %.2f best / best, %.2f median of rounds "
                "(target <= 5: %s)\n",
                ratio, ratioMedian, ratio <= 5 ? "met" : "MISSED");
    return 0;
}

// Speed of the shape-selection list: a folder of 1001 block files (100
// points, 100 segments, 10 layer rows) and 50 other CSV files, from the folder
// change to the filled list (Form9's Dir1_Change: listing with each block's
// check mark and filling List1), measured against the floor of opening and
// reading the same files' bytes; the core listing with and without the marks
// shows what the checks cost.
//
// Targets: at most 100 ms per folder change, and within 3 times the floor.
//
// Usage: bench_listing [rounds, default 21]
#include "analysis/blockchecks.h"
#include "benchblocks.h"
#include "dialogs/form9.h"
#include "dialogs/prompts.h"
#include "document/basmrblk.h"
#include "document/blkrec.h"
#include "document/blockfile.h"
#include "document/blocklisting.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kBlocks = 1001;
constexpr int kOthers = 50;

volatile long long gSink = 0; // keeps the measured work from being optimised away

// A spreadsheet export of about the same size as a block file.
QByteArray otherCsv(int n)
{
    QByteArray out = "No,X,Y,Z\r\n";
    for (int i = 0; i < 100; ++i)
        out += QByteArray::number(i) + ',' + QByteArray::number(n * 0.5) + ",1.25,3.5\r\n";
    return out;
}

bool makeFolder(const QString& dir, QStringList& paths)
{
    for (int n = 0; n < kBlocks; ++n) {
        const QString p = dir + QStringLiteral("blk%1.csv").arg(n, 4, 10, QLatin1Char('0'));
        if (!Blk_Write(zigzagBlock(n), p).ok)
            return false;
        paths << p;
    }
    for (int n = 0; n < kOthers; ++n) {
        const QString p = dir + QStringLiteral("table%1.CSV").arg(n, 2, 10, QLatin1Char('0'));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(otherCsv(n)) < 0)
            return false;
        paths << p;
    }
    return true;
}

// The least any listing must do: open every file and read all its bytes.
long long bytesFloor(const QStringList& paths)
{
    long long total = 0;
    for (const QString& p : paths) {
        QFile f(p);
        if (f.open(QIODevice::ReadOnly))
            total += f.readAll().size();
    }
    return total;
}

struct Case
{
    const char* name;
    std::function<void()> op;
    std::vector<double> ms; // one entry per round
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every case once per round, taking turns, so that a change in the machine's
// load hits all of them alike.
void measure(std::vector<Case>& cases, int rounds)
{
    using Clock = std::chrono::steady_clock;
    for (Case& c : cases) // warm the page cache and allocators
        c.op();
    for (int round = 0; round < rounds; ++round) {
        for (Case& c : cases) {
            const auto start = Clock::now();
            c.op();
            const std::chrono::duration<double, std::milli> took = Clock::now() - start;
            c.ms.push_back(took.count());
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;

    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString dir = tmp.path() + u'/';
    QStringList paths;
    if (!makeFolder(dir, paths)) {
        std::fprintf(stderr, "cannot write the files\n");
        return 1;
    }

    basMr_Blk blk;
    blk.DataPath = dir;
    MessageBoxPrompts prompts; // never asked: the folder is ready
    Form9 form(blk, dir, prompts);
    auto* list = form.findChild<QListWidget*>(QStringLiteral("List1"));
    if (!list || list->count() != kBlocks) {
        std::fprintf(stderr, "the list holds %d lines, not %d\n", list ? list->count() : -1,
                     kBlocks);
        return 1;
    }
    const long long bytes = bytesFloor(paths);
    std::printf("folder: %d block files, %d other CSV files, %lld bytes\n", kBlocks, kOthers,
                bytes);
    std::printf("%d rounds\n\n", rounds);

    std::vector<Case> cases;
    cases.push_back({"Form9::Dir1_Change (list + List1)",
                     [&] {
                         form.Dir1_Change();
                         gSink = gSink + list->count();
                     },
                     {}});
    cases.push_back({"BlockListing::list (core only)",
                     [&] {
                         BlkRec scratch;
                         gSink = gSink + BlockListing::list(dir, scratch).entries.size();
                     },
                     {}});
    cases.push_back({"BlockListing::list with check marks",
                     [&] {
                         BlkRec scratch;
                         const BlockListing::Mark mark = [](const BlkRec& r) {
                             return blockPasses(r) ? QStringLiteral("合格")
                                                   : QStringLiteral("注意");
                         };
                         gSink = gSink + BlockListing::list(dir, scratch, mark).entries.size();
                     },
                     {}});
    cases.push_back(
        {"bytes-only floor (open + readAll)", [&] { gSink = gSink + bytesFloor(paths); }, {}});
    measure(cases, rounds);

    for (const Case& c : cases)
        std::printf("%-36s %8.2f ms median %8.2f ms best\n", c.name, median(c.ms),
                    *std::min_element(c.ms.begin(), c.ms.end()));
    const double change = median(cases[0].ms);
    const double floor = median(cases[3].ms);
    std::vector<double> ratios;
    for (size_t i = 0; i < cases[0].ms.size(); ++i)
        ratios.push_back(cases[0].ms[i] / cases[3].ms[i]);
    std::printf("\nfolder change: %.2f ms median (target <= 100 ms: %s)\n", change,
                change <= 100 ? "met" : "MISSED");
    std::printf("folder change / bytes-only floor: %.2f (medians), %.2f median of rounds "
                "(target <= 3: %s)\n",
                change / floor, median(ratios), change / floor <= 3 ? "met" : "MISSED");
    return 0;
}

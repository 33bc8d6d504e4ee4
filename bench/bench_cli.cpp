// The command line on a folder of 1,001 block files (100 points, 100
// segments, 10 layer rows each):
// - `check` against the shape-selection listing of the same folder (every
//   file read, each line with its check verdict), on two folders: blocks that
//   pass, and the listing benchmark's zigzag whose closing segment crosses it
//   (every block calls for care, the worst case for the full check).
//   Target: check at most 1.5 times the listing.
// - `catalogue`: the index and 1,001 data sheets in one PDF. Target: 20 s.
// Both run in this process, their output to /dev/null, as the program runs
// them.
//
// Times are the processor time of the measuring thread, so that the load of
// other programs on the machine does not count; the catalogue's elapsed time
// is printed beside it.
//
// Usage: bench_cli [rounds, default 7] [--no-catalogue | --catalogue-only]
#include "analysis/blockchecks.h"
#include "analysis/folderindex.h"
#include "analysis/layervolumes.h"
#include "benchblocks.h"
#include "cli/checkcommand.h"
#include "cli/console.h"
#include "document/blockfile.h"
#include "document/blocklisting.h"
#include "output/catalogue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <numbers>
#include <vector>

namespace {

constexpr int kBlocks = 1001;
constexpr double kCheckTarget = 1.5;
constexpr double kCatalogueTargetS = 20;

volatile long long gSink = 0;

void layers(BlkRec& r)
{
    r.LyrCnt = 10;
    r.LyrH.fill(0);
    // Heights as the file keeps them, the top one taking up the rounding.
    double below = 0;
    for (int i = 0; i + 1 < r.LyrCnt; ++i) {
        r.LyrH[i] = roundToFile(r.H / r.LyrCnt);
        below += r.LyrH[i];
    }
    r.LyrH[r.LyrCnt - 1] = roundToFile(r.H - below);
    fillLayerVolumes(r);
}

// A ragged 100-gon whose values and layer table agree with it: it passes.
BlkRec soundBlock(int n)
{
    BlkRec r;
    r.Name = QStringLiteral("消波ブロック%1型").arg(n);
    r.Kind = QStringLiteral("曲面型");
    r.PntCnt = BlkRec::PntLast;
    r.LineCnt = BlkRec::LineLast;
    const double size = 1 + n / 2000.0;
    for (int i = 1; i <= BlkRec::PntLast; ++i) {
        const double a = 2 * std::numbers::pi * i / BlkRec::PntLast;
        const double k = 1 + 0.12 * std::sin(7 * a);
        r.PntX[i] = std::round(1000 * size * (1.3 + 1.2 * k * std::cos(a))) / 1000;
        r.PntY[i] = std::round(1000 * size * (1.3 + 1.2 * k * std::sin(a))) / 1000;
        r.LineSt[i] = qint16(i);
        r.LineEd[i] = qint16(i % BlkRec::PntLast + 1);
    }
    r.L = 1.8;
    const SpecProposal p = proposeSpec(r);
    r.V = p.V;
    r.Gx = p.Gx;
    r.Gy = p.Gy;
    r.B = p.B;
    r.H = p.H;
    layers(r);
    return r;
}

bool makeFolder(const QString& dir, BlkRec (*make)(int))
{
    QDir().mkpath(dir);
    for (int n = 0; n < kBlocks; ++n) {
        if (!Blk_Write(make(n), dir + QStringLiteral("/blk%1.csv").arg(n, 4, 10, QLatin1Char('0')))
                 .ok)
            return false;
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// CPU time of this thread: the machine's other load does not count.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double msOf(const std::function<void()>& op)
{
    const double start = cpuMs();
    op();
    return cpuMs() - start;
}

// check and the listing taking turns, so a change in the machine's load hits
// both alike. Returns false when the check does not find what it should.
bool compare(const char* title, const QString& dir, int rounds, int expectedStatus)
{
    std::FILE* null = std::fopen("/dev/null", "w");
    Cli::Console io(null, null);
    int status = -1;
    const auto check = [&] { status = Cli::check({QStringLiteral("check"), dir}, io); };
    const auto checkJson = [&] {
        status = Cli::check({QStringLiteral("check"), QStringLiteral("--json"), dir}, io);
    };
    const auto listing = [&] {
        BlkRec scratch;
        const BlockListing::Mark mark = [](const BlkRec& r) {
            return blockPasses(r) ? QStringLiteral("合格") : QStringLiteral("注意");
        };
        gSink = gSink + BlockListing::list(dir, scratch, mark).entries.size();
    };
    check(); // warm the page cache and allocators
    checkJson();
    listing();
    std::vector<double> c, j, l, ratio;
    for (int i = 0; i < rounds; ++i) {
        l.push_back(msOf(listing));
        c.push_back(msOf(check));
        j.push_back(msOf(checkJson));
        ratio.push_back(c.back() / l.back());
    }
    std::fclose(null);
    if (status != expectedStatus) {
        std::fprintf(stderr, "%s: check gave status %d, not %d\n", title, status, expectedStatus);
        return false;
    }
    const double r = median(c) / median(l);
    std::printf("%s\n", title);
    std::printf("  listing with verdicts  %8.1f ms median\n", median(l));
    std::printf("  check                  %8.1f ms median (%.1f us a block)\n", median(c),
                1000 * median(c) / kBlocks);
    std::printf("  check --json           %8.1f ms median\n", median(j));
    std::printf("  check / listing        %8.2f (medians), %.2f median of rounds (target <= %.1f: "
                "%s)\n\n",
                r, median(ratio), kCheckTarget, r <= kCheckTarget ? "met" : "MISSED");
    return true;
}

bool catalogue(const QString& dir, const QString& out)
{
    QElapsedTimer t;
    t.start();
    const double cpu0 = cpuMs();
    const FolderIndex::Result index = FolderIndex::build(dir, FigureSettings());
    const double indexMs = double(t.nsecsElapsed()) / 1e6;
    Catalogue::Request request;
    request.folder = dir;
    request.entries = index.entries;
    request.date = QDate::currentDate();
    const Catalogue::Result r = Catalogue::write(out, request);
    const double totalS = double(t.nsecsElapsed()) / 1e9;
    const double cpuS = (cpuMs() - cpu0) / 1e3;
    if (!r.ok()) {
        std::fprintf(stderr, "catalogue failed: %s\n", qPrintable(r.reason));
        return false;
    }
    std::printf("catalogue of %d blocks (the passing folder): %d pages, %.1f MB\n", kBlocks,
                r.pages, double(QFileInfo(out).size()) / 1e6);
    std::printf("  folder index            %8.1f ms\n", indexMs);
    std::printf("  whole catalogue         %8.2f s elapsed, %.2f s of processor time (%.1f ms a "
                "page; target <= %.0f s: %s)\n",
                totalS, cpuS, 1000 * cpuS / r.pages, kCatalogueTargetS,
                cpuS <= kCatalogueTargetS ? "met" : "MISSED");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 7;
    bool withCatalogue = true;
    bool withCheck = true;
    for (int i = 1; i < argc; ++i) {
        withCatalogue = withCatalogue && std::strcmp(argv[i], "--no-catalogue") != 0;
        withCheck = withCheck && std::strcmp(argv[i], "--catalogue-only") != 0;
    }

    QTemporaryDir tmp;
    const QString sound = tmp.filePath(QStringLiteral("sound"));
    const QString zigzag = tmp.filePath(QStringLiteral("zigzag"));
    if (!tmp.isValid() || !makeFolder(sound, soundBlock) || !makeFolder(zigzag, zigzagBlock)) {
        std::fprintf(stderr, "cannot write the folders\n");
        return 1;
    }
    std::printf("%d block files a folder, %d rounds\n\n", kBlocks, rounds);
    if (withCheck && (!compare("blocks that pass", sound, rounds, 0) ||
                      !compare("blocks that call for care (zigzag)", zigzag, rounds, 1)))
        return 1;
    if (withCatalogue && !catalogue(sound, tmp.filePath(QStringLiteral("catalogue.pdf"))))
        return 1;
    return 0;
}

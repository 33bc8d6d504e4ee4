// Fuzzes the block-file reader and checks what the reader and writer promise
// each other:
//  - reading never crashes, whatever the bytes;
//  - the reader gives the same record whether the bytes come in one piece or
//    trickle in a few at a time, and whatever the record held before;
//  - a block that reads can be written, and what is written reads back;
//  - writing rounds reals to three decimals and changes nothing else, so from
//    the first write on, read and write are a fixed point: the second write
//    gives the very bytes of the first.
#include "document/blkrec.h"
#include "document/blockfile.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_blockfile: %s\n", what);
    __builtin_trap();
}

void check(bool ok, const char* what)
{
    if (!ok)
        fail(what);
}

// A sequential device that hands out at most `step` bytes per read, so that
// line ends fall on every possible refill boundary of the line reader.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(QByteArrayView bytes, qint64 step) : mBytes(bytes), mStep(step) {}

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, mStep, qint64(mBytes.size()) - mPos});
        std::copy_n(mBytes.data() + mPos, n, data);
        mPos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArrayView mBytes;
    qint64 mStep;
    qint64 mPos = 0;
};

// Every field, entries beyond the counts included: the reader must be fully
// deterministic, partial reads too.
bool sameRecord(const BlkRec& a, const BlkRec& b)
{
    return a.Name == b.Name && a.Kind == b.Kind && a.B == b.B && a.L == b.L && a.H == b.H &&
           a.Gx == b.Gx && a.Gy == b.Gy && a.V == b.V && a.Spare == b.Spare &&
           a.LyrCnt == b.LyrCnt && a.LyrH == b.LyrH && a.LyrV == b.LyrV && a.LyrVSum == b.LyrVSum &&
           a.PntCnt == b.PntCnt && a.PntX == b.PntX && a.PntY == b.PntY && a.LineCnt == b.LineCnt &&
           a.LineSt == b.LineSt && a.LineEd == b.LineEd;
}

// A record full of values no file in the corpus is likely to produce, to see
// that a successful read leaves nothing of it that counts.
BlkRec staleRecord()
{
    BlkRec r;
    r.Name = QStringLiteral("stale");
    r.Kind = QStringLiteral("stale");
    r.B = r.L = r.H = r.Gx = r.Gy = r.V = -7.25;
    r.LyrCnt = 7;
    r.LyrH.fill(-1.5);
    r.LyrV.fill(-2.5);
    r.LyrVSum.fill(-3.5);
    r.PntCnt = 9;
    r.PntX.fill(-4.5);
    r.PntY.fill(-5.5);
    r.LineCnt = 11;
    r.LineSt.fill(-6);
    r.LineEd.fill(-7);
    return r;
}

// Writing keeps three decimals of at most 15 significant digits; nothing may
// move by more than that.
bool closeAfterRounding(double read, double written)
{
    const double slack = 0.0005 * (1 + 1e-9) + std::fabs(read) * 1e-14;
    return std::fabs(read - written) <= slack;
}

// Blk_Differs leaves out the cumulative volumes; the file keeps them all the same.
bool sameCumulative(const BlkRec& a, const BlkRec& b)
{
    for (int i = 0; i < std::min<int>(a.LyrCnt, BlkRec::LyrLast + 1); ++i) {
        if (a.LyrVSum[i] != b.LyrVSum[i])
            return false;
    }
    return true;
}

void checkRounded(const BlkRec& first, const BlkRec& second)
{
    check(first.Name == second.Name && first.Kind == second.Kind, "name or type changed");
    check(first.LyrCnt == second.LyrCnt && first.PntCnt == second.PntCnt &&
              first.LineCnt == second.LineCnt,
          "a count changed");
    const double firstSpec[] = {first.B, first.L, first.H, first.Gx, first.Gy, first.V};
    const double secondSpec[] = {second.B, second.L, second.H, second.Gx, second.Gy, second.V};
    for (int k = 0; k < 6; ++k)
        check(closeAfterRounding(firstSpec[k], secondSpec[k]), "a specification value moved");
    for (int i = 0; i < first.LyrCnt; ++i) {
        check(closeAfterRounding(first.LyrH[i], second.LyrH[i]) &&
                  closeAfterRounding(first.LyrV[i], second.LyrV[i]) &&
                  closeAfterRounding(first.LyrVSum[i], second.LyrVSum[i]),
              "a layer value moved");
    }
    for (int i = 1; i <= first.PntCnt; ++i) {
        check(closeAfterRounding(first.PntX[i], second.PntX[i]) &&
                  closeAfterRounding(first.PntY[i], second.PntY[i]),
              "a point moved");
    }
    for (int i = 1; i <= first.LineCnt; ++i) {
        check(first.LineSt[i] == second.LineSt[i] && first.LineEd[i] == second.LineEd[i],
              "a segment changed");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));

    BlkRec first;
    const bool ok = Blk_ReadBytes(first, input);

    // The same bytes a few at a time; the step is taken from the input so that
    // the fuzzer explores it too.
    {
        const qint64 step = 1 + (size > 0 ? data[size - 1] % 61 : 0);
        TrickleDevice dev(input, step);
        check(dev.open(QIODevice::ReadOnly | QIODevice::Unbuffered), "device did not open");
        BlkRec trickled;
        check(Blk_ReadDevice(trickled, dev) == ok, "trickled read disagrees");
        check(sameRecord(first, trickled), "trickled read gave another record");
    }
    // Over a record that held something else: a read that succeeds must leave
    // nothing of the old block that counts.
    {
        BlkRec reused = staleRecord();
        check(Blk_ReadBytes(reused, input) == ok, "read into a used record disagrees");
        if (ok)
            check(!Blk_Differs(first, reused) && sameCumulative(first, reused),
                  "read into a used record kept old values");
    }
    if (!ok)
        return 0;

    // Whatever reads can be saved again: the user must never be stuck with an
    // opened block that cannot be written.
    QByteArray written;
    check(Blk_Encode(first, written).ok, "a block that reads cannot be written");

    BlkRec second;
    check(Blk_ReadBytes(second, written), "written bytes do not read");
    checkRounded(first, second);

    QByteArray rewritten;
    check(Blk_Encode(second, rewritten).ok, "second write refused");
    check(rewritten == written, "second write gave other bytes");

    BlkRec third;
    check(Blk_ReadBytes(third, rewritten), "rewritten bytes do not read");
    check(!Blk_Differs(second, third) && sameCumulative(second, third),
          "record changed on the second round");
    return 0;
}

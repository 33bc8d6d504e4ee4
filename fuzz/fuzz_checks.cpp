// Fuzzes the engineering checks with any record a damaged file or a faulty
// edit could leave: either the bytes are read as a block file (what the
// reader keeps, even from a failed read), or they fill the record's counts,
// coordinates, segment ends and layer rows directly, NaN and infinity
// included. The checks must never crash or hang, and every number they hand
// the window to mark must be one it can mark.
#include "analysis/blockchecks.h"
#include "analysis/layervolumes.h"
#include "document/blkrec.h"
#include "document/blockfile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_checks: %s\n", what);
        __builtin_trap();
    }
}

// Takes values off the input in turn; zeros once it runs out.
class Bytes
{
public:
    Bytes(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    template <typename T> T take()
    {
        T v{};
        const size_t n = std::min(sizeof v, mSize - mPos);
        std::memcpy(&v, mData + mPos, n);
        mPos += n;
        return v;
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};

void fillRaw(BlkRec& r, Bytes in)
{
    r.PntCnt = in.take<qint16>();
    r.LineCnt = in.take<qint16>();
    r.LyrCnt = in.take<qint16>();
    r.B = in.take<double>();
    r.H = in.take<double>();
    r.L = in.take<double>();
    r.V = in.take<double>();
    r.Gx = in.take<double>();
    r.Gy = in.take<double>();
    for (int i = 0; i <= BlkRec::PntLast; ++i) {
        // Small coordinates most of the time, so that points coincide and
        // segments meet; any double now and then.
        const uint8_t kind = in.take<uint8_t>();
        r.PntX[size_t(i)] = kind & 1 ? in.take<double>() : in.take<int8_t>() / 4.0;
        r.PntY[size_t(i)] = kind & 2 ? in.take<double>() : in.take<int8_t>() / 4.0;
        r.LineSt[size_t(i)] = in.take<int8_t>();
        r.LineEd[size_t(i)] = in.take<int8_t>();
    }
    for (int i = 0; i <= BlkRec::LyrLast; ++i) {
        r.LyrH[size_t(i)] = in.take<int8_t>() / 8.0;
        r.LyrV[size_t(i)] = in.take<double>();
        r.LyrVSum[size_t(i)] = in.take<double>();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    BlkRec rec;
    if (data[0] & 1)
        fillRaw(rec, Bytes(data + 1, size - 1));
    else
        Blk_ReadBytes(rec,
                      QByteArrayView(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));

    const BlockCheckReport r = checkBlock(rec);
    check(r.rows.size() == kCheckCount, "a row missing");
    for (const CheckRow& row : r.rows) {
        check(&r.row(row.id) == &row, "rows out of order");
        for (const qint16 p : row.points)
            check(p >= 1 && p <= r.outline.pntCnt, "point mark out of range");
        for (const qint16 s : row.segments)
            check(s >= 1 && s <= r.outline.lineCnt, "segment mark out of range");
        for (const int l : row.layers)
            check(l >= 0 && l <= BlkRec::LyrLast && l < rec.LyrCnt, "layer mark out of range");
    }
    check(std::isfinite(r.section.area()) && r.section.area() >= 0, "area not finite");
    BlkRec filled = rec;
    fillLayerVolumes(filled);
    proposeSpec(rec);
    return 0;
}

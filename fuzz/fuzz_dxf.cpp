// Fuzzes the DXF import and checks what it promises:
//  - no input crashes or hangs the reader (dxflib included);
//  - an outline it gives fits the block record: at most 100 points and
//    segments, every end a point, every coordinate a finite number;
//  - an outline it gives can be exported, and the export imports again as
//    the same outline (same points, same segments up to numbering).
#include "exchange/dxfexport.h"
#include "exchange/dxfimport.h"

#include <QByteArray>
#include <QSet>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_dxf: %s\n", what);
    __builtin_trap();
}

void check(bool ok, const char* what)
{
    if (!ok)
        fail(what);
}

void checkFits(const DxfOutline& o)
{
    check(o.points.size() <= size_t(BlkRec::PntLast), "more than 100 points");
    check(o.segments.size() <= size_t(BlkRec::LineLast), "more than 100 segments");
    check(!o.segments.empty(), "an outline without a segment");
    for (const QPointF& p : o.points)
        check(std::isfinite(p.x()) && std::isfinite(p.y()), "a coordinate is no number");
    for (auto [a, b] : o.segments) {
        check(a >= 0 && b >= 0 && size_t(a) < o.points.size() && size_t(b) < o.points.size(),
              "a segment ends nowhere");
        check(a != b, "a segment of no length");
    }
}

QSet<QString> segmentSet(const DxfOutline& o)
{
    QSet<QString> s;
    auto key = [](QPointF p) {
        return QStringLiteral("%1,%2").arg(p.x(), 0, 'g', 17).arg(p.y(), 0, 'g', 17);
    };
    for (auto [a, b] : o.segments) {
        const QString p = key(o.points[size_t(a)]), q = key(o.points[size_t(b)]);
        s.insert(p < q ? p + u'|' + q : q + u'|' + p);
    }
    return s;
}

void roundTrip(const DxfOutline& o, DxfUnit unit)
{
    BlkRec b;
    Dxf::applyOutline(b, o);
    const DxfExportResult e = Dxf::exportBlock(b, {unit});
    if (!e.ok())
        return; // coordinates beyond what a drawing holds: refused, not lost
    DxfImportOptions opt;
    opt.moveToOrigin = false;
    const DxfOutlineResult back = Dxf::import(e.bytes, QStringLiteral("export.dxf"), opt);
    check(back.ok(), "an export does not import");
    check(back.outline.points.size() == o.points.size(), "the export came back with other points");
    check(segmentSet(back.outline) == segmentSet(o), "the export came back with other segments");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    const DxfReadResult read = Dxf::read(input, QStringLiteral("fuzz.dxf"));
    if (!read.ok()) {
        check(!read.error.isEmpty(), "a failure without a message");
        return 0;
    }
    DxfImportOptions opt;
    // The options from the input's last byte, so that the fuzzer explores them.
    const uint8_t last = size > 0 ? data[size - 1] : 0;
    opt.unit = (last & 1) ? DxfUnitChoice::Metre : DxfUnitChoice::FromFile;
    opt.deviationMm = (last & 2) ? 0.01 : 5.0;
    opt.moveToOrigin = (last & 4) != 0;
    const DxfOutlineResult r = Dxf::toOutline(read.drawing, opt);
    if (!r.ok())
        return 0;
    checkFits(r.outline);
    // Round trips need the outline's own exactness: millimetres from metres
    // and back are exact decimal shifts.
    if (!opt.moveToOrigin)
        roundTrip(r.outline, (last & 8) ? DxfUnit::Metre : DxfUnit::Millimetre);
    return 0;
}

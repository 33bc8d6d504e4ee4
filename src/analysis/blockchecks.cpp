#include "analysis/blockchecks.h"

#include "analysis/layervolumes.h"
#include "document/numtext.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

// Absorbs the binary noise of differences such as 5.700 - 5.699, so a
// difference of exactly one tolerance passes.
constexpr double kCompareSlack = 1.0e-9;
// Longer lists are cut in the detail text; the marks still name everything.
constexpr int kListLimit = 12;

const char16_t* const kTitles[kCheckCount] = {
    u"体積 A×L と V",    u"重心位置",     u"幅 B",         u"高さ H",
    u"層高さの合計と H", u"累計体積と V", u"層体積と断面", u"閉じた断面",
    u"孤立点",           u"端点",         u"分岐点",       u"交差",
    u"長さ 0 の線分",    u"重複点",       u"線分の点番号", u"点の座標",
};

QString num(double v)
{
    return NumText::fmt000(v);
}

QString metres(double v)
{
    return num(v) + QStringLiteral(" m");
}

QString cubic(double v)
{
    return num(v) + QStringLiteral(" m3");
}

QString pair(double x, double y)
{
    return QLatin1Char('(') + num(x) + QStringLiteral(", ") + num(y) + QLatin1Char(')');
}

bool within(double diff, double tol)
{
    return std::fabs(diff) <= tol + kCompareSlack; // false for NaN
}

// The items of a detail text, joined with "、" and cut after kListLimit with
// the number left out. Only what is shown is formatted: a damaged outline can
// have thousands of crossings, and the file list checks every file.
class ItemList
{
public:
    template <typename Make> void add(Make make)
    {
        if (mItems.size() < kListLimit)
            mItems.append(make());
        ++mCount;
    }
    QString text() const
    {
        const QString shown = mItems.join(u"、");
        return mCount <= kListLimit
                   ? shown
                   : shown + QStringLiteral(" ほか %1 件").arg(mCount - kListLimit);
    }

private:
    QStringList mItems;
    qsizetype mCount = 0;
};

QString numbers(const QList<qint16>& list)
{
    ItemList items;
    for (const qint16 n : list)
        items.add([&] { return QString::number(n); });
    return items.text();
}

// Point or segment numbers (1..100) without repeats, in ascending order.
class NumberSet
{
public:
    void add(qint16 n)
    {
        if (n >= 0 && n < qint16(mIn.size()))
            mIn[size_t(n)] = true;
    }
    bool contains(qint16 n) const { return n >= 0 && n < qint16(mIn.size()) && mIn[size_t(n)]; }
    QList<qint16> list() const
    {
        QList<qint16> out;
        for (size_t n = 0; n < mIn.size(); ++n) {
            if (mIn[n])
                out.append(qint16(n));
        }
        return out;
    }

private:
    std::array<bool, std::max(BlkRec::PntLast, BlkRec::LineLast) + 1> mIn{};
};

void judge(CheckRow& r, double diff, double tol)
{
    r.difference = diff;
    r.tolerance = tol;
    r.verdict = within(diff, tol) ? Verdict::Pass : Verdict::Caution;
}

void notApplicable(CheckRow& r, const QString& why)
{
    r.verdict = Verdict::NotApplicable;
    r.detail = why;
}

QString noLoopText()
{
    return QStringLiteral("閉じた断面がないため計算できません。");
}

// A length figure of the record against the same length from the outline.
void lengthRow(CheckRow& r, double computed, double stored, const QString& what)
{
    r.computed = computed;
    r.stored = stored;
    r.computedText = metres(computed);
    r.storedText = metres(stored);
    judge(r, computed - stored, kPositionTol);
    r.differenceText = metres(r.difference);
    r.detail = what + QStringLiteral("（許容差 %1）").arg(metres(kPositionTol));
}

void checkVolume(const BlkRec& rec, const SectionGeometry& s, CheckRow& r)
{
    if (!s.hasLoops())
        return notApplicable(r, noLoopText());
    r.computed = s.area() * rec.L;
    r.stored = rec.V;
    r.computedText = cubic(r.computed);
    r.storedText = cubic(r.stored);
    const double diff = r.computed - r.stored;
    const double tol = std::max(kVolumeRelTol * std::fabs(rec.V), kFileStep);
    r.verdict = within(diff, tol) ? Verdict::Pass : Verdict::Caution;
    r.tolerance = tol;
    if (rec.V != 0) {
        r.difference = 100 * diff / rec.V;
        r.differenceText = NumText::fixed(r.difference, 2) + QStringLiteral(" %");
    } else {
        r.difference = diff;
        r.differenceText = cubic(diff);
    }
    r.detail = QStringLiteral("断面積 A = %1 m2、L = %2（許容差 %3 %、最小 %4）")
                   .arg(num(s.area()), metres(rec.L), NumText::fixed(100 * kVolumeRelTol, 1),
                        cubic(kFileStep));
}

void checkCentroid(const BlkRec& rec, const SectionGeometry& s, CheckRow& r)
{
    if (!s.hasArea())
        return notApplicable(r, s.hasLoops()
                                    ? QStringLiteral("断面に面積がないため計算できません。")
                                    : noLoopText());
    const SectionBounds& b = s.bounds();
    const double gx = s.centroid().x() - b.xMin;
    const double gy = s.centroid().y() - b.yMin;
    r.computedText = pair(gx, gy);
    r.storedText = pair(rec.Gx, rec.Gy);
    judge(r, std::hypot(gx - rec.Gx, gy - rec.Gy), kPositionTol);
    r.differenceText = metres(r.difference);
    r.positions = {s.centroid(), QPointF(b.xMin + rec.Gx, b.yMin + rec.Gy)};
    r.detail = QStringLiteral("断面の左下 %1 からの位置（許容差 %2）")
                   .arg(pair(b.xMin, b.yMin), metres(kPositionTol));
}

void checkExtent(const BlkRec& rec, const SectionGeometry& s, CheckRow& width, CheckRow& height)
{
    if (!s.hasLoops()) {
        notApplicable(width, noLoopText());
        notApplicable(height, noLoopText());
        return;
    }
    lengthRow(width, s.bounds().width(), rec.B, QStringLiteral("断面の左端から右端まで"));
    lengthRow(height, s.bounds().height(), rec.H, QStringLiteral("断面の下端から上端まで"));
}

QString noLayersText()
{
    return QStringLiteral("層の表が空です。");
}

void checkLayerHeights(const BlkRec& rec, std::span<const double> heights, CheckRow& r)
{
    if (heights.empty())
        return notApplicable(r, noLayersText());
    double sum = 0;
    for (const double h : heights)
        sum += h;
    lengthRow(r, sum, rec.H, QStringLiteral("%1 層の高さの合計").arg(heights.size()));
}

void checkCumulative(const BlkRec& rec, std::span<const double> heights, CheckRow& r)
{
    if (heights.empty())
        return notApplicable(r, noLayersText());
    const size_t last = heights.size() - 1;
    r.computed = rec.LyrVSum[last];
    r.stored = rec.V;
    r.computedText = cubic(r.computed);
    r.storedText = cubic(r.stored);
    judge(r, r.computed - r.stored, kFileStep);
    r.differenceText = cubic(r.difference);
    if (r.verdict == Verdict::Caution)
        r.layers = {int(last)};
    r.detail = QStringLiteral("最上層 No.%1 の累計体積（許容差 %2）")
                   .arg(heights.size())
                   .arg(cubic(kFileStep));
}

void checkLayerVolumes(const BlkRec& rec, const SectionGeometry& s, std::span<const double> heights,
                       CheckRow& r)
{
    if (heights.empty())
        return notApplicable(r, noLayersText());
    if (!s.hasLoops())
        return notApplicable(r, noLoopText());
    const QList<double> outline = layerVolumes(s, rec.L, heights);
    ItemList bad;
    double worst = 0;
    for (qsizetype i = 0; i < outline.size(); ++i) {
        const double diff = outline[i] - rec.LyrV[size_t(i)];
        const double tol = std::max(kVolumeRelTol * std::fabs(outline[i]), kFileStep);
        if (!(std::fabs(diff) <= std::fabs(worst)))
            worst = diff;
        if (!within(diff, tol)) {
            r.layers.append(int(i));
            bad.add([&] {
                return QStringLiteral("No.%1（断面から %2、表 %3）")
                    .arg(i + 1)
                    .arg(num(outline[i]), num(rec.LyrV[size_t(i)]));
            });
        }
    }
    r.verdict = r.layers.isEmpty() ? Verdict::Pass : Verdict::Caution;
    r.difference = worst;
    r.differenceText = cubic(worst);
    r.detail = r.layers.isEmpty()
                   ? QStringLiteral("%1 層とも断面と合っています（許容差 %2 %、最小 %3）")
                         .arg(heights.size())
                         .arg(NumText::fixed(100 * kVolumeRelTol, 1), cubic(kFileStep))
                   : QStringLiteral("断面と合わない層: ") + bad.text();
}

// A row of outline findings: 合格 when nothing was found.
void findingRow(CheckRow& r, qsizetype found, const QString& what, const QString& items)
{
    r.computed = double(found);
    r.computedText = QString::number(found);
    r.verdict = found == 0 ? Verdict::Pass : Verdict::Caution;
    r.detail = found == 0 ? QStringLiteral("ありません。") : what + items;
}

void checkClosed(const OutlineFindings& o, CheckRow& r)
{
    r.computed = double(o.loops.size());
    r.computedText = QString::number(o.loops.size());
    r.segments = o.segmentsOutsideLoops;
    const bool closed = !o.loops.isEmpty() && o.segmentsOutsideLoops.isEmpty();
    r.verdict = closed ? Verdict::Pass : Verdict::Caution;
    if (o.loops.isEmpty()) {
        r.detail = QStringLiteral("閉じた輪がありません。");
        return;
    }
    const int holes = o.holeCount();
    r.detail = QStringLiteral("閉じた輪 %1（外形 %2、穴 %3）")
                   .arg(o.loops.size())
                   .arg(o.loops.size() - holes)
                   .arg(holes);
    if (!closed)
        r.detail += QStringLiteral("。輪にならない線分: ") + numbers(o.segmentsOutsideLoops);
}

// Segments of the record that end at point p (bad numbers and a point joined
// to itself left out).
QList<qint16> segmentsAt(const BlkRec& rec, const OutlineFindings& o, const QList<qint16>& points)
{
    NumberSet at;
    for (const qint16 p : points)
        at.add(p);
    QList<qint16> out;
    for (int i = 1; i <= o.lineCnt; ++i) {
        const qint16 a = rec.LineSt[size_t(i)];
        const qint16 b = rec.LineEd[size_t(i)];
        if (a != b && (at.contains(a) || at.contains(b)))
            out.append(qint16(i));
    }
    return out;
}

QString crossingText(const SegmentCrossing& c)
{
    const char16_t* kind = c.kind == CrossingKind::Cross   ? u"交差"
                           : c.kind == CrossingKind::Touch ? u"接触"
                                                           : u"重なり";
    return QStringLiteral("線分 %1 と %2 が%3 %4")
        .arg(c.first)
        .arg(c.second)
        .arg(QString::fromUtf16(kind), pair(c.at.x(), c.at.y()));
}

void checkCrossings(const OutlineFindings& o, CheckRow& r)
{
    ItemList items;
    NumberSet segments;
    for (const SegmentCrossing& c : o.crossings) {
        items.add([&] { return crossingText(c); });
        r.positions.append(c.at);
        segments.add(c.first);
        segments.add(c.second);
    }
    r.segments = segments.list();
    findingRow(r, o.crossings.size(), QString(), items.text());
}

void checkZeroLength(const BlkRec& rec, const OutlineFindings& o, CheckRow& r)
{
    ItemList items;
    NumberSet points;
    r.segments = o.zeroLengthSegments;
    for (const qint16 s : o.zeroLengthSegments) {
        const qint16 a = rec.LineSt[size_t(s)];
        const qint16 b = rec.LineEd[size_t(s)];
        items.add([&] { return QStringLiteral("%1（点 %2–%3）").arg(s).arg(a).arg(b); });
        points.add(a);
        points.add(b);
    }
    r.points = points.list();
    findingRow(r, o.zeroLengthSegments.size(), QStringLiteral("線分 "), items.text());
}

void checkDuplicates(const OutlineFindings& o, CheckRow& r)
{
    ItemList items;
    NumberSet points;
    for (const PointPair& d : o.duplicatePoints) {
        items.add([&] { return QStringLiteral("%1 と %2").arg(d.first).arg(d.second); });
        points.add(d.first);
        points.add(d.second);
    }
    r.points = points.list();
    findingRow(r, o.duplicatePoints.size(),
               QStringLiteral("%1 m 以内で重なる点: ").arg(NumText::fixed(kSamePointTol, 4)),
               items.text());
}

void checkSegmentNumbers(const BlkRec& rec, const OutlineFindings& o, CheckRow& r)
{
    ItemList items;
    NumberSet points;
    r.segments = o.badSegments;
    for (const qint16 s : o.badSegments) {
        const qint16 a = rec.LineSt[size_t(s)];
        const qint16 b = rec.LineEd[size_t(s)];
        items.add([&] { return QStringLiteral("%1（点 %2–%3）").arg(s).arg(a).arg(b); });
        for (const qint16 p : {a, b}) {
            if (p >= 1 && p <= o.pntCnt)
                points.add(p);
        }
    }
    r.points = points.list();
    findingRow(r, o.badSegments.size(),
               QStringLiteral("点 1～%1 にない点を結ぶ線分 ").arg(o.pntCnt), items.text());
}

void checkOutline(const BlkRec& rec, const OutlineFindings& o, QList<CheckRow>& rows)
{
    auto at = [&](CheckId id) -> CheckRow& { return rows[int(id)]; };
    checkClosed(o, at(CheckId::ClosedSection));

    CheckRow& loose = at(CheckId::LoosePoints);
    loose.points = o.loosePoints;
    findingRow(loose, o.loosePoints.size(), QStringLiteral("どの線分にも結ばれていない点: "),
               numbers(o.loosePoints));

    CheckRow& ends = at(CheckId::OpenEnds);
    ends.points = o.openEnds;
    ends.segments = segmentsAt(rec, o, o.openEnds);
    findingRow(ends, o.openEnds.size(), QStringLiteral("線分が 1 本だけの点: "),
               numbers(o.openEnds));

    CheckRow& branches = at(CheckId::BranchPoints);
    branches.points = o.branchPoints;
    branches.segments = segmentsAt(rec, o, o.branchPoints);
    findingRow(branches, o.branchPoints.size(), QStringLiteral("線分が 3 本以上集まる点: "),
               numbers(o.branchPoints));

    checkCrossings(o, at(CheckId::Crossings));
    checkZeroLength(rec, o, at(CheckId::ZeroLength));
    checkDuplicates(o, at(CheckId::DuplicatePoints));
    checkSegmentNumbers(rec, o, at(CheckId::SegmentNumbers));

    CheckRow& coords = at(CheckId::Coordinates);
    coords.points = o.badPoints;
    findingRow(coords, o.badPoints.size(), QStringLiteral("座標が数でないか大きすぎる点: "),
               numbers(o.badPoints));
}

} // namespace

int BlockCheckReport::cautionCount() const
{
    return int(std::count_if(rows.begin(), rows.end(),
                             [](const CheckRow& r) { return r.verdict == Verdict::Caution; }));
}

QString BlockCheckReport::summaryText() const
{
    if (empty)
        return QStringLiteral("検査: -");
    const int n = cautionCount();
    return n == 0 ? QStringLiteral("検査: 合格") : QStringLiteral("検査: 注意 %1").arg(n);
}

namespace {

// Whether the outline alone already raises a caution in one of the rows
// checkOutline fills.
bool outlineCallsForCare(const OutlineFindings& o)
{
    return o.loops.isEmpty() || !o.segmentsOutsideLoops.isEmpty() || !o.loosePoints.isEmpty() ||
           !o.openEnds.isEmpty() || !o.branchPoints.isEmpty() || !o.crossings.isEmpty() ||
           !o.zeroLengthSegments.isEmpty() || !o.duplicatePoints.isEmpty() ||
           !o.badSegments.isEmpty() || !o.badPoints.isEmpty();
}

BlockCheckReport reportOf(const BlkRec& rec, OutlineFindings outline)
{
    BlockCheckReport report;
    report.outline = std::move(outline);
    report.section = SectionGeometry(rec, report.outline);
    report.rows.resize(kCheckCount);
    report.empty = rec.PntCnt <= 0 && rec.LineCnt <= 0;
    for (int i = 0; i < kCheckCount; ++i) {
        report.rows[i].id = CheckId(i);
        report.rows[i].title = QString::fromUtf16(kTitles[i]);
    }
    auto at = [&](CheckId id) -> CheckRow& { return report.rows[int(id)]; };
    const SectionGeometry& s = report.section;
    const std::span<const double> heights = layerHeights(rec);
    checkVolume(rec, s, at(CheckId::Volume));
    checkCentroid(rec, s, at(CheckId::Centroid));
    checkExtent(rec, s, at(CheckId::Width), at(CheckId::Height));
    checkLayerHeights(rec, heights, at(CheckId::LayerHeights));
    checkCumulative(rec, heights, at(CheckId::CumulativeVolume));
    checkLayerVolumes(rec, s, heights, at(CheckId::LayerVolumes));
    checkOutline(rec, report.outline, report.rows);
    return report;
}

} // namespace

BlockCheckReport checkBlock(const BlkRec& rec)
{
    return reportOf(rec, analyzeOutline(rec));
}

bool blockPasses(const BlkRec& rec)
{
    OutlineFindings outline = analyzeOutline(rec);
    if (outlineCallsForCare(outline))
        return false;
    return reportOf(rec, std::move(outline)).passed();
}

QString verdictText(Verdict v)
{
    switch (v) {
    case Verdict::Pass:
        return QStringLiteral("合格");
    case Verdict::Caution:
        return QStringLiteral("注意");
    case Verdict::NotApplicable:
        break;
    }
    return QStringLiteral("判定不可");
}

#include "analysis/blockfigures.h"

#include "analysis/blockchecks.h"
#include "analysis/layervolumes.h"
#include "analysis/outline.h"
#include "document/numtext.h"

#include <algorithm>
#include <cmath>

namespace {

namespace Text {
const QString None = QStringLiteral("－");
const QString NoSection = QStringLiteral("閉じた断面がないため、断面からは計算できません。");
const QString NoLength = QStringLiteral("L が数でないため、断面からは計算できません。");
const QString NoLayers = QStringLiteral("層の表が空です。");
const QString NoLevel = QStringLiteral("水位が数ではありません。");
const QString Disagree = QStringLiteral(
    "層別体積表は断面と %1 m3 違います（許容差 %2 m3）。この水位では表が断面を表していません。");
} // namespace Text

// Slack for binary noise, as the block checks allow it.
constexpr double kCompareSlack = 1.0e-9;

BuoyancyFigures withForces(double submerged, double centreX, double centreY, double V,
                           const FigureSettings& s)
{
    BuoyancyFigures f;
    f.available = true;
    f.submergedVolume = submerged;
    f.buoyancy = s.seawater * s.gravity * submerged;
    f.weightInWater = s.concrete * s.gravity * V - f.buoyancy;
    f.centreX = centreX;
    f.centreY = centreY;
    return f;
}

BuoyancyFigures fromOutline(const BlkRec& rec, const SectionGeometry& section, double h,
                            const FigureSettings& s)
{
    const SectionGeometry::Part part = section.partBelow(h);
    return withForces(part.area * rec.L, part.centroid.x(), part.centroid.y(), rec.V, s);
}

// The layer rows stacked from base: the volume below h, linear within the
// layer h falls in, and the first moment of that volume about y = 0.
BuoyancyFigures fromLayers(const BlkRec& rec, std::span<const double> heights, double base,
                           double h, const FigureSettings& s)
{
    double volume = 0;
    double moment = 0;
    double lo = base;
    for (size_t i = 0; i < heights.size(); ++i) {
        const double height = heights[i];
        if (!(height > 0) || !std::isfinite(height))
            continue; // a row of no height holds nothing a level can cut
        const double v = std::isfinite(rec.LyrV[i]) ? rec.LyrV[i] : 0.0;
        const double part = std::clamp((h - lo) / height, 0.0, 1.0);
        if (part <= 0)
            break;
        volume += v * part;
        moment += v * part * (lo + height * part / 2);
        lo += height;
    }
    const double cy = volume != 0 ? moment / volume : kNoFigure;
    return withForces(volume, kNoFigure, cy, rec.V, s);
}

void compare(WaterLevelFigures& f)
{
    if (!f.outline.available || !f.layers.available)
        return;
    f.difference = f.layers.submergedVolume - f.outline.submergedVolume;
    f.tolerance = std::max(kVolumeRelTol * std::fabs(f.outline.submergedVolume), kFileStep);
    f.disagree = !(std::fabs(f.difference) <= f.tolerance + kCompareSlack);
    if (f.disagree)
        f.note = Text::Disagree.arg(NumText::fmt000(f.difference), NumText::fmt000(f.tolerance));
}

QString figure(double v)
{
    return std::isfinite(v) ? NumText::fmt000(v) : Text::None;
}

} // namespace

MassFigures massFigures(double V, double B, double H, double L, const FigureSettings& s)
{
    MassFigures m;
    m.volume = V;
    m.mass = s.concrete * V;
    m.weight = m.mass * s.gravity;
    const double box = B * H * L;
    if (box > 0 && std::isfinite(box))
        m.fillRatio = V / box;
    return m;
}

MassFigures massFigures(const BlkRec& rec, const FigureSettings& s)
{
    return massFigures(rec.V, rec.B, rec.H, rec.L, s);
}

QList<WaterLevelFigures> waterLevelFigures(const BlkRec& rec, const SectionGeometry& section,
                                           const FigureSettings& s,
                                           std::span<const WaterLevel> levels)
{
    const std::span<const double> heights = layerHeights(rec);
    const double base = section.hasLoops() ? section.bounds().yMin : 0.0;
    const bool outlineOk = section.hasLoops() && std::isfinite(rec.L);
    QList<WaterLevelFigures> out;
    out.reserve(qsizetype(levels.size()));
    for (const WaterLevel& level : levels) {
        WaterLevelFigures f;
        f.level = level;
        if (std::isnan(level.h)) {
            f.note = Text::NoLevel;
            out.append(f);
            continue;
        }
        if (outlineOk)
            f.outline = fromOutline(rec, section, level.h, s);
        if (!heights.empty())
            f.layers = fromLayers(rec, heights, base, level.h, s);
        compare(f);
        if (!f.disagree) {
            QStringList why;
            if (!section.hasLoops())
                why << Text::NoSection;
            else if (!outlineOk)
                why << Text::NoLength;
            if (heights.empty())
                why << Text::NoLayers;
            f.note = why.join(QString());
        }
        out.append(f);
    }
    return out;
}

BlockFigures blockFigures(const BlkRec& rec, const SectionGeometry& section,
                          const FigureSettings& s)
{
    return {massFigures(rec, s), waterLevelFigures(rec, section, s, s.levels)};
}

BlockFigures blockFigures(const BlkRec& rec, const FigureSettings& s)
{
    return blockFigures(rec, SectionGeometry(rec, analyzeOutline(rec)), s);
}

FigureTable massTable(const MassFigures& m)
{
    FigureTable t;
    t.header = {QStringLiteral("項目"), QStringLiteral("値"), QStringLiteral("単位")};
    t.rows = {{QStringLiteral("質量 ρc·V"), figure(m.mass), QStringLiteral("t")},
              {QStringLiteral("重量 ρc·V·g"), figure(m.weight), QStringLiteral("kN")},
              {QStringLiteral("充填率 V/(B·H·L)"), figure(m.fillRatio), QString()}};
    return t;
}

FigureTable waterLevelTable(const QList<WaterLevelFigures>& levels)
{
    FigureTable t;
    t.header = {QStringLiteral("名称"),
                QStringLiteral("水位 (m)"),
                QStringLiteral("水中体積 断面 (m3)"),
                QStringLiteral("水中体積 層表 (m3)"),
                QStringLiteral("浮力 断面 (kN)"),
                QStringLiteral("浮力 層表 (kN)"),
                QStringLiteral("水中重量 断面 (kN)"),
                QStringLiteral("水中重量 層表 (kN)"),
                QStringLiteral("浮心 X 断面 (m)"),
                QStringLiteral("浮心 Y 断面 (m)"),
                QStringLiteral("浮心 Y 層表 (m)"),
                QStringLiteral("注記")};
    for (const WaterLevelFigures& f : levels) {
        t.rows.append({f.level.name, figure(f.level.h), figure(f.outline.submergedVolume),
                       figure(f.layers.submergedVolume), figure(f.outline.buoyancy),
                       figure(f.layers.buoyancy), figure(f.outline.weightInWater),
                       figure(f.layers.weightInWater), figure(f.outline.centreX),
                       figure(f.outline.centreY), figure(f.layers.centreY), f.note});
    }
    return t;
}

QString unitWeightsText(const FigureSettings& s)
{
    return QStringLiteral("単位体積重量: コンクリート %1 t/m3 (%2 kN/m3)、海水 %3 t/m3 (%4 "
                          "kN/m3)、g = %5 m/s2")
        .arg(NumText::fixed(s.concrete, 2), NumText::fixed(s.concreteKN(), 1),
             NumText::fixed(s.seawater, 2), NumText::fixed(s.seawaterKN(), 1),
             NumText::fixed(s.gravity, 2));
}

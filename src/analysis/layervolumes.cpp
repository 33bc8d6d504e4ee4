#include "analysis/layervolumes.h"

#include "analysis/outline.h"
#include "document/numtext.h"

#include <algorithm>
#include <cmath>

QList<double> layerVolumes(const SectionGeometry& section, double L,
                           std::span<const double> heights)
{
    QList<double> out;
    out.reserve(qsizetype(heights.size()));
    double bottom = section.bounds().yMin;
    for (const double h : heights) {
        if (!std::isfinite(h) || h < 0) {
            out.append(0);
            continue;
        }
        out.append(section.bandArea(bottom, bottom + h) * L);
        bottom += h;
    }
    return out;
}

LayerTable layerTable(const SectionGeometry& section, double L, std::span<const double> heights)
{
    LayerTable t;
    const QList<double> exact = layerVolumes(section, L, heights);
    double sum = 0;
    double previous = 0;
    for (const double v : exact) {
        sum += v;
        const double cumulative = roundToFile(sum);
        t.lyrVSum.append(cumulative);
        t.lyrV.append(roundToFile(cumulative - previous));
        previous = cumulative;
    }
    return t;
}

std::span<const double> layerHeights(const BlkRec& rec)
{
    const int n = std::clamp(int(rec.LyrCnt), 0, BlkRec::LyrLast + 1);
    return {rec.LyrH.data(), size_t(n)};
}

bool fillLayerVolumes(BlkRec& rec)
{
    const SectionGeometry section(rec, analyzeOutline(rec));
    if (!section.hasArea() || !std::isfinite(rec.L))
        return false;
    const std::span<const double> heights = layerHeights(rec);
    const LayerTable t = layerTable(section, rec.L, heights);
    for (qsizetype i = 0; i < t.lyrV.size(); ++i) {
        rec.LyrV[size_t(i)] = t.lyrV[i];
        rec.LyrVSum[size_t(i)] = t.lyrVSum[i];
    }
    return true;
}

SpecProposal proposeSpec(const SectionGeometry& section, double L)
{
    SpecProposal p;
    if (!section.hasArea() || !std::isfinite(L))
        return p;
    const SectionBounds& b = section.bounds();
    p.ok = true;
    p.V = roundToFile(section.area() * L);
    p.Gx = roundToFile(section.centroid().x() - b.xMin);
    p.Gy = roundToFile(section.centroid().y() - b.yMin);
    p.B = roundToFile(b.width());
    p.H = roundToFile(b.height());
    return p;
}

SpecProposal proposeSpec(const BlkRec& rec)
{
    return proposeSpec(SectionGeometry(rec, analyzeOutline(rec)), rec.L);
}

double roundToFile(double v)
{
    if (!std::isfinite(v))
        return v;
    return NumText::fieldValue(NumText::fmt000(v)).value_or(v);
}

#include "cli/blockjson.h"

#include "cli/blockfiles.h"
#include "cli/console.h"

namespace Cli {

QJsonObject specJson(const QString& path, const BlkRec& rec)
{
    QJsonObject o;
    o.insert(QStringLiteral("file"), path);
    o.insert(QStringLiteral("name"), rec.Name);
    o.insert(QStringLiteral("kind"), rec.Kind);
    o.insert(QStringLiteral("B"), number(rec.B));
    o.insert(QStringLiteral("H"), number(rec.H));
    o.insert(QStringLiteral("L"), number(rec.L));
    o.insert(QStringLiteral("V"), number(rec.V));
    o.insert(QStringLiteral("Gx"), number(rec.Gx));
    o.insert(QStringLiteral("Gy"), number(rec.Gy));
    return o;
}

QJsonObject unreadableJson(const QString& path)
{
    QJsonObject o;
    o.insert(QStringLiteral("file"), path);
    o.insert(QStringLiteral("error"), unreadableText(path));
    return o;
}

QString checkKey(CheckId id)
{
    static const char* const kKeys[kCheckCount] = {
        "volume",       "centroid",         "width",          "height",
        "layerHeights", "cumulativeVolume", "layerVolumes",   "closedSection",
        "loosePoints",  "openEnds",         "branchPoints",   "crossings",
        "zeroLength",   "duplicatePoints",  "segmentNumbers", "coordinates",
    };
    const int i = int(id);
    return i >= 0 && i < kCheckCount ? QString::fromLatin1(kKeys[i]) : QString();
}

} // namespace Cli

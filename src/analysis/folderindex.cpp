#include "analysis/folderindex.h"

#include "analysis/blockchecks.h"
#include "analysis/blockfigures.h"
#include "document/blockfile.h"
#include "document/blocklisting.h"
#include "document/datapath.h"
#include "document/numtext.h"

#include <QFileInfo>

#include <algorithm>

namespace FolderIndex {

Result build(const QString& dir, const FigureSettings& settings, const std::atomic_bool* cancel)
{
    Result r;
    const QFileInfo folder(dir);
    if (dir.isEmpty() || !folder.isDir() || !folder.isExecutable()) {
        r.folderFound = false;
        return r;
    }
    const QString base = Dir_WithSlash(dir);
    for (const QString& name : BlockListing::candidates(base)) {
        if (cancel && cancel->load()) {
            r.cancelled = true;
            return r;
        }
        Entry e;
        e.fileName = name;
        e.path = base + name;
        if (!Blk_ReadPath(e.rec, e.path)) {
            r.unreadable << e.path;
            continue;
        }
        e.mass = massFigures(e.rec, settings).mass;
        e.passed = blockPasses(e.rec);
        r.entries.append(std::move(e));
    }
    std::stable_sort(r.entries.begin(), r.entries.end(), [](const Entry& a, const Entry& b) {
        if (a.mass != b.mass)
            return a.mass < b.mass;
        return a.rec.Name < b.rec.Name;
    });
    return r;
}

QString title(Column c)
{
    switch (c) {
    case Column::Name:
        return QStringLiteral("名称");
    case Column::Kind:
        return QStringLiteral("種別");
    case Column::B:
        return QStringLiteral("B (m)");
    case Column::H:
        return QStringLiteral("H (m)");
    case Column::L:
        return QStringLiteral("L (m)");
    case Column::V:
        return QStringLiteral("V (m3)");
    case Column::Mass:
        return QStringLiteral("質量 (t)");
    case Column::Verdict:
        return QStringLiteral("判定");
    case Column::File:
        break;
    }
    return QStringLiteral("ファイル名");
}

bool isNumber(Column c)
{
    return c >= Column::B && c <= Column::Mass;
}

QString text(const Entry& e, Column c)
{
    switch (c) {
    case Column::Name:
        return e.rec.Name;
    case Column::Kind:
        return e.rec.Kind;
    case Column::B:
        return NumText::fmt000(e.rec.B);
    case Column::H:
        return NumText::fmt000(e.rec.H);
    case Column::L:
        return NumText::fmt000(e.rec.L);
    case Column::V:
        return NumText::fmt000(e.rec.V);
    case Column::Mass:
        return NumText::fmt000(e.mass);
    case Column::Verdict:
        return verdictText(e.passed ? Verdict::Pass : Verdict::Caution);
    case Column::File:
        break;
    }
    return e.fileName;
}

namespace {

QString csvField(const QString& s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n') && !s.contains(u'\r'))
        return s;
    QString quoted = s;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvRow(const QStringList& fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString& f : fields)
        out << csvField(f);
    return out.join(u',') + QStringLiteral("\r\n");
}

} // namespace

QByteArray csv(const QList<Entry>& entries)
{
    QStringList head;
    for (int c = 0; c < ColumnCount; ++c)
        head << title(Column(c));
    QString s = csvRow(head);
    for (const Entry& e : entries) {
        QStringList row;
        for (int c = 0; c < ColumnCount; ++c)
            row << text(e, Column(c));
        s += csvRow(row);
    }
    return QByteArray("\xEF\xBB\xBF") + s.toUtf8();
}

} // namespace FolderIndex

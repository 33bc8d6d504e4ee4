#include "document/blocklisting.h"

#include "document/blockfile.h"
#include "document/datapath.h"
#include "document/strtool.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kExt = QStringLiteral(".csv");

QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    }
    return text;
}

} // namespace

namespace BlockListing {

FolderState folderState(const QString& dir)
{
    const QFileInfo fi(QDir::cleanPath(dir)); // "file/" is not missing but not a folder
    if (!fi.exists())
        return FolderState::Missing;
    if (!fi.isDir())
        return FolderState::NotFolder;
    if (!fi.isReadable() || !fi.isExecutable())
        return FolderState::NoAccess;
    return FolderState::Readable;
}

FolderState check(const Source& source, const QString& dir)
{
    return source.check ? source.check(dir) : folderState(dir);
}

bool readFile(const Source& source, BlkRec& rec, const QString& path)
{
    // QDir::Files lets a link to a pipe through; the target decides.
    if (!QFileInfo(path).isFile())
        return false;
    return source.read ? source.read(rec, path) : Blk_ReadPath(rec, path);
}

bool readEntry(const Source& source, const Mark& mark, const QString& folder, const QString& file,
               BlkRec& rec, Entry& entry)
{
    const QString path = folder + file;
    if (!readFile(source, rec, path))
        return false;
    entry = {file.chopped(kExt.size()), path, line(rec, mark)};
    return true;
}

// Readdir order is arbitrary on Linux; names equal but for case are ordered
// case-sensitively, so the order never depends on the file system.
QStringList candidates(const QString& dir)
{
    QStringList names;
    // Folders, pipes, devices and dangling links never match; links to them
    // do, and readFile turns those away.
    QDirIterator it(dir, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString name = it.nextFileInfo().fileName();
        if (name.size() > kExt.size() && name.endsWith(kExt, Qt::CaseInsensitive))
            names << name;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString line(const BlkRec& rec, const Mark& mark)
{
    QString s = Str_Fmt(oneLine(rec.Name), 20, 1);
    s += u' ';
    s += Str_Fmt(oneLine(rec.Kind), 10, 1);
    s += u' ';
    for (double v : {rec.B, rec.H, rec.L}) {
        s += Num_Fmt(v, 8, 3, 0, 0);
        s += u' ';
    }
    s += Num_Fmt(rec.V, 9, 3, 0, 0);
    if (mark) {
        const QString m = mark(rec);
        if (!m.isEmpty())
            s += u' ' + oneLine(m);
    }
    return s;
}

Result list(const QString& dir, BlkRec& scratch, const Mark& mark, const Source& source)
{
    Result r;
    if (dir.isEmpty())
        return r; // not the root folder by accident
    const QString folder = Dir_WithSlash(dir);
    r.state = check(source, folder);
    if (r.state != FolderState::Readable)
        return r;
    for (const QString& file : candidates(folder)) {
        Entry e;
        if (!readEntry(source, mark, folder, file, scratch, e))
            continue;
        if (r.entries.size() == MaxEntries) {
            r.truncated = true;
            break;
        }
        r.entries.append(std::move(e));
    }
    return r;
}

} // namespace BlockListing

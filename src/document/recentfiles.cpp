#include "document/recentfiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("recentFiles");

QString canonical(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

RecentFiles::RecentFiles(QString iniPath) : mIni(std::move(iniPath))
{
    if (mIni.isEmpty())
        return;
    const QSettings s(mIni, QSettings::IniFormat);
    // A list edited by hand may hold anything: keep only absolute paths, once each.
    for (const QString& p : s.value(kKey).toStringList()) {
        if (QFileInfo(p).isAbsolute() && !mFiles.contains(p) && mFiles.size() < Max)
            mFiles << p;
    }
}

void RecentFiles::add(const QString& path)
{
    const QString p = canonical(path);
    mFiles.removeAll(p);
    mFiles.prepend(p);
    while (mFiles.size() > Max)
        mFiles.removeLast();
    store();
}

void RecentFiles::remove(const QString& path)
{
    mFiles.removeAll(canonical(path));
    store();
}

void RecentFiles::clear()
{
    mFiles.clear();
    store();
}

void RecentFiles::store() const
{
    if (mIni.isEmpty())
        return;
    QSettings s(mIni, QSettings::IniFormat);
    s.setValue(kKey, mFiles);
    s.sync();
}

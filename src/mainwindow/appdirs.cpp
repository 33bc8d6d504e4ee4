#include "mainwindow/appdirs.h"

#include <QDir>

QStringList appDataDirs(const QString& exeDir)
{
    QStringList dirs{exeDir};
    const QString relative = QDir::cleanPath(exeDir + QStringLiteral(MRB_RELATIVE_DATADIR));
    for (const QString& d : {relative, QStringLiteral(MRB_INSTALL_DATADIR)}) {
        const QString withSlash = d.endsWith(u'/') ? d : d + u'/';
        if (!dirs.contains(withSlash))
            dirs << withSlash;
    }
    return dirs;
}

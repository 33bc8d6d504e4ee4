#include "mainwindow/appdirs.h"
#include "document/datapath.h"

#include <QDir>

QStringList appDataDirs(const QString& exeDir)
{
    QStringList dirs{exeDir};
    const QString relative = QDir::cleanPath(exeDir + QStringLiteral(MRB_RELATIVE_DATADIR));
    for (const QString& d : {relative, QStringLiteral(MRB_INSTALL_DATADIR)}) {
        if (!dirs.contains(Dir_WithSlash(d)))
            dirs << Dir_WithSlash(d);
    }
    return dirs;
}

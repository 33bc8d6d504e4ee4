#pragma once

#include <QString>
#include <QStringList>

// The folders where the program looks for the files that come with it (the
// version file, the help): beside the executable first, then the data
// folder of an installed program, found relative to the executable (a moved
// installation) and where the build installs it.
QStringList appDataDirs(const QString& exeDir);

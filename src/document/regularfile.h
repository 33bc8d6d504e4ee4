#pragma once

#include <QString>

class QFile;

// Opens path for reading only when it is a regular file, links followed, and
// never blocks: a FIFO, a folder or a device is refused at once, also when it
// was put in the file's place between the look and the open. False on any
// failure; nothing is reported.
bool openRegularFile(QFile& file, const QString& path);

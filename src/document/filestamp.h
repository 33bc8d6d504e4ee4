#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// What a block file was like when it was read or saved: whether it existed,
// its size, modification time and a hash of its bytes. Two stamps of the same
// file tell whether someone else has changed it in between.
struct FileStamp
{
    bool exists = false;
    qint64 size = -1;
    qint64 mtimeNs = 0;
    QByteArray hash;

    // The stamp of the file at path now; a file that is missing or not a
    // regular file gives a stamp that does not exist.
    static FileStamp ofPath(const QString& path);
    // The stamp of an open file, from its descriptor and all of its bytes.
    // Leaves the file positioned at its start.
    static FileStamp ofOpenFile(QFile& file);

    // The same content: both missing, or both there with the same bytes. A
    // new modification time alone (a touch, a copy of the same bytes) is no
    // change.
    bool sameContent(const FileStamp& other) const
    {
        return exists == other.exists && size == other.size && hash == other.hash;
    }
};

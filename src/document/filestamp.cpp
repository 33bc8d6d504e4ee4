#include "document/filestamp.h"

#include "document/regularfile.h"

#include <QCryptographicHash>
#include <QFile>

#include <sys/stat.h>

FileStamp FileStamp::ofPath(const QString& path)
{
    QFile f;
    if (!openRegularFile(f, path))
        return {};
    return ofOpenFile(f);
}

FileStamp FileStamp::ofOpenFile(QFile& file)
{
    FileStamp s;
    struct stat st;
    if (::fstat(file.handle(), &st) != 0 || !file.seek(0))
        return s;
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&file) || !file.seek(0))
        return s;
    s.exists = true;
    s.size = qint64(st.st_size);
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.hash = h.result();
    return s;
}

#include "document/datapath.h"

#include "document/cp932.h"
#include "document/linereader.h"
#include "document/recovery.h"
#include "document/regularfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// A folder path not representable in cp932 (é in a folder name, say) is stored
// as UTF-8 behind a byte-order mark instead of being lost.
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool readFirstLine(const QString& path, QString& out)
{
    QFile f;
    if (!openRegularFile(f, path)) // a FIFO must not hold up the start
        return false;
    CrLineReader reader(f, 4096);
    QByteArray raw;
    if (reader.next(raw) != CrLineReader::Status::Line)
        return false;
    // Tolerate a file edited by hand with LF line ends.
    if (const qsizetype lf = raw.indexOf('\n'); lf >= 0)
        raw.truncate(lf);
    if (raw.startsWith(kUtf8Bom)) {
        out = QString::fromUtf8(raw.sliced(kUtf8Bom.size()));
    } else if (!Cp932::decode(raw, out)) {
        return false;
    }
    // A blank line holds no folder: let the next place or the fallback decide.
    return !out.trimmed().isEmpty();
}

bool writeLine(const QString& path, const QString& text)
{
    QByteArray bytes;
    if (!Cp932::encode(text, bytes))
        bytes = kUtf8Bom + text.toUtf8();
    bytes += "\r\n";
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // flush() first: a short write sets no error and commit() would still
    // replace the old file (QTBUG-75077).
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace

DataPathPlaces DataPathPlaces::current()
{
    DataPathPlaces p;
    p.exeDir = Dir_WithSlash(QCoreApplication::applicationDirPath());
    const QString cfg = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    p.configDir = cfg.isEmpty() ? QString() : Dir_WithSlash(cfg);
    p.stateDir = Recovery::defaultDir();
    return p;
}

void DataPath_Read(basMr_Blk& mod, const DataPathPlaces& places)
{
    QString path;
    const bool found =
        (!places.configDir.isEmpty() && readFirstLine(places.configDir + kMrDtPathName, path)) ||
        readFirstLine(places.exeDir + kMrDtPathName, path);
    if (!found)
        path = places.exeDir;
    mod.DataPath = Dir_WithSlash(path);
}

bool DataPath_Write(const basMr_Blk& mod, const DataPathPlaces& places)
{
    // Beside the executable when that folder takes it; a copy left in the
    // configuration folder would then shadow it, so it goes.
    if (writeLine(places.exeDir + kMrDtPathName, mod.DataPath)) {
        if (!places.configDir.isEmpty())
            QFile::remove(places.configDir + kMrDtPathName);
        return true;
    }
    if (places.configDir.isEmpty() || !QDir().mkpath(places.configDir))
        return false;
    return writeLine(places.configDir + kMrDtPathName, mod.DataPath);
}

#include "document/recovery.h"

#include "document/blockfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

const QString kPrefix = QStringLiteral("recovery-");

QString lockOf(const QString& copy)
{
    QString l = copy;
    l.chop(4); // ".csv"
    return l + QStringLiteral(".lock");
}

} // namespace

Recovery::Recovery(QString dir) : mDir(std::move(dir))
{
    mWriter.setMaxThreadCount(1);
    if (!mDir.isEmpty())
        // The process id and the start time: a process id alone may come
        // back after a reboot and would take a crashed run's copy for its own.
        mCopy = mDir + kPrefix + QString::number(QCoreApplication::applicationPid()) + u'-' +
                QString::number(QDateTime::currentMSecsSinceEpoch()) + QStringLiteral(".csv");
}

Recovery::~Recovery()
{
    mWriter.waitForDone();
}

QString Recovery::defaultDir()
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString base = env.value(QStringLiteral("XDG_STATE_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/mrb_make/");
}

bool Recovery::ensureLock()
{
    if (mLock)
        return true;
    if (mFailed || mDir.isEmpty() || !QDir().mkpath(mDir)) {
        mFailed = true;
        return false;
    }
    auto lock = std::make_unique<QLockFile>(lockOf(mCopy));
    lock->setStaleLockTime(0); // held for the whole run; only a dead owner makes it stale
    if (!lock->tryLock(0)) {
        mFailed = true;
        return false;
    }
    mLock = std::move(lock);
    return true;
}

void Recovery::update(const BlkRec& blk, const BlkRec& saved)
{
    if (!Blk_Differs(blk, saved)) {
        discard();
        return;
    }
    if (mWritten && !Blk_Differs(blk, mLast))
        return;
    if (mDir.isEmpty() || mFailed)
        return;
    QByteArray bytes;
    if (!Blk_Encode(blk, bytes).ok)
        return; // a name the file cannot hold: no copy until it is mended
    mLast = blk;
    mWritten = true;
    // The lock, the folder and the file are the writer thread's alone.
    mWriter.start([this, bytes] {
        if (ensureLock() && Blk_WriteBytes(bytes, mCopy).ok)
            mOnDisk = true;
    });
}

void Recovery::discard()
{
    mWriter.waitForDone();
    if (mOnDisk)
        QFile::remove(mCopy); // only this run's own copy, never another's
    mOnDisk = false;
    mWritten = false;
}

QStringList Recovery::orphans(const QString& dir)
{
    QStringList out;
    if (dir.isEmpty())
        return out;
    const QFileInfoList files = QDir(dir).entryInfoList({kPrefix + QStringLiteral("*.csv")},
                                                        QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& f : files) {
        QLockFile lock(lockOf(f.absoluteFilePath()));
        lock.setStaleLockTime(0);
        // A lock that can be taken has no living owner (a dead process's lock is stale).
        if (lock.tryLock(0))
            out << f.absoluteFilePath();
    }
    return out;
}

bool Recovery::read(const QString& copy, BlkRec& rec)
{
    return Blk_ReadPath(rec, copy);
}

void Recovery::remove(const QString& copy)
{
    QFile::remove(copy);
    QFile::remove(lockOf(copy));
}

#include "document/blocklock.h"

#include "document/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcessEnvironment>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace {

// QLockFile writes its own lines (process, program, host, ...) and reads only
// those; the user and the start time follow them, marked so that they are
// found whatever Qt puts before them.
const QByteArray kUserTag("user=");
const QByteArray kSinceTag("since=");

QString currentUser()
{
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    return env.value(QStringLiteral("USER"), env.value(QStringLiteral("LOGNAME")));
}

void appendOwner(const QString& lockPath)
{
    QFile f(lockPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return; // the lock still works; only the user's name is missing
    f.write(kUserTag + currentUser().toUtf8() + '\n' + kSinceTag +
            QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n');
}

// The user and the start time written by appendOwner; for a lock written by
// something else, the lock file's owner and age.
void readOwner(const QString& lockPath, LockHolder& h)
{
    QFile f;
    if (openRegularFile(f, lockPath)) {
        const QList<QByteArray> lines = f.read(4096).split('\n');
        for (const QByteArray& l : lines) {
            if (l.startsWith(kUserTag))
                h.user = QString::fromUtf8(l.sliced(kUserTag.size()));
            else if (l.startsWith(kSinceTag))
                h.since = QDateTime::fromString(QString::fromUtf8(l.sliced(kSinceTag.size())),
                                                Qt::ISODate);
        }
    }
    const QFileInfo info(lockPath);
    if (h.user.isEmpty())
        h.user = info.owner();
    if (!h.since.isValid())
        h.since = info.lastModified();
}

std::unique_ptr<QLockFile> makeLock(const QString& blockPath)
{
    auto lock = std::make_unique<QLockFile>(BlockLock::lockPathFor(blockPath));
    // Held as long as the block is open: only a dead owner makes it stale,
    // never its age.
    lock->setStaleLockTime(0);
    return lock;
}

QString sameFile(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

} // namespace

BlockLock::BlockLock() = default;

BlockLock::~BlockLock()
{
    release();
}

BlockLock::BlockLock(BlockLock&&) noexcept = default;

BlockLock& BlockLock::operator=(BlockLock&& other) noexcept
{
    if (this != &other) {
        release();
        mLock = std::move(other.mLock);
        mBlockPath = std::move(other.mBlockPath);
    }
    return *this;
}

QString BlockLock::lockPathFor(const QString& blockPath)
{
    const QFileInfo info(blockPath);
    return info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + u'#';
}

BlockLock::Result BlockLock::acquire(const QString& blockPath, LockHolder* holder)
{
    if (mLock && sameFile(mBlockPath) == sameFile(blockPath))
        return Result::Held;
    release();
    // Something other than a file in the lock's place (a FIFO) would make
    // QLockFile wait in open() for a writer that never comes.
    const QFileInfo placed(BlockLock::lockPathFor(blockPath));
    if (placed.exists() && !placed.isFile())
        return Result::Unavailable;
    std::unique_ptr<QLockFile> lock = makeLock(blockPath);
    if (lock->tryLock(0)) {
        appendOwner(BlockLock::lockPathFor(blockPath));
        mLock = std::move(lock);
        mBlockPath = blockPath;
        return Result::Held;
    }
    if (lock->error() != QLockFile::LockFailedError)
        return Result::Unavailable;
    if (holder) {
        QString app;
        lock->getLockInfo(&holder->pid, &holder->host, &app);
        readOwner(BlockLock::lockPathFor(blockPath), *holder);
    }
    return Result::Elsewhere;
}

void BlockLock::release()
{
    if (mLock)
        mLock->unlock();
    mLock.reset();
    mBlockPath.clear();
}

bool BlockLock::heldElsewhere(const QString& blockPath, LockHolder* holder)
{
    if (!QFileInfo::exists(lockPathFor(blockPath)))
        return false; // the usual case, without making a lock
    BlockLock probe;
    return probe.acquire(blockPath, holder) == Result::Elsewhere;
}

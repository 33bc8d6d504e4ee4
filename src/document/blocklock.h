#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class QLockFile;

// Who holds the lock of a block file.
struct LockHolder
{
    QString user;
    QString host;
    qint64 pid = 0;
    QDateTime since; // when the lock was taken

    QString who() const { return user + u'@' + host; } // "USER@HOST"
};

// The lock of an open block file: a QLockFile beside it, named
// ".~lock.NAME.csv#" (hidden, and no "*.csv" listing picks it up). It names
// the process, the host and the user that hold it; a lock whose process is
// gone is stale and taken over without a word. Another copy of the program,
// in another process or another window of this one, finds it held.
class BlockLock
{
public:
    enum class Result
    {
        Held,       // this lock now holds the block (or already did)
        Elsewhere,  // another copy holds it; see holder
        Unavailable // no lock can be made there (a read-only folder): go on without
    };

    BlockLock();
    ~BlockLock(); // releases
    BlockLock(BlockLock&&) noexcept;
    BlockLock& operator=(BlockLock&&) noexcept; // releases what this one held

    static QString lockPathFor(const QString& blockPath);

    // Takes the lock of blockPath, releasing any other this one held. On
    // Elsewhere, holder (when given) tells who has it.
    Result acquire(const QString& blockPath, LockHolder* holder = nullptr);
    void release();

    bool isHeld() const { return bool(mLock); }
    QString blockPath() const { return mBlockPath; }

    // Whether a living copy holds blockPath (this process's own locks
    // included: ask them first); its holder then.
    static bool heldElsewhere(const QString& blockPath, LockHolder* holder = nullptr);

private:
    std::unique_ptr<QLockFile> mLock;
    QString mBlockPath;
};

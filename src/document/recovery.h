#pragma once

#include "document/blkrec.h"

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <memory>

// The recovery copy: while the block is modified, a copy of it is kept in the
// user's state folder, so that a crash loses at most the last few seconds.
// Each running program owns one copy, marked by a lock file that names its
// process; a copy whose owner is gone is what a crashed run left behind.
class Recovery
{
public:
    // dir: the state folder, ending in "/"; an empty text disables recovery.
    explicit Recovery(QString dir);
    ~Recovery(); // releases the lock; the copy stays for a crash-like end

    // The user's state folder for the program (XDG_STATE_HOME or
    // ~/.local/state, then "mrb_make/").
    static QString defaultDir();

    // Brings the copy up to date: written when blk differs from saved and
    // from what was last written, removed when blk equals saved. Only the
    // encoding happens here; the file is written on a thread of its own, so
    // a slow disk never holds up the window. A folder that cannot be written
    // is a silent fallback: no copy, no message.
    void update(const BlkRec& blk, const BlkRec& saved);
    // Removes the copy (a normal exit), once any write under way has ended.
    void discard();
    // Waits for a write under way (tests, and before the copy is read back).
    void flush() { mWriter.waitForDone(); }

    QString copyPath() const { return mCopy; }
    // A copy of this run is on disk (after flush(), reliably).
    bool hasCopy() const { return mOnDisk; }

    // The copies in dir whose owner is no longer running, oldest first.
    static QStringList orphans(const QString& dir);
    // Reads an orphan into rec, leaving it in place until the user decides;
    // false when it cannot be read.
    static bool read(const QString& copy, BlkRec& rec);
    // Removes an orphan with its lock, so it is not offered again.
    static void remove(const QString& copy);

private:
    bool ensureLock(); // on the writer thread

    QString mDir;
    QString mCopy;
    std::unique_ptr<QLockFile> mLock;
    BlkRec mLast;                      // what the copy holds
    bool mWritten = false;             // a copy of mLast was handed to the writer
    std::atomic<bool> mOnDisk = false; // the writer put this run's copy on disk
    std::atomic<bool> mFailed = false; // the folder refused once; do not try at every tick
    QThreadPool mWriter;               // one thread: copies are written in order
};

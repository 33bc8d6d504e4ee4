#pragma once

#include "document/blocklock.h"
#include "document/filestamp.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <optional>

class Prompts;
class QWidget;

// Keeps the open block file safe from other copies of the program and from
// other programs: its lock, its stamp as read or saved, and a watch on it.
// Every write over a file goes through beforeWrite.
class FileGuard : public QObject
{
    Q_OBJECT
public:
    enum class Write
    {
        Go,     // write the file
        SaveAs, // ask for another name
        Cancel  // write nothing
    };

    explicit FileGuard(Prompts& prompts, QObject* parent = nullptr);
    ~FileGuard() override; // the lock goes

    // A block read from path with stamp becomes the open block. When another
    // copy holds it, asks whether to open it read-only, anyway or not at all;
    // false when the user cancelled (nothing changes then).
    bool adopt(const QString& path, const FileStamp& stamp, QWidget* parent);
    // No file is open any more (New, a recovered block, the window closed).
    void clear();
    // Asks what to do before target is written: a read-only block is not
    // written over its own file, a file another copy holds is not written,
    // and the open file changed on disk since it was read or saved is
    // written only when the user says so.
    Write beforeWrite(const QString& target, QWidget* parent);
    // path was just written with the open block: it is the open file now,
    // locked, with a new stamp.
    void saved(const QString& path);

    QString path() const { return mPath; }
    bool readOnly() const { return mReadOnly; }
    const LockHolder& holder() const { return mHolder; }
    // Whether this window holds the lock of the open file, once any lock
    // being taken or let go is done.
    bool locked();
    // Waits until the lock being taken or let go is done (tests, exit).
    void settleLock() { mLocker.waitForDone(); }
    // Checks the open file against its stamp now rather than after the
    // settling delay (tests and the benchmark).
    void checkNow();

    static bool sameFile(const QString& a, const QString& b);

signals:
    // The open file was changed (or deleted) by someone else. Told once per
    // change.
    void changedOnDisk(bool deleted);
    // The open file, read-only or not, changed: for the window's status.
    void stateChanged();

private:
    void watch();
    void takeLockLater(const QString& path);
    void lostRace(const QString& path, const LockHolder& holder);
    void onWatchEvent();
    QString holderText() const;

    Prompts& mPrompts;
    QString mPath; // the open block file; empty when untitled
    FileStamp mStamp;
    std::optional<FileStamp> mTold; // the last change told, so that it is told once
    BlockLock mLock;                // used by mLocker's thread, or by this one once it is idle
    QThreadPool mLocker;            // one thread: locks are taken and let go in order
    QWidget* mParent = nullptr;     // for a word after the window was opened
    LockHolder mHolder;             // who held it when it was opened read-only or anyway
    bool mReadOnly = false;
    QFileSystemWatcher mWatcher;
    QTimer mSettle; // a save by another program comes as several events
};

#include "mainwindow/fileguard.h"

#include "dialogs/prompts.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kSaveTitle = QStringLiteral("保存確認");

} // namespace

FileGuard::FileGuard(Prompts& prompts, QObject* parent) : QObject(parent), mPrompts(prompts)
{
    mSettle.setSingleShot(true);
    mSettle.setInterval(150);
    connect(&mSettle, &QTimer::timeout, this, &FileGuard::checkNow);
    connect(&mWatcher, &QFileSystemWatcher::fileChanged, this, &FileGuard::onWatchEvent);
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, this, &FileGuard::onWatchEvent);
    mLocker.setMaxThreadCount(1);
}

FileGuard::~FileGuard()
{
    mLocker.waitForDone();
}

bool FileGuard::locked()
{
    mLocker.waitForDone();
    return mLock.isHeld();
}

void FileGuard::takeLockLater(const QString& path)
{
    // Taking a lock writes a file and syncs it to disk, which a shared drive
    // may take long over; the window does not wait for it.
    mLocker.start([this, path] {
        LockHolder holder;
        if (mLock.acquire(path, &holder) == BlockLock::Result::Elsewhere)
            QMetaObject::invokeMethod(
                this, [this, path, holder] { lostRace(path, holder); }, Qt::QueuedConnection);
    });
}

void FileGuard::lostRace(const QString& path, const LockHolder& holder)
{
    // Another copy took the block in the moment between the look and the lock.
    if (!sameFile(path, mPath) || mReadOnly)
        return;
    mHolder = holder;
    mReadOnly = true;
    emit stateChanged();
    mPrompts.information(mParent, QStringLiteral("編集中"),
                         holderText() + QStringLiteral("\n読み取り専用で開きました。"));
}

bool FileGuard::sameFile(const QString& a, const QString& b)
{
    // Canonical where the file exists, so that a link or "dir/../x.csv" is
    // the same file; as written where it does not.
    auto key = [](const QString& p) {
        const QFileInfo info(p);
        const QString c = info.canonicalFilePath();
        return c.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : c;
    };
    return !a.isEmpty() && !b.isEmpty() && key(a) == key(b);
}

QString FileGuard::holderText() const
{
    return QStringLiteral("このブロックは %1 で編集中です (開始 %2)。")
        .arg(mHolder.who(), mHolder.since.toString(QStringLiteral("yyyy/MM/dd HH:mm")));
}

bool FileGuard::adopt(const QString& path, const FileStamp& stamp, QWidget* parent)
{
    // The same file read again keeps the way it was opened.
    mParent = parent;
    if (!sameFile(path, mPath) && !QFileInfo::exists(BlockLock::lockPathFor(path))) {
        // The usual case: nobody holds it, nothing to ask.
        mReadOnly = false;
        takeLockLater(path);
    } else if (!sameFile(path, mPath)) {
        mLocker.waitForDone();
        BlockLock next;
        LockHolder holder;
        bool readOnly = false;
        if (next.acquire(path, &holder) == BlockLock::Result::Elsewhere) {
            mHolder = holder;
            const int answer =
                mPrompts.choose(parent, QStringLiteral("編集中"), holderText(),
                                {QStringLiteral("読み取り専用で開く"),
                                 QStringLiteral("それでも開く"), QStringLiteral("キャンセル")});
            if (answer != 0 && answer != 1)
                return false;
            readOnly = answer == 0;
        }
        mLock = std::move(next); // the lock of the file left behind goes
        mReadOnly = readOnly;
    }
    mPath = path;
    mStamp = stamp;
    mTold.reset();
    watch();
    emit stateChanged();
    return true;
}

void FileGuard::clear()
{
    mLocker.start([this] { mLock.release(); });
    mPath.clear();
    mStamp = {};
    mTold.reset();
    mReadOnly = false;
    watch();
    emit stateChanged();
}

FileGuard::Write FileGuard::beforeWrite(const QString& target, QWidget* parent)
{
    const bool own = sameFile(target, mPath);
    if (own && mReadOnly) {
        mPrompts.information(parent, kSaveTitle,
                             holderText() +
                                 QStringLiteral("\n読み取り専用で開いたため上書き"
                                                "できません。別の名前で保存してください。"));
        return Write::SaveAs;
    }
    if (!own) {
        // Someone else's open block is not written over from here either.
        LockHolder other;
        if (BlockLock::heldElsewhere(target, &other)) {
            mPrompts.information(parent, kSaveTitle,
                                 QStringLiteral("%1 は %2 で編集中のため上書きできません。\n"
                                                "別の名前で保存してください。")
                                     .arg(QDir::toNativeSeparators(target), other.who()));
            return Write::SaveAs;
        }
        return Write::Go;
    }
    if (FileStamp::ofPath(mPath).sameContent(mStamp))
        return Write::Go;
    switch (mPrompts.choose(
        parent, kSaveTitle, QStringLiteral("ファイルは他で変更されています。"),
        {QStringLiteral("上書き"), QStringLiteral("別名で保存"), QStringLiteral("キャンセル")})) {
    case 0:
        return Write::Go;
    case 1:
        return Write::SaveAs;
    default:
        return Write::Cancel;
    }
}

void FileGuard::saved(const QString& path)
{
    // A new file, or the open one no longer held elsewhere: this window's now.
    mLocker.start([this, path] { mLock.acquire(path); });
    mPath = path;
    mReadOnly = false;
    mStamp = FileStamp::ofPath(path);
    mTold.reset();
    watch();
    emit stateChanged();
}

void FileGuard::watch()
{
    if (!mWatcher.files().isEmpty())
        mWatcher.removePaths(mWatcher.files());
    if (!mWatcher.directories().isEmpty())
        mWatcher.removePaths(mWatcher.directories());
    if (mPath.isEmpty())
        return;
    // The folder too: a save by rename puts a new file in the old one's
    // place, and the watch on the old file ends with it.
    mWatcher.addPath(QFileInfo(mPath).absolutePath());
    if (QFileInfo::exists(mPath))
        mWatcher.addPath(mPath);
}

void FileGuard::onWatchEvent()
{
    mSettle.start();
}

void FileGuard::checkNow()
{
    if (mPath.isEmpty())
        return;
    const FileStamp now = FileStamp::ofPath(mPath);
    if (now.exists && !mWatcher.files().contains(mPath))
        mWatcher.addPath(mPath); // the file that replaced the watched one
    if (now.sameContent(mStamp) || (mTold && now.sameContent(*mTold)))
        return;
    mTold = now;
    emit changedOnDisk(!now.exists);
}

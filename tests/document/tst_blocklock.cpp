#include "common/deadline.h"
#include "document/blocklock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TstBlockLock : public QObject
{
    Q_OBJECT
private slots:
    void secondHolderIsTold();
    void staleLockTakenOverSilently_data();
    void staleLockTakenOverSilently();
    void fifoInTheLocksPlace();
};

void TstBlockLock::secondHolderIsTold()
{
    // Two windows of one program: the second finds the block held.
    QTemporaryDir dir;
    const QString block = dir.filePath("blk.csv");
    BlockLock first, second;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QCOMPARE(first.acquire(block), BlockLock::Result::Held);
    // Hidden beside the block, and no "*.csv" listing picks it up.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral(".~lock.blk.csv#")});
    LockHolder h;
    QCOMPARE(second.acquire(block, &h), BlockLock::Result::Elsewhere);
    QVERIFY(!second.isHeld());
    QCOMPARE(h.pid, QCoreApplication::applicationPid());
    QCOMPARE(h.host, QSysInfo::machineHostName());
    QCOMPARE(h.user, QFileInfo(BlockLock::lockPathFor(block)).owner());
    QVERIFY(!h.user.isEmpty());
    QVERIFY(h.since >= before && h.since <= QDateTime::currentDateTime());
    QCOMPARE(h.who(), h.user + u'@' + h.host);
    LockHolder probed;
    QVERIFY(BlockLock::heldElsewhere(block, &probed));
    QCOMPARE(probed.who(), h.who());
    // Taking it again where it is held changes nothing.
    QCOMPARE(first.acquire(block), BlockLock::Result::Held);
}

void TstBlockLock::staleLockTakenOverSilently_data()
{
    // What a crashed copy leaves: the lock of a process that is gone.
    QTest::addColumn<QByteArray>("contents");
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    QTest::newRow("process gone") << QByteArray("2147483000\nmrb_make\n" + host + "\n");
    QTest::newRow("with user and time") << QByteArray(
        "2147483000\nmrb_make\n" + host + "\n\n\nuser=someone\nsince=2026-01-01T09:00:00\n");
}

void TstBlockLock::staleLockTakenOverSilently()
{
    QFETCH(QByteArray, contents);
    QTemporaryDir dir;
    const QString block = dir.filePath("blk.csv");
    QFile stale(BlockLock::lockPathFor(block));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write(contents);
    stale.close();
    QVERIFY(!BlockLock::heldElsewhere(block));
    BlockLock lock;
    QCOMPARE(lock.acquire(block), BlockLock::Result::Held);
    LockHolder h;
    BlockLock other;
    QCOMPARE(other.acquire(block, &h), BlockLock::Result::Elsewhere);
    QCOMPARE(h.pid, QCoreApplication::applicationPid());
}

// A FIFO where the lock goes: no lock, and no wait for a writer.
void TstBlockLock::fifoInTheLocksPlace()
{
    QTemporaryDir dir;
    const QString block = dir.filePath("blk.csv");
    QCOMPARE(::mkfifo(QFile::encodeName(BlockLock::lockPathFor(block)).constData(), 0600), 0);
    const auto r = runWithDeadline<int>([block] {
        BlockLock lock;
        LockHolder h;
        const bool elsewhere = BlockLock::heldElsewhere(block, &h);
        return int(lock.acquire(block, &h)) * 2 + int(elsewhere);
    });
    QVERIFY2(r.has_value(), "waited on the FIFO");
    QCOMPARE(*r, int(BlockLock::Result::Unavailable) * 2);
}

QTEST_GUILESS_MAIN(TstBlockLock)
#include "tst_blocklock.moc"

#include "document/blockfile.h"
#include "document/recentfiles.h"
#include "document/recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

BlkRec block(double v)
{
    BlkRec r;
    r.Name = QStringLiteral("復元試験");
    r.V = v;
    return r;
}

} // namespace

class TstRecovery : public QObject
{
    Q_OBJECT
private slots:
    void copyFollowsModification();
    void copyOfKilledRunIsOffered();
    void copyUnderReusedProcessIdSurvives();
    void unwritableFolderIsSilent();
    void recentFiles_data();
    void recentFiles();
};

void TstRecovery::copyFollowsModification()
{
    QTemporaryDir dir;
    Recovery r(dir.path() + u'/');
    const BlkRec saved = block(1);
    r.update(saved, saved);
    QVERIFY(!QFile::exists(r.copyPath())); // nothing to recover
    r.update(block(2), saved);
    r.flush();
    QVERIFY(r.hasCopy());
    BlkRec back;
    QVERIFY(Blk_ReadPath(back, r.copyPath()));
    QCOMPARE(back.V, 2.0);
    QFile::remove(r.copyPath());
    r.update(block(2), saved); // unchanged since the last copy: not written again
    r.flush();
    QVERIFY(!QFile::exists(r.copyPath()));
    r.update(block(3), saved);
    r.flush();
    QVERIFY(Blk_ReadPath(back, r.copyPath()));
    QCOMPARE(back.V, 3.0);
    // Saved (the block equals its saved copy again): the copy goes.
    r.update(block(3), block(3));
    QVERIFY(!QFile::exists(r.copyPath()));
    // A living owner's copy is never offered to another run.
    r.update(block(4), saved);
    QVERIFY(Recovery::orphans(dir.path() + u'/').isEmpty());
    r.discard();
    QVERIFY(!QFile::exists(r.copyPath()));
}

void TstRecovery::copyOfKilledRunIsOffered()
{
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    const pid_t child = fork();
    if (child == 0) {
        // The program killed while its block is modified: no clean-up at all.
        Recovery r(d);
        r.update(block(7.5), block(0));
        r.flush(); // the copy is on disk some seconds before the crash
        raise(SIGKILL);
        _exit(1);
    }
    QVERIFY(child > 0);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    const QStringList left = Recovery::orphans(d);
    QCOMPARE(left.size(), 1);
    BlkRec rec;
    QVERIFY(Recovery::read(left[0], rec));
    QCOMPARE(rec.V, 7.5);
    QCOMPARE(rec.Name, QStringLiteral("復元試験"));
    QCOMPARE(Recovery::orphans(d), left); // kept until the user decides
    Recovery::remove(left[0]);
    QVERIFY(Recovery::orphans(d).isEmpty());
    QVERIFY(QDir(d).entryList(QDir::Files).isEmpty());
}

void TstRecovery::copyUnderReusedProcessIdSurvives()
{
    // A crashed run's copy under this very process id (ids come back after a
    // reboot): this run neither takes it for its own nor removes it.
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const QString planted = d + QStringLiteral("recovery-") + pid + QStringLiteral(".csv");
    QVERIFY(Blk_Write(block(9), planted).ok);
    Recovery r(d);
    r.update(block(2), block(1));
    r.flush();
    QVERIFY(r.hasCopy());
    QVERIFY(r.copyPath() != planted);
    r.discard();
    BlkRec back;
    QVERIFY(Blk_ReadPath(back, planted));
    QCOMPARE(back.V, 9.0);
}

void TstRecovery::unwritableFolderIsSilent()
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Recovery r(blocker.fileName() + QStringLiteral("/state/"));
    r.update(block(2), block(1));
    r.flush();
    QVERIFY(!r.hasCopy());
    Recovery off{QString()};
    off.update(block(2), block(1));
    QVERIFY(!off.hasCopy());
}

void TstRecovery::recentFiles_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("newest first") << QStringList{"/a.csv", "/b.csv"}
                                  << QStringList{"/b.csv", "/a.csv"};
    QTest::newRow("once each") << QStringList{"/a.csv", "/b.csv", "/a.csv"}
                               << QStringList{"/a.csv", "/b.csv"};
    QStringList ten;
    for (int i = 0; i < 10; ++i)
        ten << QStringLiteral("/%1.csv").arg(i);
    QTest::newRow("eight kept") << ten << QStringList{"/9.csv", "/8.csv", "/7.csv", "/6.csv",
                                                      "/5.csv", "/4.csv", "/3.csv", "/2.csv"};
}

void TstRecovery::recentFiles()
{
    QFETCH(QStringList, added);
    QTemporaryDir dir;
    const QString ini = dir.path() + QStringLiteral("/mrb_make.ini");
    {
        RecentFiles r(ini);
        for (const QString& p : added)
            r.add(p);
        QTEST(r.files(), "expected");
    }
    // Kept for the next run.
    RecentFiles again(ini);
    QTEST(again.files(), "expected");
    again.remove(added.last());
    QVERIFY(!RecentFiles(ini).files().contains(added.last()));
}

QTEST_GUILESS_MAIN(TstRecovery)
#include "tst_recovery.moc"

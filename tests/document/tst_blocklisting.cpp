#include "document/blkrec.h"
#include "document/blockfile.h"
#include "document/blocklisting.h"
#include "document/cp932.h"
#include "document/folderlisting.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

class TstBlockListing : public QObject
{
    Q_OBJECT
private slots:
    void listed_data();
    void listed();
    void line_data();
    void line();
    void limit_data();
    void limit();
    void slowShare();
    void hungShareLeavesRoom();
};

namespace {

QByteArray blockBytes(const QString& name, double b = 1)
{
    BlkRec r;
    r.Name = name;
    r.Kind = QStringLiteral("A型");
    r.B = b;
    QByteArray bytes;
    Blk_Encode(r, bytes);
    return bytes;
}

// Folder contents: file name and bytes; special bytes make other things.
const QByteArray kFolder = "<folder>";
const QByteArray kFifo = "<fifo>";
const QByteArray kDangling = "<dangling link>";
const QByteArray kPipeLink = "<link to a fifo>";
const QByteArray kLocked = "<unreadable>";

using Files = QList<QPair<QString, QByteArray>>;

bool make(const QString& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir + name;
    if (bytes == kFolder)
        return QDir().mkpath(path);
    if (bytes == kFifo)
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (bytes == kDangling)
        return QFile::link(dir + QStringLiteral("gone"), path);
    if (bytes == kPipeLink) // the pipe itself is not a candidate: no ".csv"
        return ::mkfifo(QFile::encodeName(path + QStringLiteral(".pipe")).constData(), 0600) == 0 &&
               QFile::link(path + QStringLiteral(".pipe"), path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes == kLocked ? blockBytes(name) : bytes) < 0)
        return false;
    f.close();
    return bytes != kLocked || f.setPermissions({});
}

// The listing read by FolderListing's threads, once it has finished; a
// listing that never finishes fails the test instead of hanging it.
BlockListing::Result threaded(const QString& dir, const BlockListing::Source& source = {})
{
    FolderListing listing(source);
    QSignalSpy done(&listing, &FolderListing::finished);
    listing.start(dir);
    if (!done.wait(20000))
        qWarning("the listing did not finish");
    return listing.result();
}

// The two listings agree line for line.
void compare(const BlockListing::Result& threaded, const BlockListing::Result& oneByOne)
{
    QCOMPARE(threaded.entries.size(), oneByOne.entries.size());
    for (qsizetype i = 0; i < threaded.entries.size(); ++i) {
        QCOMPARE(threaded.entries[i].name, oneByOne.entries[i].name);
        QCOMPARE(threaded.entries[i].path, oneByOne.entries[i].path);
        QCOMPARE(threaded.entries[i].line, oneByOne.entries[i].line);
    }
    QCOMPARE(threaded.truncated, oneByOne.truncated);
    QCOMPARE(threaded.state, oneByOne.state);
}

} // namespace

void TstBlockListing::listed_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("names");
    // Ends right after the points: the segment count line is missing.
    const QByteArray cut = blockBytes(QStringLiteral("cut")).chopped(3);
    QTest::newRow("block, other CSV, cut short")
        << Files{{"b.csv", "No,X,Y\r\n1,2,3\r\n"}, {"a.csv", blockBytes("a")}, {"c.csv", cut}}
        << QStringList{"a"};
    QTest::newRow("extension in any case, name order ignoring case")
        << Files{{"B.csv", blockBytes("1")}, {"a.CSV", blockBytes("2")},
                 {"c.Csv", blockBytes("3")}, {"A.csv", blockBytes("4")},
                 {"d.txt", blockBytes("5")}, {"e.csv.bak", blockBytes("6")}}
        << QStringList{"A", "a", "B", "c"};
    QTest::newRow("only ordinary visible files")
        << Files{{"x.csv", kFolder},        {"p.csv", kFifo},
                 {"l.csv", kDangling},      {".hidden.csv", blockBytes("h")},
                 {".csv", blockBytes("e")}, {"ok.csv", blockBytes("ok")}}
        << QStringList{"ok"};
    QTest::newRow("link to a pipe")
        << Files{{"a.csv", blockBytes("a")}, {"b.csv", kPipeLink}} << QStringList{"a"};
    QTest::newRow("unreadable file")
        << Files{{"locked.csv", kLocked}, {"ok.csv", blockBytes("")}} << QStringList{"ok"};
}

void TstBlockListing::listed()
{
    QFETCH(Files, files);
    QFETCH(QStringList, names);
    if (QByteArray(QTest::currentDataTag()) == "unreadable file" && ::geteuid() == 0)
        QSKIP("root reads any file");
    QTemporaryDir tmp;
    const QString dir = tmp.path() + u'/';
    for (const auto& [name, bytes] : files)
        QVERIFY(make(dir, name, bytes));
    BlkRec scratch;
    const BlockListing::Result r = BlockListing::list(dir, scratch);
    QStringList got;
    for (const BlockListing::Entry& e : r.entries) {
        got << e.name;
        QCOMPARE(QFileInfo(e.path).dir(), QDir(dir));
        QVERIFY(QFileInfo(e.path).fileName().startsWith(e.name + u'.'));
    }
    QCOMPARE(got, names);
    QVERIFY(!r.truncated);
    compare(threaded(dir), r);
}

void TstBlockListing::line_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("v");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QByteArray>("line");                              // cp932
    const QByteArray kind = QByteArray::fromHex("418c5e") + "       "; // "A型" in 10 columns
    const QByteArray hl = "   2.000    3.000 ";                        // H and L
    const QByteArray bu = QByteArray::fromHex("8375");                 // ブ
    QTest::newRow("name of exactly 20 columns")
        << QString(10, u'ブ') << 2.5 << 4.2 << QString()
        << bu.repeated(10) + ' ' + kind + ' ' + "   2.500 " + hl + "    4.200";
    QTest::newRow("longer name pushes the rest")
        << QString(11, u'ブ') << 2.5 << 4.2 << QString()
        << bu.repeated(11) + ' ' + kind + ' ' + "   2.500 " + hl + "    4.200";
    QTest::newRow("negative numbers")
        << QStringLiteral("ab") << -12.3456 << -0.5 << QString()
        << "ab" + QByteArray(18, ' ') + ' ' + kind + ' ' + " -12.346 " + hl + "   -0.500";
    QTest::newRow("LF and tab in the name, a mark")
        << QStringLiteral("a\nb\tc") << 1.0 << 1000.0 << QStringLiteral("!")
        << "a b c" + QByteArray(15, ' ') + ' ' + kind + ' ' + "   1.000 " + hl + " 1000.000 !";
}

void TstBlockListing::line()
{
    QFETCH(QString, name);
    QFETCH(double, b);
    QFETCH(double, v);
    QFETCH(QString, mark);
    QFETCH(QByteArray, line);
    BlkRec r;
    r.Name = name;
    r.Kind = QStringLiteral("A型");
    r.B = b;
    r.H = 2;
    r.L = 3;
    r.V = v;
    BlockListing::Mark m;
    if (!mark.isEmpty())
        m = [mark](const BlkRec&) { return mark; };
    QByteArray bytes;
    QVERIFY(Cp932::encode(BlockListing::line(r, m), bytes));
    QCOMPARE(bytes, line);
}

void TstBlockListing::limit_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("truncated");
    QTest::newRow("1001 files") << 1001 << false;
    QTest::newRow("1002 files") << 1002 << true;
}

void TstBlockListing::limit()
{
    QFETCH(int, files);
    QFETCH(bool, truncated);
    QTemporaryDir tmp;
    const QString dir = tmp.path() + u'/';
    for (int i = 0; i < files; ++i)
        QVERIFY(make(dir, QStringLiteral("b%1.csv").arg(i, 4, 10, QLatin1Char('0')),
                     blockBytes(QString::number(i), i)));
    QVERIFY(make(dir, QStringLiteral("a.csv"), "not a block\r\n")); // never counts
    BlkRec scratch;
    const BlockListing::Result r = BlockListing::list(dir, scratch);
    QCOMPARE(r.entries.size(), BlockListing::MaxEntries);
    QCOMPARE(r.truncated, truncated);
    QCOMPARE(r.entries.last().name, QStringLiteral("b1000"));
    QVERIFY(r.entries.last().line.contains(QStringLiteral("1000.000")));
    compare(threaded(dir), r);
}

// A share whose every read takes a while: the files are read on other threads
// while the event loop turns, and the lines come out as one by one.
void TstBlockListing::slowShare()
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + u'/';
    for (int i = 0; i < 120; ++i) {
        const QByteArray bytes = i % 7 ? blockBytes(QString::number(i), i) : "not a block\r\n";
        QVERIFY(make(dir, QStringLiteral("f%1.csv").arg(i), bytes));
    }
    std::atomic<int> reads = 0;
    BlockListing::Source slow;
    slow.read = [&reads](BlkRec& rec, const QString& path) {
        ++reads;
        QThread::msleep(3);
        return Blk_ReadPath(rec, path);
    };
    FolderListing listing(slow);
    QSignalSpy done(&listing, &FolderListing::finished);
    QSignalSpy progress(&listing, &FolderListing::progress);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(1);
    listing.start(dir);
    QVERIFY(listing.isRunning());
    QVERIFY(done.wait(20000));
    QVERIFY(ticks > 0);
    QCOMPARE(reads.load(), 120);
    QCOMPARE(progress.last(), (QList<QVariant>{120, 120}));
    BlkRec scratch;
    compare(listing.result(), BlockListing::list(dir, scratch));
}

// A share that has gone keeps every reader of its listing waiting; the
// next folder is listed all the same.
void TstBlockListing::hungShareLeavesRoom()
{
    QTemporaryDir gone;
    QTemporaryDir local;
    for (int i = 0; i < 2 * FolderListing::Threads; ++i)
        QVERIFY(make(gone.path() + u'/', QStringLiteral("g%1.csv").arg(i), blockBytes("g")));
    QVERIFY(make(local.path() + u'/', QStringLiteral("a.csv"), blockBytes("a")));
    QSemaphore waiting;
    QSemaphore back;
    BlockListing::Source hung;
    hung.read = [&](BlkRec& rec, const QString& path) {
        if (!path.startsWith(gone.path()))
            return Blk_ReadPath(rec, path);
        waiting.release();
        back.tryAcquire(1, 20000); // never hangs the test for good
        return false;
    };
    FolderListing listing(hung);
    listing.start(gone.path());
    QVERIFY(waiting.tryAcquire(FolderListing::Threads, 10000)); // every reader waits
    QSignalSpy done(&listing, &FolderListing::finished);
    listing.start(local.path());
    QVERIFY(done.wait(10000));
    QCOMPARE(listing.result().entries.size(), 1);
    back.release(FolderListing::Threads);
}

QTEST_GUILESS_MAIN(TstBlockListing)
#include "tst_blocklisting.moc"

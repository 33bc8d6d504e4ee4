#include "common/deadline.h"
#include "document/basmrblk.h"
#include "document/datapath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

class TstDataPath : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void missingFileGivesExeFolder();
    void writeThenRead();
    void configFolderReadFirst();
    void unwritableExeFolderUsesConfig();
    void writeToExeRemovesStaleConfigCopy();
    void writeNowhere();
    void uncodablePathRoundTrips();
    void fileContents_data();
    void fileContents();
    void blankConfigFileFallsThrough();
    void fifoFallsBackAtOnce_data();
    void fifoFallsBackAtOnce();

private:
    QString exeFile() const { return mPlaces.exeDir + kMrDtPathName; }
    QString configFile() const { return mPlaces.configDir + kMrDtPathName; }

    std::unique_ptr<QTemporaryDir> mRoot;
    DataPathPlaces mPlaces;
};

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QString readBack(const DataPathPlaces& places)
{
    basMr_Blk mod;
    mod.DataPath = QStringLiteral("unchanged");
    DataPath_Read(mod, places);
    return mod.DataPath;
}

} // namespace

void TstDataPath::init()
{
    // The executable's folder exists; the configuration folder does not yet.
    mRoot = std::make_unique<QTemporaryDir>();
    QVERIFY(mRoot->isValid());
    QVERIFY(QDir(mRoot->path()).mkpath("exe"));
    mPlaces.exeDir = mRoot->filePath("exe") + u'/';
    mPlaces.configDir = mRoot->filePath("config/mrb_make") + u'/';
}

void TstDataPath::cleanup()
{
    mRoot.reset();
}

void TstDataPath::missingFileGivesExeFolder()
{
    QCOMPARE(readBack(mPlaces), mPlaces.exeDir);
    QVERIFY(readBack(mPlaces).endsWith(u'/'));
}

void TstDataPath::writeThenRead()
{
    basMr_Blk mod;
    mod.DataPath = QStringLiteral("/srv/blocks/");
    QVERIFY(DataPath_Write(mod, mPlaces));
    QCOMPARE(fileBytes(exeFile()), QByteArray("/srv/blocks/\r\n"));
    QVERIFY(!QFile::exists(configFile()));
    QCOMPARE(readBack(mPlaces), QStringLiteral("/srv/blocks/"));
}

void TstDataPath::configFolderReadFirst()
{
    QVERIFY(QDir().mkpath(mPlaces.configDir));
    QVERIFY(writeFile(exeFile(), "/from/exe/\r\n"));
    QVERIFY(writeFile(configFile(), "/from/config/\r\n"));
    QCOMPARE(readBack(mPlaces), QStringLiteral("/from/config/"));
    QVERIFY(QFile::remove(configFile()));
    QCOMPARE(readBack(mPlaces), QStringLiteral("/from/exe/"));
}

void TstDataPath::unwritableExeFolderUsesConfig()
{
    // A folder below a regular file can never exist, whoever runs the test.
    QVERIFY(writeFile(mRoot->filePath("file"), "x"));
    DataPathPlaces places = mPlaces;
    places.exeDir = mRoot->filePath("file/bin") + u'/';
    basMr_Blk mod;
    mod.DataPath = QStringLiteral("/data/");
    QVERIFY(DataPath_Write(mod, places));
    QCOMPARE(fileBytes(configFile()), QByteArray("/data/\r\n"));
    QCOMPARE(readBack(places), QStringLiteral("/data/"));
}

void TstDataPath::writeToExeRemovesStaleConfigCopy()
{
    QVERIFY(QDir().mkpath(mPlaces.configDir));
    QVERIFY(writeFile(configFile(), "/stale/\r\n"));
    basMr_Blk mod;
    mod.DataPath = QStringLiteral("/fresh/");
    QVERIFY(DataPath_Write(mod, mPlaces));
    QVERIFY(!QFile::exists(configFile()));
    QCOMPARE(readBack(mPlaces), QStringLiteral("/fresh/"));
}

void TstDataPath::writeNowhere()
{
    QVERIFY(writeFile(mRoot->filePath("file"), "x"));
    DataPathPlaces places;
    places.exeDir = mRoot->filePath("file/bin") + u'/';
    places.configDir = mRoot->filePath("file/config") + u'/';
    basMr_Blk mod;
    mod.DataPath = QStringLiteral("/data/");
    QVERIFY(!DataPath_Write(mod, places));
    places.configDir.clear();
    QVERIFY(!DataPath_Write(mod, places));
    QCOMPARE(readBack(places), places.exeDir);
}

void TstDataPath::uncodablePathRoundTrips()
{
    basMr_Blk mod;
    mod.DataPath = QStringLiteral("/data/café/한국/😀/消波/");
    QVERIFY(DataPath_Write(mod, mPlaces));
    QCOMPARE(readBack(mPlaces), mod.DataPath);
    QVERIFY(fileBytes(exeFile()).endsWith("\r\n"));
}

void TstDataPath::fileContents_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("dataPath"); // empty: the executable's folder
    QTest::newRow("slash added") << QByteArray("/data/x\r\n") << "/data/x/";
    QTest::newRow("slash kept") << QByteArray("/data/x/\r\n") << "/data/x/";
    QTest::newRow("no line end") << QByteArray("/data/y") << "/data/y/";
    QTest::newRow("first line only") << QByteArray("/one/\r\n/two/\r\n") << "/one/";
    QTest::newRow("LF line ends") << QByteArray("/one\n/two\n") << "/one/";
    QTest::newRow("cp932") << QByteArray::fromHex("2f8366815b835e0d0a")
                           << QStringLiteral("/データ/");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("empty line") << QByteArray("\r\n/later/\r\n") << QString();
    QTest::newRow("blanks") << QByteArray("   \r\n") << QString();
    QTest::newRow("invalid cp932") << QByteArray("/data/\x82") << QString();
}

void TstDataPath::fileContents()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, dataPath);
    QVERIFY(writeFile(exeFile(), contents));
    QCOMPARE(readBack(mPlaces), dataPath.isEmpty() ? mPlaces.exeDir : dataPath);
}

void TstDataPath::blankConfigFileFallsThrough()
{
    QVERIFY(QDir().mkpath(mPlaces.configDir));
    QVERIFY(writeFile(exeFile(), "/from/exe/\r\n"));
    for (const QByteArray& blank : {QByteArray(), QByteArray("\r\n"), QByteArray(" \r\n")}) {
        QVERIFY(writeFile(configFile(), blank));
        QCOMPARE(readBack(mPlaces), QStringLiteral("/from/exe/"));
    }
}

void TstDataPath::fifoFallsBackAtOnce_data()
{
    QTest::addColumn<bool>(
        "inConfig"); // the FIFO in the configuration folder, else beside the program
    QTest::newRow("beside the program") << false;
    QTest::newRow("configuration folder") << true;
}

void TstDataPath::fifoFallsBackAtOnce()
{
#ifdef Q_OS_UNIX
    QFETCH(bool, inConfig);
    QVERIFY(QDir().mkpath(mPlaces.configDir));
    const QString fifo = inConfig ? configFile() : exeFile();
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const DataPathPlaces places = mPlaces;
    const std::optional<QString> read =
        runWithDeadline<QString>([places] { return readBack(places); });
    if (!read) // let the stuck reader go before the folder is removed
        ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    QVERIFY2(read, "reading MRDTPATH waited on the FIFO");
    // As an unreadable file: the next place, then the program's folder.
    QCOMPARE(*read, mPlaces.exeDir);
    // Writing the folder back replaces the FIFO, at once too.
    const std::optional<bool> written = runWithDeadline<bool>([places] {
        basMr_Blk mod;
        mod.DataPath = QStringLiteral("/srv/blocks/");
        return DataPath_Write(mod, places);
    });
    QVERIFY2(written && *written, "writing MRDTPATH over the FIFO failed or waited");
    QCOMPARE(readBack(mPlaces), QStringLiteral("/srv/blocks/"));
#else
    QSKIP("FIFOs of a Unix system");
#endif
}

QTEST_GUILESS_MAIN(TstDataPath)
#include "tst_datapath.moc"

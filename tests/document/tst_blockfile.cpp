#include "common/deadline.h"
#include "document/basmrblk.h"
#include "document/blkrec.h"
#include "document/blockfile.h"
#include "document/numtext.h"
#include "document/recovery.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <cmath>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

class TstBlockFile : public QObject
{
    Q_OBJECT
private slots:
    void readSample();
    void readCases_data();
    void readCases();
    void nameAndKind_data();
    void nameAndKind();
    void numericFields();
    void numbersReadBitExact();
    void countRounding_data();
    void countRounding();
    void negativeCountReadsNoRows();
    void failureKeepsWhatWasStored();
    void readByName_data();
    void readByName();
    void hugeFileStopsEarly_data();
    void hugeFileStopsEarly();
    void endlessDeviceStopsEarly_data();
    void endlessDeviceStopsEarly();
    void encodeLayout();
    void encodeEmptyBlock();
    void roundTrip();
    void writeReplacesExisting();
    void writeFailures_data();
    void writeFailures();
    void writeFailsMidwayLeavesOldFile();
    void writeRefusesUnencodable_data();
    void writeRefusesUnencodable();
    void specialFilesFailAtOnce_data();
    void specialFilesFailAtOnce();
    void writeFailureNamesFullDisk_data();
    void writeFailureNamesFullDisk();
    void writeKeepsPermissions_data();
    void writeKeepsPermissions();
};

namespace {

// cp932 bytes, checked with Python's codec.
const QByteArray kHeader =
    QByteArray::fromHex("2392bc97a78fc194678375838d8362834e");  // #直立消波ブロック
const QByteArray kTesuto = QByteArray::fromHex("836583588367"); // テスト
const QByteArray kAGata = QByteArray::fromHex("418c5e");        // A型

using Lines = QList<QByteArray>;

QByteArray join(const Lines& lines, const QByteArray& end = "\r\n")
{
    QByteArray out;
    for (const QByteArray& l : lines)
        out += l + end;
    return out;
}

// Header 0, name 1, kind 2, dimensions 3, layer count 4, layers 5-6, point count 7,
// points 8-10, segment count 11, segments 12-13.
Lines sample()
{
    return {kHeader,       kTesuto,       kAGata,        "1.5,2.25,3.125,4.2,0.75,0.5",
            "2",           "0.5,2.0,2.0", "1.0,2.2,4.2", "3",
            "0.000,0.000", "2.000,0.000", "2.000,1.500", "2",
            "1,2",         "2,3"};
}

// Sample with the section starting at countLine replaced by count rows of row.
Lines withRows(int countLine, int oldRows, int count, const QByteArray& row)
{
    Lines l = sample();
    l.remove(countLine, oldRows + 1);
    Lines rows{QByteArray::number(count)};
    for (int i = 0; i < count; ++i)
        rows << row;
    for (int i = rows.size() - 1; i >= 0; --i)
        l.insert(countLine, rows[i]);
    return l;
}

bool readBytes(const QByteArray& bytes, BlkRec& rec)
{
    return Blk_ReadBytes(rec, bytes);
}

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

double round3(double v)
{
    return std::round(v * 1000) / 1000;
}

// Produces prefix, then pattern over and over, never ending; counts what it gave.
class EndlessDevice : public QIODevice
{
public:
    EndlessDevice(QByteArray prefix, QByteArray pattern)
        : mPrefix(std::move(prefix)), mPattern(std::move(pattern))
    {
    }
    bool isSequential() const override { return true; }
    qint64 produced = 0;

protected:
    qint64 readData(char* data, qint64 max) override
    {
        for (qint64 i = 0; i < max; ++i, ++produced) {
            data[i] = produced < mPrefix.size()
                          ? mPrefix[produced]
                          : mPattern[(produced - mPrefix.size()) % mPattern.size()];
        }
        return max;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray mPrefix;
    QByteArray mPattern;
};

} // namespace

void TstBlockFile::readSample()
{
    BlkRec r;
    QVERIFY(readBytes(join(sample()), r));
    QCOMPARE(r.Name, QStringLiteral("テスト"));
    QCOMPARE(r.Kind, QStringLiteral("A型"));
    // Line 4 is B, H, L, V, Gx, Gy.
    QCOMPARE(r.B, 1.5);
    QCOMPARE(r.H, 2.25);
    QCOMPARE(r.L, 3.125);
    QCOMPARE(r.V, 4.2);
    QCOMPARE(r.Gx, 0.75);
    QCOMPARE(r.Gy, 0.5);
    QCOMPARE(r.LyrCnt, 2);
    QCOMPARE(r.LyrH[0], 0.5);
    QCOMPARE(r.LyrVSum[0], 2.0);
    QCOMPARE(r.LyrV[1], 2.2);
    QCOMPARE(r.LyrVSum[1], 4.2);
    QCOMPARE(r.PntCnt, 3);
    QCOMPARE(r.PntX[0], 0.0);
    QCOMPARE(r.PntX[2], 2.0);
    QCOMPARE(r.PntY[3], 1.5);
    QCOMPARE(r.LineCnt, 2);
    QCOMPARE(r.LineSt[1], 1);
    QCOMPARE(r.LineEd[2], 3);
}

void TstBlockFile::readCases_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    const QByteArray good = join(sample());
    auto with = [](int line, const QByteArray& text) {
        Lines l = sample();
        l[line] = text;
        return join(l);
    };
    auto cutAfter = [](int line) { return join(sample().mid(0, line + 1)); };
    Lines alternating = sample();
    for (int i = 0; i < alternating.size(); i += 2)
        alternating[i] += '\r'; // this line ends in CR CR LF: an empty line follows
    QTest::newRow("sample") << good << true;
    QTest::newRow("CR only") << join(sample(), "\r") << true;
    QTest::newRow("CR and CR LF mixed")
        << QByteArray(join(sample().mid(0, 7), "\r") + join(sample().mid(7))) << true;
    QTest::newRow("last line without line end") << good.chopped(2) << true;
    QTest::newRow("lone LF is no line end") << join(sample(), "\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("header without line end") << kHeader << false;
    QTest::newRow("header and more text") << with(0, kHeader + "xyz,1") << true;
    QTest::newRow("header and a stray byte") << with(0, kHeader + "\x82") << true;
    QTest::newRow("header of 8 characters") << with(0, kHeader.chopped(2)) << false;
    QTest::newRow("other first character") << with(0, "$" + kHeader.mid(1)) << false;
    QTest::newRow("header in UTF-8") << with(0, "#直立消波ブロック") << false;
    QTest::newRow("dimensions line with 7 values") << with(3, "1,2,3,4,5,6,7") << true;
    QTest::newRow("dimensions line with 5 values") << with(3, "1,2,3,4,5") << false;
    QTest::newRow("51 layer rows") << join(withRows(4, 2, 51, "1,2,3")) << true;
    QTest::newRow("52 layer rows") << join(withRows(4, 2, 52, "1,2,3")) << false;
    QTest::newRow("layer row with 2 fields") << with(5, "1,2") << false;
    QTest::newRow("100 points") << join(withRows(7, 3, 100, "1,2")) << true;
    QTest::newRow("101 points") << join(withRows(7, 3, 101, "1,2")) << false;
    QTest::newRow("point with 1 field") << with(9, "2.0") << false;
    QTest::newRow("100 segments") << join(withRows(11, 2, 100, "1,2")) << true;
    QTest::newRow("101 segments") << join(withRows(11, 2, 101, "1,2")) << false;
    QTest::newRow("ends after the points") << cutAfter(10) << false;
    QTest::newRow("ends in the segments") << cutAfter(12) << false;
    QTest::newRow("ends in the layers") << cutAfter(5) << false;
    QTest::newRow("count 99999") << with(7, "99999") << false;
    QTest::newRow("count -40000") << with(4, "-40000") << false;
    QTest::newRow("count 1e400") << with(11, "1e400") << false;
    QTest::newRow("segment point 40000") << with(13, "2,40000") << false;
    QTest::newRow("1e400 in a point") << with(9, "1e400,0") << false;
    QTest::newRow("-1e400 in the dimensions") << with(3, "1,2,3,4,5,-1e400") << false;
    QTest::newRow("lone lead byte in the name") << with(1, "abc\x82") << false;
    QTest::newRow("unassigned code in a point") << with(8, "1,\x85\x40") << false;
    QTest::newRow("NUL bytes in a number line") << with(8, QByteArray("1,2\0\0", 5)) << true;
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 167 + 13) & 0xFF);
    QTest::newRow("binary") << binary << false;
    QTest::newRow("binary after the header") << QByteArray(kHeader + "\r\n" + binary) << false;
    QTest::newRow("line of 60000 bytes") << with(1, QByteArray(60000, 'a')) << true;
    QTest::newRow("line longer than 64 KiB") << with(1, QByteArray(70000, 'a')) << false;
    QTest::newRow("anything after the last segment") << QByteArray(good + binary + "\x82") << true;
    QTest::newRow("empty lines after CR CR LF") << join(alternating) << false;
}

void TstBlockFile::readCases()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    BlkRec r;
    QCOMPARE(readBytes(bytes, r), ok);
}

void TstBlockFile::nameAndKind_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::newRow("no comma") << kTesuto << QStringLiteral("テスト");
    QTest::newRow("comma") << QByteArray::fromHex("8fc194678375838d8362834e2c3274")
                           << QStringLiteral("消波ブロック");
    QTest::newRow("two commas") << QByteArray("a b,c,d") << QStringLiteral("a b");
    QTest::newRow("only a comma") << QByteArray(",") << QString();
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("lone LF kept") << QByteArray("ab\ncd") << QStringLiteral("ab\ncd");
    QTest::newRow("special bytes")
        << QByteArray::fromHex("80a0fd") << QStringLiteral("\u0080\uF8F0\uF8F1");
}

void TstBlockFile::nameAndKind()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    for (int field : {1, 2}) {
        Lines l = sample();
        l[field] = line;
        BlkRec r;
        r.Name = r.Kind = QStringLiteral("old");
        QVERIFY(readBytes(join(l), r));
        QCOMPARE(field == 1 ? r.Name : r.Kind, text);
        QCOMPARE(field == 1 ? r.Kind : r.Name,
                 field == 1 ? QStringLiteral("A型") : QStringLiteral("テスト"));
    }
}

// Numbers as the writer writes them, and near misses, read to the very bits
// the general rule gives them.
void TstBlockFile::numbersReadBitExact()
{
    QRandomGenerator rng(20240607);
    const QByteArrayList odd = {"-0.000",
                                "0",
                                "-0",
                                "5.",
                                ".5",
                                "-.5",
                                "+1.5",
                                "1e3",
                                "999999999999999",
                                "9999999999999999",
                                "0.000000000000001",
                                "1234567.1234567",
                                "00000000000000012.5",
                                "-",
                                ""};
    for (int file = 0; file < 40; ++file) {
        QByteArrayList texts = file == 0 ? odd : QByteArrayList();
        while (texts.size() < 2 * BlkRec::PntLast) {
            const int intDigits = rng.bounded(1, 13);
            const int decimals = rng.bounded(0, 16 - intDigits);
            QByteArray t = rng.bounded(2) ? "-" : "";
            for (int i = 0; i < intDigits + decimals; ++i)
                t += char('0' + rng.bounded(10));
            if (decimals > 0)
                t.insert(t.size() - decimals, '.');
            texts << t;
        }
        Lines l = withRows(7, 3, BlkRec::PntLast, "0,0");
        for (int i = 0; i < BlkRec::PntLast; ++i)
            l[8 + i] = texts[2 * i] + ',' + texts[2 * i + 1];
        BlkRec r;
        QVERIFY(readBytes(join(l), r));
        for (int i = 0; i < 2 * BlkRec::PntLast; ++i) {
            const double got = i % 2 ? r.PntY[i / 2 + 1] : r.PntX[i / 2 + 1];
            const double want = *NumText::fieldValue(QString::fromLatin1(texts[i]));
            QVERIFY2(std::bit_cast<quint64>(got) == std::bit_cast<quint64>(want), texts[i]);
        }
    }
}

void TstBlockFile::numericFields()
{
    Lines l = sample();
    l[3] = "  1.5xyz,abc,\t3,+4,-5e-1,6,7";
    l[5] = "1,2,3,4";
    l[8] = "abc,2.5";
    l[9] = "1,2,3";
    l[12] = "2.5,3.5";
    l[13] = " 7 ,x";
    BlkRec r;
    QVERIFY(readBytes(join(l), r));
    QCOMPARE(r.B, 1.5);
    QCOMPARE(r.H, 0.0);
    QCOMPARE(r.L, 3.0);
    QCOMPARE(r.V, 4.0);
    QCOMPARE(r.Gx, -0.5);
    QCOMPARE(r.Gy, 6.0); // the sixth field swallowed ",7"
    QCOMPARE(r.LyrVSum[0], 3.0);
    QCOMPARE(r.PntX[1], 0.0);
    QCOMPARE(r.PntY[1], 2.5);
    QCOMPARE(r.PntY[2], 2.0);
    QCOMPARE(r.LineSt[1], 2); // halves to even
    QCOMPARE(r.LineEd[1], 4);
    QCOMPARE(r.LineSt[2], 7);
    QCOMPARE(r.LineEd[2], 0);
}

void TstBlockFile::countRounding_data()
{
    QTest::addColumn<QByteArray>("count");
    QTest::addColumn<int>("expected");
    QTest::newRow("3.5") << QByteArray("3.5") << 4;
    QTest::newRow("2.5") << QByteArray("2.5") << 2;
    QTest::newRow("leading blanks") << QByteArray("  3") << 3;
    QTest::newRow("trailing text") << QByteArray("3 rows") << 3;
    QTest::newRow("letters") << QByteArray("abc") << 0;
    QTest::newRow("exponent") << QByteArray("0.4e1") << 4;
}

void TstBlockFile::countRounding()
{
    QFETCH(QByteArray, count);
    QFETCH(int, expected);
    Lines l = withRows(11, 2, 4, "1,2");
    l[11] = count;
    l[15] = "3,4";
    BlkRec r;
    QVERIFY(readBytes(join(l), r));
    QCOMPARE(int(r.LineCnt), expected);
    QCOMPARE(r.LineSt[4], expected == 4 ? 3 : 0); // only rows within the count are read
}

void TstBlockFile::negativeCountReadsNoRows()
{
    Lines l = sample();
    l.remove(5, 2);
    l[4] = "-2";
    BlkRec r;
    r.LyrH[0] = 9;
    QVERIFY(readBytes(join(l), r));
    QCOMPARE(r.LyrCnt, -2);
    QCOMPARE(r.LyrH[0], 9.0);
    QCOMPARE(r.PntCnt, 3);
    QCOMPARE(r.PntY[3], 1.5);
}

void TstBlockFile::failureKeepsWhatWasStored()
{
    BlkRec r;
    r.Name = QStringLiteral("old");
    r.B = r.Gy = -1;
    r.LyrH[2] = 77;
    r.PntCnt = 9;
    r.PntX[1] = 42;
    r.Spare = 7;
    BlkRec before = r;

    // A wrong header stores nothing.
    QVERIFY(!readBytes(join(Lines{"#other"} + sample().mid(1)), r));
    QVERIFY(!Blk_Differs(r, before));

    // A layer table cut short: name, type, dimensions, count and the rows read are kept.
    Lines l = sample();
    l[4] = "3";
    QVERIFY(!readBytes(join(l.mid(0, 7)), r));
    QCOMPARE(r.Name, QStringLiteral("テスト"));
    QCOMPARE(r.Kind, QStringLiteral("A型"));
    QCOMPARE(r.B, 1.5);
    QCOMPARE(r.Gy, 0.5);
    QCOMPARE(r.LyrCnt, 3);
    QCOMPARE(r.LyrH[1], 1.0);
    QCOMPARE(r.LyrH[2], 77.0);
    QCOMPARE(r.PntCnt, 9);
    QCOMPARE(r.PntX[1], 42.0);
    QCOMPARE(r.Spare, 7.0);

    // Success leaves Spare alone too.
    QVERIFY(readBytes(join(sample()), r));
    QCOMPARE(r.Spare, 7.0);
}

void TstBlockFile::readByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("found");
    auto row = [](const char* tag, const QString& name, const QString& file, bool found) {
        QTest::newRow(tag) << name << file << found;
    };
    row(".csv", "blk", "blk.csv", true);
    row(".CSV", "blk", "blk.CSV", true);
    row(".Csv", "blk", "blk.Csv", true);
    row("bracket", "a[1]", "a[1].csv", true);
    row("star", "b*c", "b*c.Csv", true);
    row("question mark", "x?", "x?.cSv", true);
    row("Japanese and blank", QStringLiteral("名前 空白"), QStringLiteral("名前 空白.CSV"), true);
    row("star is no pattern", "*", "blk.csv", false);
    row("bracket is no pattern", "a[1]", "a1.csv", false);
    row("question mark is no pattern", "b?", "bc.CSV", false);
    row("name case counts", "blk", "BLK.csv", false);
    row("other extension", "blk", "blk.txt", false);
    row("longer extension", "blk", "blk.csv.bak", false);
    row("missing", "none", "blk.csv", false);
    row("folder in the name", "sub/blk", "blk.csv", false);
    row("a folder named .csv", "folder", "blk.csv", false);
}

void TstBlockFile::readByName()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(bool, found);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(file), join(sample())));
    QVERIFY(writeFile(dir.filePath("zzz.csv"), "not a block\r\n"));
    QVERIFY(QDir(dir.path()).mkpath("sub"));
    QVERIFY(writeFile(dir.filePath("sub/blk.csv"), join(sample())));
    QVERIFY(QDir(dir.path()).mkpath("folder.csv"));
    basMr_Blk mod;
    mod.DataPath = dir.path() + u'/';
    BlkRec r;
    QCOMPARE(Blk_Read(mod, r, name), found);
    QCOMPARE(r.Kind, found ? QStringLiteral("A型") : QString());
}

void TstBlockFile::hugeFileStopsEarly_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("filler");
    QTest::newRow("one endless line") << QByteArray(kHeader + "\r\n") << QByteArray(1 << 20, 'x');
    QTest::newRow("endless point lines") << join({kHeader, "n", "k", "1,2,3,4,5,6", "0", "30000"})
                                         << QByteArray("1.250,2.500\r\n").repeated((1 << 20) / 13);
}

void TstBlockFile::hugeFileStopsEarly()
{
    // A file of 24 MiB, written chunk by chunk; the reader must give up long
    // before its end.
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, filler);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("huge.csv");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(prefix) == prefix.size());
        for (qint64 written = prefix.size(); written < 24 << 20; written += filler.size())
            QVERIFY(f.write(filler) == filler.size());
    }
    BlkRec r;
    QVERIFY(!Blk_ReadPath(r, path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(!Blk_ReadDevice(r, f));
    QVERIFY2(f.pos() < 1 << 20, qPrintable(QString::number(f.pos())));
}

void TstBlockFile::endlessDeviceStopsEarly_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("pattern");
    QTest::newRow("no line end ever") << QByteArray() << QByteArray("#\x92\xbc");
    QTest::newRow("endless name") << QByteArray(kHeader + "\r\n") << QByteArray("\x82\xa0");
    QTest::newRow("endless long lines")
        << QByteArray(kHeader + "\r\n") << QByteArray(QByteArray(65000, '7') + "\r\n");
    QTest::newRow("endless rows") << join({kHeader, "n", "k", "1,2,3,4,5,6", "0", "32767"})
                                  << QByteArray("1,2\r\n");
}

void TstBlockFile::endlessDeviceStopsEarly()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, pattern);
    EndlessDevice dev(prefix, pattern);
    QVERIFY(dev.open(QIODevice::ReadOnly));
    BlkRec r;
    QVERIFY(!Blk_ReadDevice(r, dev));
    QVERIFY2(dev.produced < 1 << 20, qPrintable(QString::number(dev.produced)));
}

namespace {

BlkRec layoutRecord()
{
    BlkRec r;
    r.Name = QStringLiteral("テスト");
    r.Kind = QStringLiteral("A型");
    r.B = 1.5;
    r.L = 3.125;
    r.H = 2.25;
    r.Gx = 0.75;
    r.Gy = -0.0004;
    r.V = 4.2;
    r.Spare = 9;
    r.LyrCnt = 2;
    r.LyrH = {0.5, 1};
    r.LyrV = {2, 2.2};
    r.LyrVSum = {2, 4.2, 99}; // row 2 lies beyond the count
    r.PntCnt = 3;
    r.PntX = {5, 0, 2.0005, 999.9996, 8};
    r.PntY = {5, 0, -2.0005, 0.0625, 8};
    r.LineCnt = 2;
    r.LineSt = {9, 1, 2, 9};
    r.LineEd = {9, 2, 3, 9};
    return r;
}

} // namespace

void TstBlockFile::encodeLayout()
{
    const QByteArray expected = kHeader + "\r\n" + kTesuto + "\r\n" + kAGata + "\r\n" +
                                "1.500,2.250,3.125,4.200,0.750,0.000\r\n"
                                "2\r\n"
                                "0.500,2.000,2.000\r\n"
                                "1.000,2.200,4.200\r\n"
                                "3\r\n"
                                "0.000,0.000\r\n"
                                "2.001,-2.001\r\n"
                                "1000.000,0.063\r\n"
                                "2\r\n"
                                "1,2\r\n"
                                "2,3\r\n";
    QByteArray bytes;
    const BlkWriteResult res = Blk_Encode(layoutRecord(), bytes);
    QVERIFY(res.ok);
    QCOMPARE(bytes, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath("layout.csv");
    QVERIFY(Blk_Write(layoutRecord(), path).ok);
    QCOMPARE(fileBytes(path), expected);
}

void TstBlockFile::encodeEmptyBlock()
{
    BlkRec r = layoutRecord();
    Blk_Clear(r);
    QByteArray bytes;
    QVERIFY(Blk_Encode(r, bytes).ok);
    QCOMPARE(bytes, kHeader + "\r\n\r\n\r\n0.000,0.000,0.000,0.000,0.000,0.000\r\n0\r\n0\r\n0\r\n");
}

void TstBlockFile::roundTrip()
{
    BlkRec in;
    in.Name = QStringLiteral("消波ブロック,2t");
    in.Kind = QStringLiteral("型,B");
    in.B = 2.34567;
    in.L = -0.00049;
    in.H = 12345.6789;
    in.Gx = 1.0 / 3;
    in.Gy = 2.0 / 3;
    in.V = 7.77777;
    in.Spare = 9;
    in.LyrCnt = 51;
    for (int i = 0; i <= 50; ++i) {
        in.LyrH[i] = i * 0.1234567;
        in.LyrV[i] = -i * 0.0314159;
        in.LyrVSum[i] = i * 1.0101;
    }
    in.PntCnt = 100;
    in.LineCnt = 100;
    for (int i = 1; i <= 100; ++i) {
        in.PntX[i] = std::sin(i) * 10;
        in.PntY[i] = std::cos(i) * 3;
        in.LineSt[i] = qint16(i);
        in.LineEd[i] = qint16(i % 100 + 1);
    }

    BlkRec expected = in;
    expected.Name = QStringLiteral("消波ブロック");
    expected.Kind = QStringLiteral("型");
    for (double* v :
         {&expected.B, &expected.L, &expected.H, &expected.Gx, &expected.Gy, &expected.V})
        *v = round3(*v);
    for (int i = 0; i <= 50; ++i) {
        expected.LyrH[i] = round3(in.LyrH[i]);
        expected.LyrV[i] = round3(in.LyrV[i]);
        expected.LyrVSum[i] = round3(in.LyrVSum[i]);
    }
    for (int i = 1; i <= 100; ++i) {
        expected.PntX[i] = round3(in.PntX[i]);
        expected.PntY[i] = round3(in.PntY[i]);
    }
    expected.Spare = 5;

    QTemporaryDir dir;
    const QString path = dir.filePath("round.csv");
    const BlkWriteResult res = Blk_Write(in, path);
    QVERIFY2(res.ok, qPrintable(res.message));
    BlkRec back;
    back.Spare = 5;
    QVERIFY(Blk_ReadPath(back, path));
    QVERIFY(!Blk_Differs(back, expected));
    QCOMPARE(back.L, 0.0);
    QVERIFY(back.LyrVSum == expected.LyrVSum);
    QCOMPARE(back.Spare, 5.0);
}

void TstBlockFile::writeReplacesExisting()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("blk.csv");
    QVERIFY(writeFile(path, QByteArray(20000, 'z')));
    QVERIFY(Blk_Write(layoutRecord(), path).ok);
    QByteArray expected;
    QVERIFY(Blk_Encode(layoutRecord(), expected).ok);
    QCOMPARE(fileBytes(path), expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"blk.csv"});
}

void TstBlockFile::writeFailures_data()
{
    QTest::addColumn<QString>("relPath");
    QTest::newRow("folder does not exist") << "no/such/folder/blk.csv";
    QTest::newRow("path is a folder") << "taken.csv";
    QTest::newRow("folder is a file") << "plain.txt/blk.csv";
}

void TstBlockFile::writeFailures()
{
    // Permission bits do not stop root, so only failures that hold for anyone.
    QFETCH(QString, relPath);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("taken.csv"));
    QVERIFY(writeFile(dir.filePath("taken.csv/inside"), "keep"));
    QVERIFY(writeFile(dir.filePath("plain.txt"), "plain"));
    const BlkWriteResult res = Blk_Write(layoutRecord(), dir.filePath(relPath));
    QVERIFY(!res.ok);
    QVERIFY2(res.message.contains(QStringLiteral("ファイル")), qPrintable(res.message));
    QVERIFY(QFileInfo(dir.filePath("taken.csv")).isDir());
    QCOMPARE(fileBytes(dir.filePath("taken.csv/inside")), QByteArray("keep"));
    QCOMPARE(fileBytes(dir.filePath("plain.txt")), QByteArray("plain"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{"plain.txt", "taken.csv"}));
}

void TstBlockFile::writeFailsMidwayLeavesOldFile()
{
#ifdef Q_OS_UNIX
    // A file size limit makes the write itself fail, even for root.
    QTemporaryDir dir;
    const QString path = dir.filePath("blk.csv");
    const QByteArray old = "old contents\r\n";
    QVERIFY(writeFile(path, old));
    BlkRec big = layoutRecord();
    big.PntCnt = 100;

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const BlkWriteResult res = Blk_Write(big, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!res.ok);
    QVERIFY(!res.message.isEmpty());
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"blk.csv"});
#else
    QSKIP("needs a file size limit");
#endif
}

void TstBlockFile::writeRefusesUnencodable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("culprit"); // empty: refused for a line end
    QTest::addColumn<QString>("field");
    auto row = [](const char* tag, const QString& name, const QString& kind, const QString& culprit,
                  const QString& field) { QTest::newRow(tag) << name << kind << culprit << field; };
    row("e acute in name", "café", "A", "é", "名称");
    row("hangul in kind", "x", "A한국", "한", "種別");
    row("emoji", "ab😀c😀", "", "😀", "名称");
    row("kanji outside cp932", "森鷗外", "", "鷗", "名称");
    row("CR would end the line", "a\rb", "", "", "名称");
}

void TstBlockFile::writeRefusesUnencodable()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, culprit);
    QFETCH(QString, field);
    BlkRec r = layoutRecord();
    r.Name = name;
    r.Kind = kind;
    QTemporaryDir dir;
    const QString existing = dir.filePath("old.csv");
    const QByteArray old = join(sample());
    QVERIFY(writeFile(existing, old));

    for (const QString& path : {existing, dir.filePath("new.csv")}) {
        const BlkWriteResult res = Blk_Write(r, path);
        QVERIFY(!res.ok);
        QVERIFY2(res.message.contains(field), qPrintable(res.message));
        if (!culprit.isEmpty())
            QVERIFY2(res.message.contains(u'「' + culprit + u'」'), qPrintable(res.message));
    }
    QCOMPARE(fileBytes(existing), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.csv"});
}

void TstBlockFile::specialFilesFailAtOnce_data()
{
    // What is put where a block file is looked for: "fifo", "folder", or a
    // link to one of those or to a device.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("target"); // what a link points to
    QTest::newRow("FIFO") << "fifo"
                          << "";
    QTest::newRow("link to a FIFO") << "link"
                                    << "fifo";
    QTest::newRow("folder") << "folder"
                            << "";
    QTest::newRow("link to /dev/zero") << "link"
                                       << "/dev/zero";
    QTest::newRow("link to /dev/null") << "link"
                                       << "/dev/null";
}

void TstBlockFile::specialFilesFailAtOnce()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, kind);
    QFETCH(QString, target);
    QTemporaryDir dir;
    const QString path = dir.filePath("blk.csv");
    const QString fifo = dir.filePath("pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    if (kind == u"fifo")
        QVERIFY(QFile::rename(fifo, path));
    else if (kind == u"folder")
        QVERIFY(QDir(dir.path()).mkdir("blk.csv"));
    else
        QVERIFY(QFile::link(target == u"fifo" ? fifo : target, path));
    basMr_Blk mod;
    mod.DataPath = dir.path() + u'/';

    // Each reader, as Open, the listing and the recovery offer use them.
    const std::optional<bool> byPath = runWithDeadline<bool>([path] {
        BlkRec r;
        return Blk_ReadPath(r, path);
    });
    const std::optional<bool> byName = runWithDeadline<bool>([mod] {
        BlkRec r;
        return Blk_Read(mod, r, QStringLiteral("blk"));
    });
    const std::optional<bool> recovery = runWithDeadline<bool>([path] {
        BlkRec r;
        return Recovery::read(path, r);
    });
    // A reader stuck on the FIFO is let go before the folder is removed.
    if (!byPath || !byName || !recovery)
        ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    QVERIFY2(byPath && byName && recovery, "a reader waited");
    QVERIFY(!*byPath);
    QVERIFY(!*byName);
    QVERIFY(!*recovery);
    // A stamp of such a file is that of a missing file, at once too.
    QVERIFY(!FileStamp::ofPath(path).exists);
#else
    QSKIP("FIFOs and devices of a Unix system");
#endif
}

void TstBlockFile::writeFailureNamesFullDisk_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("needed");
    QTest::addColumn<QString>("reason");
    const QString full = QStringLiteral("ディスクの空き容量が足りません。");
    QTest::newRow("/dev/full") << "/dev/full" << qint64(4096) << full;
    QTest::newRow("more than the disk holds") << "" << (qint64(1) << 62) << full;
    QTest::newRow("stopped with room left")
        << "" << qint64(1) << QStringLiteral("書き込みが途中で止まりました");
}

void TstBlockFile::writeFailureNamesFullDisk()
{
    QFETCH(QString, file);
    QFETCH(qint64, needed);
    QTemporaryDir dir;
    if (file.isEmpty())
        file = dir.filePath("blk.csv");
    if (!QFile::exists(file) && file.startsWith(u"/dev/"))
        QSKIP("no such device here");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    if (file == u"/dev/full") // the kernel's own full disk
        QVERIFY(f.write(QByteArray(needed, 'x')) < 0 || !f.flush());
    const QString text = Blk_WriteFailureText(f, file, needed);
    QFETCH(QString, reason);
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("未知のエラー")));
}

void TstBlockFile::writeKeepsPermissions_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("owner only") << 0600;
    QTest::newRow("group reads") << 0640;
    QTest::newRow("group writes") << 0664;
    QTest::newRow("everyone reads") << 0644;
}

void TstBlockFile::writeKeepsPermissions()
{
#ifdef Q_OS_UNIX
    QFETCH(int, mode);
    QTemporaryDir dir;
    const QString path = dir.filePath("blk.csv");
    QVERIFY(writeFile(path, join(sample())));
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
    QVERIFY(Blk_Write(layoutRecord(), path).ok);
    struct stat st;
    QCOMPARE(::stat(native.constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 07777), mode);
#else
    QSKIP("Unix permission bits");
#endif
}

QTEST_GUILESS_MAIN(TstBlockFile)
#include "tst_blockfile.moc"

// The program without a window, run as users run it: the real mrb_make
// binary with no display, its output read back by independent readers
// (python3's csv and json modules, poppler's pdfinfo and pdftotext).
#include "analysis/blockchecks.h"
#include "cli/clirun.h"
#include "document/blockfile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

BlkRec sample(const QString& name)
{
    BlkRec r;
    Blk_ReadPath(r, QStringLiteral(MRB_SAMPLES_DIR "/") + name);
    return r;
}

// The 8 t sample as it is, with its V stored wrong, and cut short.
BlkRec good()
{
    return sample(QStringLiteral("block_8t.csv"));
}
BlkRec failing()
{
    BlkRec r = good();
    r.Name = QStringLiteral("体積の違うブロック");
    r.V = 4.2;
    return r;
}
QByteArray damaged()
{
    QByteArray bytes;
    Blk_Encode(good(), bytes);
    return bytes.left(bytes.indexOf("0.000,0.000")); // the point table cut off
}
QByteArray otherCsv()
{
    return "No,X,Y\r\n1,0.5,1.25\r\n";
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Files of a folder by kind: "good", "failing", "damaged", "other".
void fill(const QString& dir, const QStringList& kinds)
{
    for (const QString& k : kinds) {
        const QString path = dir + u'/' + k + QStringLiteral(".csv");
        if (k == u"good")
            QVERIFY(Blk_Write(good(), path).ok);
        else if (k == u"failing")
            QVERIFY(Blk_Write(failing(), path).ok);
        else if (k == u"damaged")
            writeBytes(path, damaged());
        else
            writeBytes(dir + u'/' + k + QStringLiteral(".CSV"), otherCsv());
    }
}

// A block of the 8 t outline whose V (and so mass) and name are given.
BlkRec weighing(double v, const QString& name)
{
    BlkRec r = good();
    r.V = v;
    r.Name = name;
    return r;
}

} // namespace

class TstCli : public QObject
{
    Q_OBJECT
private slots:
    void checkStatus_data();
    void checkStatus();
    void checkSamplesWithoutDisplay();
    void checkNamesTheRowsThatNeedCare();
    void mistakes_data();
    void mistakes();
    void checkJson();
    void jsonNumbersExact();
    void summaryCsv();
    void catalogue();
    void catalogueLongIndex();
    void help();
};

void TstCli::checkStatus_data()
{
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("verdicts"); // in the folder's order
    const QString ok = QStringLiteral("合格");
    const QString care = QStringLiteral("注意");
    const QString bad = QStringLiteral("読込不可");
    QTest::newRow("good") << QStringList{"good"} << 0 << QStringList{ok};
    QTest::newRow("good, failing") << QStringList{"good", "failing"} << 1 << QStringList{care, ok};
    QTest::newRow("good, damaged") << QStringList{"good", "damaged"} << 2 << QStringList{bad, ok};
    QTest::newRow("good, damaged, failing")
        << QStringList{"good", "damaged", "failing"} << 2 << QStringList{bad, care, ok};
    QTest::newRow("another CSV") << QStringList{"good", "other"} << 2 << QStringList{ok, bad};
    QTest::newRow("no CSV") << QStringList{} << 0 << QStringList{};
}

void TstCli::checkStatus()
{
    QFETCH(QStringList, kinds);
    QFETCH(int, status);
    QFETCH(QStringList, verdicts);
    QTemporaryDir tmp;
    fill(tmp.path(), kinds);
    const Run r = mrb({QStringLiteral("check"), tmp.path()});
    QCOMPARE(r.status, status);
    const QStringList lines = r.lines();
    QCOMPARE(lines.size(), verdicts.size());
    for (int i = 0; i < lines.size(); ++i) {
        QVERIFY2(lines[i].startsWith(tmp.path() + u'/'), qPrintable(lines[i]));
        QCOMPARE(lines[i].section(QStringLiteral(": "), 1).section(u' ', 0, 0), verdicts[i]);
    }
    // Every unreadable file is named on standard error.
    QCOMPARE(int(r.err.count(tmp.path() + u'/')), int(verdicts.count(QStringLiteral("読込不可"))));
}

void TstCli::checkSamplesWithoutDisplay()
{
    const Run r = mrb({QStringLiteral("check"), QStringLiteral(MRB_SAMPLES_DIR "/")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QString());
    const QStringList lines = r.lines();
    QCOMPARE(lines.size(), QDir(QStringLiteral(MRB_SAMPLES_DIR)).entryList({"*.csv"}).size());
    for (const QString& l : lines)
        QVERIFY2(l.endsWith(QStringLiteral(".csv: 合格")), qPrintable(l));
}

void TstCli::checkNamesTheRowsThatNeedCare()
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("f.csv"));
    QVERIFY(Blk_Write(failing(), path).ok);
    const Run r = mrb({QStringLiteral("check"), path});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.lines().size(), 1);
    const QString line = r.lines().constFirst();
    QVERIFY2(line.startsWith(path + QStringLiteral(": 注意")), qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("体積 A×L と V")), qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("登録値 4.200 m3")), qPrintable(line));
    QVERIFY2(!line.contains(QStringLiteral("重心位置")), qPrintable(line)); // that row passes
}

void TstCli::mistakes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("check, nothing") << QStringList{"check"} << QStringLiteral("引数が足りません");
    QTest::newRow("unknown option")
        << QStringList{"check", "--fast", MRB_SAMPLES_DIR} << QStringLiteral("fast");
    QTest::newRow("no such path") << QStringList{"check", "/nonexistent/x.csv"}
                                  << QStringLiteral("/nonexistent/x.csv");
    QTest::newRow("summary without -o")
        << QStringList{"summary", MRB_SAMPLES_DIR} << QStringLiteral("-o");
    QTest::newRow("summary of a file")
        << QStringList{"summary", "-o", "/tmp/never.csv", MRB_SAMPLES_DIR "/block_8t.csv"}
        << QStringLiteral("フォルダではありません");
    QTest::newRow("summary into a missing folder")
        << QStringList{"summary", "-o", "/nonexistent/never.csv", MRB_SAMPLES_DIR}
        << QStringLiteral("never.csv");
    QTest::newRow("info, level no number")
        << QStringList{"info", "--water-level", "HWL", MRB_SAMPLES_DIR "/block_8t.csv"}
        << QStringLiteral("HWL");
    QTest::newRow("scale, mass and factor") << QStringList{"scale",
                                                           "--mass",
                                                           "16",
                                                           "--factor",
                                                           "2",
                                                           "-o",
                                                           "/tmp/never.csv",
                                                           MRB_SAMPLES_DIR "/block_8t.csv"}
                                            << QStringLiteral("--factor");
    QTest::newRow("scale, factor far too large")
        << QStringList{"scale", "--factor",       "1000",
                       "-o",    "/tmp/never.csv", MRB_SAMPLES_DIR "/block_8t.csv"}
        << QStringLiteral("block_8t.csv");
    QTest::newRow("export, scale of the sheet")
        << QStringList{"export", "--format", "sheet",          "--scale",
                       "1:20",   "-o",       "/tmp/never.pdf", MRB_SAMPLES_DIR "/block_8t.csv"}
        << QStringLiteral("--scale");
    QTest::newRow("export, no block")
        << QStringList{"export", "--format",       "dxf",
                       "-o",     "/tmp/never.pdf", MRB_SAMPLES_DIR "/samples.cmake"}
        << QStringLiteral("samples.cmake");
    QTest::newRow("import-dxf, no drawing")
        << QStringList{"import-dxf", "-o", "/tmp/never.csv", MRB_SAMPLES_DIR "/block_8t.csv"}
        << QStringLiteral("block_8t.csv");
    QTest::newRow("catalogue, two folders")
        << QStringList{"catalogue", "-o", "/tmp/never.pdf", MRB_SAMPLES_DIR, MRB_SAMPLES_DIR}
        << QStringLiteral("余分な引数");
}

void TstCli::mistakes()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run r = mrb(args);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/never.csv")));
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/never.pdf")));
}

void TstCli::checkJson()
{
    QTemporaryDir tmp;
    fill(tmp.path(), {"good", "damaged", "failing"});
    const Run r = mrb({QStringLiteral("check"), QStringLiteral("--json"), tmp.path()});
    QCOMPARE(r.status, 2);
    const QStringList lines = r.lines();
    QCOMPARE(lines.size(), 3);
    QList<QJsonObject> objects;
    for (const QString& l : lines) {
        QJsonParseError e;
        const QJsonDocument d = QJsonDocument::fromJson(l.toUtf8(), &e);
        QVERIFY2(e.error == QJsonParseError::NoError && d.isObject(), qPrintable(l));
        objects << d.object();
    }
    QCOMPARE(objects[0][u"file"].toString(), tmp.filePath(QStringLiteral("damaged.csv")));
    QVERIFY(objects[0][u"error"].toString().contains(u"damaged.csv"));

    const QJsonObject bad = objects[1];
    QCOMPARE(bad[u"name"].toString(), QStringLiteral("体積の違うブロック"));
    QCOMPARE(bad[u"verdict"].toString(), QStringLiteral("注意"));
    QCOMPARE(bad[u"V"].toDouble(), 4.2);
    const QJsonArray rows = bad[u"checks"].toArray();
    QCOMPARE(rows.size(), kCheckCount);
    const QJsonObject volume = rows[0].toObject();
    QCOMPARE(volume[u"id"].toString(), QStringLiteral("volume"));
    QCOMPARE(volume[u"verdict"].toString(), QStringLiteral("注意"));
    QCOMPARE(volume[u"stored"].toDouble(), 4.2);
    QVERIFY(volume[u"tolerance"].toDouble() > 0);
    // The centroid has no single computed figure: null, never NaN.
    QVERIFY(rows[1].toObject()[u"computed"].isNull());
    QCOMPARE(rows[1].toObject()[u"positions"].toArray().size(), 2);

    QCOMPARE(objects[2][u"verdict"].toString(), QStringLiteral("合格"));
    QCOMPARE(objects[2][u"cautions"].toInt(), 0);
}

void TstCli::jsonNumbersExact()
{
    // A trapezoid whose figures are no short decimals: A × L = 0.7 × 1.3 and
    // the centroid's distance from (Gx, Gy) carry every binary digit.
    BlkRec b = good();
    b.L = 1.3;
    b.V = 3.7;
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("t.csv"));
    QVERIFY(Blk_Write(b, path).ok);
    BlkRec read;
    QVERIFY(Blk_ReadPath(read, path));
    const BlockCheckReport report = checkBlock(read);

    const Run r = mrb({QStringLiteral("check"), QStringLiteral("--json"), path});
    QCOMPARE(r.status, 1);
    // Python reads the line; repr() gives back exactly the double it read.
    const Run py = python(QStringLiteral("import json,sys\n"
                                         "o = json.loads(sys.stdin.readline())\n"
                                         "for c in o['checks'][:2]:\n"
                                         "    print(repr(c['difference']))\n"
                                         "print(repr(o['checks'][0]['computed']))"),
                          {}, r.out.toUtf8());
    const QStringList got = py.lines();
    QCOMPARE(got.size(), 3);
    const double expected[] = {report.rows[0].difference, report.rows[1].difference,
                               report.rows[0].computed};
    for (int i = 0; i < 3; ++i) {
        QVERIFY(expected[i] != 0 && std::isfinite(expected[i]));
        bool ok = false;
        const double value = got[i].toDouble(&ok);
        QVERIFY2(ok && value == expected[i], qPrintable(got[i] + QStringLiteral(" != ") +
                                                        QString::number(expected[i], 'g', 17)));
    }
}

void TstCli::summaryCsv()
{
    QTemporaryDir tmp;
    // File names in another order than the masses.
    QVERIFY(Blk_Write(weighing(6.5, QStringLiteral("重い 15t型")), tmp.filePath("a.csv")).ok);
    QVERIFY(Blk_Write(weighing(0.9, QStringLiteral("軽い \"2t\" 型")), tmp.filePath("b.csv")).ok);
    QVERIFY(Blk_Write(good(), tmp.filePath("c.CSV")).ok);
    const QString out = tmp.filePath(QStringLiteral("index.csv"));
    const Run r = mrb({QStringLiteral("summary"), QStringLiteral("-o"), out, tmp.path()});
    QCOMPARE(r.status, 1); // two of them have V far from A × L
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(bytes.count("\r\n"), 4);
    QCOMPARE(bytes.count('\n'), 4);

    const Run py =
        python(QStringLiteral("import csv,json,sys\n"
                              "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                              "    print(json.dumps(list(csv.reader(f))))"),
               {out});
    const QJsonArray rows = QJsonDocument::fromJson(py.out.toUtf8()).array();
    QCOMPARE(rows.size(), 4);
    QStringList head;
    for (const QJsonValue v : rows[0].toArray())
        head << v.toString();
    QCOMPARE(head, (QStringList{"名称", "種別", "B (m)", "H (m)", "L (m)", "V (m3)", "質量 (t)",
                                "判定", "ファイル名"}));
    const QStringList names = {"軽い \"2t\" 型", "消波ブロック 8t型", "重い 15t型"};
    const QStringList files = {"b.csv", "c.CSV", "a.csv"};
    const QStringList masses = {"2.070", "8.096", "14.950"};
    const QStringList verdicts = {"注意", "合格", "注意"};
    for (int i = 0; i < 3; ++i) {
        const QJsonArray row = rows[i + 1].toArray();
        QCOMPARE(row.size(), 9);
        QCOMPARE(row[0].toString(), names[i]);
        QCOMPARE(row[1].toString(), QStringLiteral("標準型"));
        QCOMPARE(row[2].toString(), QStringLiteral("2.000"));
        QCOMPARE(row[6].toString(), masses[i]);
        QCOMPARE(row[7].toString(), verdicts[i]);
        QCOMPARE(row[8].toString(), files[i]);
    }
    // Run again: the index it wrote into the folder is no block, and is left out.
    const Run again = mrb({QStringLiteral("summary"), QStringLiteral("-o"), out, tmp.path()});
    QCOMPARE(again.status, 1);
    QCOMPARE(again.err, QString());
}

void TstCli::catalogue()
{
    QTemporaryDir tmp;
    const QString out = tmp.filePath(QStringLiteral("catalogue.pdf"));
    const Run r = mrb({QStringLiteral("catalogue"), QStringLiteral("--json"), QStringLiteral("-o"),
                       out, QStringLiteral(MRB_SAMPLES_DIR)});
    QCOMPARE(r.status, 0);
    const QStringList samples = QDir(QStringLiteral(MRB_SAMPLES_DIR)).entryList({"*.csv"});
    const int n = int(samples.size());
    QCOMPARE(pdfPages(out), n + 1);

    // The index, lightest first, and each sheet on the page it names.
    const QString index = pdfText(out, 1);
    QVERIFY(index.contains(QStringLiteral("ブロック一覧")));
    const QStringList lines = r.lines();
    QCOMPARE(lines.size(), n);
    qsizetype at = 0;
    double lastMass = 0;
    for (const QString& l : lines) {
        const QJsonObject o = QJsonDocument::fromJson(l.toUtf8()).object();
        const QString name = o[u"name"].toString();
        const qsizetype found = index.indexOf(name, at);
        QVERIFY2(found > at, qPrintable(name));
        at = found;
        QVERIFY(o[u"mass"].toDouble() >= lastMass);
        lastMass = o[u"mass"].toDouble();
        const int page = o[u"page"].toInt();
        const QString sheet = pdfText(out, page);
        QVERIFY2(sheet.contains(name), qPrintable(name));
        QVERIFY(sheet.contains(QFileInfo(o[u"file"].toString()).fileName()));
    }
    for (int page = 1; page <= n + 1; ++page)
        QVERIFY2(pdfText(out, page).contains(QRegularExpression(
                     QStringLiteral("\\b%1\\s*/\\s*%2\\b").arg(page).arg(n + 1))),
                 qPrintable(QString::number(page)));
}

void TstCli::catalogueLongIndex()
{
    // One more block than an index page holds: the index goes on a second page.
    QTemporaryDir tmp;
    const int n = 81;
    for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("ブロック%1").arg(n - i, 3, 10, QLatin1Char('0'));
        QVERIFY(Blk_Write(weighing(0.1 * (n - i), name),
                          tmp.filePath(QStringLiteral("b%1.csv").arg(i, 3, 10, QLatin1Char('0'))))
                    .ok);
    }
    const QString out = tmp.filePath(QStringLiteral("c.pdf"));
    const Run r = mrb({QStringLiteral("catalogue"), QStringLiteral("-o"), out, tmp.path()});
    QCOMPARE(r.status, 1);
    QCOMPARE(pdfPages(out), n + 2);
    const QString first = pdfText(out, 1);
    QVERIFY(first.contains(QStringLiteral("ブロック001")));
    QVERIFY(first.contains(QStringLiteral("ブロック080")));
    QVERIFY(!first.contains(QStringLiteral("ブロック081")));
    const QString second = pdfText(out, 2);
    QVERIFY(second.contains(QStringLiteral("ブロック一覧（続き）")));
    QVERIFY(second.contains(QStringLiteral("ブロック081")));
    QVERIFY(pdfText(out, 3).contains(QStringLiteral("ブロック001")));
    QVERIFY(pdfText(out, n + 2).contains(QStringLiteral("ブロック081")));
}

void TstCli::help()
{
    const Run all = mrb({QStringLiteral("--help")});
    QCOMPARE(all.status, 0);
    QVERIFY(all.out.startsWith(QStringLiteral("使い方: mrb_make [ブロックファイル]")));
    for (const char* sub : {"check", "summary", "catalogue"}) {
        QVERIFY2(all.out.contains(QStringLiteral("mrb_make %1 ").arg(QLatin1String(sub))), sub);
        const Run one = mrb({QString::fromLatin1(sub), QStringLiteral("--help")});
        QCOMPARE(one.status, 0);
        QVERIFY(one.out.startsWith(QStringLiteral("使い方: mrb_make %1").arg(QLatin1String(sub))));
        QVERIFY(one.out.contains(QStringLiteral("--json")));
    }
}

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"

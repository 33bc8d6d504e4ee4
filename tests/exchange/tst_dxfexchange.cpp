// DXF export and import. ezdxf, an independent library, reads every export
// and writes the drawings the import reads (make_dxf.py, read_dxf.py).
#include "analysis/testblocks.h"
#include "document/blockfile.h"
#include "exchange/dxfexport.h"
#include "exchange/dxfimport.h"
#include "exchange/dxfnumbers.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

// Debian's python, which has python3-ezdxf (a python of one's own may not).
QString python()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

bool ezdxfMissing()
{
    QProcess p;
    p.start(python(), {QStringLiteral("-c"), QStringLiteral("import ezdxf")});
    return !p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0;
}

QString script(const char* name)
{
    return QStringLiteral(MRB_DXF_SCRIPTS "/") + QLatin1String(name);
}

// What ezdxf makes of a file.
QJsonObject ezdxfRead(const QString& path)
{
    QProcess p;
    p.start(python(), {script("read_dxf.py"), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qWarning() << p.readAllStandardError();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

BlkRec sample(const char* name)
{
    BlkRec b;
    Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/") + QLatin1String(name));
    return b;
}

// Segments as unordered pairs of positions: equal outlines up to numbering.
QSet<QString> segmentSet(const BlkRec& b)
{
    QSet<QString> s;
    for (int i = 1; i <= b.LineCnt; ++i) {
        QString p = QStringLiteral("%1,%2")
                        .arg(b.PntX[b.LineSt[i]], 0, 'g', 17)
                        .arg(b.PntY[b.LineSt[i]], 0, 'g', 17);
        QString q = QStringLiteral("%1,%2")
                        .arg(b.PntX[b.LineEd[i]], 0, 'g', 17)
                        .arg(b.PntY[b.LineEd[i]], 0, 'g', 17);
        s.insert(p < q ? p + u'|' + q : q + u'|' + p);
    }
    return s;
}

QSet<QString> pointSet(const BlkRec& b)
{
    QSet<QString> s;
    for (int i = 1; i <= b.PntCnt; ++i)
        s.insert(QStringLiteral("%1,%2").arg(b.PntX[i], 0, 'g', 17).arg(b.PntY[i], 0, 'g', 17));
    return s;
}

BlkRec imported(const DxfOutlineResult& r)
{
    BlkRec b;
    Dxf::applyOutline(b, r.outline);
    return b;
}

} // namespace

class TestDxfExchange : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;
    QString mMade; // ezdxf's drawings

    QString made(const char* name) const { return mMade + u'/' + QLatin1String(name); }
    DxfReadResult readMade(const char* name) const
    {
        return Dxf::read(readAll(made(name)), QLatin1String(name));
    }

private slots:
    void initTestCase()
    {
        if (ezdxfMissing())
            return; // the tests that need ezdxf skip themselves
        mMade = mDir.filePath(QStringLiteral("made"));
        QDir().mkpath(mMade);
        QProcess p;
        p.start(python(), {script("make_dxf.py"), mMade});
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    }

    void shiftDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("places");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.235 m") << 1.235 << 3 << "1235";
        QTest::newRow("0.1 m") << 0.1 << 3 << "100";
        QTest::newRow("-2.5 m") << -2.5 << 3 << "-2500";
        QTest::newRow("1.2345678 m") << 1.2345678 << 3 << "1234.5678";
        QTest::newRow("1235 mm") << 1235.0 << -3 << "1.235";
        QTest::newRow("0.3 mm") << 0.3 << -3 << "0.0003";
    }
    void shiftDecimal()
    {
        QFETCH(double, value);
        QFETCH(int, places);
        QFETCH(QString, text);
        QCOMPARE(
            QString::fromStdString(DxfNumbers::shortest(DxfNumbers::shiftDecimal(value, places))),
            text);
    }

    // ezdxf reads the export: R12, cp932 layers and texts, exact coordinates.
    void exportReadByEzdxf_data()
    {
        QTest::addColumn<DxfUnit>("unit");
        QTest::addColumn<double>("scale");
        QTest::newRow("mm") << DxfUnit::Millimetre << 1000.0;
        QTest::newRow("m") << DxfUnit::Metre << 1.0;
    }
    void exportReadByEzdxf()
    {
        if (mMade.isEmpty())
            QSKIP("python3-ezdxf is not installed");
        QFETCH(DxfUnit, unit);
        QFETCH(double, scale);
        BlkRec b = sample("block_4t_chamfer.csv");
        b.PntX[2] = 1.2345678; // more decimals than a block file keeps
        const DxfExportResult r = Dxf::exportBlock(b, {unit});
        QVERIFY2(r.ok(), qPrintable(r.error));
        const QString path = mDir.filePath(QStringLiteral("export.dxf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(r.bytes);
        f.close();

        const QJsonObject e = ezdxfRead(path);
        QCOMPARE(e[u"version"].toString(), QStringLiteral("AC1009"));
        QCOMPARE(e[u"codepage"].toString(), QStringLiteral("ANSI_932"));
        QCOMPARE(e[u"encoding"].toString(), QStringLiteral("cp932"));
        for (const char* layer : {"外形", "点番号", "重心", "寸法"})
            QVERIFY2(e[u"layers"].toArray().contains(QString::fromUtf8(layer)), layer);

        // Every segment, end points exact (X mm = X m × 1000, decimally).
        const QJsonArray lines = e[u"lines"][QStringLiteral("外形")].toArray();
        QCOMPARE(lines.size(), b.LineCnt);
        for (int i = 1; i <= b.LineCnt; ++i) {
            const QJsonArray l = lines[i - 1].toArray();
            const int s = b.LineSt[i], t = b.LineEd[i];
            auto expect = [&](double m) { return scale == 1 ? m : DxfNumbers::shiftDecimal(m, 3); };
            QCOMPARE(l[0].toDouble(), expect(b.PntX[s]));
            QCOMPARE(l[1].toDouble(), expect(b.PntY[s]));
            QCOMPARE(l[2].toDouble(), expect(b.PntX[t]));
            QCOMPARE(l[3].toDouble(), expect(b.PntY[t]));
        }
        QCOMPARE(lines[0].toArray()[0].toDouble() == 0 ? 0.0 : 1.0,
                 1.0 * (b.PntX[b.LineSt[1]] != 0));
        // The point numbers, and the unit said in words on 寸法.
        const QJsonArray numbers = e[u"texts"][QStringLiteral("点番号")].toArray();
        QCOMPARE(numbers.size(), b.PntCnt);
        QCOMPARE(numbers[b.PntCnt - 1].toArray()[0].toString(), QString::number(b.PntCnt));
        QStringList dims;
        for (const QJsonValue& t : e[u"texts"][QStringLiteral("寸法")].toArray())
            dims << t.toArray()[0].toString();
        QVERIFY2(dims.contains(QStringLiteral("単位: ") + Dxf::unitName(unit)),
                 qPrintable(dims.join(u';')));
        QVERIFY(dims.contains(unit == DxfUnit::Millimetre
                                  ? QStringLiteral("B = %1 mm").arg(b.B * 1000)
                                  : QStringLiteral("B = %1 m").arg(b.B, 0, 'f', 3)));
        const QJsonArray g = e[u"circles"][QStringLiteral("重心")].toArray();
        QCOMPARE(g.size(), 1);
        QCOMPARE(g[0].toArray()[0].toDouble(),
                 scale == 1 ? b.Gx : DxfNumbers::shiftDecimal(b.Gx, 3));
    }

    void exportRefusesWhatCannotBeDrawn()
    {
        BlkRec b = sample("block_2t.csv");
        b.PntY[3] = std::numeric_limits<double>::infinity();
        const DxfExportResult r = Dxf::exportBlock(b);
        QVERIFY(!r.ok());
        QVERIFY(r.bytes.isEmpty());
        QVERIFY2(r.error.contains(QStringLiteral("点 3")), qPrintable(r.error));
    }

    // Done when: a sample exported and imported again is the same outline.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<DxfUnit>("unit");
        const QDir dir(QStringLiteral(MRB_SAMPLES_DIR));
        for (const QString& name : dir.entryList({QStringLiteral("*.csv")}, QDir::Files)) {
            QTest::newRow(qPrintable(name + QStringLiteral(" mm")))
                << dir.filePath(name) << DxfUnit::Millimetre;
            QTest::newRow(qPrintable(name + QStringLiteral(" m")))
                << dir.filePath(name) << DxfUnit::Metre;
        }
    }
    void roundTrip()
    {
        QFETCH(QString, path);
        QFETCH(DxfUnit, unit);
        BlkRec b;
        QVERIFY(Blk_ReadPath(b, path));
        const DxfOutlineResult r =
            Dxf::import(Dxf::exportBlock(b, {unit}).bytes, QStringLiteral("x.dxf"));
        QVERIFY2(r.ok(), qPrintable(r.error));
        const BlkRec back = imported(r);
        QCOMPARE(back.PntCnt, b.PntCnt);
        QCOMPARE(back.LineCnt, b.LineCnt);
        QCOMPARE(pointSet(back), pointSet(b));
        QCOMPARE(segmentSet(back), segmentSet(b));
    }

    void layersListed()
    {
        if (mMade.isEmpty())
            QSKIP("python3-ezdxf is not installed");
        const DxfReadResult r = readMade("layers.dxf");
        QVERIFY2(r.ok(), qPrintable(r.error));
        QMap<QString, QPair<int, int>> counts;
        for (const DxfLayerInfo& l : r.drawing.layers)
            counts[l.name] = {l.entities, l.importable};
        QCOMPARE(counts.value(QStringLiteral("本体")), qMakePair(4, 4));
        QCOMPARE(counts.value(QStringLiteral("穴")), qMakePair(1, 1));
        QCOMPARE(counts.value(QStringLiteral("注記")), qMakePair(1, 0));
        QVERIFY(counts.contains(QStringLiteral("0")));
        // No "外形": every layer is chosen beforehand.
        QCOMPARE(Dxf::defaultLayers(r.drawing).size(), r.drawing.layers.size());
        QCOMPARE(Dxf::import(readAll(made("layers.dxf")), {}).outline.segments.size(),
                 size_t(4 + 10)); // the square, and 10 chords of the circle (r 100 mm, 5 mm)
        QCOMPARE(Dxf::unitFor(r.drawing, DxfUnitChoice::FromFile), DxfUnit::Millimetre);
    }

    // The closed polyline on "外形", in each version and unit, comes in as the
    // outline in metres with its lower-left corner at the origin.
    void outlineFromEzdxf_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<DxfUnitChoice>("unit");
        for (const char* v : {"R12", "R2000", "R2018"}) {
            for (const char* u : {"mm", "m"}) {
                const QString file =
                    QStringLiteral("outline_%1_%2.dxf").arg(QLatin1String(v), QLatin1String(u));
                // R12 has no unit variable: metres are chosen by the user.
                const DxfUnitChoice c = QLatin1String(v) == QLatin1String("R12") &&
                                                QLatin1String(u) == QLatin1String("m")
                                            ? DxfUnitChoice::Metre
                                            : DxfUnitChoice::FromFile;
                QTest::newRow(qPrintable(file)) << file << c;
            }
        }
    }
    void outlineFromEzdxf()
    {
        if (mMade.isEmpty())
            QSKIP("python3-ezdxf is not installed");
        QFETCH(QString, file);
        QFETCH(DxfUnitChoice, unit);
        DxfImportOptions o;
        o.unit = unit;
        const DxfOutlineResult r = Dxf::import(readAll(mMade + u'/' + file), file, o);
        QVERIFY2(r.ok(), qPrintable(r.error));
        const BlkRec b = imported(r);
        const BlkRec expect = loopsBlock({{{0, 0}, {2, 0}, {2, 1.5}, {0.5, 1.5}}});
        QCOMPARE(pointSet(b), pointSet(expect));
        QCOMPARE(segmentSet(b), segmentSet(expect));
    }

    void keepOrigin()
    {
        if (mMade.isEmpty())
            QSKIP("python3-ezdxf is not installed");
        DxfImportOptions o;
        o.moveToOrigin = false;
        const BlkRec b = imported(Dxf::import(readAll(made("outline_R2000_mm.dxf")), {}, o));
        QCOMPARE(pointSet(b), pointSet(loopsBlock({{{3, 2}, {5, 2}, {5, 3.5}, {3.5, 3.5}}})));
    }

    void layerFilter()
    {
        if (mMade.isEmpty())
            QSKIP("python3-ezdxf is not installed");
        DxfImportOptions o;
        o.layers = {QStringLiteral("寸法")};
        const BlkRec b = imported(Dxf::import(readAll(made("outline_R2018_mm.dxf")), {}, o));
        QCOMPARE(b.PntCnt, 2);
        QCOMPARE(b.LineCnt, 1);
        o.layers = {QStringLiteral("無い画層")};
        const DxfOutlineResult none =
            Dxf::import(readAll(made("outline_R2018_mm.dxf")), QStringLiteral("a.dxf"), o);
        QVERIFY(none.error.contains(QStringLiteral("無い画層")));
    }

    // Lines whose ends are 0.3 mm apart meet at the default 0.5 mm, not at 0.1 mm.
    void mergedEndPoints_data()
    {
        QTest::addColumn<double>("tolerance");
        QTest::addColumn<int>("points");
        QTest::newRow("0.5 mm") << 0.5 << 4;
        QTest::newRow("0.1 mm") << 0.1 << 8;
    }
    void mergedEndPoints()
    {
        if (mMade.isEmpty())
            QSKIP("python3-ezdxf is not installed");
        QFETCH(double, tolerance);
        QFETCH(int, points);
        DxfImportOptions o;
        o.layers = {QStringLiteral("本体")};
        o.toleranceMm = tolerance;
        const DxfOutlineResult r = Dxf::import(readAll(made("layers.dxf")), {}, o);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(int(r.outline.points.size()), points);
        QCOMPARE(int(r.outline.segments.size()), 4);
    }

    // Arcs and bulges become chords no farther than the deviation from the arc.
    void arcsAsChords_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("deviation");
        QTest::addColumn<double>("cx");
        QTest::addColumn<double>("cy");
        QTest::addColumn<double>("radius");
        // The quarter circle about (0, 0); the half circle about (1000, 500) mm.
        QTest::newRow("ARC 5 mm") << "arc.dxf" << 5.0 << 0.0 << 0.0 << 0.5;
        QTest::newRow("ARC 1 mm") << "arc.dxf" << 1.0 << 0.0 << 0.0 << 0.5;
        QTest::newRow("bulge 5 mm") << "bulge.dxf" << 5.0 << 1.0 << 0.5 << 0.5;
        QTest::newRow("bulge 0.5 mm") << "bulge.dxf" << 0.5 << 1.0 << 0.5 << 0.5;
    }
    void arcsAsChords()
    {
        if (mMade.isEmpty())
            QSKIP("python3-ezdxf is not installed");
        QFETCH(QString, file);
        QFETCH(double, deviation);
        QFETCH(double, cx);
        QFETCH(double, cy);
        QFETCH(double, radius);
        DxfImportOptions o;
        o.deviationMm = deviation;
        o.moveToOrigin = false;
        const DxfOutlineResult r = Dxf::import(readAll(mMade + u'/' + file), file, o);
        QVERIFY2(r.ok(), qPrintable(r.error));
        int chords = 0;
        for (auto [a, b] : r.outline.segments) {
            const QPointF p = r.outline.points[a], q = r.outline.points[b];
            auto onCircle = [&](QPointF x) {
                return std::fabs(std::hypot(x.x() - cx, x.y() - cy) - radius) < 1e-9;
            };
            if (!onCircle(p) || !onCircle(q))
                continue;
            ++chords;
            const QPointF mid = (p + q) / 2;
            const double gap = radius - std::hypot(mid.x() - cx, mid.y() - cy);
            QVERIFY2(gap <= deviation / 1000 + 1e-12, qPrintable(QString::number(gap)));
        }
        // Not one chord more than needed: fewer would be farther than allowed.
        const double sweep = file == QLatin1String("arc.dxf") ? M_PI / 2 : M_PI;
        const int least = int(std::ceil(sweep / (2 * std::acos(1 - deviation / 1000 / radius))));
        QCOMPARE(chords, least);
        // The outline stays closed: every point ends two segments.
        QCOMPARE(r.outline.points.size(), r.outline.segments.size());
    }

    void limitOf100_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("101 points") << "limit.dxf"
                                    << "点が 101 個、線分が 100 本";
        QTest::newRow("100 points") << "limit100.dxf"
                                    << "";
    }
    void limitOf100()
    {
        if (mMade.isEmpty())
            QSKIP("python3-ezdxf is not installed");
        QFETCH(QString, file);
        QFETCH(QString, error);
        const DxfOutlineResult r = Dxf::import(readAll(mMade + u'/' + file), file);
        if (error.isEmpty()) {
            QVERIFY2(r.ok(), qPrintable(r.error));
            QCOMPARE(imported(r).PntCnt, 100);
        } else {
            QVERIFY2(r.error.contains(error), qPrintable(r.error));
            QVERIFY(r.error.contains(file));
        }
    }

    // Damaged files and files that are no DXF: a message naming the file and
    // the line, never a crash or a hang.
    void damaged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray good = Dxf::exportBlock(sample("block_2t.csv")).bytes;
        const int lines = int(good.count('\n'));
        QTest::newRow("empty") << QByteArray() << "空のファイル";
        QTest::newRow("block file") << readAll(QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv"))
                                    << "DXF ファイルではありません (1 行目)";
        QTest::newRow("cut in the middle")
            << good.left(good.indexOf("LINE") + 20) << "壊れています (";
        QTest::newRow("cut after a code")
            << QByteArray("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n") << "壊れています (7 行目)";
        QTest::newRow("no EOF") << good.left(good.lastIndexOf("EOF") - 4)
                                << QStringLiteral("壊れています (%1 行目)")
                                       .arg(lines - 2); // the last line left: ENDSEC
        QTest::newRow("letters for a number")
            << QByteArray("0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\nabc\n0\nENDSEC\n0\nEOF\n")
            << "壊れています (10 行目)";
        QTest::newRow("long line") << QByteArray("0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n") +
                                          QByteArray(5000, 'x') + "\n0\nENDSEC\n0\nEOF\n"
                                   << "壊れています (8 行目)";
        QTest::newRow("vertex count 2^30")
            << QByteArray("0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n8\n0\n90\n1073741824\n10\n0\n20"
                          "\n0\n0\nENDSEC\n0\nEOF\n")
            << "壊れています (5 行目)";
        QTest::newRow("bulge before vertex")
            << QByteArray("0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n90\n1\n42\n1\n10\n0\n20\n0\n0\nE"
                          "NDSEC\n0\nEOF\n")
            << "壊れています (9 行目)";
        QTest::newRow("binary") << QByteArray("AutoCAD Binary DXF\r\n\x1a\0", 22) << "バイナリ";
        QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11)
                                 << "DXF ファイルではありません (1 行目)";
    }
    // An arc seen from below (extrusion -Z) is mirrored into the plane; one
    // in another plane is refused, naming its line.
    void extrusion_data()
    {
        QTest::addColumn<QByteArray>("normal");
        QTest::addColumn<QString>("error");
        QTest::newRow("+Z") << QByteArray("0\n220\n0\n230\n1") << "";
        QTest::newRow("-Z") << QByteArray("0\n220\n0\n230\n-1") << "";
        QTest::newRow("+X") << QByteArray("1\n220\n0\n230\n0")
                            << "5 行目の図形は XY 平面にありません";
    }
    void extrusion()
    {
        QFETCH(QByteArray, normal);
        QFETCH(QString, error);
        const QByteArray dxf =
            "0\nSECTION\n2\nENTITIES\n0\nARC\n8\n外形\n10\n100\n20\n0\n30\n0\n40\n100\n"
            "50\n0\n51\n90\n210\n" +
            normal + "\n0\nENDSEC\n0\nEOF\n";
        DxfImportOptions o;
        o.moveToOrigin = false;
        const DxfOutlineResult r = Dxf::import(dxf, QStringLiteral("a.dxf"), o);
        if (!error.isEmpty()) {
            QVERIFY2(r.error.contains(error), qPrintable(r.error));
            return;
        }
        QVERIFY2(r.ok(), qPrintable(r.error));
        const double side = normal.endsWith("-1") ? -1 : 1; // the x of the centre, in 0.1 m
        auto near = [](QPointF a, QPointF b) {
            return std::hypot(a.x() - b.x(), a.y() - b.y()) < 1e-12;
        };
        bool end1 = false, end2 = false;
        for (const QPointF& p : r.outline.points) {
            QVERIFY(std::fabs(std::hypot(p.x() - side * 0.1, p.y()) - 0.1) < 1e-12);
            QVERIFY(side * p.x() >= 0.1 - 1e-12 &&
                    p.y() >= -1e-12); // the quarter away from the origin
            end1 = end1 || near(p, {side * 0.2, 0});
            end2 = end2 || near(p, {side * 0.1, 0.1});
        }
        QVERIFY(end1 && end2);
    }

    // What some programs write around a drawing does not make it damaged.
    void tolerated_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray line =
            "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n  8\r\n外形\r\n"
            " 10\r\n0\r\n 20\r\n0\r\n 11\r\n1000\r\n 21\r\n0\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
        QTest::newRow("plain") << line;
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + line;
        QTest::newRow("end-of-file mark after EOF") << line + "\x1a";
        QTest::newRow("blank lines after EOF") << line + "\r\n\r\n";
        QTest::newRow("LF line ends") << QByteArray(line).replace("\r\n", "\n");
    }
    void tolerated()
    {
        QFETCH(QByteArray, bytes);
        const DxfOutlineResult r = Dxf::import(bytes, QStringLiteral("a.dxf"));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.outline.points.size(), size_t(2));
        // No code page given: the UTF-8 layer name is read as UTF-8.
        QCOMPARE(Dxf::defaultLayers(Dxf::read(bytes, {}).drawing),
                 QStringList{QStringLiteral("外形")});
    }

    void damaged()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const DxfReadResult r = Dxf::read(bytes, QStringLiteral("壊れた.dxf"));
        QVERIFY(!r.ok());
        QVERIFY2(r.error.contains(message), qPrintable(r.error));
        if (!bytes.isEmpty())
            QVERIFY(r.error.contains(QStringLiteral("「壊れた.dxf」")));
    }
};

QTEST_GUILESS_MAIN(TestDxfExchange)
#include "tst_dxfexchange.moc"

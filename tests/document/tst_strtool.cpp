#include "document/strtool.h"

#include "document/cp932.h"

#include <QTest>

class TstStrtool : public QObject
{
    Q_OBJECT
private slots:
    void strFmt_data();
    void strFmt();
    void numFmt_data();
    void numFmt();
    void listLineColumns_data();
    void listLineColumns();
};

namespace {

QString fullWidth(int n)
{
    return QString(n, u'ブ');
}

} // namespace

void TstStrtool::strFmt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("result");
    QTest::newRow("ascii left") << "abc" << 6 << 1 << "abc   ";
    QTest::newRow("ascii right") << "abc" << 6 << 0 << "   abc";
    QTest::newRow("any non-zero is left") << "abc" << 5 << -1 << "abc  ";
    QTest::newRow("full width counts two")
        << QStringLiteral("名称") << 6 << 1 << QStringLiteral("名称  ");
    QTest::newRow("half-width kana counts one")
        << QStringLiteral("ｱｲｳ") << 5 << 0 << QStringLiteral("  ｱｲｳ");
    QTest::newRow("mixed") << QStringLiteral("A型") << 10 << 1 << QStringLiteral("A型       ");
    QTest::newRow("exactly 20 columns") << fullWidth(10) << 20 << 1 << fullWidth(10);
    QTest::newRow("wider is never cut") << fullWidth(11) << 20 << 1 << fullWidth(11);
    QTest::newRow("one column short")
        << QStringLiteral("ab型") << 5 << 0 << QStringLiteral(" ab型");
    QTest::newRow("empty") << QString() << 3 << 1 << "   ";
    QTest::newRow("width 0") << "x" << 0 << 0 << "x";
    QTest::newRow("negative width") << "xy" << -4 << 1 << "xy";
}

void TstStrtool::strFmt()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, left);
    QFETCH(QString, result);
    QCOMPARE(Str_Fmt(text, qint16(width), qint16(left)), result);
}

void TstStrtool::numFmt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("plus");
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("result");
    QTest::newRow("B = 2.5") << 2.5 << 8 << 3 << 0 << 0 << "   2.500";
    QTest::newRow("negative") << -2.5 << 8 << 3 << 0 << 0 << "  -2.500";
    QTest::newRow("leading digit") << 0.5 << 0 << 3 << 0 << 0 << "0.500";
    QTest::newRow("plus") << 2.5 << 8 << 3 << 1 << 0 << "  +2.500";
    QTest::newRow("plus only for 1") << 2.5 << 8 << 3 << 2 << 0 << "   2.500";
    QTest::newRow("no plus on negative") << -2.5 << 8 << 3 << 1 << 0 << "  -2.500";
    QTest::newRow("no plus on zero") << 0.0 << 8 << 3 << 1 << 0 << "   0.000";
    QTest::newRow("left") << 2.5 << 8 << 3 << 0 << 1 << "2.500   ";
    QTest::newRow("V in 9") << 123.4567 << 9 << 3 << 0 << 0 << "  123.457";
    QTest::newRow("exactly as wide") << 1234.5 << 8 << 3 << 0 << 0 << "1234.500";
    QTest::newRow("wider is not cut") << 12345678.9 << 8 << 3 << 0 << 0 << "12345678.900";
    QTest::newRow("no grouping") << 1234567.0 << 12 << 1 << 0 << 0 << "   1234567.0";
    QTest::newRow("no decimals") << 7.5 << 3 << 0 << 0 << 0 << "  8";
}

void TstStrtool::numFmt()
{
    QFETCH(double, value);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(int, plus);
    QFETCH(int, left);
    QFETCH(QString, result);
    QCOMPARE(Num_Fmt(value, qint16(width), qint16(decimals), qint16(plus), qint16(left)), result);
}

void TstStrtool::listLineColumns_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("nameField"); // cp932 bytes of the padded name column
    QTest::newRow("short name") << QStringLiteral("ﾃｽﾄ型")
                                << QByteArray::fromHex("c3bdc48c5e") + QByteArray(15, ' ');
    QTest::newRow("20 columns") << fullWidth(10) << QByteArray::fromHex("8375").repeated(10);
    QTest::newRow("22 columns pushes on")
        << fullWidth(11) << QByteArray::fromHex("8375").repeated(11);
}

void TstStrtool::listLineColumns()
{
    // The line of the shape-selection list, whose columns are cp932 bytes.
    QFETCH(QString, name);
    QFETCH(QByteArray, nameField);
    const QString line = Str_Fmt(name, 20, 1) + u' ' + Str_Fmt(QStringLiteral("A型"), 10, 1) +
                         u' ' + Num_Fmt(2.5, 8, 3, 0, 0) + u' ' + Num_Fmt(-1.25, 8, 3, 0, 0) +
                         u' ' + Num_Fmt(10, 8, 3, 0, 0) + u' ' + Num_Fmt(4.2, 9, 3, 0, 0);
    const QByteArray expected = nameField + ' ' + QByteArray::fromHex("418c5e") +
                                QByteArray(7, ' ') + ' ' + "   2.500" + ' ' + "  -1.250" + ' ' +
                                "  10.000" + ' ' + "    4.200";
    QByteArray bytes;
    QVERIFY(Cp932::encode(line, bytes));
    QCOMPARE(bytes, expected);
}

QTEST_GUILESS_MAIN(TstStrtool)
#include "tst_strtool.moc"

#include "dialogs/frmabout.h"
#include "dialogs/helpwindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TstAboutAndHelp : public QObject
{
    Q_OBJECT
private slots:
    void versionLine_data();
    void versionLine();
    void helpLocation_data();
    void helpLocation();
    void helpOpensAtContents();
};

void TstAboutAndHelp::versionLine_data()
{
    QTest::addColumn<QByteArray>("content"); // "-" for no file at all
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain line") << QByteArray("2.1.0\r\n") << "Ver. 2.1.0";
    QTest::newRow("quoted first field") << QByteArray("\"2.1.0\",second\r\n") << "Ver. 2.1.0";
    QTest::newRow("blanks, then up to the comma") << QByteArray("  1.0.2,x") << "Ver. 1.0.2";
    QTest::newRow("empty file") << QByteArray() << "Ver. X.X.X";
    QTest::newRow("missing file") << QByteArray("-") << "Ver. X.X.X";
}

void TstAboutAndHelp::versionLine()
{
    QFETCH(QByteArray, content);
    QTemporaryDir exe;
    QTemporaryDir data;
    if (content != "-")
        write(data.path() + QStringLiteral("/SYSVER.DAT"), content);
    // Beside the executable first; an installed program keeps it in its data folder.
    frmAbout about({exe.path(), data.path() + u'/'});
    QTEST(about.lblTitle(1)->text(), "shown");
    QCOMPARE(about.lblTitle(0)->text(), QStringLiteral("直立消波ブロックデータ作成"));
    QCOMPARE(about.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QVERIFY(about.cmdOK()->isDefault());
    QCOMPARE(about.lblTitle(0)->font().family(), QStringLiteral("IPAPGothic"));
    QVERIFY(about.lblTitle(0)->font().bold());
    // The first place wins.
    write(exe.path() + QStringLiteral("/SYSVER.DAT"), "9.9.9");
    QCOMPARE(frmAbout::versionOf(frmAbout::versionFile({exe.path(), data.path()})),
             QStringLiteral("9.9.9"));
}

void TstAboutAndHelp::helpLocation_data()
{
    QTest::addColumn<bool>("trailingSlash");
    QTest::addColumn<int>("holder"); // which folder has the help: 0, 1, or -1 none
    QTest::newRow("beside the executable, with /") << true << 0;
    QTest::newRow("beside the executable, without /") << false << 0;
    QTest::newRow("installed data folder") << false << 1;
    QTest::newRow("none found") << true << -1;
}

void TstAboutAndHelp::helpLocation()
{
    QFETCH(bool, trailingSlash);
    QFETCH(int, holder);
    QTemporaryDir a;
    QTemporaryDir b;
    const QStringList dirs{a.path() + (trailingSlash ? "/" : ""), b.path()};
    if (holder >= 0)
        write(QDir(dirs[holder]).filePath(QStringLiteral("MRB_MAKE/index.html")), "<p>x</p>");
    const QString found = HelpWindow::Help_Find(dirs);
    if (holder < 0) {
        QVERIFY(found.isEmpty());
        // The message names every place looked in, each without a doubled separator.
        const QString places = HelpWindow::searchedPlaces(dirs);
        QCOMPARE(places.split(u'\n').size(), 2);
        QVERIFY(!places.contains(QStringLiteral("//")));
        QVERIFY(places.contains(a.path() + QStringLiteral("/MRB_MAKE/index.html")));
        return;
    }
    QCOMPARE(found, QDir(dirs[holder]).filePath(QStringLiteral("MRB_MAKE/index.html")));
}

void TstAboutAndHelp::helpOpensAtContents()
{
    QTemporaryDir d;
    write(d.path() + QStringLiteral("/MRB_MAKE/index.html"),
          "<h1>目次</h1><a href=\"view.html\">表示</a>");
    write(d.path() + QStringLiteral("/MRB_MAKE/view.html"), "<h1>表示メニュー</h1>");
    QWidget owner;
    HelpWindow help(&owner);
    help.showContents(HelpWindow::Help_Find({d.path()}));
    QVERIFY(help.isVisible());
    QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("目次")));
    help.browser()->setSource(QUrl(QStringLiteral("view.html")));
    QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("表示メニュー")));
    // 目次 goes back to the contents page.
    help.findChild<QAbstractButton*>(QStringLiteral("HelpContents"))->click();
    QVERIFY(help.browser()->toPlainText().contains(QStringLiteral("目次")));
    QCOMPARE(help.parentWidget(), &owner);
}

QTEST_MAIN(TstAboutAndHelp)
#include "tst_aboutandhelp.moc"

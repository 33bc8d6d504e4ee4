#include "common/scriptedprompts.h"
#include "document/blockfile.h"
#include "document/recovery.h"
#include "mainwindow/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// The child is this same executable, started with these variables set: a
// real program with its own folders, ended by a signal from the test.
const char kChildVar[] = "MRB_SESSION_CHILD";

DataPathPlaces placesFrom(const QString& root)
{
    return {root + QStringLiteral("/exe/"), root + QStringLiteral("/cfg/"),
            root + QStringLiteral("/state/")};
}

// Opens the block, deletes all its segments (a modified block, not yet in
// the recovery copy), says "ready" and runs until it is ended.
int childMain(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString root = qEnvironmentVariable(kChildVar);
    auto mod = std::make_unique<Module1>();
    auto blk = std::make_unique<basMr_Blk>();
    ScriptedPrompts prompts;
    frmMain w(*mod, *blk, placesFrom(root), &prompts);
    w.watchSessionEnd();
    w.show();
    w.openAtStart(root + QStringLiteral("/data/blk.csv"));
    w.menuItem(QStringLiteral("mnuLineDelAll"))->trigger();
    const qsizetype before = prompts.shown.size();
    std::printf("ready\n");
    std::fflush(stdout);
    const int rc = app.exec();
    std::printf("asked %d\n", int(prompts.shown.size() - before));
    return rc;
}

} // namespace

class TstSessionEnd : public QObject
{
    Q_OBJECT
private slots:
    void signalKeepsTheEdit_data();
    void signalKeepsTheEdit();
};

void TstSessionEnd::signalKeepsTheEdit_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TstSessionEnd::signalKeepsTheEdit()
{
    QFETCH(int, signalNumber);
    QTemporaryDir root;
    const DataPathPlaces places = placesFrom(root.path());
    const QString data = root.filePath(QStringLiteral("data"));
    for (const QString& d : {places.exeDir, places.configDir, data})
        QVERIFY(QDir().mkpath(d));
    QVERIFY(QFile::copy(QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv"), data + "/blk.csv"));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVar), root.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), root.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QByteArray out;
    while (!out.contains("ready\n") && child.waitForReadyRead(10000))
        out += child.readAllStandardOutput();
    QVERIFY2(out.contains("ready\n"), out.constData());

    QCOMPARE(::kill(pid_t(child.processId()), signalNumber), 0);
    QVERIFY2(child.waitForFinished(10000), "the program did not end");
    out += child.readAllStandardOutput();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(out.contains("asked 0\n"), out.constData()); // ended without a question

    // The data folder remembered, the lock gone, the edit kept.
    QFile mrdtpath(places.exeDir + QLatin1String(kMrDtPathName));
    QVERIFY(mrdtpath.open(QIODevice::ReadOnly));
    QCOMPARE(mrdtpath.readAll(), QFile::encodeName(data) + "/\r\n");
    QCOMPARE(QDir(data).entryList(QDir::Files | QDir::Hidden), QStringList{"blk.csv"});
    QCOMPARE(Recovery::orphans(places.stateDir).size(), 1);

    // The next start offers it back.
    auto mod = std::make_unique<Module1>();
    auto blk = std::make_unique<basMr_Blk>();
    ScriptedPrompts prompts;
    prompts.yesNoAnswers << true;
    frmMain next(*mod, *blk, places, &prompts);
    next.offerRecovery();
    const QStringList offered = prompts.kind(QStringLiteral("yesNo"));
    QCOMPARE(offered.size(), 1);
    QVERIFY2(offered[0].contains(QStringLiteral("消波ブロック 2t型")), qPrintable(offered[0]));
    QCOMPARE(mod->BlkData.LineCnt, qint16(0));
    QVERIFY(mod->BlkData.PntCnt > 0);
    QVERIFY(Data_Modified(*mod));
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(kChildVar))
        return childMain(argc, argv);
    QApplication app(argc, argv);
    TstSessionEnd test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sessionend.moc"

#include "common/scriptedprompts.h"
#include "dialogs/form9.h"
#include "document/blockfile.h"
#include "editing/undostack.h"
#include "mainwindow/filecommands.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct FakeHost : FileCommandsHost
{
    QString caption = QStringLiteral("直立消波ブロック設定");
    int fits = 0;
    int refreshes = 0;
    QStringList used;
    QWidget* dialogParent() override { return nullptr; }
    void Raber_Reset() override {}
    void Menu_Enable() override {}
    void refresh() override { ++refreshes; }
    void fitViewToBlock() override { ++fits; }
    void setCaption(const QString& c) override { caption = c; }
    void undoChanged() override {}
    void documentChanged(const QString& path) override { used << path; }
};

BlkRec sampleBlock(double v)
{
    BlkRec r;
    r.Name = QStringLiteral("試験");
    r.B = 2;
    r.H = 1.5;
    r.L = 3;
    r.V = v;
    r.PntCnt = 2;
    r.PntX[2] = 2;
    return r;
}

struct Rig
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    FakeHost host;
    std::unique_ptr<Module1> mod = std::make_unique<Module1>();
    basMr_Blk blk;
    std::unique_ptr<FileCommands> files;

    Rig()
    {
        blk.DataPath = dir.path() + u'/';
        blk.DataName = QStringLiteral("無題");
        files = std::make_unique<FileCommands>(*mod, blk, blk.DataPath, prompts, host);
        QVERIFY(Blk_Write(sampleBlock(4.2), path("good.csv")).ok);
    }
    QString path(const QString& name) const { return dir.path() + u'/' + name; }

    // A modified block with one undo entry.
    void modify()
    {
        Undo_Push(*mod, mod->BlkData, QStringLiteral("諸条件修正"));
        mod->BlkData.V = 9;
    }
    // The shape-selection dialog answers with this name (after a folder change).
    void chooseInDialog(const QString& name, const QString& folder = {})
    {
        prompts.onExec = [this, name, folder](QDialog& d) {
            if (!folder.isEmpty())
                blk.DataPath = folder;
            // As the dialog does: the name and the path it was listed under.
            static_cast<Form9&>(d).BlkNm = name;
            static_cast<Form9&>(d).BlkPath =
                name.isEmpty() ? QString() : Blk_FindFile(blk.DataPath, name);
            return int(QDialog::Accepted);
        };
    }
};

} // namespace

class TstFileCommands : public QObject
{
    Q_OBJECT
private slots:
    void flows_data();
    void flows();
    void savedNameAlwaysEndsInCsv_data();
    void savedNameAlwaysEndsInCsv();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void failedOpenChangesNothing();
    void cancelInChooserKeepsFolderChange();
    void changedOnDiskAsksBeforeWrite_data();
    void changedOnDiskAsksBeforeWrite();
    void lockFollowsTheOpenFile_data();
    void lockFollowsTheOpenFile();
};

// command: New, Open or Close (the close request's prompt); the block is
// modified before it; answer to the prompt; the save dialog's answer.
void TstFileCommands::flows_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer"); // Prompts::Answer
    QTest::addColumn<QString>("saveAs");
    QTest::addColumn<int>("confirm");     // what Save_Confirm returned
    QTest::addColumn<QString>("caption"); // after the command
    QTest::addColumn<double>("volume");
    QTest::addColumn<bool>("stillModified");
    QTest::addColumn<bool>("savedFile"); // saved.csv written
    using A = Prompts::Answer;
    const QString base = QStringLiteral("直立消波ブロック設定");
    const QString good = base + QStringLiteral(" - good");
    const QString saved = base + QStringLiteral(" - saved");
    QTest::newRow("new, not modified")
        << "New" << false << int(A::Cancel) << "" << 1 << base << 0.0 << false << false;
    QTest::newRow("new, cancel") << "New" << true << int(A::Cancel) << "" << 2 << base << 9.0
                                 << true << false;
    QTest::newRow("new, no") << "New" << true << int(A::No) << "" << 1 << base << 0.0 << false
                             << false;
    QTest::newRow("new, yes, saved")
        << "New" << true << int(A::Yes) << "saved.csv" << 0 << base << 0.0 << false << true;
    QTest::newRow("new, yes, dialog cancelled")
        << "New" << true << int(A::Yes) << "" << 2 << base << 9.0 << true << false;
    QTest::newRow("open, no") << "Open" << true << int(A::No) << "" << 1 << good << 4.2 << false
                              << false;
    QTest::newRow("open, cancel") << "Open" << true << int(A::Cancel) << "" << 2 << base << 9.0
                                  << true << false;
    QTest::newRow("open, yes, saved")
        << "Open" << true << int(A::Yes) << "saved.csv" << 0 << good << 4.2 << false << true;
    QTest::newRow("close, yes, saved")
        << "Close" << true << int(A::Yes) << "saved.csv" << 0 << saved << 9.0 << false << true;
    QTest::newRow("close, yes, dialog cancelled")
        << "Close" << true << int(A::Yes) << "" << 2 << base << 9.0 << true << false;
}

void TstFileCommands::flows()
{
    QFETCH(QString, command);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    Rig r;
    if (modified)
        r.modify();
    r.prompts.yesNoCancelAnswers << Prompts::Answer(answer);
    if (!saveAs.isEmpty())
        r.prompts.saveAnswers << r.path(saveAs);
    r.chooseInDialog(QStringLiteral("good"));
    const int before = r.prompts.kind(QStringLiteral("yesNoCancel")).size();

    if (command == u"New")
        r.files->mnuFileNew_Click();
    else if (command == u"Open")
        r.files->mnuFileOpen_Click();
    else
        QTEST(r.files->Save_Confirm(), "confirm");

    const QStringList asked = r.prompts.kind(QStringLiteral("yesNoCancel"));
    QCOMPARE(asked.size() - before, modified ? 1 : 0);
    if (modified)
        QCOMPARE(asked.last(), QStringLiteral("データが更新されています。保存しますか?"));
    QTEST(r.host.caption, "caption");
    QTEST(r.mod->BlkData.V, "volume");
    QTEST(Data_Modified(*r.mod), "stillModified");
    QFETCH(bool, stillModified);
    // The undo history survives only where nothing was saved, opened or cleared.
    QCOMPARE(r.mod->UndoCnt, qint16(stillModified ? 1 : 0));
    QTEST(QFile::exists(r.path(QStringLiteral("saved.csv"))), "savedFile");
    QFETCH(QString, caption);
    QCOMPARE(r.blk.DataName, caption.contains(u'-') ? caption.section(QStringLiteral(" - "), 1)
                                                    : QStringLiteral("無題"));
    QVERIFY(r.prompts.errors().isEmpty());
}

void TstFileCommands::savedNameAlwaysEndsInCsv_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("dataName");
    QTest::newRow("csv") << "A.csv"
                         << "A.csv"
                         << "A";
    QTest::newRow("upper case") << "A.CSV"
                                << "A.CSV"
                                << "A";
    QTest::newRow("other extension") << "A.txt"
                                     << "A.txt.csv"
                                     << "A.txt";
    QTest::newRow("none") << "A"
                          << "A.csv"
                          << "A";
}

void TstFileCommands::savedNameAlwaysEndsInCsv()
{
    QFETCH(QString, typed);
    Rig r;
    QVERIFY(QDir(r.dir.path()).mkdir(QStringLiteral("sub")));
    r.prompts.saveAnswers << r.path(QStringLiteral("sub/") + typed);
    r.files->mnuFileSave_Click();
    QFETCH(QString, file);
    QVERIFY(QFile::exists(r.path(QStringLiteral("sub/") + file)));
    QTEST(r.blk.DataName, "dataName");
    QCOMPARE(r.blk.DataPath, r.path(QStringLiteral("sub/")));
    // The dialog was asked to propose the untitled name in the data folder.
    QCOMPARE(r.prompts.saveRequests.value(0).name, QStringLiteral("無題"));
    QCOMPARE(r.prompts.saveRequests.value(0).dir, r.dir.path() + u'/');
    QCOMPARE(r.prompts.saveRequests.value(0).filter, QStringLiteral("ブロックファイル (*.csv)"));
}

void TstFileCommands::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder below a file") << "good.csv/x.csv"
                                         << "名"
                                         << "書き込み用に開けません";
    QTest::newRow("text cp932 cannot hold") << "good.csv"
                                            << "é"
                                            << "保存できない文字「é」";
}

void TstFileCommands::failedSaveChangesNothing()
{
    QFETCH(QString, target);
    QFETCH(QString, name);
    Rig r;
    QFile old(r.path(QStringLiteral("good.csv")));
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();
    r.modify();
    r.mod->BlkData.Name = name;
    r.prompts.yesNoCancelAnswers << Prompts::Answer::Yes;
    r.prompts.saveAnswers << r.path(target) << r.path(target);

    r.files->mnuFileSave_Click();
    QCOMPARE(r.prompts.errors().size(), 1);
    QFETCH(QString, reason);
    QVERIFY2(r.prompts.errors()[0].contains(reason), qPrintable(r.prompts.errors()[0]));
    // The prompt's save failed too: whatever asked is abandoned.
    QCOMPARE(r.files->Save_Confirm(), int(FileCommands::Cancelled));
    QVERIFY(Data_Modified(*r.mod));
    QCOMPARE(r.mod->UndoCnt, qint16(1));
    QCOMPARE(r.blk.DataName, QStringLiteral("無題"));
    QCOMPARE(r.blk.DataPath, r.dir.path() + u'/');
    QCOMPARE(r.host.caption, QStringLiteral("直立消波ブロック設定"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);
}

void TstFileCommands::failedOpenChangesNothing()
{
    Rig r;
    QFile cut(r.path(QStringLiteral("cut.csv")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    // A valid header, name and type, then the B, H, L, V, Gx, Gy line cut short.
    cut.write("#\x92\xbc\x97\xa7\x8f\xc1\x94\x67\x83\x75\x83\x8d\x83\x62\x83\x4e\r\nother\r\n"
              "kind\r\n1,2,3\r\n");
    cut.close();
    r.mod->BlkData = sampleBlock(1);
    r.mod->SaveData = r.mod->BlkData;
    r.blk.DataName = QStringLiteral("mine");
    r.chooseInDialog(QStringLiteral("cut"));
    r.files->mnuFileOpen_Click();
    QCOMPARE(r.prompts.errors(),
             QStringList{QStringLiteral(
                 "直立消波ブロックのデータ形式ではありません。\r\n処理を中止します。")});
    QCOMPARE(r.mod->BlkData.Name, QStringLiteral("試験"));
    QVERIFY(!Data_Modified(*r.mod));
    QCOMPARE(r.blk.DataName, QStringLiteral("mine"));
    QCOMPARE(r.host.fits, 0);
    QCOMPARE(r.host.refreshes, 0);
}

void TstFileCommands::cancelInChooserKeepsFolderChange()
{
    Rig r;
    const QString other = r.path(QStringLiteral("other/"));
    r.chooseInDialog(QString(), other);
    r.files->mnuFileOpen_Click();
    QCOMPARE(r.blk.DataPath, other);
    QCOMPARE(r.blk.DataName, QStringLiteral("無題"));
    QCOMPARE(r.host.refreshes, 0);
    // The next save dialog opens in the new folder.
    r.files->mnuFileSave_Click();
    QCOMPARE(r.prompts.saveRequests.value(0).dir, other);
}

// Another program changes the open file between its read and the save.
void TstFileCommands::changedOnDiskAsksBeforeWrite_data()
{
    QTest::addColumn<QString>("change"); // none, same bytes, changed, deleted
    QTest::addColumn<int>("answer");     // 上書き 0, 別名で保存 1, キャンセル 2
    QTest::addColumn<bool>("asked");
    QTest::addColumn<double>("onDisk"); // V in good.csv afterwards; 0: no file
    QTest::addColumn<QString>("dataName");
    QTest::newRow("unchanged") << "none" << 2 << false << 9.0 << "good";
    QTest::newRow("same bytes written again") << "same" << 2 << false << 9.0 << "good";
    QTest::newRow("changed, 上書き") << "changed" << 0 << true << 9.0 << "good";
    QTest::newRow("changed, 別名で保存") << "changed" << 1 << true << 7.5 << "other";
    QTest::newRow("changed, キャンセル") << "changed" << 2 << true << 7.5 << "good";
    QTest::newRow("deleted, 上書き") << "deleted" << 0 << true << 9.0 << "good";
    QTest::newRow("deleted, キャンセル") << "deleted" << 2 << true << 0.0 << "good";
}

void TstFileCommands::changedOnDiskAsksBeforeWrite()
{
    QFETCH(QString, change);
    QFETCH(int, answer);
    Rig r;
    const QString good = r.path(QStringLiteral("good.csv"));
    QVERIFY(r.files->openFile(good));
    r.modify();
    if (change == u"same")
        QVERIFY(Blk_Write(sampleBlock(4.2), good).ok);
    else if (change == u"changed")
        QVERIFY(Blk_Write(sampleBlock(7.5), good).ok);
    else if (change == u"deleted")
        QVERIFY(QFile::remove(good));
    r.prompts.chooseAnswers << answer;
    r.prompts.saveAnswers << good << r.path(QStringLiteral("other.csv"));

    r.files->mnuFileSave_Click();
    const QStringList asked = r.prompts.kind(QStringLiteral("choose"));
    QTEST(asked.size() == 1, "asked");
    if (!asked.isEmpty())
        QCOMPARE(asked[0],
                 QStringLiteral("ファイルは他で変更されています。|上書き/別名で保存/キャンセル"));
    BlkRec disk;
    const bool exists = Blk_ReadPath(disk, good);
    QFETCH(double, onDisk);
    QCOMPARE(exists ? disk.V : 0.0, onDisk);
    QTEST(r.blk.DataName, "dataName");
    // Only キャンセル leaves the block unsaved.
    QCOMPARE(Data_Modified(*r.mod), asked.size() == 1 && answer == 2);
    // 別名で保存 showed the save dialog a second time.
    QCOMPARE(r.prompts.saveRequests.size(), asked.size() == 1 && answer == 1 ? 2 : 1);
}

void TstFileCommands::lockFollowsTheOpenFile_data()
{
    QTest::addColumn<QString>("command");    // after good.csv was opened
    QTest::addColumn<QString>("lockedFile"); // the one file locked afterwards; "" none
    QTest::newRow("New") << "New"
                         << "";
    QTest::newRow("Open another") << "Open"
                                  << "other.csv";
    QTest::newRow("save to a new name") << "Save"
                                        << "saved.csv";
    QTest::newRow("a recovered block") << "Recovered"
                                       << "";
}

void TstFileCommands::lockFollowsTheOpenFile()
{
    QFETCH(QString, command);
    Rig r;
    QVERIFY(Blk_Write(sampleBlock(1), r.path(QStringLiteral("other.csv"))).ok);
    QVERIFY(r.files->openFile(r.path(QStringLiteral("good.csv"))));
    auto locks = [&r] {
        QStringList held;
        for (const char* name : {"good.csv", "other.csv", "saved.csv"}) {
            if (BlockLock::heldElsewhere(r.path(QString::fromLatin1(name))))
                held << QString::fromLatin1(name);
        }
        return held;
    };
    r.files->guard().settleLock();
    QCOMPARE(locks(), QStringList{"good.csv"});
    if (command == u"New") {
        r.files->mnuFileNew_Click();
    } else if (command == u"Open") {
        r.chooseInDialog(QStringLiteral("other"));
        r.files->mnuFileOpen_Click();
    } else if (command == u"Save") {
        r.prompts.saveAnswers << r.path(QStringLiteral("saved.csv"));
        r.files->mnuFileSave_Click();
    } else {
        r.files->adoptRecovered(sampleBlock(3));
    }
    r.files->guard().settleLock();
    QFETCH(QString, lockedFile);
    QCOMPARE(locks(), lockedFile.isEmpty() ? QStringList() : QStringList{lockedFile});
    QCOMPARE(r.files->guard().locked(), !lockedFile.isEmpty());
    QVERIFY(r.prompts.kind(QStringLiteral("choose")).isEmpty());
}

QTEST_MAIN(TstFileCommands)
#include "tst_filecommands.moc"

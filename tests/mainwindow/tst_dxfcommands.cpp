// 点 → DXF から取込... and ﾌｧｲﾙ → DXF に出力... through the main window.
#include "common/scriptedprompts.h"
#include "dialogs/dxfimportdialog.h"
#include "document/blockfile.h"
#include "document/cp932.h"
#include "editing/undostack.h"
#include "exchange/dxfexport.h"
#include "mainwindow/frmmain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

struct Rig
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<Module1> mod = std::make_unique<Module1>();
    std::unique_ptr<basMr_Blk> blk = std::make_unique<basMr_Blk>();
    std::unique_ptr<frmMain> w;

    Rig()
    {
        w = std::make_unique<frmMain>(*mod, *blk, DataPathPlaces{path({}), path({}), QString()},
                                      &prompts);
        w->resize(800, 600);
        w->show();
        blk->DataPath = path({});
    }
    QString path(const QString& name) const { return dir.path() + u'/' + name; }
    void trigger(const char* item) { w->menuItem(QLatin1String(item))->trigger(); }
    // A DXF drawing of a sample block, as this program exports it.
    QString exported(const char* sample, DxfUnit unit = DxfUnit::Millimetre)
    {
        BlkRec b;
        Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/") + QLatin1String(sample));
        const QString p = path(QStringLiteral("in.dxf"));
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write(Dxf::exportBlock(b, {unit}).bytes);
        return p;
    }
};

BlkRec sample(const char* name)
{
    BlkRec b;
    Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/") + QLatin1String(name));
    return b;
}

QTreeWidgetItem* layer(DxfImportDialog& d, const QString& name)
{
    const auto found = d.layerList()->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class TstDxfCommands : public QObject
{
    Q_OBJECT
private slots:
    // The sample's outline replaces the block's, its specification values stay,
    // and one undo takes it all back.
    void importReplacesOutline()
    {
        Rig r;
        r.mod->BlkData = sample("block_2t.csv");
        r.mod->BlkData.Name = QStringLiteral("元のブロック");
        const BlkRec before = r.mod->BlkData;
        r.prompts.openAnswers << r.exported("block_30t_l.csv");
        QStringList shownLayers;
        r.prompts.onExec = [&](QDialog& d) {
            auto& dlg = dynamic_cast<DxfImportDialog&>(d);
            for (int i = 0; i < dlg.layerList()->topLevelItemCount(); ++i) {
                const QTreeWidgetItem* it = dlg.layerList()->topLevelItem(i);
                shownLayers << it->text(0) + (it->checkState(0) == Qt::Checked ? u'*' : u' ');
            }
            QTest::mouseClick(dlg.importButton(), Qt::LeftButton);
            return dlg.QDialog::result();
        };
        r.trigger("mnuPointDxf");
        QVERIFY2(r.prompts.errors().isEmpty(), qPrintable(r.prompts.errors().join(u'\n')));
        // The program's own layers, "外形" alone chosen beforehand.
        QVERIFY(shownLayers.contains(QStringLiteral("外形*")));
        QVERIFY(shownLayers.contains(QStringLiteral("寸法 ")));
        const BlkRec want = sample("block_30t_l.csv");
        QCOMPARE(r.mod->BlkData.PntCnt, want.PntCnt);
        QCOMPARE(r.mod->BlkData.LineCnt, want.LineCnt);
        QCOMPARE(r.mod->BlkData.Name, before.Name);
        QCOMPARE(r.mod->BlkData.B, before.B);
        QCOMPARE(r.mod->UndoName[0], QStringLiteral("DXF取込"));
        QVERIFY(r.w->toolbarButton(QStringLiteral("Undo"))->isEnabled());
        r.w->toolbarButton(QStringLiteral("Undo"))->trigger();
        QVERIFY(!Blk_Differs(r.mod->BlkData, before));
    }

    // Cancelled, refused or unreadable: nothing changes, no undo entry.
    void nothingChanges_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("error");
        QTest::newRow("not DXF") << QByteArray("#直立消波ブロック\r\n") << true
                                 << "DXF ファイルではありません (1 行目)";
        QTest::newRow("cancelled") << QByteArray() << false << "";
    }
    void nothingChanges()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accept);
        QFETCH(QString, error);
        Rig r;
        r.mod->BlkData = sample("block_2t.csv");
        const BlkRec before = r.mod->BlkData;
        QString path = r.exported("block_8t.csv");
        if (!bytes.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        r.prompts.openAnswers << path;
        r.prompts.onExec = [&](QDialog&) {
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        };
        r.trigger("mnuPointDxf");
        QVERIFY(!Blk_Differs(r.mod->BlkData, before));
        QCOMPARE(r.mod->UndoCnt, qint16(0));
        if (!error.isEmpty()) {
            QCOMPARE(r.prompts.errors().size(), 1);
            QVERIFY2(r.prompts.errors().first().contains(error),
                     qPrintable(r.prompts.errors().first()));
            QVERIFY(r.prompts.errors().first().contains(QStringLiteral("in.dxf")));
        }
    }

    // The dialog says what the choices give and refuses what cannot be taken.
    void dialogFollowsChoices()
    {
        Rig r;
        const DxfReadResult read = Dxf::read(
            [&] {
                QFile f(r.exported("block_8t.csv"));
                f.open(QIODevice::ReadOnly);
                return f.readAll();
            }(),
            QStringLiteral("in.dxf"));
        QVERIFY(read.ok());
        DxfImportDialog d(read.drawing);
        const BlkRec b = sample("block_8t.csv");
        QVERIFY2(d.summary()->text().contains(QStringLiteral("点 %1 個").arg(b.PntCnt)),
                 qPrintable(d.summary()->text()));
        QVERIFY(d.importButton()->isEnabled());
        QCOMPARE(d.unitBox()->currentIndex(), 0); // the export's note: mm
        // The counts stand beside their headers; the layer names get the room.
        d.show();
        const QHeaderView* h = d.findChild<QTreeWidget*>(QStringLiteral("layers"))->header();
        QVERIFY2(
            h->sectionSize(2) < h->sectionSize(0) / 2,
            qPrintable(QStringLiteral("%1 / %2").arg(h->sectionSize(0)).arg(h->sectionSize(2))));
        layer(d, QStringLiteral("外形"))->setCheckState(0, Qt::Unchecked);
        QVERIFY(!d.importButton()->isEnabled());
        layer(d, QStringLiteral("点番号"))->setCheckState(0, Qt::Checked);
        QVERIFY(!d.importButton()->isEnabled()); // texts only: no line
        layer(d, QStringLiteral("点番号"))->setCheckState(0, Qt::Unchecked);
        layer(d, QStringLiteral("外形"))->setCheckState(0, Qt::Checked);
        d.originBox()->click();
        QCOMPARE(d.options().moveToOrigin, false);
        d.unitBox()->setCurrentIndex(1);
        QCOMPARE(d.options().unit, DxfUnitChoice::Metre);
        QVERIFY(d.importButton()->isEnabled());
    }

    void exportWritesFile_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("unitText");
        QTest::newRow("mm") << 0 << "単位: mm";
        QTest::newRow("m") << 1 << "単位: m";
    }
    void exportWritesFile()
    {
        QFETCH(int, choice);
        QFETCH(QString, unitText);
        Rig r;
        r.mod->BlkData = sample("block_4t_chamfer.csv");
        r.blk->DataName = QStringLiteral("block_4t");
        r.prompts.chooseAnswers << choice;
        r.prompts.saveAnswers << r.path(QStringLiteral("out")); // typed without a suffix
        r.trigger("mnuFileDxf");
        QVERIFY(r.prompts.errors().isEmpty());
        QCOMPARE(r.prompts.saveRequests.first().name, QStringLiteral("block_4t.dxf"));
        QFile f(r.path(QStringLiteral("out.dxf")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QByteArray sjis;
        QVERIFY(Cp932::encode(unitText, sjis));
        QVERIFY(bytes.contains("\r\n" + sjis + "\r\n"));
        QCOMPARE(r.mod->UndoCnt, qint16(0));
    }

    // The folders of the last DXF read and written are where the dialogs open next.
    void foldersRemembered()
    {
        Rig r;
        r.mod->BlkData = sample("block_2t.csv");
        QDir(r.dir.path()).mkdir(QStringLiteral("cad"));
        const QString cad = r.path(QStringLiteral("cad/"));
        r.prompts.chooseAnswers << 0;
        r.prompts.saveAnswers << cad + QStringLiteral("b.dxf");
        r.trigger("mnuFileDxf");
        QVERIFY(r.prompts.errors().isEmpty());
        r.prompts.chooseAnswers << 0;
        r.trigger("mnuFileDxf"); // cancelled at the save dialog
        QCOMPARE(r.prompts.saveRequests.at(1).dir, cad);
        r.prompts.openAnswers << cad + QStringLiteral("b.dxf");
        r.trigger("mnuPointDxf"); // the import dialog cancelled
        r.trigger("mnuPointDxf"); // the open dialog cancelled
        QCOMPARE(r.prompts.kind(QStringLiteral("openFile")).first(), r.blk->DataPath);
        QCOMPARE(r.prompts.kind(QStringLiteral("openFile")).last(), cad);
    }

    void exportFailureIsReported()
    {
        Rig r;
        r.mod->BlkData = sample("block_2t.csv");
        r.prompts.chooseAnswers << 0;
        r.prompts.saveAnswers << r.path(QStringLiteral("no/such/folder/x.dxf"));
        r.trigger("mnuFileDxf");
        QCOMPARE(r.prompts.errors().size(), 1);
        QVERIFY2(r.prompts.errors().first().contains(QStringLiteral("x.dxf")),
                 qPrintable(r.prompts.errors().first()));
        // キャンセル in the unit question asks for no file at all.
        r.prompts.chooseAnswers << 2;
        r.trigger("mnuFileDxf");
        QCOMPARE(r.prompts.saveRequests.size(), 1);
    }
};

QTEST_MAIN(TstDxfCommands)
#include "tst_dxfcommands.moc"

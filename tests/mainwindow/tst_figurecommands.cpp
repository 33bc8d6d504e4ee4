#include "analysis/blockchecks.h"
#include "common/scriptedprompts.h"
#include "dialogs/checkwindow.h"
#include "dialogs/form5.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/similardialog.h"
#include "document/blockfile.h"
#include "document/figuresettings.h"
#include "mainwindow/checkcommands.h"
#include "mainwindow/figurecommands.h"
#include "mainwindow/frmmain.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

// A main window with the 8 t sample open and the settings file in a
// temporary folder.
struct Rig
{
    QTemporaryDir exe;
    QTemporaryDir cfg;
    ScriptedPrompts prompts;
    std::unique_ptr<Module1> mod = std::make_unique<Module1>();
    std::unique_ptr<basMr_Blk> blk = std::make_unique<basMr_Blk>();
    std::unique_ptr<frmMain> w;

    Rig()
    {
        w = std::make_unique<frmMain>(*mod, *blk, places(), &prompts);
        w->resize(800, 600);
        w->show();
        w->openAtStart(QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv"));
    }
    DataPathPlaces places() const { return {exe.path() + u'/', cfg.path() + u'/', QString()}; }
    QString ini() const { return places().settingsFile(); }
    void trigger(const char* name) { w->menuItem(QString::fromLatin1(name))->trigger(); }
};

// Replaces the text of a box the way the user does: select all, type.
// Japanese text arrives whole, as an input method commits it.
void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        QTest::keyClicks(box, text);
    else
        box->insert(text);
}

} // namespace

class TstFigureCommands : public QObject
{
    Q_OBJECT
private slots:
    void similarBlockByMass();
    void similarBlockByFactorCancelled();
    void similarBlockRefusesBadName();
    void settingsStoredAndShown();
    void settingsRefuseBadValues();
    void massUnderV();
    void sheetUsesSettings();
};

void TstFigureCommands::similarBlockByMass()
{
    Rig r;
    const BlkRec before = r.mod->BlkData;
    QString proposed;
    QString movesShown;
    r.prompts.onExec = [&](QDialog& d) {
        auto& dlg = dynamic_cast<SimilarDialog&>(d);
        proposed = dlg.massBox()->text();
        typeInto(dlg.massBox(), QStringLiteral("16"));
        movesShown = dlg.moves()->toPlainText();
        QTest::mouseClick(dlg.cmdOK(), Qt::LeftButton);
        return d.result();
    };
    r.trigger("mnuToolSimilar");

    QCOMPARE(proposed, QStringLiteral("16")); // twice the 8 t of the name
    const BlkRec& b = r.mod->BlkData;
    QCOMPARE(b.Name, QStringLiteral("消波ブロック 16t型"));
    const double s = std::cbrt(16 / (2.3 * before.V));
    QVERIFY(std::fabs(b.B - before.B * s) <= 0.0005);
    QVERIFY(std::fabs(2.3 * b.V - 16) < 0.002);
    QVERIFY(checkBlock(b).passed());
    QVERIFY(movesShown.contains(QStringLiteral("点 2 の X")));
    QCOMPARE(r.mod->UndoCnt, qint16(1));
    QCOMPARE(r.mod->UndoName[0], QStringLiteral("相似形"));
    QVERIFY(r.w->toolbarButton(QStringLiteral("Undo"))->isEnabled());
    QVERIFY(r.w->isWindowModified()); // the caption's "*"

    // A new block of the series: 上書き保存 asks for a file, proposing the old
    // file's name with the new mass, and leaves the 8 t file as it was.
    const QString original = QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv");
    QFile file(original);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    r.trigger("mnuFileOverwrite");
    QCOMPARE(r.prompts.kind(QStringLiteral("saveFile")),
             QStringList{QStringLiteral(MRB_SAMPLES_DIR "/block_16t")});
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);

    // One undo brings the 8 t block back whole, as it was opened.
    r.w->menuItem(QStringLiteral("mnuEditUndo"))->trigger();
    QVERIFY(!Blk_Differs(r.mod->BlkData, before));
    QVERIFY(!r.w->isWindowModified());
}

void TstFigureCommands::similarBlockByFactorCancelled()
{
    Rig r;
    const BlkRec before = r.mod->BlkData;
    QString massShown;
    QString nameShown;
    r.prompts.onExec = [&](QDialog& d) {
        auto& dlg = dynamic_cast<SimilarDialog&>(d);
        QTest::mouseClick(dlg.byFactor(), Qt::LeftButton);
        typeInto(dlg.factorBox(), QStringLiteral("0.5"));
        massShown = dlg.massBox()->text();
        nameShown = dlg.nameBox()->text();
        QTest::mouseClick(dlg.cmdCancel(), Qt::LeftButton);
        return d.result();
    };
    r.trigger("mnuToolSimilar");
    QCOMPARE(massShown, QStringLiteral("1.012")); // 8.096 t / 8
    QCOMPARE(nameShown, QStringLiteral("消波ブロック 1.01t型"));
    QVERIFY(!Blk_Differs(r.mod->BlkData, before));
    QCOMPARE(r.mod->UndoCnt, qint16(0));
}

void TstFigureCommands::similarBlockRefusesBadName()
{
    Rig r;
    bool okWhileZero = true;
    r.prompts.onExec = [&](QDialog& d) {
        auto& dlg = dynamic_cast<SimilarDialog&>(d);
        typeInto(dlg.massBox(), QStringLiteral("0"));
        okWhileZero = dlg.cmdOK()->isEnabled();
        typeInto(dlg.massBox(), QStringLiteral("4"));
        typeInto(dlg.nameBox(), QStringLiteral("4t,型"));
        QTest::mouseClick(dlg.cmdOK(), Qt::LeftButton);
        const int first = d.result();
        typeInto(dlg.nameBox(), QStringLiteral("半分"));
        QTest::mouseClick(dlg.cmdOK(), Qt::LeftButton);
        return first == QDialog::Accepted ? -1 : d.result();
    };
    r.trigger("mnuToolSimilar");
    QVERIFY(!okWhileZero);
    QCOMPARE(r.prompts.errors().size(), 1); // the comma in the name
    QCOMPARE(r.mod->BlkData.Name, QStringLiteral("半分"));
    QCOMPARE(r.mod->UndoCnt, qint16(1));
}

void TstFigureCommands::settingsStoredAndShown()
{
    Rig r;
    r.trigger("mnuDispCheck");
    CheckWindow* win = r.w->checks()->window();
    QCOMPARE(win->levelTable()->rowCount(), 0);

    QString knShown;
    r.prompts.onExec = [&](QDialog& d) {
        auto& dlg = dynamic_cast<SettingsDialog&>(d);
        // Typed with an input method: full-width digits and point.
        typeInto(dlg.box(SettingsDialog::ConcreteBox), QStringLiteral("２．４５"));
        knShown = dlg.unitWeight(SettingsDialog::ConcreteBox)->text();
        QTest::mouseClick(dlg.addLevel(), Qt::LeftButton);
        dlg.levels()->item(0, SettingsDialog::NameColumn)->setText(QStringLiteral("H.W.L."));
        dlg.levels()->item(0, SettingsDialog::HeightColumn)->setText(QStringLiteral("１．０"));
        QTest::mouseClick(dlg.addLevel(), Qt::LeftButton); // left empty: no level
        QTest::mouseClick(dlg.cmdOK(), Qt::LeftButton);
        return d.result();
    };
    // From the check window's own button.
    QTest::mouseClick(win->settingsButton(), Qt::LeftButton);

    QCOMPARE(knShown, QStringLiteral("(24.0 kN/m3)"));
    const FigureSettings stored = readFigureSettings(r.ini());
    QCOMPARE(stored.concrete, 2.45);
    QCOMPARE(stored.levels, (QList<WaterLevel>{{QStringLiteral("H.W.L."), 1.0}}));
    // The window shows the new level at once: 1.98 m3 below 1 m, where a
    // layer ends, so the table agrees.
    QCOMPARE(win->levelTable()->rowCount(), 1);
    QCOMPARE(win->levelTable()->item(0, 2)->text(), QStringLiteral("1.980"));
    QCOMPARE(win->levelTable()->item(0, 3)->text(), QStringLiteral("1.980"));
    QVERIFY(win->levelNotes()->isHidden());
    QVERIFY(win->massLabel()->text().startsWith(QStringLiteral("質量 8.624 t"))); // 2.45 × 3.52

    // A new window reads them back from the settings file.
    auto mod = std::make_unique<Module1>();
    auto blk = std::make_unique<basMr_Blk>();
    ScriptedPrompts prompts;
    frmMain second(*mod, *blk, r.places(), &prompts);
    QCOMPARE(second.figures()->settings(), stored);
}

void TstFigureCommands::settingsRefuseBadValues()
{
    Rig r;
    QStringList errors;
    r.prompts.onExec = [&](QDialog& d) {
        auto& dlg = dynamic_cast<SettingsDialog&>(d);
        typeInto(dlg.box(SettingsDialog::GravityBox), QStringLiteral("0"));
        QTest::mouseClick(dlg.cmdOK(), Qt::LeftButton);
        typeInto(dlg.box(SettingsDialog::GravityBox), QStringLiteral("9.8"));
        QTest::mouseClick(dlg.addLevel(), Qt::LeftButton);
        dlg.levels()->item(0, SettingsDialog::HeightColumn)->setText(QStringLiteral("高い"));
        QTest::mouseClick(dlg.cmdOK(), Qt::LeftButton);
        errors = r.prompts.errors();
        QTest::mouseClick(dlg.cmdCancel(), Qt::LeftButton);
        return d.result();
    };
    r.trigger("mnuToolSettings");
    QCOMPARE(errors.size(), 2);
    QVERIFY(errors[0].startsWith(QStringLiteral("重力加速度 g")));
    QVERIFY(errors[1].startsWith(QStringLiteral("水位 No.1")));
    QCOMPARE(r.w->figures()->settings(), FigureSettings());
}

void TstFigureCommands::massUnderV()
{
    Rig r;
    QStringList shown;
    r.prompts.onExec = [&](QDialog& d) {
        auto& f = dynamic_cast<Form5&>(d);
        shown << f.massLabel()->text();
        typeInto(f.Text1(7), QStringLiteral("10"));
        shown << f.massLabel()->text();
        typeInto(f.Text1(4), QStringLiteral("0"));
        shown << f.massLabel()->text();
        return int(QDialog::Rejected);
    };
    r.trigger("mnuBlkPara");
    QCOMPARE(shown, (QStringList{"質量 8.096 t（79.42 kN）\n充填率 0.800",
                                 "質量 23.000 t（225.63 kN）\n充填率 2.273",
                                 "質量 23.000 t（225.63 kN）\n充填率 －"}));
}

QTEST_MAIN(TstFigureCommands)
// The data sheet written from the window figures with the settings the
// user chose, read back by an independent reader.
void TstFigureCommands::sheetUsesSettings()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    Rig r;
    r.prompts.onExec = [&](QDialog& d) {
        auto& dlg = dynamic_cast<SettingsDialog&>(d);
        typeInto(dlg.box(SettingsDialog::ConcreteBox), QStringLiteral("2.45"));
        QTest::mouseClick(dlg.addLevel(), Qt::LeftButton);
        dlg.levels()->item(0, SettingsDialog::NameColumn)->setText(QStringLiteral("H.W.L."));
        dlg.levels()->item(0, SettingsDialog::HeightColumn)->setText(QStringLiteral("1.0"));
        QTest::mouseClick(dlg.cmdOK(), Qt::LeftButton);
        return d.result();
    };
    r.trigger("mnuToolSettings");
    const QString path = r.cfg.filePath(QStringLiteral("sheet.pdf"));
    r.prompts.saveAnswers << path;
    r.trigger("mnuFilePdf");

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished());
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    // 2.45 × 3.520 m3 = 8.624 t; 1.980 m3 below 1 m by both ways, buoyancy
    // 1.03 × 9.81 × 1.98 = 20.007 kN.
    for (const QString& s : {QStringLiteral("8.624"), QStringLiteral("ρc = 2.45 t/m3"),
                             QStringLiteral("コンクリート 2.45 t/m3"), QStringLiteral("H.W.L."),
                             QStringLiteral("1.980"), QStringLiteral("20.007")})
        QVERIFY2(text.contains(s), qPrintable(s));
}

#include "tst_figurecommands.moc"

#include "common/scriptedprompts.h"
#include "dialogs/form5.h"
#include "dialogs/ovtgrid.h"
#include "document/blockfile.h"
#include "document/module1.h"
#include "editing/undostack.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {

std::unique_ptr<Module1> block()
{
    auto m = std::make_unique<Module1>();
    BlkRec& b = m->BlkData;
    b.Name = QStringLiteral("ブロックA");
    b.Kind = QStringLiteral("型1");
    b.B = 1;
    b.L = 2;
    b.H = 3;
    b.Gx = 0.5;
    b.Gy = 0.25;
    b.V = 5;
    b.LyrCnt = 2;
    b.LyrH = {1.0, 1.5};
    b.LyrV = {2.0, 3.0};
    b.LyrVSum = {2.0, 5.0};
    b.PntCnt = 1;
    b.PntX[1] = 7;
    return m;
}

// Boxes as "index:text", layer cells as "row:column:text".
void type(Form5& f, const QStringList& typed)
{
    for (const QString& t : typed) {
        const QStringList p = t.split(u':');
        if (p.size() == 2)
            f.Text1(p[0].toInt())->setText(p[1]);
        else
            f.OvtGV()->setCellText(p[0].toInt(), p[1].toInt(), p[2]);
    }
}

QStringList boxes(const Form5& f)
{
    QStringList out;
    for (int i = 0; i < 8; ++i)
        out << f.Text1(i)->text();
    return out;
}

void showActive(QWidget& w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

} // namespace

class TstForm5 : public QObject
{
    Q_OBJECT
private slots:
    void showsBlock();
    void registering_data();
    void registering();
    void numberBoxes_data();
    void numberBoxes();
    void recalculation();
    void rowsStayLevel();
    void fromSection_data();
    void fromSection();
};

void TstForm5::showsBlock()
{
    ScriptedPrompts prompts;
    auto m = block();
    Form5 f(*m, prompts);
    QCOMPARE(boxes(f), (QStringList{"ブロックA", "型1", "1.000", "3.000", "2.000", "0.500", "0.250",
                                    "5.000"}));
    const OvtGrid& g = *f.OvtGV();
    const OvtGrid& s = *f.OvtGV1();
    QCOMPARE((QStringList{g.cellText(0, 1), g.cellText(0, 2), s.cellText(0, 0)}),
             (QStringList{"高さ(m)", "⊿Ｖ(m3)", "Ｖ(m3)"}));
    QCOMPARE((QStringList{g.cellText(2, 0), g.cellText(2, 1), g.cellText(2, 2), s.cellText(2, 0)}),
             (QStringList{"2", "1.500", "3.000", "5.000"}));
    QCOMPARE(g.cellText(3, 0) + s.cellText(3, 0), QString());
    QCOMPARE(g.dataRowCount(), 51);
    QCOMPARE(g.widthTwips(), 2760);
    QCOMPARE(s.leftTwips(), g.leftTwips() + 2760);

    // The cumulative column is hidden until asked for.
    QVERIFY(f.Option1(0)->isChecked());
    QVERIFY(!s.isVisibleTo(&f));
    f.Option1(1)->click();
    QVERIFY(s.isVisibleTo(&f));
    f.Option1(0)->click();
    QVERIFY(!s.isVisibleTo(&f));
}

// Boxes are "index:text", layer cells "row:column:text"; told is the start of
// the message shown, empty when none.
void TstForm5::registering_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("told");

    QTest::newRow("unchanged") << QStringList{} << 0 << true << "";
    QTest::newRow("name, volume and a layer")
        << QStringList{"0:新", "7:6", "3:1:1", "3:2:1"} << 0 << true << "";
    QTest::newRow("cancel") << QStringList{"0:新", "7:6"} << 1 << false << "";
    QTest::newRow("sum differs")
        << QStringList{"7:9"} << 0 << false
        << "errorRight:層別体積表の合計値が違います。\r\n\r\n体積 = 9.000    層別体積合計 = 5.000";
    QTest::newRow("comma in name") << QStringList{"0:A,B"} << 0 << false << "error:名称にカンマ";
    QTest::newRow("character cp932 lacks")
        << QStringList{"1:型한"} << 0 << false << "error:種別に保存できない文字「한」";
}

void TstForm5::registering()
{
    QFETCH(QStringList, typed);
    QFETCH(int, button);
    QFETCH(bool, stored);
    QFETCH(QString, told);
    ScriptedPrompts prompts;
    auto m = block();
    const BlkRec before = m->BlkData;
    Form5 f(*m, prompts);
    f.show();
    type(f, typed);
    f.CmdPara(button)->click();

    QCOMPARE(f.result(), stored ? int(QDialog::Accepted) : 0);
    QCOMPARE(f.isHidden(), button == 1 || stored);
    QCOMPARE(prompts.shown.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty())
        QVERIFY2(prompts.shown[0].startsWith(told.section(u':', 0, 0) + "|Error|" +
                                             told.section(u':', 1)),
                 qPrintable(prompts.shown[0]));
    QCOMPARE(int(m->UndoCnt), stored ? 1 : 0);
    if (!stored) {
        QVERIFY(!Blk_Differs(m->BlkData, before));
        return;
    }
    QCOMPARE(m->UndoName[0], QString("諸条件修正"));
    QVERIFY(!Blk_Differs(m->BlkData, f.ParaData()));
    QCOMPARE(m->BlkData.PntX[1], 7.0); // the outline goes back unchanged
    Undo_Pop(*m);
    QVERIFY(!Blk_Differs(m->BlkData, before));
}

void TstForm5::numberBoxes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("red");
    QTest::newRow("rounded") << "1.23456"
                             << "1.235" << false;
    QTest::newRow("integer") << "2"
                             << "2.000" << false;
    QTest::newRow("blanks ignored") << " -1 234 "
                                    << "-1234.000" << false;
    QTest::newRow("letters kept") << "abc"
                                  << "abc" << true;
    QTest::newRow("number then letters") << "1.5m"
                                         << "1.5m" << true;
    QTest::newRow("too large") << "1e400"
                               << "1e400" << true;
}

// Typed into B, then Enter: the box is rewritten on leaving, the focus moves
// on to H with its text selected, and the dialog stays open.
void TstForm5::numberBoxes()
{
    QFETCH(QString, typed);
    ScriptedPrompts prompts;
    auto m = block();
    Form5 f(*m, prompts);
    showActive(f);
    QLineEdit* b = f.Text1(2);
    b->setFocus();
    b->setText(typed);
    QTEST(b->palette().color(QPalette::Text) == Qt::red, "red");
    QTest::keyClick(b, Qt::Key_Return);
    QCoreApplication::processEvents();
    QTEST(b->text(), "shown");
    QTEST(b->palette().color(QPalette::Text) == Qt::red, "red");
    QCOMPARE(QApplication::focusWidget(), f.Text1(3));
    QCOMPARE(f.Text1(3)->selectedText(), QString("3.000"));
    QVERIFY(f.isVisible());
}

void TstForm5::recalculation()
{
    ScriptedPrompts prompts;
    auto m = block();
    Form5 f(*m, prompts);
    OvtGrid& g = *f.OvtGV();
    g.setRowText(1, "1\t1\t1");
    g.setRowText(2, "2\t1\t0");
    g.setRowText(3, "3\t1\t1");
    f.Command1()->click();
    QCOMPARE(f.ParaData().LyrCnt, qint16(1));
    QCOMPARE(g.cellText(1, 2) + f.OvtGV1()->cellText(1, 0), QString("1.0001.000"));
    QCOMPARE(g.cellText(2, 0) + g.cellText(2, 2) + f.OvtGV1()->cellText(2, 0), QString());
}

void TstForm5::rowsStayLevel()
{
    ScriptedPrompts prompts;
    auto m = block();
    Form5 f(*m, prompts);
    f.Option1(1)->click();
    showActive(f);
    f.OvtGV()->setTopRow(20);
    QCOMPARE(f.OvtGV1()->topRow(), 20);
    f.OvtGV1()->setTopRow(9);
    QCOMPARE(f.OvtGV()->topRow(), 9);
}

// On the 2t sample (B 1.2, H 1, L 1.2, V 0.912, four layers of 0.25 m) or,
// where sample is false, the test block, which has no closed section. shown
// lists places ("index:" or "row:column:") with the text expected there after
// the button; told is the start of the notice given, empty for none; stored
// whether 登録 then passes.
void TstForm5::fromSection_data()
{
    QTest::addColumn<bool>("sample");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("button"); // 0 断面から計算, 1 断面から
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("told");
    QTest::addColumn<bool>("stored");

    QTest::newRow("layer volumes")
        << true << QStringList{"1:2:", "2:2:", "3:2:", "4:2:"} << 0
        << QStringList{"1:2:0.360", "2:2:0.264", "4:2:0.120"} << "" << true;
    QTest::newRow("layer volumes with the L typed")
        << true << QStringList{"4:2.4", "1:2:"} << 0 << QStringList{"1:2:0.720", "4:2:0.240"} << ""
        << false;
    QTest::newRow("a layer above the section")
        << true << QStringList{"5:1:0.5"} << 0 << QStringList{"5:2:0.000", "4:2:0.120"}
        << "No.5 の層は断面にかからない" << true;
    QTest::newRow("no heights") << true << QStringList{"1:1:"} << 0 << QStringList{"1:2:0.360"}
                                << "高さを入力した層がありません。" << true;
    QTest::newRow("V, X and Y") << true << QStringList{"5:0", "6:0", "7:0"} << 1
                                << QStringList{"5:0.747", "6:0.382", "7:0.912"} << "" << true;
    QTest::newRow("L not positive")
        << true << QStringList{"4:-1"} << 1 << QStringList{"7:0.912"} << "L が 0 以下" << true;
    QTest::newRow("layers, no closed section")
        << false << QStringList{} << 0 << QStringList{"1:2:2.000", "2:2:3.000"}
        << "閉じた断面がない" << true;
}

void TstForm5::fromSection()
{
    QFETCH(bool, sample);
    QFETCH(QStringList, typed);
    QFETCH(int, button);
    QFETCH(QStringList, shown);
    QFETCH(QString, told);
    QFETCH(bool, stored);
    ScriptedPrompts prompts;
    auto m = block();
    if (sample)
        QVERIFY(Blk_ReadPath(m->BlkData, QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv")));
    Form5 f(*m, prompts);
    f.show();
    type(f, typed);
    (button == 0 ? f.CmdLyrCalc() : f.CmdSpecCalc())->click();
    for (const QString& place : shown) {
        const QStringList p = place.split(u':');
        QCOMPARE(p.size() == 2 ? f.Text1(p[0].toInt())->text()
                               : f.OvtGV()->cellText(p[0].toInt(), p[1].toInt()),
                 p.last());
    }
    QCOMPARE(prompts.shown.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty())
        QVERIFY2(prompts.shown[0].startsWith("information|") &&
                     prompts.shown[0].section(u'|', 2).startsWith(told),
                 qPrintable(prompts.shown[0]));
    QCOMPARE(int(m->UndoCnt), 0);
    f.CmdPara(0)->click();
    QCOMPARE(f.result() == QDialog::Accepted, stored);
}

QTEST_MAIN(TstForm5)
#include "tst_form5.moc"

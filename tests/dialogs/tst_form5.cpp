#include "common/scriptedprompts.h"
#include "common/typing.h"
#include "dialogs/form5.h"
#include "dialogs/ovtgrid.h"
#include "document/blockfile.h"
#include "document/module1.h"
#include "editing/undostack.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
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

QModelIndex cellIndex(const OvtGrid& g, int row, int col)
{
    return g.model()->index(row - g.fixedRows(), col);
}

void clickCell(OvtGrid& g, int row, int col)
{
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {},
                      g.visualRect(cellIndex(g, row, col)).center());
}

// Typed as the user types: into box "index" (clicked, then the keys, then
// Tab), or into the layer cell "row:column" (clicked, the keys, Enter).
void typeAt(Form5& f, const QString& place, const QString& text)
{
    const QStringList p = place.split(u':');
    if (p.size() == 1) {
        QLineEdit* box = f.Text1(p[0].toInt());
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        typeText(text);
        QTest::keyClick(box, Qt::Key_Tab);
    } else {
        clickCell(*f.OvtGV(), p[0].toInt(), p[1].toInt());
        typeText(text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
}

QStringList column(const OvtGrid& g, int col, int rows)
{
    QStringList out;
    for (int r = 1; r <= rows; ++r)
        out << g.cellText(r, col);
    return out;
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
    void typedNumbers_data();
    void typedNumbers();
    void layerRowsInsertedAndDeleted();
    void sizeRememberedAndGrowing();
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

// Typed at the places given ("index" of a box, "row:column" of a layer cell),
// then 登録. shown: the text a box shows after leaving it, where a box was
// typed into; error: the message of the refusal, empty when 登録 passes;
// stored: B, H, V and the layer count stored.
void TstForm5::typedNumbers_data()
{
    QTest::addColumn<QStringList>("places");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("stored");

    const QString tail = "は数値として読めません。数値を入力して下さい。";
    QTest::newRow("full-width B") << QStringList{"2"} << QStringList{"２．５"} << "2.500"
                                  << ""
                                  << "2.5 3 5 2";
    QTest::newRow("letters in H refused") << QStringList{"3"} << QStringList{"abc"} << "abc"
                                          << "寸法 H の「abc」" + tail << "";
    QTest::newRow("full-width layer row")
        << QStringList{"3:1", "3:2", "7"} << QStringList{"０．５", "１", "６"} << "6.000"
        << ""
        << "1 3 6 3";
    QTest::newRow("letters in a layer cell refused")
        << QStringList{"2:2"} << QStringList{"ａｂｃ"} << ""
        << "2 行目の⊿Ｖの「ａｂｃ」" + tail << "";
}

void TstForm5::typedNumbers()
{
    QFETCH(QStringList, places);
    QFETCH(QStringList, texts);
    QFETCH(QString, shown);
    QFETCH(QString, error);
    QFETCH(QString, stored);
    ScriptedPrompts prompts;
    auto m = block();
    const BlkRec before = m->BlkData;
    Form5 f(*m, prompts);
    showActive(f);
    for (int i = 0; i < places.size(); ++i)
        typeAt(f, places[i], texts[i]);
    if (!places.last().contains(u':'))
        QCOMPARE(f.Text1(places.last().toInt())->text(), shown);
    QTest::mouseClick(f.CmdPara(0), Qt::LeftButton);

    QCOMPARE(prompts.errors(), error.isEmpty() ? QStringList{} : QStringList{error});
    QCOMPARE(f.isVisible(), !error.isEmpty());
    if (!error.isEmpty()) {
        QVERIFY(!Blk_Differs(m->BlkData, before));
        QCOMPARE(int(m->UndoCnt), 0);
        return;
    }
    const BlkRec& b = m->BlkData;
    QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(b.B).arg(b.H).arg(b.V).arg(b.LyrCnt), stored);
}

// Ctrl++ and Ctrl+- in the layer table, and 行削除 from its context menu:
// the rows below move, the numbers and the cumulative column follow.
void TstForm5::layerRowsInsertedAndDeleted()
{
    ScriptedPrompts prompts;
    auto m = block();
    Form5 f(*m, prompts);
    f.Option1(1)->click();
    showActive(f);
    OvtGrid& g = *f.OvtGV();
    const OvtGrid& s = *f.OvtGV1();

    clickCell(g, 1, 2);
    QTest::keyClick(&g, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(column(g, 0, 4), (QStringList{"1", "2", "3", ""}));
    QCOMPARE(column(g, 1, 4), (QStringList{"", "1.000", "1.500", ""}));
    QCOMPARE(column(s, 0, 4), (QStringList{"", "2.000", "5.000", ""}));
    typeAt(f, "1:1", "0.5");
    typeAt(f, "1:2", "4");

    // The context menu on row 3: 行削除.
    const QRect cell = g.visualRect(cellIndex(g, 3, 1));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, cell.center(),
                                g.viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(g.viewport(), &menuEvent);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions()[0]->text(), QString("行挿入\tCtrl++"));
    menu->actions()[1]->trigger();
    menu->close();
    QCOMPARE(column(g, 0, 3), (QStringList{"1", "2", ""}));
    QCOMPARE(column(g, 2, 3), (QStringList{"4", "2.000", ""}));
    QCOMPARE(column(s, 0, 3), (QStringList{"", "2.000", ""}));

    clickCell(g, 1, 1);
    QTest::keyClick(&g, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(column(g, 2, 2), (QStringList{"2.000", ""}));
    f.Text1(7)->setText("2");
    QTest::mouseClick(f.CmdPara(0), Qt::LeftButton);
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(m->BlkData.LyrCnt, qint16(1));
    QCOMPARE(m->BlkData.LyrH[0], 1.0);
}

void TstForm5::sizeRememberedAndGrowing()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("mrb_make.ini");
    ScriptedPrompts prompts;
    auto m = block();
    QSize smallest;
    {
        Form5 f(*m, prompts, nullptr, ini);
        smallest = f.size();
        QCOMPARE(f.minimumSize(), smallest);
        f.Option1(1)->click();
        showActive(f);
        const QRect name = f.Text1(0)->geometry();
        const QRect grid = f.OvtGV()->geometry();
        const QRect sums = f.OvtGV1()->geometry();
        const QPoint fromCorner =
            QPoint(f.width(), f.height()) - f.CmdPara(1)->geometry().topLeft();
        f.resize(smallest + QSize(80, 100));
        QCOMPARE(f.Text1(0)->geometry(), name.adjusted(0, 0, 80, 0));
        QCOMPARE(f.OvtGV()->geometry(), grid.adjusted(80, 0, 80, 100));
        QCOMPARE(QPoint(f.width(), f.height()) - f.CmdPara(1)->geometry().topLeft(), fromCorner);
        // The recalculation places the cumulative column again, beside the table.
        f.Command1()->click();
        QCOMPARE(f.OvtGV1()->geometry(), sums.adjusted(80, 0, 80, 100));
        QTest::mouseClick(f.CmdPara(1), Qt::LeftButton);
    }
    QCOMPARE(QSettings(ini, QSettings::IniFormat).value("Form5/size").toSize(),
             smallest + QSize(80, 100));
    Form5 again(*m, prompts, nullptr, ini);
    QCOMPARE(again.size(), smallest + QSize(80, 100));
}

QTEST_MAIN(TstForm5)
#include "tst_form5.moc"

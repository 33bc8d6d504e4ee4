#include "common/scriptedprompts.h"
#include "common/typing.h"
#include "dialogs/form4.h"
#include "dialogs/ovtgrid.h"
#include "document/module1.h"
#include "editing/undostack.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Points (0, 0), (2, 0), (2, 1.2346) joined in a ring, plus a segment whose
// end lies beyond the points (as a file may hold it).
std::unique_ptr<Module1> triangle()
{
    auto m = std::make_unique<Module1>();
    BlkRec& b = m->BlkData;
    b.Name = QStringLiteral("三角");
    b.V = 3;
    b.PntCnt = 3;
    b.PntX = {0, 0, 2, 2};
    b.PntY = {0, 0, 0, 1.2346};
    b.LineCnt = 4;
    b.LineSt = {0, 1, 2, 3, 1};
    b.LineEd = {0, 2, 3, 1, 9};
    return m;
}

QStringList row(const OvtGrid& g, int r)
{
    return {g.cellText(r, 0), g.cellText(r, 1), g.cellText(r, 2)};
}

// Points 1..4 of a 2 x 1.5 rectangle joined in a ring 1-2, 2-3, 3-4, 4-1.
std::unique_ptr<Module1> square()
{
    auto m = std::make_unique<Module1>();
    BlkRec& b = m->BlkData;
    b.PntCnt = 4;
    b.PntX = {0, 0, 2, 2, 0};
    b.PntY = {0, 0, 0, 1.5, 1.5};
    b.LineCnt = 4;
    b.LineSt = {0, 1, 2, 3, 4};
    b.LineEd = {0, 2, 3, 4, 1};
    return m;
}

QStringList segments(const BlkRec& b)
{
    QStringList out;
    for (int k = 1; k <= b.LineCnt; ++k)
        out << QStringLiteral("%1-%2").arg(b.LineSt[k]).arg(b.LineEd[k]);
    return out;
}

QStringList points(const BlkRec& b)
{
    QStringList out;
    for (int i = 1; i <= b.PntCnt; ++i)
        out << QStringLiteral("%1,%2").arg(b.PntX[i]).arg(b.PntY[i]);
    return out;
}

void showActive(QWidget& w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Clicks the grid cell (row, column); with Shift, the selection extends to it.
void clickCell(OvtGrid& g, int row, int col, Qt::KeyboardModifiers mods = {})
{
    const QModelIndex i = g.model()->index(row - g.fixedRows(), col);
    g.scrollTo(i);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, mods, g.visualRect(i).center());
}

// What the user does in the table, as "action:row:column:text": "type"
// (the text typed with full-width characters as they are, then Enter),
// "clear" (both cells of the row selected, then Delete), "paste" (the text
// from the clipboard with Ctrl+V into column 1), "insert" / "remove"
// (Ctrl++ / Ctrl+- on the row).
void play(OvtGrid& g, const QStringList& actions)
{
    for (const QString& a : actions) {
        const QStringList p = a.split(u':');
        const int r = p.value(1).toInt();
        if (p[0] == u"type") {
            clickCell(g, r, p[2].toInt());
            typeText(p[3]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (p[0] == u"clear") {
            clickCell(g, r, 1);
            clickCell(g, r, 2, Qt::ShiftModifier);
            QTest::keyClick(&g, Qt::Key_Delete);
        } else if (p[0] == u"paste") {
            QGuiApplication::clipboard()->setText(p[2]);
            clickCell(g, r, 1);
            QTest::keyClick(&g, Qt::Key_V, Qt::ControlModifier);
        } else if (p[0] == u"insert") {
            clickCell(g, r, 1);
            QTest::keyClick(&g, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
        } else if (p[0] == u"remove") {
            clickCell(g, r, 1);
            QTest::keyClick(&g, Qt::Key_Minus, Qt::ControlModifier);
        }
    }
}

} // namespace

class TstForm4 : public QObject
{
    Q_OBJECT
private slots:
    void showsPoints();
    void closeAndRelink_data();
    void closeAndRelink();
    void enterInGridDoesNotClose();
    void registering_data();
    void registering();
    void rowsFollowInsertAndDelete();
    void sizeRemembered();
};

void TstForm4::showsPoints()
{
    ScriptedPrompts prompts;
    auto m = triangle();
    Form4 f(*m, prompts);
    const OvtGrid& g = *f.OvtGP();
    QCOMPARE(f.windowTitle(), QString("構成点編集"));
    QCOMPARE(row(g, 0), (QStringList{"No.", "X (m)", "Y (m)"}));
    QCOMPARE(row(g, 1), (QStringList{"1", "0.000", "0.000"}));
    QCOMPARE(row(g, 3), (QStringList{"3", "2.000", "1.235"}));
    QCOMPARE(row(g, 4), (QStringList{"", "", ""}));
    QCOMPARE(g.dataRowCount(), 100);
    QCOMPARE(g.widthTwips(), 3070);
    QCOMPARE(f.Label1()->text(), QString("外側４隅の点を右回りで最初に登録して下さい。"));
    QCOMPARE(f.CmdP(0)->text() + f.CmdP(1)->text(), QString("登  録ｷｬﾝｾﾙ"));
}

// Edits are "row:column:text" typed into the grid before the button is pressed.
void TstForm4::closeAndRelink_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("lines");

    QTest::newRow("register unchanged") << QStringList{} << 0 << 3 << 3;
    QTest::newRow("register a new point") << QStringList{"4:1:1", "4:2:1"} << 0 << 4 << 3;
    QTest::newRow("register a moved point, segments deleted")
        << QStringList{"2:1:2.5"} << 0 << 3 << 1;
    QTest::newRow("cancel after typing") << QStringList{"2:1:2.5", "1:1:"} << 1 << 3 << 3;
}

void TstForm4::closeAndRelink()
{
    QFETCH(QStringList, edits);
    QFETCH(int, button);
    ScriptedPrompts prompts;
    prompts.chooseAnswers = {1}; // 削除する, should segments go
    auto m = triangle();
    const BlkRec before = m->BlkData;
    prompts.onExec = [&](QDialog& d) {
        auto& f = static_cast<Form4&>(d);
        for (const QString& e : edits)
            f.OvtGP()->setCellText(e.section(u':', 0, 0).toInt(), e.section(u':', 1, 1).toInt(),
                                   e.section(u':', 2));
        f.CmdP(button)->click();
        return f.result();
    };
    const int result = runPointEditor(*m, prompts, nullptr);

    QCOMPARE(result, button == 0 ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QTEST(int(m->BlkData.PntCnt), "points");
    QTEST(int(m->BlkData.LineCnt), "lines"); // the segment to point 9 is gone either way
    QCOMPARE(m->BlkData.PntY[3], 1.2346);    // untouched, so not rounded
    QCOMPARE(int(m->UndoCnt), button == 0 ? 1 : 0);
    if (button == 0) {
        QCOMPARE(m->UndoName[0], QString("点編集"));
        Undo_Pop(*m);
        QVERIFY(!Blk_Differs(m->BlkData, before));
        QCOMPARE(m->BlkData.LineEd[4], qint16(9));
    }
}

void TstForm4::enterInGridDoesNotClose()
{
    ScriptedPrompts prompts;
    auto m = triangle();
    Form4 f(*m, prompts);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    OvtGrid* g = f.OvtGP();
    g->setFocus();
    g->setCurrentIndex(g->model()->index(3, 1)); // grid row 4
    QTest::keyClicks(g, "7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(g, Qt::Key_Return);
    QVERIFY(f.isVisible());
    QCOMPARE(f.result(), 0);
    QCOMPARE(g->cellText(4, 1), QString("7"));
    QCOMPARE(g->currentIndex().row(), 5); // two rows further down
}

// On the ring 1-2, 2-3, 3-4, 4-1: the actions (see play), then 登録 with the
// answers given to the questions; asked lists the questions shown
// ("kind|title|text"), stored whether the dialog closed with the points and
// segments given (otherwise nothing changed and it is still open).
void TstForm4::registering_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QList<bool>>("okAnswers");
    QTest::addColumn<QList<int>>("chooseAnswers");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QStringList>("newPoints");
    QTest::addColumn<QStringList>("newSegments");

    const QStringList square = {"0,0", "2,0", "2,1.5", "0,1.5"};
    const QStringList ring = {"1-2", "2-3", "3-4", "4-1"};
    const QString moved = "choose|確認|点の移動により次の線分が削除されます: 1-2, 2-3|"
                          "線分を付け直す/削除する/キャンセル";
    const QString cut = "okCancel|確認|2 行目が空のため、それ以降の 2 点は登録されません。"
                        "登録しますか?";

    QTest::newRow("full-width typed")
        << QStringList{"type:5:1:１．５", "type:5:2:－０．２５"} << QList<bool>{} << QList<int>{}
        << QStringList{} << true << (square + QStringList{"1.5,-0.25"}) << ring;
    QTest::newRow("full-width pasted")
        << QStringList{"paste:5:１．５\t２"} << QList<bool>{} << QList<int>{} << QStringList{}
        << true << (square + QStringList{"1.5,2"}) << ring;
    QTest::newRow("full-width typed over a point, moved with its segments")
        << QStringList{"type:2:1:２．５"} << QList<bool>{} << QList<int>{0} << QStringList{moved}
        << true << QStringList{"0,0", "2.5,0", "2,1.5", "0,1.5"} << ring;
    QTest::newRow("moved point, segments deleted")
        << QStringList{"type:2:1:2.5"} << QList<bool>{} << QList<int>{1} << QStringList{moved}
        << true << QStringList{"0,0", "2.5,0", "2,1.5", "0,1.5"} << QStringList{"3-4", "4-1"};
    QTest::newRow("moved point, cancelled")
        << QStringList{"type:2:1:2.5"} << QList<bool>{} << QList<int>{2} << QStringList{moved}
        << false << square << ring;
    QTest::newRow("letters refused")
        << QStringList{"type:3:2:abc"} << QList<bool>{} << QList<int>{}
        << QStringList{"error|Error|3 行目の Y 座標の「abc」は数値として読めません。"
                       "数値を入力して下さい。"}
        << false << square << ring;
    QTest::newRow("empty middle row, cancelled")
        << QStringList{"clear:3"} << QList<bool>{false} << QList<int>{}
        << QStringList{"okCancel|確認|3 行目が空のため、それ以降の 1 点は登録されません。"
                       "登録しますか?"}
        << false << square << ring;
    QTest::newRow("empty middle row, registered")
        << QStringList{"clear:2"} << QList<bool>{true} << QList<int>{0}
        << QStringList{cut, "choose|確認|点の削除により次の線分が削除されます: 1-2, 2-3, 3-4, 4-1|"
                            "削除する/キャンセル"}
        << true << QStringList{"0,0"} << QStringList{};
    QTest::newRow("-999 pair in a middle row")
        << QStringList{"type:2:1:-999", "type:2:2:－９９９"} << QList<bool>{false} << QList<int>{}
        << QStringList{"okCancel|確認|2 行目が (-999, -999) のため、それ以降の 2 "
                       "点は登録されません。"
                       "登録しますか?"}
        << false << square << ring;
    QTest::newRow("last row cleared, no question of rows")
        << QStringList{"clear:4"} << QList<bool>{} << QList<int>{0}
        << QStringList{"choose|確認|点の削除により次の線分が削除されます: 3-4, 4-1|"
                       "削除する/キャンセル"}
        << true << square.mid(0, 3) << QStringList{"1-2", "2-3"};
}

void TstForm4::registering()
{
    QFETCH(QStringList, actions);
    QFETCH(QList<bool>, okAnswers);
    QFETCH(QList<int>, chooseAnswers);
    QFETCH(QStringList, asked);
    QFETCH(bool, stored);
    QFETCH(QStringList, newPoints);
    QFETCH(QStringList, newSegments);
    ScriptedPrompts prompts;
    prompts.okCancelAnswers = okAnswers;
    prompts.chooseAnswers = chooseAnswers;
    auto m = square();
    const BlkRec before = m->BlkData;
    prompts.onExec = [&](QDialog& d) {
        auto& f = static_cast<Form4&>(d);
        showActive(f);
        play(*f.OvtGP(), actions);
        QTest::mouseClick(f.CmdP(0), Qt::LeftButton);
        [&] { QCOMPARE(f.isVisible(), !stored); }();
        return f.result();
    };
    runPointEditor(*m, prompts, nullptr);
    prompts.shown.removeFirst(); // the exec
    QCOMPARE(prompts.shown, asked);
    QCOMPARE(points(m->BlkData), newPoints);
    QCOMPARE(segments(m->BlkData), newSegments);
    QCOMPARE(int(m->UndoCnt), stored ? 1 : 0);
    if (stored) {
        QCOMPARE(m->UndoName[0], QString("点編集"));
        Undo_Pop(*m);
        QVERIFY(!Blk_Differs(m->BlkData, before));
    }
}

// A row inserted above point 2 and point 1 deleted: the rows remember their
// points, so point 3 moved afterwards takes its segments along.
void TstForm4::rowsFollowInsertAndDelete()
{
    ScriptedPrompts prompts;
    prompts.chooseAnswers = {0}; // 線分を付け直す
    auto m = square();
    Form4 f(*m, prompts);
    showActive(f);
    OvtGrid& g = *f.OvtGP();
    play(g, {"insert:2", "type:2:1:1", "type:2:2:－１"});
    QCOMPARE(row(g, 2), (QStringList{"2", "1", "－１"}));
    QCOMPARE(row(g, 3), (QStringList{"3", "2.000", "0.000"}));
    QCOMPARE(row(g, 5), (QStringList{"5", "0.000", "1.500"}));
    QCOMPARE(row(g, 6), (QStringList{"", "", ""}));
    play(g, {"remove:3", "type:3:1:3"}); // old point 2 goes, old point 3 moves to x = 3
    QCOMPARE(row(g, 3), (QStringList{"3", "3", "1.500"}));
    QCOMPARE(row(g, 5), (QStringList{"", "", ""}));
    QTest::mouseClick(f.CmdP(0), Qt::LeftButton);
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(prompts.kind("choose").size(), 1);
    QVERIFY2(prompts.shown.last().contains("点の移動により次の線分が削除されます: 3-4\n"
                                           "点の削除により次の線分も削除されます: 1-2, 2-3|"),
             qPrintable(prompts.shown.last()));
    QCOMPARE(points(m->BlkData), (QStringList{"0,0", "1,-1", "3,1.5", "0,1.5"}));
    QCOMPARE(segments(m->BlkData), (QStringList{"3-4", "4-1"}));
}

void TstForm4::sizeRemembered()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("mrb_make.ini");
    ScriptedPrompts prompts;
    auto m = square();
    QSize smallest;
    {
        Form4 f(*m, prompts, nullptr, ini);
        smallest = f.size();
        QCOMPARE(f.minimumSize(), smallest);
        showActive(f);
        f.resize(smallest + QSize(40, 60));
        QTest::mouseClick(f.CmdP(1), Qt::LeftButton);
    }
    QCOMPARE(QSettings(ini, QSettings::IniFormat).value("Form4/size").toSize(),
             smallest + QSize(40, 60));
    Form4 again(*m, prompts, nullptr, ini);
    QCOMPARE(again.size(), smallest + QSize(40, 60));
    // A size smaller than the dialog's smallest is not taken.
    QSettings(ini, QSettings::IniFormat).setValue("Form4/size", QSize(50, 50));
    Form4 small(*m, prompts, nullptr, ini);
    QCOMPARE(small.size(), smallest);
}

QTEST_MAIN(TstForm4)
#include "tst_form4.moc"

#include "common/scriptedprompts.h"
#include "dialogs/form4.h"
#include "dialogs/ovtgrid.h"
#include "document/module1.h"
#include "editing/undostack.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
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

} // namespace

class TstForm4 : public QObject
{
    Q_OBJECT
private slots:
    void showsPoints();
    void closeAndRelink_data();
    void closeAndRelink();
    void enterInGridDoesNotClose();
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
    QTest::newRow("register a moved point") << QStringList{"2:1:2.5"} << 0 << 3 << 1;
    QTest::newRow("cancel after typing") << QStringList{"2:1:2.5", "1:1:"} << 1 << 3 << 3;
}

void TstForm4::closeAndRelink()
{
    QFETCH(QStringList, edits);
    QFETCH(int, button);
    ScriptedPrompts prompts;
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

QTEST_MAIN(TstForm4)
#include "tst_form4.moc"

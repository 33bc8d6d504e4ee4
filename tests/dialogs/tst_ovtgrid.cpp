#include "common/scriptedprompts.h"
#include "dialogs/ovtgrid.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A grid of one header row, three data rows, the number column and two more.
std::unique_ptr<OvtGrid> makeGrid(Prompts& prompts, int rows = 4)
{
    auto g = std::make_unique<OvtGrid>(prompts);
    g->setRowCount(rows);
    g->setColumnCount(3);
    g->setFixedRows(1);
    g->setFixedColumns(1);
    return g;
}

// The editable cells of rows 1..3, row by row.
QStringList cells(const OvtGrid& g)
{
    QStringList out;
    for (int r = 1; r <= 3; ++r)
        out << g.cellText(r, 1) << g.cellText(r, 2);
    return out;
}

// Grid (row, column) as the view's index: the header row is not a view row.
QModelIndex at(const OvtGrid& g, int row, int col)
{
    return g.model()->index(row - g.fixedRows(), col);
}

} // namespace

class TstOvtGrid : public QObject
{
    Q_OBJECT
private slots:
    void rowText_data();
    void rowText();
    void sizesReadBack();
    void rowPositionComesToRest();
    void paste_data();
    void paste();
    void copyAndDelete();
    void typingReplacesAndMovesOn();
    void rowKeys_data();
    void rowKeys();
    void insertRefusedWhenLastRowHolds();
};

void TstOvtGrid::rowText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("row");
    QTest::newRow("three pieces") << "1\t2.000\t-3.500" << QStringList{"1", "2.000", "-3.500"};
    QTest::newRow("one piece") << "7" << QStringList{"7", "old", "old"};
    QTest::newRow("extra pieces cut") << "a\tb\tc\td" << QStringList{"a", "b", "c"};
}

void TstOvtGrid::rowText()
{
    QFETCH(QString, text);
    ScriptedPrompts prompts;
    auto g = makeGrid(prompts);
    g->setRowText(2, "old\told\told");
    g->setRowText(2, text);
    QTEST((QStringList{g->cellText(2, 0), g->cellText(2, 1), g->cellText(2, 2)}), "row");
    QCOMPARE(g->cellText(1, 1), QString());
}

void TstOvtGrid::sizesReadBack()
{
    ScriptedPrompts prompts;
    auto g = makeGrid(prompts);
    QFont small = g->font();
    small.setPixelSize(10); // no bigger than the layouts' design font: no enlargement
    g->setFont(small);
    const int twips[] = {500, 1100, 950};
    for (int c = 0; c < 3; ++c)
        g->setColumnWidthTwips(c, twips[c]);
    g->clear(); // a model reset must not give the columns their default widths back
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(g->columnWidthTwips(c), twips[c]);
        QCOMPARE(g->columnWidth(c), qRound(twips[c] * g->logicalDpiX() / 1440.0));
    }
    QFont large = small;
    large.setPixelSize(30); // a large font enlarges the grid, the twips stay as set
    g->setFont(large);
    g->setColumnWidthTwips(1, 1100);
    QVERIFY(g->columnWidth(1) > 2 * qRound(1100 * g->logicalDpiX() / 1440.0));
    QCOMPARE(g->columnWidthTwips(1), 1100);
    g->setWidthTwips(2917);
    g->setLeftTwips(2941);
    QCOMPARE(g->widthTwips(), 2917);
    QCOMPARE(g->leftTwips(), 2941);
}

void TstOvtGrid::rowPositionComesToRest()
{
    ScriptedPrompts prompts;
    auto a = makeGrid(prompts, 60);
    auto b = makeGrid(prompts, 60);
    QSignalSpy spyA(a.get(), &OvtGrid::topRowChanged);
    QSignalSpy spyB(b.get(), &OvtGrid::topRowChanged);
    connect(a.get(), &OvtGrid::topRowChanged, b.get(), &OvtGrid::setTopRow);
    connect(b.get(), &OvtGrid::topRowChanged, a.get(), &OvtGrid::setTopRow);
    for (OvtGrid* g : {a.get(), b.get()}) {
        g->resize(200, 150);
        g->show();
        QVERIFY(QTest::qWaitForWindowExposed(g));
    }
    a->setTopRow(20);
    QCOMPARE(b->topRow(), 20);
    QCOMPARE(spyA.count(), 1);
    QCOMPARE(spyB.count(), 1);
    a->setTopRow(20);
    b->setTopRow(20);
    QCOMPARE(spyA.count() + spyB.count(), 2);
    b->setTopRow(5);
    QCOMPARE(a->topRow(), 5);
    QCOMPARE(spyA.takeLast().at(0).toInt(), 5);
}

void TstOvtGrid::paste_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("told");

    QTest::newRow("two spreadsheet rows") << 1 << 1 << "1\t2\r\n3\t4\r\n"
                                          << QStringList{"1", "2", "3", "4", "", ""} << "";
    QTest::newRow("rows cut") << 2 << 1 << "1\n2\n3" << QStringList{"", "", "1", "", "2", ""}
                              << "下の 1 行";
    QTest::newRow("rows and columns cut")
        << 3 << 2 << "1\t2\n3" << QStringList{"", "", "", "", "", "1"} << "下の 1 行と右の 1 列";
    QTest::newRow("from the number column")
        << 1 << 0 << "9" << QStringList{"9", "", "", "", "", ""} << "";
}

void TstOvtGrid::paste()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QString, told);
    ScriptedPrompts prompts;
    auto g = makeGrid(prompts);
    g->setCurrentIndex(at(*g, row, col));
    g->pasteText(text);
    QTEST(cells(*g), "cells");
    const QStringList info = prompts.kind("information");
    QCOMPARE(info.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty())
        QVERIFY2(info[0].contains("はみ出した" + told + "は貼り付けませんでした"),
                 qPrintable(info[0]));
}

void TstOvtGrid::copyAndDelete()
{
    ScriptedPrompts prompts;
    auto g = makeGrid(prompts);
    g->pasteText("a\tb\nc\td\ne\tf");
    for (int r = 1; r <= 3; ++r)
        g->setCellData(r, 1, r * 1.5);
    g->selectionModel()->select(QItemSelection(at(*g, 1, 1), at(*g, 2, 2)),
                                QItemSelectionModel::ClearAndSelect);
    QCOMPARE(g->copyText(), QString("a\tb\nc\td"));
    QTest::keyClick(g.get(), Qt::Key_Delete);
    QCOMPARE(cells(*g), (QStringList{"", "", "", "", "e", "f"}));
    QVERIFY(!g->cellData(1, 1).isValid());
    QCOMPARE(g->cellData(3, 1).toDouble(), 4.5);
}

void TstOvtGrid::typingReplacesAndMovesOn()
{
    ScriptedPrompts prompts;
    auto g = makeGrid(prompts);
    g->show();
    QVERIFY(QTest::qWaitForWindowExposed(g.get()));
    g->setRowText(1, "1\t123\t5");
    g->setCellData(1, 1, 123.0004);
    g->setCellData(1, 2, 5.0);
    g->setCellText(1, 2, "5"); // the same text: the data stays
    g->setCurrentIndex(at(*g, 1, 1));
    QTest::keyClicks(g.get(), "9");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(g->cellText(1, 1), QString("9"));
    QVERIFY(!g->cellData(1, 1).isValid());
    QCOMPARE(g->cellData(1, 2).toDouble(), 5.0);
    QCOMPARE(g->currentIndex(), at(*g, 2, 1));

    g->setCurrentIndex(at(*g, 2, 2));
    QTest::keyClick(g.get(), Qt::Key_Tab);
    QCOMPARE(g->currentIndex(), at(*g, 3, 1)); // past the number column
}

// A key on row 2 of rows "1 a b", "2 c d", "3 e f" with row data 10, 20, 30;
// the key is sent while a cell is being edited where editing is true.
void TstOvtGrid::rowKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mods");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QStringList>("rows"); // "number text text rowdata", rows 1..3

    const int ctrl = int(Qt::ControlModifier);
    const QStringList inserted = {"1 a b 10", "2   0", "3 c d 20"};
    const QStringList removed = {"1 a b 10", "2 e f 30", "   0"};
    QTest::newRow("Ctrl+Shift++") << int(Qt::Key_Plus) << int(ctrl | Qt::ShiftModifier) << false
                                  << inserted;
    QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << ctrl << false << inserted;
    QTest::newRow("keypad Ctrl++")
        << int(Qt::Key_Plus) << int(ctrl | Qt::KeypadModifier) << false << inserted;
    QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << ctrl << false << removed;
    QTest::newRow("Ctrl++ while editing keeps the typing")
        << int(Qt::Key_Plus) << int(ctrl | Qt::ShiftModifier) << true
        << QStringList{"1 a b 10", "2   0", "3 x d 20"};
    QTest::newRow("plain minus is typed")
        << int(Qt::Key_Minus) << 0 << false << QStringList{"1 a b 10", "2 - d 20", "3 e f 30"};
}

void TstOvtGrid::rowKeys()
{
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(bool, editing);
    ScriptedPrompts prompts;
    auto g = makeGrid(prompts, 5); // room below for a row inserted
    g->show();
    g->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(g.get()));
    g->pasteText("a\tb\nc\td\ne\tf");
    for (int r = 1; r <= 3; ++r) {
        g->setCellText(r, 0, QString::number(r));
        g->setRowData(r, r * 10);
    }
    QSignalSpy inserted(g.get(), &OvtGrid::rowInsertedAt);
    QSignalSpy removed(g.get(), &OvtGrid::rowRemovedAt);
    const QModelIndex cell = at(*g, 2, 1);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(cell).center());
    if (editing) {
        QTest::keyClick(g.get(), Qt::Key_X);
        QVERIFY(QApplication::focusWidget() != g.get()); // the cell editor
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(mods));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QStringList rows;
    for (int r = 1; r <= 3; ++r)
        rows << QStringList{g->cellText(r, 0), g->cellText(r, 1), g->cellText(r, 2),
                            QString::number(g->rowData(r).toInt())}
                    .join(u' ');
    QTEST(rows, "rows");
    QCOMPARE(inserted.size() + removed.size(), (mods & Qt::ControlModifier) ? 1 : 0);
}

void TstOvtGrid::insertRefusedWhenLastRowHolds()
{
    ScriptedPrompts prompts;
    auto g = makeGrid(prompts);
    g->pasteText("a\tb\nc\td\ne\tf");
    g->setCurrentIndex(at(*g, 1, 1));
    QTest::keyClick(g.get(), Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(cells(*g), (QStringList{"a", "b", "c", "d", "e", "f"}));
    QCOMPARE(prompts.kind("information"),
             QStringList{"表の最後の行に値が入っているため、行を挿入できません。"});
    // Not editable: neither key changes anything, and no word is said.
    g->setEditable(false);
    g->setCurrentIndex(at(*g, 1, 1));
    QTest::keyClick(g.get(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(cells(*g), (QStringList{"a", "b", "c", "d", "e", "f"}));
}

QTEST_MAIN(TstOvtGrid)
#include "tst_ovtgrid.moc"

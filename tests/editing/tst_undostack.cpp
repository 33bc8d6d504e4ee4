#include "document/module1.h"
#include "editing/undostack.h"

#include <QTest>

#include <memory>

namespace {

// A block told apart by its volume alone.
BlkRec block(double v)
{
    BlkRec r;
    r.V = v;
    return r;
}

// Makes an edit the way the program does: snapshot first, then the change.
void edit(Module1& m, double v, const QString& name = QStringLiteral("諸条件修正"))
{
    Undo_Push(m, m.BlkData, name);
    m.BlkData.V = v;
}

} // namespace

class TstUndoStack : public QObject
{
    Q_OBJECT
private slots:
    void undoRedo_data();
    void undoRedo();
    void fullStackDropsOldest();
    void undoToSavedIsNotModified();
};

// Steps: a number is an edit to that volume, "u" an undo, "r" a redo, "c" a clear.
void TstUndoStack::undoRedo_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<double>("volume");
    QTest::addColumn<int>("undoCnt");
    QTest::addColumn<int>("redoCnt");

    QTest::newRow("undo in reverse order") << QStringList{"1", "2", "3", "u", "u"} << 1.0 << 1 << 2;
    QTest::newRow("undo of everything") << QStringList{"1", "2", "u", "u"} << 0.0 << 0 << 2;
    QTest::newRow("undo on empty stack") << QStringList{"u"} << 0.0 << 0 << 0;
    QTest::newRow("redo takes back the undo") << QStringList{"1", "2", "u", "r"} << 2.0 << 2 << 0;
    QTest::newRow("redo twice") << QStringList{"1", "2", "u", "u", "r", "r"} << 2.0 << 2 << 0;
    QTest::newRow("redo with nothing undone") << QStringList{"1", "r"} << 1.0 << 1 << 0;
    QTest::newRow("new edit empties redo") << QStringList{"1", "2", "u", "5", "r"} << 5.0 << 2 << 0;
    QTest::newRow("clear empties both")
        << QStringList{"1", "2", "u", "c", "u", "r"} << 1.0 << 0 << 0;
}

void TstUndoStack::undoRedo()
{
    QFETCH(QStringList, steps);
    auto m = std::make_unique<Module1>();
    for (const QString& s : steps) {
        if (s == u"u")
            Undo_Pop(*m);
        else if (s == u"r")
            Redo_Pop(*m);
        else if (s == u"c")
            Undo_Clear(*m);
        else
            edit(*m, s.toDouble());
    }
    QTEST(m->BlkData.V, "volume");
    QTEST(int(m->UndoCnt), "undoCnt");
    QTEST(int(m->RedoData.size()), "redoCnt");
    QCOMPARE(Redo_Available(*m), !m->RedoData.empty());
}

void TstUndoStack::fullStackDropsOldest()
{
    auto m = std::make_unique<Module1>();
    for (int i = 1; i <= 105; ++i)
        edit(*m, i, QString::number(i));
    QCOMPARE(m->UndoCnt, qint16(101));
    QCOMPARE(m->UndoName[0], QStringLiteral("105"));
    QCOMPARE(m->UndoData[0].V, 104.0);
    // Snapshots before 5 are gone; the oldest kept is the one before edit 5.
    QCOMPARE(m->UndoData[100].V, 4.0);
    for (int i = 0; i < 101; ++i)
        Undo_Pop(*m);
    QCOMPARE(m->BlkData.V, 4.0);
    QCOMPARE(m->UndoCnt, qint16(0));
    // Redo walks all the way back again.
    for (int i = 0; i < 101; ++i)
        Redo_Pop(*m);
    QCOMPARE(m->BlkData.V, 105.0);
    QCOMPARE(m->UndoName[0], QStringLiteral("105"));
}

void TstUndoStack::undoToSavedIsNotModified()
{
    auto m = std::make_unique<Module1>();
    m->BlkData = block(7);
    m->SaveData = m->BlkData;
    edit(*m, 8);
    edit(*m, 9);
    QVERIFY(Data_Modified(*m));
    Undo_Pop(*m);
    Undo_Pop(*m);
    QVERIFY(!Data_Modified(*m));
    Redo_Pop(*m);
    QVERIFY(Data_Modified(*m));
}

QTEST_GUILESS_MAIN(TstUndoStack)
#include "tst_undostack.moc"

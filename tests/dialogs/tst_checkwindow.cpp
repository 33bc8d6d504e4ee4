#include "dialogs/checkwindow.h"
#include "document/blockfile.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

// The 2t sample; damaged, without its closing segment 8 (points 8–1) and
// with another V.
BlkRec sample(bool damaged = false, double V = 1.5)
{
    BlkRec b;
    if (!Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv")))
        qFatal("sample missing");
    if (damaged) {
        b.LineCnt = 7;
        b.V = V;
    }
    return b;
}

// Rows with caution, by the mark in their 判定 cell.
QList<CheckId> cautions(const CheckWindow& w)
{
    QList<CheckId> out;
    for (int r = 0; r < w.table()->rowCount(); ++r) {
        if (w.table()->item(r, CheckWindow::VerdictColumn)->text() == u"! 注意")
            out << CheckId(r);
    }
    return out;
}

} // namespace

class TstCheckWindow : public QObject
{
    Q_OBJECT
private slots:
    void rowsAndMarks();
    void levelsWhereTheTableDisagrees();
};

void TstCheckWindow::rowsAndMarks()
{
    CheckWindow w;
    w.resize(500, 160); // small enough to scroll
    w.showReport(checkBlock(sample(true)));
    QCOMPARE(w.table()->rowCount(), kCheckCount);
    QCOMPARE(cautions(w), (QList<CheckId>{CheckId::CumulativeVolume, CheckId::ClosedSection,
                                          CheckId::OpenEnds}));
    QCOMPARE(w.summary()->text(), QStringLiteral("検査: 注意 3"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QSignalSpy changed(&w, &CheckWindow::marksChanged);
    QTableWidget* t = w.table();
    const QRect cell = t->visualItemRect(t->item(int(CheckId::OpenEnds), 0));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    const CheckMarks ends{{1, 8}, {1, 7}, {}}; // the open ends and their segments
    QCOMPARE(w.marks(), ends);
    QCOMPARE(changed.size(), 1);

    // A fresh report keeps row, scroll position and, while equal, the marks,
    // even with the selected row scrolled out of sight.
    t->verticalScrollBar()->setValue(0);
    w.showReport(checkBlock(sample(true, 2)));
    QCOMPARE(w.selectedCheck(), CheckId::OpenEnds);
    QCOMPARE(t->verticalScrollBar()->value(), 0);
    QCOMPARE(changed.size(), 1);

    // The keys move the selection; a passing row marks nothing.
    QTest::keyClick(t, Qt::Key_Down);
    QCOMPARE(w.selectedCheck(), CheckId::BranchPoints);
    QVERIFY(w.marks().isEmpty());
    QTest::keyClick(t, Qt::Key_Up);
    QCOMPARE(w.marks(), ends);
    QCOMPARE(changed.size(), 3);

    // Mended, the row stays selected and its marks go; closing clears them.
    w.showReport(checkBlock(sample()));
    QCOMPARE(cautions(w), QList<CheckId>());
    QCOMPARE(w.summary()->text(), QStringLiteral("検査: 合格"));
    QCOMPARE(w.selectedCheck(), CheckId::OpenEnds);
    QVERIFY(w.marks().isEmpty());
    w.showReport(checkBlock(sample(true)));
    w.close();
    QCOMPARE(w.selectedCheck(), std::nullopt);
    QVERIFY(w.marks().isEmpty());
    QCOMPARE(changed.size(), 6);
}

// The 8 t sample's layers are 0.5 m high: at 1 m the table is exact, half
// way up a layer its straight line misses the slanted face.
void TstCheckWindow::levelsWhereTheTableDisagrees()
{
    BlkRec b;
    QVERIFY(Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv")));
    FigureSettings s;
    s.levels = {{QStringLiteral("H.W.L."), 1.0}, {QStringLiteral("L.W.L."), 0.25}};
    CheckWindow w;
    w.showReport(checkBlock(b));
    w.showFigures(blockFigures(b, s), s);
    QCOMPARE(w.tabs()->tabText(1), QStringLiteral("質量・浮力"));
    QTableWidget* t = w.levelTable();
    QCOMPARE(t->rowCount(), 2);
    QCOMPARE(t->horizontalHeaderItem(2)->text(), QStringLiteral("水中体積 断面 (m3)"));
    QCOMPARE((QStringList{t->item(1, 2)->text(), t->item(1, 3)->text()}),
             (QStringList{"0.536", "0.523"}));
    auto marked = [&](int row) { return t->item(row, 3)->data(Qt::BackgroundRole).isValid(); };
    QVERIFY(!marked(0));
    QVERIFY(marked(1));
    QVERIFY(
        w.levelNotes()->text().startsWith(QStringLiteral("L.W.L.：層別体積表は断面と -0.014 m3")));

    // Levels gone: the hint says where to add them.
    s.levels.clear();
    w.showFigures(blockFigures(b, s), s);
    QCOMPARE(t->rowCount(), 0);
    QVERIFY(w.levelNotes()->isHidden());
}

QTEST_MAIN(TstCheckWindow)
#include "tst_checkwindow.moc"

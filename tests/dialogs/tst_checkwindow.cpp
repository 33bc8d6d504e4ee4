#include "dialogs/checkwindow.h"
#include "document/blockfile.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

Q_DECLARE_METATYPE(QList<CheckId>)

namespace {

BlkRec sample()
{
    BlkRec b;
    if (!Blk_ReadPath(b, QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv")))
        qFatal("sample missing");
    return b;
}

// The 2t sample with its closing segment 8 (points 8–1) gone and V changed.
BlkRec broken()
{
    BlkRec b = sample();
    b.LineCnt = 7;
    b.V = 1.5;
    return b;
}

QList<CheckId> cautions(const CheckWindow& w)
{
    QList<CheckId> out;
    for (int r = 0; r < w.table()->rowCount(); ++r) {
        if (w.table()->item(r, CheckWindow::VerdictColumn)->text().endsWith(u"注意"))
            out << CheckId(r);
    }
    return out;
}

void clickRow(CheckWindow& w, CheckId id)
{
    QTableWidget* t = w.table();
    const QRect cell = t->visualItemRect(t->item(int(id), CheckWindow::TitleColumn));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

class TstCheckWindow : public QObject
{
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void marksFollowSelection();
};

void TstCheckWindow::rows_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<QList<CheckId>>("expected");
    QTest::addColumn<QString>("summary");
    QTest::newRow("sample") << false << QList<CheckId>{} << "検査: 合格";
    QTest::newRow("segment deleted, V changed")
        << true
        << QList<CheckId>{CheckId::CumulativeVolume, CheckId::ClosedSection, CheckId::OpenEnds}
        << "検査: 注意 3";
}

void TstCheckWindow::rows()
{
    QFETCH(bool, damaged);
    CheckWindow w;
    w.showReport(checkBlock(damaged ? broken() : sample()));
    QCOMPARE(w.windowTitle(), QStringLiteral("ブロック検査"));
    QCOMPARE(w.table()->rowCount(), kCheckCount);
    QTEST(cautions(w), "expected");
    QTEST(w.summary()->text(), "summary");
    // Every row shows its verdict with its mark.
    for (int r = 0; r < kCheckCount; ++r) {
        const QString v = w.table()->item(r, CheckWindow::VerdictColumn)->text();
        QVERIFY2(v == "✓ 合格" || v == "! 注意" || v == "－ 判定不可", qPrintable(v));
    }
}

void TstCheckWindow::marksFollowSelection()
{
    CheckWindow w;
    w.resize(500, 160); // small enough to scroll
    w.showReport(checkBlock(broken()));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QSignalSpy changed(&w, &CheckWindow::marksChanged);
    QScrollBar* bar = w.table()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);

    clickRow(w, CheckId::OpenEnds);
    QCOMPARE(w.selectedCheck(), CheckId::OpenEnds);
    const CheckMarks ends{{1, 8}, {1, 7}, {}}; // the open ends and their segments
    QCOMPARE(w.marks(), ends);
    QCOMPARE(changed.size(), 1);

    // A fresh report keeps row, scroll position and, while equal, the marks,
    // even with the selected row scrolled out of sight.
    bar->setValue(0);
    BlkRec other = broken();
    other.V = 2;
    w.showReport(checkBlock(other));
    QCOMPARE(w.selectedCheck(), CheckId::OpenEnds);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(changed.size(), 1);

    // The keys move the selection; a passing row marks nothing.
    QTest::keyClick(w.table(), Qt::Key_Down);
    QCOMPARE(w.selectedCheck(), CheckId::BranchPoints);
    QVERIFY(w.marks().isEmpty());
    QCOMPARE(changed.size(), 2);
    QTest::keyClick(w.table(), Qt::Key_Up);
    QCOMPARE(w.marks(), ends);

    // Mended, the same row stays selected and its marks go.
    w.showReport(checkBlock(sample()));
    QCOMPARE(w.selectedCheck(), CheckId::OpenEnds);
    QVERIFY(w.marks().isEmpty());
    QCOMPARE(changed.size(), 4);

    w.showReport(checkBlock(broken()));
    QCOMPARE(changed.size(), 5);
    w.close();
    QCOMPARE(w.selectedCheck(), std::nullopt);
    QVERIFY(w.marks().isEmpty());
    QCOMPARE(changed.size(), 6);
}

QTEST_MAIN(TstCheckWindow)
#include "tst_checkwindow.moc"

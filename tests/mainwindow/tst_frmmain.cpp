#include "common/blocktext.h"
#include "common/mainwindowrig.h"
#include "common/scriptedprompts.h"
#include "dialogs/checkwindow.h"
#include "dialogs/form4.h"
#include "dialogs/form5.h"
#include "dialogs/form9.h"
#include "dialogs/helpwindow.h"
#include "dialogs/ovtgrid.h"
#include "document/blockfile.h"
#include "document/numtext.h"
#include "editing/guidance.h"
#include "editing/undostack.h"
#include "mainwindow/checkcommands.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/picture1.h"
#include "mainwindow/recentmenu.h"
#include "view/sectionpainter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QXmlStreamReader>

#include <atomic>
#include <future>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList captions(const QList<QAction*>& actions)
{
    QStringList out;
    for (QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

} // namespace

class TstFrmMain : public QObject
{
    Q_OBJECT
private slots:
    void menus();
    void toolbar();
    void statusBarAndLayout();
    void minimumSize();
    void loadState();
    void gridToggle();
    void scrollAndShowAll();
    void zoomByMouse();
    void paintsSampleBlock();
    void unloadStoresDataFolder();
    void unloadReportsUnwritableDataFolder();
    void exposureRedrawsFromData();
    void openAtStart_data();
    void openAtStart();
    void openSampleAndCloseWithoutPrompt();
    void openListedFileTurnedFifo();
    void closeModifiedAsksFirst();
    void helpFromMenuAndToolbar();
    void segmentDeletionThroughWindow();
    void joinThreePointsUndoRedo();
    void recentFileThatHasGone();
    void recoveryAfterCrash();
    void checksFollowTheBlock();
    void typicalRoadThroughTheDialogs();
    void twoWindowsOnOneBlock_data();
    void twoWindowsOnOneBlock();
    void changeOnDiskOffersReload_data();
    void changeOnDiskOffersReload();
    void sectionDrawingFromFileMenu();
};

void TstFrmMain::menus()
{
    Rig r;
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定"));
    const QList<QAction*> top = r.w->menuBar()->actions();
    // The classic menus in their order; 編集 and ツール are the ones added, before ヘルプ.
    QCOMPARE(captions(top), QStringList({"ﾌｧｲﾙ(&F)", "表示(&V)", "ブロック諸元(&B)...", "点(&P)",
                                         "線分(&L)", "編集(&E)", "ツール(&T)", "ヘルプ(&H)"}));
    // Additions stand after the classic items (in the file menu before 終了).
    QCOMPARE(captions(top[0]->menu()->actions()),
             QStringList({"新規(&N)", "開く(&O)...", "保存(&S)...", "上書き保存",
                          "最近使ったファイル(&R)", "-", "データシートを PDF に出力(&D)...",
                          "印刷(&P)...", "印刷プレビュー(&V)...", "断面を SVG に出力...",
                          "断面を PNG に出力...", "断面を PDF に出力...", "DXF に出力...", "-",
                          "終了(&X)"}));
    QCOMPARE(captions(top[1]->menu()->actions()),
             QStringList({"拡大", "縮小", "全表示", "再表示", "-", "グリッド", "-",
                          "ブロック検査(&C)...", "-", "一段拡大", "一段縮小"}));
    QCOMPARE(captions(top[3]->menu()->actions()),
             QStringList({"編集...", "削除", "DXF から取込..."}));
    QCOMPARE(captions(top[4]->menu()->actions()), QStringList({"結線", "削除", "一括削除"}));
    QCOMPARE(captions(top[5]->menu()->actions()),
             QStringList({"元に戻す(&U)", "やり直し(&R)", "-", "モード終了"}));
    QCOMPARE(captions(top[6]->menu()->actions()), QStringList({"相似形で作成...", "-", "設定..."}));
    QCOMPARE(captions(top[7]->menu()->actions()),
             QStringList({"ヘルプ（&M）...", "-", "バージョン情報（&A）..."}));
}

void TstFrmMain::toolbar()
{
    Rig r;
    auto* tb = r.w->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    QVERIFY(tb);
    QStringList keys;
    QStringList tips;
    for (QAction* a : tb->actions()) {
        keys << (a->isSeparator() ? QStringLiteral("|") : a->data().toString());
        if (!a->isSeparator())
            tips << a->toolTip();
    }
    // The classic buttons, then the added ones after them.
    QCOMPARE(keys, QStringList({"NewOpen", "Open", "Save", "|", "Kakudai", "Shukusho", "Zenhyoji",
                                "Redraw", "Grid", "|", "Line", "Line_Del", "Pnt_Del", "|", "Undo",
                                "Help", "|", "Redo", "Check"}));
    QCOMPARE(tips, QStringList({"新規", "開く", "保存", "拡大", "縮小", "全表示", "再表示",
                                "グリッド", "結線", "線削除", "点削除", "元に戻す", "ヘルプ",
                                "やり直し", "ブロック検査"}));
    QVERIFY2(r.w->iconsOk(), "toolbar icons render blank");
    QVERIFY(r.w->toolbarButton(QStringLiteral("Grid"))->isCheckable());

    // Keys are exact: "grid" is no key of the toolbar, so it only ends the
    // zoom mode, with no reset and no repaint, and leaves the grid alone.
    r.w->Toolbar1_ButtonClick(QStringLiteral("Shukusho"));
    QCOMPARE(r.w->modes().state().Disp_mode, DispMode::ZoomOut);
    r.w->Toolbar1_ButtonClick(QStringLiteral("grid"));
    QCOMPARE(r.w->modes().state().Disp_mode, DispMode::Idle);
    QCOMPARE(r.w->modes().state().Mouse_sw, qint16(-1));
    QCOMPARE(r.w->panelText(1), Disp_MessageText(6));
    QVERIFY(!r.w->gridOn());
    // A known key without a command yet changes nothing.
    r.w->Toolbar1_ButtonClick(QStringLiteral("Kakudai"));
    r.w->Toolbar1_ButtonClick(QStringLiteral("Help"));
    QCOMPARE(r.w->modes().state().Disp_mode, DispMode::ZoomIn);
}

void TstFrmMain::statusBarAndLayout()
{
    Rig r;
    QList<QLabel*> panels = r.w->statusBar()->findChildren<QLabel*>();
    QVERIFY(panels.size() >= 2);
    // The drawing area fills the window above the horizontal bar, left of the vertical one.
    const QRect pic = r.w->picture()->geometry();
    QVERIFY(r.w->hScroll()->geometry().top() >= pic.bottom());
    QVERIFY(r.w->vScroll()->geometry().left() >= pic.right());
    QCOMPARE(r.w->hScroll()->value(), 50);
    QCOMPARE(r.w->vScroll()->maximum(), 100);
    QCOMPARE(r.w->hScroll()->singleStep(), 2);
    QCOMPARE(r.w->hScroll()->pageStep(), 3);
    QCOMPARE(r.w->vScroll()->pageStep(), 5);
    // The view was fitted to the drawing area by the first layout pass.
    QCOMPARE(int(r.w->view().Gz_xmax), pic.width());
    QCOMPARE(int(r.w->view().Gz_ymax), pic.height());
    QVERIFY(r.w->view().Dan_scl > 0);
}

void TstFrmMain::minimumSize()
{
    Rig r(QSize(100, 100));
    const qreal dpi = r.w->screen()->logicalDotsPerInchX();
    const QSize min = r.w->minimumOuterSize();
    QCOMPARE(min.width(), qRound(6000 * dpi / 1440));
    QCOMPARE(min.height(), qRound(4800 * r.w->screen()->logicalDotsPerInchY() / 1440));
    QVERIFY(r.w->width() >= min.width());
    QVERIFY(r.w->height() >= min.height());
}

void TstFrmMain::loadState()
{
    Rig r;
    QCOMPARE(r.w->modes().state().Disp_mode, DispMode::Idle);
    QCOMPARE(r.w->modes().state().Mouse_sw, qint16(-1));
    QCOMPARE(r.blk->DataName, QStringLiteral("無題"));
    QCOMPARE(r.blk->DataPath, r.exe.path() + u'/');
    QVERIFY(!Data_Modified(*r.mod));
    QVERIFY(!r.w->toolbarButton(QStringLiteral("Undo"))->isEnabled());
    for (const char* name : {"mnuLineIn", "mnuLineDel", "mnuLineDelAll", "mnuPointDel"})
        QVERIFY2(!r.w->menuItem(QLatin1String(name))->isEnabled(), name);
    for (const char* key : {"Line", "Line_Del", "Pnt_Del"})
        QVERIFY2(!r.w->toolbarButton(QLatin1String(key))->isEnabled(), key);
    QCOMPARE(r.w->panelText(1), QString());
}

void TstFrmMain::gridToggle()
{
    Rig r;
    const QImage before = r.picture();
    r.w->Toolbar1_ButtonClick(QStringLiteral("Grid"));
    QVERIFY(r.w->gridOn());
    QVERIFY(r.w->toolbarButton(QStringLiteral("Grid"))->isChecked());
    const QImage withGrid = r.picture();
    QVERIFY(withGrid != before);
    // Twice restores the picture and leaves the button released; the menu item
    // drives the same switch.
    r.w->menuItem(QStringLiteral("mnuDispGrid"))->trigger();
    QVERIFY(!r.w->gridOn());
    QVERIFY(!r.w->toolbarButton(QStringLiteral("Grid"))->isChecked());
    QCOMPARE(r.picture(), before);
}

void TstFrmMain::scrollAndShowAll()
{
    Rig r;
    ViewState& v = r.w->view();
    // Empty block: whole section X -1..11, centre 5, so r = 6 and one unit is 0.12 m.
    const double xmin = v.Dan_xmin;
    r.w->hScroll()->setValue(51);
    QVERIFY(qAbs(v.Dan_xmin - (xmin + 0.12)) < 1e-9);
    r.w->hScroll()->setValue(100);
    QVERIFY(qAbs(v.Dan_xmin - (xmin + 6)) < 1e-9);
    const double ymin = v.Dan_ymin;
    r.w->vScroll()->setValue(55);
    QVERIFY(qAbs(v.Dan_ymin - (ymin - 0.6)) < 1e-9);

    r.w->mnuDispAll_Click();
    QCOMPARE(r.w->hScroll()->value(), 50);
    QCOMPARE(r.w->vScroll()->value(), 50);
    QCOMPARE(r.w->scroll().HScl_val, qint16(50));
    QCOMPARE(r.w->scroll().VScl_val, qint16(50));
    QVERIFY(qAbs(v.Dan_xmin - xmin) < 1e-9); // refitted, with no extra scroll
}

void TstFrmMain::zoomByMouse()
{
    Rig r;
    ViewState& v = r.w->view();
    const double scl = v.Dan_scl;
    r.w->Toolbar1_ButtonClick(QStringLiteral("Kakudai"));
    QCOMPARE(r.w->panelText(1), Disp_MessageText(4));
    QCOMPARE(r.w->picture()->cursor().shape(), Qt::BitmapCursor);

    // A click zooms one step about the release point.
    r.mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(r.w->panelText(1), Disp_MessageText(5));
    r.mouse(QEvent::MouseButtonRelease, {105, 100}, Qt::NoButton, Qt::NoButton);
    QVERIFY(qAbs(v.Dan_scl - scl * 1.25) < 1e-9);
    QCOMPARE(r.w->panelText(1), Disp_MessageText(4));

    // A drag draws the yellow band, then zooms to its rectangle.
    r.w->hScroll()->setValue(60);
    r.mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    r.mouse(QEvent::MouseMove, {250, 200}, Qt::NoButton, Qt::LeftButton);
    QImage shown = r.w->picture()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(150, 50)).rgb() & 0xFFFFFF, 0xFFFF00u);
    r.mouse(QEvent::MouseButtonRelease, {250, 200}, Qt::LeftButton, Qt::NoButton);
    QVERIFY(v.Dan_scl > scl * 1.25 * 1.5);
    QCOMPARE(r.w->hScroll()->value(), 50);
    shown = r.w->picture()->grab().toImage();
    QVERIFY(QColor(shown.pixel(150, 50)).rgb() != QColor(Qt::yellow).rgb());

    // The read-out follows the mouse in the mode too.
    r.mouse(QEvent::MouseMove, {0, 0}, Qt::NoButton, Qt::NoButton);
    QVERIFY(r.w->panelText(2).startsWith(QStringLiteral("X = ")));

    // Right click leaves the mode and gives back the arrow.
    r.mouse(QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
    QCOMPARE(r.w->modes().state().Disp_mode, DispMode::Idle);
    QCOMPARE(r.w->picture()->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(r.w->panelText(1), QString());
}

void TstFrmMain::paintsSampleBlock()
{
    Rig r;
    const QStringList files =
        QDir(QStringLiteral(MRB_SAMPLES_DIR)).entryList({QStringLiteral("*.csv")}, QDir::Files);
    if (files.isEmpty())
        QSKIP("no sample blocks");
    QVERIFY(Blk_ReadPath(r.mod->BlkData, QStringLiteral(MRB_SAMPLES_DIR "/") + files.first()));
    r.w->mnuDispAll_Click();
    const QImage img = r.picture();
    const ViewState& v = r.w->view();
    const BlkRec& b = r.mod->BlkData;
    QVERIFY(b.PntCnt > 0);
    // Later labels may cover earlier marks, so each point needs only some of
    // its plus in magenta; the last point's left arm nothing covers.
    for (int i = 1; i <= b.PntCnt; ++i) {
        const QPoint p = SectionPainter::toScreen(v, b.PntX[i], b.PntY[i]);
        int magenta = 0;
        for (QPoint d : {QPoint(0, 0), QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
            magenta += img.pixelColor(p + d) == Palette::PointMark;
        QVERIFY2(magenta > 0, qPrintable(QStringLiteral("point %1").arg(i)));
    }
    const QPoint last = SectionPainter::toScreen(v, b.PntX[b.PntCnt], b.PntY[b.PntCnt]);
    QCOMPARE(img.pixelColor(last - QPoint(1, 0)), Palette::PointMark);
}

void TstFrmMain::unloadStoresDataFolder()
{
    Rig r;
    r.blk->DataPath = QStringLiteral("/tmp/ブロック/");
    r.w->close();
    QFile f(r.exe.path() + QStringLiteral("/MRDTPATH"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("/tmp/\x83\x75\x83\x8d\x83\x62\x83\x4e/\r\n"));
}

void TstFrmMain::unloadReportsUnwritableDataFolder()
{
    // Folders below a regular file cannot exist, so nothing can be written
    // there, not even by root.
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString base = blocker.fileName();
    Rig r(QSize(800, 600), DataPathPlaces{base + QStringLiteral("/exe/"),
                                          base + QStringLiteral("/cfg/"), QString()});
    QVERIFY(r.w->close()); // the exit goes ahead
    QCOMPARE(r.prompts.errors().size(), 1);
    QVERIFY(r.prompts.errors()[0].startsWith(
        QStringLiteral("データフォルダの設定を保存できませんでした。")));
}

void TstFrmMain::exposureRedrawsFromData()
{
    Rig r;
    r.picture();
    // A change that asked for no repaint still shows at the next exposure.
    r.mod->BlkData.PntCnt = 1;
    r.mod->BlkData.PntX[1] = 5;
    r.mod->BlkData.PntY[1] = 5;
    const QImage img = r.picture();
    const QPoint p = SectionPainter::toScreen(r.w->view(), 5, 5);
    QCOMPARE(img.pixelColor(p - QPoint(1, 0)), Palette::PointMark);

    // A moving rubber band reuses the picture instead of drawing it again.
    r.w->mnuDispKaku_Click();
    r.mouse(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    const int renders = r.w->picture()->renderCount();
    for (int i = 0; i < 5; ++i) {
        r.mouse(QEvent::MouseMove, {40 + 10 * i, 50}, Qt::NoButton, Qt::LeftButton);
        r.w->picture()->repaint(QRect(0, 0, 2, 2)); // a paint the band did not ask for
        QCoreApplication::processEvents();
    }
    QVERIFY(r.w->picture()->renderCount() >= renders + 5); // each exposure drew afresh
    const int before = r.w->picture()->renderCount();
    r.mouse(QEvent::MouseMove, {120, 90}, Qt::NoButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(r.w->picture()->renderCount(), before); // the band alone moved
    const QImage shown = r.w->picture()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(60, 10)).rgb() & 0xFFFFFF, 0xFFFF00u);
}

void TstFrmMain::openAtStart_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("opens");
    QTest::newRow("a sample") << QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv") << true;
    QTest::newRow("not a block file")
        << QStringLiteral(MRB_TESTDATA_DIR "/fuzz_seed/header_wrong.csv") << false;
    QTest::newRow("missing") << QStringLiteral("/nonexistent/x.csv") << false;
    QTest::newRow("a FIFO") << QStringLiteral("fifo") << false;
}

void TstFrmMain::openAtStart()
{
    QFETCH(QString, file);
    QFETCH(bool, opens);
    QTemporaryDir fifoDir;
    if (file == u"fifo") { // `mkfifo x.csv; mrb_make x.csv`: no reader waits on it
        file = fifoDir.filePath(QStringLiteral("x.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    }
    Rig r;
    r.w->openAtStart(file);
    if (opens) {
        QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - block_2t"));
        QCOMPARE(r.blk->DataPath, QStringLiteral(MRB_SAMPLES_DIR "/"));
        QVERIFY(r.mod->BlkData.PntCnt > 0);
        QVERIFY(r.prompts.errors().isEmpty());
    } else {
        QCOMPARE(r.prompts.errors(),
                 QStringList{QStringLiteral(
                     "直立消波ブロックのデータ形式ではありません。\r\n処理を中止します。")});
        QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定"));
        QCOMPARE(r.mod->BlkData.PntCnt, qint16(0));
    }
}

void TstFrmMain::openSampleAndCloseWithoutPrompt()
{
    // The typical road through the real windows: 開く lists the data folder,
    // Enter chooses the highlighted line, the block is drawn; closing asks nothing.
    Rig r;
    r.blk->DataPath = QStringLiteral(MRB_SAMPLES_DIR "/");
    QString listed;
    r.prompts.onExec = [&listed](QDialog& d) {
        // The files are read off the window's thread; wait for the list.
        auto& form = static_cast<Form9&>(d);
        if (form.isListing() && !QSignalSpy(&form, &Form9::listingFinished).wait(10000))
            return int(QDialog::Rejected);
        auto* list = d.findChild<QListWidget*>(QStringLiteral("List1"));
        if (!list || list->count() == 0)
            return int(QDialog::Rejected);
        listed = list->currentItem()->text();
        d.show(); // as exec() would: only a shown default button takes Enter
        QTest::keyClick(list, Qt::Key_Return);
        return d.result();
    };
    r.w->toolbarButton(QStringLiteral("Open"))->trigger();
    QVERIFY(!listed.isEmpty());
    QVERIFY(r.shownTitle().startsWith(QStringLiteral("直立消波ブロック設定 - block_")));
    QVERIFY(r.mod->BlkData.PntCnt > 0);
    // Some white segment pixels on the black picture.
    const QImage img = r.picture();
    int white = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            white += img.pixel(x, y) == Palette::Fore.rgb();
    QVERIFY(white > 50);
    QVERIFY(r.w->close());
    QVERIFY(r.prompts.kind(QStringLiteral("yesNoCancel")).isEmpty());
}

// A listed file replaced by a FIFO before it is chosen: Open's reader
// refuses it at once, and the block stays as it was.
void TstFrmMain::openListedFileTurnedFifo()
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("b.csv"));
    QVERIFY(QFile::copy(QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv"),
                        dir.filePath(QStringLiteral("a.csv"))));
    QVERIFY(QFile::copy(QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv"), chosen));
    Rig r;
    r.blk->DataPath = dir.path() + u'/';
    bool chose = false;
    r.prompts.onExec = [&](QDialog& d) {
        auto& form = static_cast<Form9&>(d);
        if (form.isListing() && !QSignalSpy(&form, &Form9::listingFinished).wait(10000))
            return int(QDialog::Rejected);
        auto* list = d.findChild<QListWidget*>(QStringLiteral("List1"));
        const QList<QListWidgetItem*> found =
            list ? list->findItems(QStringLiteral("8t型"), Qt::MatchContains)
                 : QList<QListWidgetItem*>();
        if (found.size() != 1 || !QFile::remove(chosen) ||
            ::mkfifo(QFile::encodeName(chosen).constData(), 0600) != 0)
            return int(QDialog::Rejected);
        list->setCurrentItem(found[0]); // the preview reads it first
        d.findChild<QPushButton*>(QStringLiteral("Command1_0"))->click();
        chose = form.BlkPath == chosen;
        return d.result();
    };
    // Should a reader wait on the FIFO, a writer let in after a while frees
    // it, and the test fails instead of hanging.
    std::promise<void> done;
    std::atomic<bool> freed = false;
    std::thread watchdog([finished = done.get_future(), chosen, &freed] {
        if (finished.wait_for(std::chrono::seconds(10)) == std::future_status::ready)
            return;
        freed = true;
        ::close(::open(QFile::encodeName(chosen).constData(), O_WRONLY | O_NONBLOCK));
    });
    r.activate();
    QTest::keyClick(r.w.get(), Qt::Key_O, Qt::ControlModifier);
    done.set_value();
    watchdog.join();
    QVERIFY2(!freed, "a reader waited on the FIFO");
    QVERIFY(chose);
    QCOMPARE(r.prompts.errors(),
             QStringList{QStringLiteral(
                 "直立消波ブロックのデータ形式ではありません。\r\n処理を中止します。")});
    QCOMPARE(r.mod->BlkData.PntCnt, qint16(0));
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定"));
}

void TstFrmMain::closeModifiedAsksFirst()
{
    Rig r;
    r.mod->BlkData.PntCnt = 1; // as a point typed into the table would
    r.prompts.yesNoCancelAnswers << Prompts::Answer::Cancel << Prompts::Answer::No;
    QVERIFY(!r.w->close());
    QVERIFY(r.w->isVisible());
    QCOMPARE(r.mod->BlkData.PntCnt, qint16(1));
    r.w->menuItem(QStringLiteral("mnuFileEnd"))->trigger(); // いいえ: the exit goes ahead
    QVERIFY(!r.w->isVisible());
    QCOMPARE(r.prompts.kind(QStringLiteral("yesNoCancel")).size(), 2);
}

void TstFrmMain::helpFromMenuAndToolbar()
{
    Rig r;
    // Nothing installed beside the test's executable folder: the message says where it looked.
    r.w->menuItem(QStringLiteral("mnuHelpHelp"))->trigger();
    QCOMPARE(r.prompts.errors().size(), 1);
    QVERIFY(r.prompts.errors()[0].contains(r.exe.path() + QStringLiteral("/MRB_MAKE/index.html")));
    QDir(r.exe.path()).mkdir(QStringLiteral("MRB_MAKE"));
    QFile page(r.exe.path() + QStringLiteral("/MRB_MAKE/index.html"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<h1>目次</h1>");
    page.close();
    r.w->Toolbar1_ButtonClick(QStringLiteral("Help"));
    QVERIFY(r.w->helpWindow() && r.w->helpWindow()->isVisible());
    QVERIFY(r.w->helpWindow()->browser()->toPlainText().contains(QStringLiteral("目次")));
    QCOMPARE(r.w->helpWindow()->parentWidget(), r.w.get());
}

void TstFrmMain::segmentDeletionThroughWindow()
{
    Rig r;
    r.mod->BlkData = blockFromText(QStringLiteral("0,0 10,0"), QStringLiteral("1-2"));
    r.w->mnuDispAll_Click();
    const QPoint mid = SectionPainter::toScreen(r.w->view(), 5, 0);
    r.w->modes().enterLineDelete();
    r.mouse(QEvent::MouseButtonPress, mid, Qt::LeftButton, Qt::LeftButton);
    r.w->picture()->refresh(); // the highlight survives any repaint
    QCOMPARE(r.picture().pixelColor(mid), Palette::Band);
    r.mouse(QEvent::MouseButtonPress, mid, Qt::RightButton, Qt::RightButton);
    QCOMPARE(r.prompts.shown, QStringList{"okCancel|確認|選択中の線分を削除しますか？"});
    QAction* undo = r.w->toolbarButton(QStringLiteral("Undo"));
    QVERIFY(undo->isEnabled() && r.mod->BlkData.LineCnt == 0);
    Undo_Pop(*r.mod);
    r.w->modes().afterUndo();
    QVERIFY(!undo->isEnabled() && r.w->toolbarButton(QStringLiteral("Line_Del"))->isEnabled());
}

void TstFrmMain::joinThreePointsUndoRedo()
{
    Rig r;
    r.w->openAtStart(QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv"));
    const BlkRec opened = r.mod->BlkData;
    r.w->menuItem(QStringLiteral("mnuLineDelAll"))->trigger(); // OK: a bare outline
    QCOMPARE(r.mod->BlkData.LineCnt, qint16(0));
    const BlkRec& b = r.mod->BlkData;
    auto at = [&](int i) { return SectionPainter::toScreen(r.w->view(), b.PntX[i], b.PntY[i]); };
    r.w->Toolbar1_ButtonClick(QStringLiteral("Line"));
    for (int i : {1, 2, 3})
        r.mouse(QEvent::MouseButtonPress, at(i), Qt::LeftButton, Qt::LeftButton);
    r.mouse(QEvent::MouseButtonPress, at(3), Qt::RightButton, Qt::RightButton);
    QCOMPARE(r.w->panelText(1), Disp_MessageText(1));
    r.mouse(QEvent::MouseButtonPress, at(3), Qt::RightButton, Qt::RightButton);
    QCOMPARE(r.w->modes().state().Disp_mode, DispMode::Idle);
    QCOMPARE(segmentsText(b), QStringLiteral("1-2 2-3"));
    // The joined segment is drawn white half-way between its points.
    const QPoint mid = (at(1) + at(2)) / 2;
    QCOMPARE(r.picture().pixelColor(mid), Palette::Fore);
    // Two undos and the outline is bare again; redo brings the first join back.
    r.w->menuItem(QStringLiteral("mnuEditUndo"))->trigger();
    r.w->Toolbar1_ButtonClick(QStringLiteral("Undo"));
    QCOMPARE(b.LineCnt, qint16(0));
    QVERIFY(r.w->toolbarButton(QStringLiteral("Redo"))->isEnabled());
    r.w->menuItem(QStringLiteral("mnuEditRedo"))->trigger();
    QCOMPARE(segmentsText(b), QStringLiteral("1-2"));
    // Undo back to the opened block: not modified any more.
    r.w->edits().undo();
    r.w->edits().undo();
    QVERIFY(!Blk_Differs(b, opened));
    QVERIFY(!Data_Modified(*r.mod));
    QVERIFY(!r.w->toolbarButton(QStringLiteral("Undo"))->isEnabled());
}

void TstFrmMain::recentFileThatHasGone()
{
    Rig r;
    const QString copy = r.exe.path() + QStringLiteral("/copy.csv");
    QVERIFY(QFile::copy(QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv"), copy));
    r.w->openAtStart(copy);
    r.w->openAtStart(QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv"));
    QCOMPARE(r.w->recentMenu()->files().files(),
             QStringList({QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv"), copy}));
    QVERIFY(QFile::remove(copy));
    r.w->recentMenu()->rebuild();
    auto* gone = r.w->findChild<QAction*>(QStringLiteral("mnuFileRecent_1"));
    QVERIFY(gone && !gone->isEnabled());
    QVERIFY(r.w->findChild<QAction*>(QStringLiteral("mnuFileRecent_0"))->isEnabled());
    // Chosen all the same (it went while the menu was open): a word, and it leaves the list.
    emit r.w->recentMenu()->openRequested(copy);
    QCOMPARE(r.prompts.kind(QStringLiteral("information")).size(), 1);
    QCOMPARE(r.w->recentMenu()->files().files().size(), 1);
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - block_8t"));
}

void TstFrmMain::recoveryAfterCrash()
{
    QTemporaryDir exe, cfg, state;
    const QString stateDir = state.path() + u'/';
    // What a killed run leaves: a copy whose owner's lock is gone.
    BlkRec lost;
    QVERIFY(Blk_ReadPath(lost, QStringLiteral(MRB_SAMPLES_DIR "/block_4t_chamfer.csv")));
    lost.V = 12.5;
    QVERIFY(Blk_Write(lost, stateDir + QStringLiteral("recovery-999999.csv")).ok);
    Rig r(QSize(800, 600), DataPathPlaces{exe.path() + u'/', cfg.path() + u'/', stateDir});
    r.prompts.yesNoAnswers << true;
    r.w->offerRecovery();
    QCOMPARE(r.prompts.kind(QStringLiteral("yesNo")).size(), 1);
    // A second copy offered now would find a modified block: キャンセル at its
    // save prompt keeps that copy on disk for the next start.
    BlkRec other = lost;
    other.V = 3;
    QVERIFY(Blk_Write(other, stateDir + QStringLiteral("recovery-999998.csv")).ok);
    r.prompts.yesNoAnswers << true;
    r.w->offerRecovery();
    QCOMPARE(r.prompts.kind(QStringLiteral("yesNoCancel")).size(), 1);
    QVERIFY(QFile::exists(stateDir + QStringLiteral("recovery-999998.csv")));
    QCOMPARE(r.mod->BlkData.V, 12.5);
    QVERIFY(Data_Modified(*r.mod)); // untitled and modified: nothing is overwritten unasked
    QCOMPARE(r.blk->DataName, QStringLiteral("無題"));
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定*"));
    QVERIFY(!QFile::exists(stateDir + QStringLiteral("recovery-999999.csv")));
    // The recovered block is itself kept safe, and a normal exit clears it.
    r.w->recovery().flush();
    QVERIFY(r.w->recovery().hasCopy());
    r.prompts.yesNoCancelAnswers << Prompts::Answer::No;
    QVERIFY(r.w->close());
    QVERIFY(!QFile::exists(r.w->recovery().copyPath()));
}

void TstFrmMain::checksFollowTheBlock()
{
    Rig r;
    r.w->openAtStart(QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv"));
    auto* panel = r.w->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel3"));
    QVERIFY(panel);
    QCOMPARE(panel->text(), QStringLiteral("検査: 合格"));
    r.w->Toolbar1_ButtonClick(QStringLiteral("Check"));
    CheckWindow* win = r.w->checks()->window();
    QVERIFY(win && win->isVisible());
    QCOMPARE(win->window(), r.w.get()); // docked in the main window

    // A broken copy: the last segment deleted in the deletion mode, V changed.
    BlkRec& b = r.mod->BlkData;
    const int last = b.LineCnt;
    const QPoint mid =
        (SectionPainter::toScreen(r.w->view(), b.PntX[b.LineSt[last]], b.PntY[b.LineSt[last]]) +
         SectionPainter::toScreen(r.w->view(), b.PntX[b.LineEd[last]], b.PntY[b.LineEd[last]])) /
        2;
    r.w->Toolbar1_ButtonClick(QStringLiteral("Line_Del"));
    r.mouse(QEvent::MouseButtonPress, mid, Qt::LeftButton, Qt::LeftButton);
    r.mouse(QEvent::MouseButtonPress, mid, Qt::RightButton, Qt::RightButton); // OK
    QCOMPARE(b.LineCnt, qint16(last - 1));
    QVERIFY(panel->text().startsWith(QStringLiteral("検査: 注意")));
    // The window followed: its open-ends row names the two loose ends, and
    // choosing it marks them in the drawing.
    QTableWidget* table = win->table();
    table->selectRow(int(CheckId::OpenEnds));
    const CheckMarks marks = r.w->checks()->marks();
    QCOMPARE(marks.points.size(), 2);
    const QImage img = r.picture();
    const QPoint end =
        SectionPainter::toScreen(r.w->view(), b.PntX[marks.points[0]], b.PntY[marks.points[0]]);
    bool marked = false;
    for (int dy = -8; dy <= 8 && !marked; ++dy)
        for (int dx = -8; dx <= 8 && !marked; ++dx)
            marked = img.pixelColor(end + QPoint(dx, dy)) == kCheckMarkColor;
    QVERIFY2(marked, "no check mark drawn around the open end");
    // Undo mends it: all is well again, and nothing is marked any more.
    r.w->Toolbar1_ButtonClick(QStringLiteral("Undo"));
    QCOMPARE(panel->text(), QStringLiteral("検査: 合格"));
    QVERIFY(r.w->checks()->marks().isEmpty());
}

void TstFrmMain::typicalRoadThroughTheDialogs()
{
    // Open a sample, add a point in the point table, join it with the mouse,
    // change V and a layer so that the sum passes, save under a new name and
    // read the file back.
    Rig r;
    r.w->openAtStart(QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv"));
    BlkRec& b = r.mod->BlkData;
    const int n = b.PntCnt;
    r.prompts.onExec = [n](QDialog& d) {
        auto& f = static_cast<Form4&>(d);
        f.OvtGP()->setCellText(n + 1, 1, QStringLiteral("0.6"));
        f.OvtGP()->setCellText(n + 1, 2, QStringLiteral("1.5"));
        f.CmdP_Click(0);
        return d.result();
    };
    r.w->menuItem(QStringLiteral("mnuPointHen"))->trigger();
    QCOMPARE(b.PntCnt, qint16(n + 1));
    const int lines = b.LineCnt;

    r.w->menuItem(QStringLiteral("mnuLineIn"))->trigger();
    for (int p : {n + 1, 1})
        r.mouse(QEvent::MouseButtonPress,
                SectionPainter::toScreen(r.w->view(), b.PntX[p], b.PntY[p]), Qt::LeftButton,
                Qt::LeftButton);
    r.mouse(QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton, Qt::RightButton);
    r.mouse(QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton, Qt::RightButton);
    QCOMPARE(b.LineCnt, qint16(lines + 1));
    QCOMPARE(b.LineSt[lines + 1], qint16(n + 1));
    QCOMPARE(b.LineEd[lines + 1], qint16(1));

    const int rows = b.LyrCnt;
    const double v = b.V + 0.5;
    const double top = b.LyrV[rows - 1] + 0.5;
    r.prompts.onExec = [&](QDialog& d) {
        auto& f = static_cast<Form5&>(d);
        f.Text1(7)->setText(NumText::fmt000(v));
        f.OvtGV()->setCellText(rows, 2, NumText::fmt000(top));
        f.CmdPara_Click(0);
        return d.result();
    };
    r.w->menuItem(QStringLiteral("mnuBlkPara"))->trigger();
    QVERIFY2(r.prompts.kind(QStringLiteral("errorRight")).isEmpty(), "the sum check failed");
    QCOMPARE(b.V, v);
    QCOMPARE(b.LyrVSum[rows - 1], v);

    const QString path = r.exe.path() + QStringLiteral("/road.csv");
    r.prompts.saveAnswers << path;
    r.w->Toolbar1_ButtonClick(QStringLiteral("Save"));
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - road"));
    BlkRec back;
    QVERIFY(Blk_ReadPath(back, path));
    QVERIFY(!Blk_Differs(back, b));
    QVERIFY(!Data_Modified(*r.mod));
    QVERIFY(r.w->close()); // nothing to ask
    QVERIFY(r.prompts.kind(QStringLiteral("yesNoCancel")).isEmpty());
}

void TstFrmMain::twoWindowsOnOneBlock_data()
{
    QTest::addColumn<int>("answer"); // 読み取り専用で開く 0, それでも開く 1, キャンセル 2
    QTest::newRow("read-only") << 0;
    QTest::newRow("anyway") << 1;
    QTest::newRow("cancel") << 2;
}

void TstFrmMain::twoWindowsOnOneBlock()
{
    QFETCH(int, answer);
    QTemporaryDir dir;
    const QString block = dir.filePath(QStringLiteral("blk.csv"));
    QVERIFY(QFile::copy(QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv"), block));
    auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray original = bytes(block);
    Rig first;
    first.w->openAtStart(block);
    QCOMPARE(first.prompts.kind(QStringLiteral("choose")).size(), 0);
    first.w->files().guard().settleLock(); // taken off the window's thread

    Rig second;
    second.prompts.chooseAnswers << answer;
    second.w->openAtStart(block);
    const QStringList asked = second.prompts.kind(QStringLiteral("choose"));
    QCOMPARE(asked.size(), 1);
    const QString who = QFileInfo(block).owner() + u'@' + QSysInfo::machineHostName();
    const QString since = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd"));
    QVERIFY2(asked[0].startsWith(
                 QStringLiteral("このブロックは %1 で編集中です (開始 %2 ").arg(who, since)),
             qPrintable(asked[0]));
    QVERIFY(asked[0].endsWith(QStringLiteral(")。|読み取り専用で開く/それでも開く/キャンセル")));
    auto* filePanel = second.w->findChild<QLabel*>(QStringLiteral("StatusBar1_File"));
    QVERIFY(filePanel);
    if (answer == 2) {
        QCOMPARE(second.w->windowTitle(), QStringLiteral("直立消波ブロック設定[*]"));
        QCOMPARE(second.mod->BlkData.PntCnt, qint16(0));
        return;
    }
    QCOMPARE(second.w->windowTitle(), QStringLiteral("直立消波ブロック設定 - blk[*]"));
    QCOMPARE(filePanel->isVisibleTo(second.w.get()), answer == 0);
    if (answer == 0)
        QVERIFY(filePanel->text().contains(QStringLiteral("読み取り専用 (%1 で編集中)").arg(who)));

    // An edit, then 保存 onto the same file, then (read-only) onto a new one.
    second.w->menuItem(QStringLiteral("mnuLineDelAll"))->trigger();
    QVERIFY(Data_Modified(*second.mod));
    const QString renamed = dir.filePath(QStringLiteral("new.csv"));
    second.prompts.saveAnswers << block << renamed;
    second.w->toolbarButton(QStringLiteral("Save"))->trigger();
    const QStringList told = second.prompts.kind(QStringLiteral("information"));
    if (answer == 0) {
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(QStringLiteral("別の名前で保存してください")),
                 qPrintable(told[0]));
        QCOMPARE(bytes(block), original);
        BlkRec saved;
        QVERIFY(Blk_ReadPath(saved, renamed));
        QCOMPARE(saved.LineCnt, qint16(0));
        QCOMPARE(second.w->windowTitle(), QStringLiteral("直立消波ブロック設定 - new[*]"));
        // The new file is its own now: no longer read-only, and locked.
        QVERIFY(!filePanel->isVisibleTo(second.w.get()));
        QVERIFY(second.w->files().guard().locked());
        Rig third;
        third.w->openAtStart(renamed);
        QCOMPARE(third.prompts.kind(QStringLiteral("choose")).size(), 1);
    } else {
        QCOMPARE(told.size(), 0); // opened anyway: written as the user chose
        QVERIFY(bytes(block) != original);
    }
    // The second window's try for the lock after its save ends first: it
    // meets the first's lock, as a user meets it, and not its absence.
    second.w->files().guard().settleLock();
    // The first window closes and lets the block go.
    QVERIFY(first.w->close());
    first.w->files().guard().settleLock();
    QVERIFY(!first.w->files().guard().locked());
    Rig later;
    later.w->openAtStart(block);
    QCOMPARE(later.prompts.kind(QStringLiteral("choose")).size(), 0);
}

void TstFrmMain::changeOnDiskOffersReload_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("not modified: 再読込 offered") << false << false;
    QTest::newRow("modified: only told") << true << false;
    QTest::newRow("deleted: only told") << false << true;
}

void TstFrmMain::changeOnDiskOffersReload()
{
    QFETCH(bool, modified);
    QFETCH(bool, deleted);
    QTemporaryDir dir;
    const QString block = dir.filePath(QStringLiteral("blk.csv"));
    QVERIFY(QFile::copy(QStringLiteral(MRB_SAMPLES_DIR "/block_2t.csv"), block));
    Rig r;
    r.w->openAtStart(block);
    if (modified)
        r.w->menuItem(QStringLiteral("mnuLineDelAll"))->trigger();
    r.prompts.yesNoAnswers << true;
    // Another program saves the block the safe way: a new file renamed over it.
    BlkRec other;
    QVERIFY(Blk_ReadPath(other, block));
    other.V = 7.5;
    if (deleted)
        QVERIFY(QFile::remove(block));
    else
        QVERIFY(Blk_Write(other, block).ok);
    auto* filePanel = r.w->findChild<QLabel*>(QStringLiteral("StatusBar1_File"));
    const QString notice = deleted ? QStringLiteral("ファイルが削除されました")
                                   : QStringLiteral("ファイルが他で変更されました");
    if (modified || deleted) {
        QTRY_COMPARE(filePanel->text(), notice);
        QVERIFY(r.prompts.kind(QStringLiteral("yesNo")).isEmpty());
        QVERIFY(r.mod->BlkData.V != 7.5);
        return;
    }
    QTRY_COMPARE(r.prompts.kind(QStringLiteral("yesNo")).size(), 1);
    QVERIFY(r.prompts.kind(QStringLiteral("yesNo"))[0].endsWith(QStringLiteral("再読込しますか?")));
    QCOMPARE(r.mod->BlkData.V, 7.5); // read again through the reader
    QVERIFY(!Data_Modified(*r.mod));
    QVERIFY(filePanel->text().isEmpty());
    // The block saved over the reloaded file asks nothing: it is the file's content now.
    r.w->menuItem(QStringLiteral("mnuLineDelAll"))->trigger();
    r.prompts.saveAnswers << block;
    r.w->toolbarButton(QStringLiteral("Save"))->trigger();
    QVERIFY(r.prompts.kind(QStringLiteral("choose")).isEmpty());
    QVERIFY(!Data_Modified(*r.mod));
}

// 断面を SVG に出力 asks the look and scale first; the drawing at 1:20 is
// written in millimetres. 断面を PDF に出力 asks the same, and cancelling
// writes nothing.
void TstFrmMain::sectionDrawingFromFileMenu()
{
    Rig r;
    QVERIFY(Blk_ReadPath(r.mod->BlkData, QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv")));
    r.prompts.onExec = [](QDialog& d) {
        d.findChild<QRadioButton*>(QStringLiteral("lookDrawing"))->click();
        auto* scale = d.findChild<QComboBox*>(QStringLiteral("scale"));
        scale->setCurrentIndex(scale->findText(QStringLiteral("1:20")));
        return int(QDialog::Accepted);
    };
    const QString svg = r.exe.path() + QStringLiteral("/section.svg");
    r.prompts.saveAnswers << svg;
    r.w->menuItem(QStringLiteral("mnuFileSvg"))->trigger();
    QCOMPARE(r.prompts.kind(QStringLiteral("exec")),
             QStringList{QStringLiteral("SectionExportDialog")});
    QFile f(svg);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QVERIFY(xml.readNextStartElement() && xml.name() == u"svg");
    QVERIFY(xml.attributes().value(QLatin1String("width")).endsWith(u"mm"));

    r.prompts.onExec = nullptr; // キャンセル
    r.w->menuItem(QStringLiteral("mnuFileSectionPdf"))->trigger();
    QCOMPARE(r.prompts.shown.last(), QStringLiteral("exec|断面を PDF に出力|SectionExportDialog"));
    QCOMPARE(r.prompts.saveRequests.size(), 1);
    QVERIFY(r.prompts.errors().isEmpty());
}

QTEST_MAIN(TstFrmMain)
#include "tst_frmmain.moc"

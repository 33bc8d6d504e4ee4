#include "common/blocktext.h"
#include "common/mainwindowrig.h"
#include "dialogs/checkwindow.h"
#include "document/blockfile.h"
#include "mainwindow/checkcommands.h"
#include "view/sectionpainter.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

namespace {

const QString kSample = QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv");

// Opens a copy of the 8 t sample kept in folder, so that saving over it
// harms nothing.
QString openCopy(Rig& r, const QString& folder)
{
    const QString copy = folder + QStringLiteral("/block_8t.csv");
    QFile::remove(copy);
    if (!QFile::copy(kSample, copy))
        return {};
    r.w->openAtStart(copy);
    return copy;
}

// 一括削除 through its menu item (OK): the block is edited and modified.
void deleteAllSegments(Rig& r)
{
    r.w->menuItem(QStringLiteral("mnuLineDelAll"))->trigger();
}

// A block as if typed into the tables: the commands enabled for it, the
// whole of it shown.
void setBlock(Rig& r, const QString& pts, const QString& segs)
{
    r.mod->BlkData = blockFromText(pts, segs);
    r.w->Menu_Enable();
    r.w->mnuDispAll_Click();
}

int countColour(const QImage& img, const QColor& c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

} // namespace

// The keys and window habits of a desktop editor, tried the way a user
// meets them: keys sent to the window, clicks on what is shown.
class TstKeys : public QObject
{
    Q_OBJECT
private slots:
    void keysDoTheirCommands_data();
    void keysDoTheirCommands();
    void noKeyTwice();
    void overwriteSave_data();
    void overwriteSave();
    void captionShowsModification();
    void settingsRemembered_data();
    void settingsRemembered();
    void checkDockFromStatusPanel();
    void emptyBlockGuidance();
    void printPreviewSize();
    void hoverMarksThePick_data();
    void hoverMarksThePick();
};

void TstKeys::keysDoTheirCommands_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mods");
    QTest::addColumn<QString>("effect");
    const int c = Qt::ControlModifier;
    const int cs = int(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("Ctrl+N") << int(Qt::Key_N) << c << "new";
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << c << "open";
    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << cs << "saveDialog";
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << "help";
    QTest::newRow("Ctrl+P") << int(Qt::Key_P) << c << "print";
    QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << c << "zoom 1.25";
    QTest::newRow("Ctrl++") << int(Qt::Key_Plus) << c << "zoom 1.25";
    QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << c << "zoom 0.75";
    QTest::newRow("Ctrl+0") << int(Qt::Key_0) << c << "showAll";
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << "h-";
    QTest::newRow("Right") << int(Qt::Key_Right) << 0 << "h+";
    QTest::newRow("Up") << int(Qt::Key_Up) << 0 << "v-";
    QTest::newRow("Down") << int(Qt::Key_Down) << 0 << "v+";
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << "modeEnd";
    QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << c << "redo";
    QTest::newRow("Ctrl+Shift+Z") << int(Qt::Key_Z) << cs << "redo";
}

void TstKeys::keysDoTheirCommands()
{
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(QString, effect);
    Rig r;
    r.w->openAtStart(kSample);
    r.activate();
    const BlkRec& b = r.mod->BlkData;
    ViewState& v = r.w->view();
    const ViewState fitted = v;
    if (effect == QLatin1String("showAll"))
        r.w->zoomAtCentre(3);
    if (effect == QLatin1String("modeEnd") || effect == QLatin1String("redo"))
        r.w->menuItem(QStringLiteral("mnuLineIn"))->trigger();
    if (effect == QLatin1String("redo")) {
        // A segment joined with the mouse, then taken back with Ctrl+Z.
        deleteAllSegments(r);
        r.w->menuItem(QStringLiteral("mnuLineIn"))->trigger();
        for (int i : {1, 2})
            r.mouse(QEvent::MouseButtonPress, SectionPainter::toScreen(v, b.PntX[i], b.PntY[i]),
                    Qt::LeftButton, Qt::LeftButton);
        QTest::keyClick(r.w.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(b.LineCnt, qint16(0));
    }
    const QPoint centre(r.w->picture()->width() / 2, r.w->picture()->height() / 2);
    double cx = 0, cy = 0;
    GzToKz(v, centre.x(), centre.y(), cx, cy);

    QTest::keyClick(r.w.get(), Qt::Key(key), Qt::KeyboardModifiers(mods));

    if (effect == QLatin1String("new")) {
        QCOMPARE(b.PntCnt, qint16(0));
    } else if (effect == QLatin1String("open")) {
        QCOMPARE(r.prompts.kind(QStringLiteral("exec")), QStringList{"Form9"});
    } else if (effect == QLatin1String("print")) {
        QCOMPARE(r.prompts.kind(QStringLiteral("exec")), QStringList{"QPrintDialog"});
    } else if (effect == QLatin1String("saveDialog")) {
        QCOMPARE(r.prompts.kind(QStringLiteral("saveFile")).size(), 1);
    } else if (effect == QLatin1String("help")) {
        QVERIFY(r.prompts.errors().value(0).startsWith(QStringLiteral("ヘルプが見つかりません")));
    } else if (effect.startsWith(QLatin1String("zoom"))) {
        // One wheel step about the centre: the centre stays where it was.
        QVERIFY(qAbs(v.Dan_scl / fitted.Dan_scl - effect.mid(5).toDouble()) < 1e-9);
        double x = 0, y = 0;
        GzToKz(v, centre.x(), centre.y(), x, y);
        QVERIFY(qAbs(x - cx) < 2 / v.Dan_scl && qAbs(y - cy) < 2 / v.Dan_scl);
    } else if (effect == QLatin1String("showAll")) {
        QCOMPARE(v.Dan_scl, fitted.Dan_scl);
    } else if (effect == QLatin1String("modeEnd")) {
        QCOMPARE(r.w->modes().state().Disp_mode, DispMode::Idle);
    } else if (effect == QLatin1String("redo")) {
        QCOMPARE(segmentsText(b), QStringLiteral("1-2"));
        const QPoint mid = (SectionPainter::toScreen(v, b.PntX[1], b.PntY[1]) +
                            SectionPainter::toScreen(v, b.PntX[2], b.PntY[2])) /
                           2;
        QCOMPARE(r.picture().pixelColor(mid), Palette::Fore);
    } else {
        // One arrow step of the bar, and the view moved with it; down shows
        // lower parts of the section.
        const bool h = effect.startsWith(u'h');
        const int step = effect.endsWith(u'+') ? 2 : -2;
        QCOMPARE((h ? r.w->hScroll() : r.w->vScroll())->value(), 50 + step);
        const bool forward = h ? (v.Dan_xmin > fitted.Dan_xmin) : (v.Dan_ymin < fitted.Dan_ymin);
        QCOMPARE(forward, step > 0);
    }
}

// Two actions of one window on the same key would make both dead
// ("Ambiguous shortcut"); every key shown in the menus is the window's once.
void TstKeys::noKeyTwice()
{
    Rig r;
    QMap<QString, QString> owner;
    for (const QAction* a : r.w->findChildren<QAction*>()) {
        for (const QKeySequence& k : a->shortcuts()) {
            const QString key = k.toString(QKeySequence::PortableText);
            QVERIFY2(!owner.contains(key),
                     qPrintable(key + QStringLiteral(": ") + owner.value(key) +
                                QStringLiteral(", ") + a->objectName()));
            owner.insert(key, a->objectName());
        }
    }
    for (const char* key : {"Ctrl+S", "Ctrl+Shift+S", "Ctrl+P", "Ctrl+O", "Ctrl+N", "Ctrl+Z",
                            "Ctrl+Y", "Ctrl+0", "Ctrl+-", "Esc", "F1"})
        QVERIFY2(owner.contains(QLatin1String(key)), key);
}

void TstKeys::overwriteSave_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("named: no dialog") << "named";
    QTest::newRow("untitled: the save dialog") << "untitled";
    QTest::newRow("folder gone: reported, still modified") << "gone";
}

void TstKeys::overwriteSave()
{
    QFETCH(QString, kind);
    Rig r;
    QString file;
    QTemporaryDir sub;
    if (kind == QLatin1String("untitled")) {
        setBlock(r, QStringLiteral("0,0 1,0"), QStringLiteral("1-2"));
        file = r.exe.path() + QStringLiteral("/first.csv");
        r.prompts.saveAnswers << file;
    } else {
        file = openCopy(r, kind == QLatin1String("gone") ? sub.path() : r.exe.path());
        QVERIFY(!file.isEmpty());
    }
    deleteAllSegments(r);
    QVERIFY(r.w->isWindowModified());
    if (kind == QLatin1String("gone")) {
        QVERIFY(sub.remove());
        r.prompts.chooseAnswers << 0; // "ファイルは他で変更されています。": 上書き
    }
    r.activate();
    QTest::keyClick(r.w.get(), Qt::Key_S, Qt::ControlModifier);

    if (kind == QLatin1String("gone")) {
        QCOMPARE(r.prompts.kind(QStringLiteral("choose")).size(), 1);
        QCOMPARE(r.prompts.errors().size(), 1);
        QVERIFY(r.w->isWindowModified());
        QVERIFY(r.w->toolbarButton(QStringLiteral("Undo"))->isEnabled());
        return;
    }
    QCOMPARE(r.prompts.kind(QStringLiteral("saveFile")).size(),
             kind == QLatin1String("untitled") ? 1 : 0);
    QVERIFY(r.prompts.errors().isEmpty());
    BlkRec back;
    QVERIFY(Blk_ReadPath(back, file));
    QCOMPARE(back.LineCnt, qint16(0));
    QVERIFY(!r.w->isWindowModified());
    QCOMPARE(r.shownTitle(),
             QStringLiteral("直立消波ブロック設定 - ") + QFileInfo(file).baseName());
    QVERIFY(!r.w->toolbarButton(QStringLiteral("Undo"))->isEnabled());
}

void TstKeys::captionShowsModification()
{
    Rig r;
    r.w->openAtStart(kSample);
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - block_8t"));
    deleteAllSegments(r);
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - block_8t*"));
    r.w->menuItem(QStringLiteral("mnuEditUndo"))->trigger(); // changed back
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - block_8t"));
}

void TstKeys::settingsRemembered_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
}

void TstKeys::settingsRemembered()
{
    QFETCH(bool, maximised);
    QTemporaryDir exe, cfg;
    const DataPathPlaces places{exe.path() + u'/', cfg.path() + u'/', QString()};
    {
        Rig first(QSize(700, 520), places);
        first.w->Toolbar1_ButtonClick(QStringLiteral("Grid"));
        if (maximised)
            first.w->showMaximized();
        QTRY_COMPARE(first.w->isMaximized(), maximised);
        QVERIFY(first.w->close());
    }
    Rig second(QSize(), places); // shown as restored, not resized
    QVERIFY(second.w->geometryRestored());
    QVERIFY(second.w->gridOn() && second.w->toolbarButton(QStringLiteral("Grid"))->isChecked());
    QCOMPARE(second.w->isMaximized(), maximised);
    if (!maximised)
        QCOMPARE(second.w->size(), QSize(700, 520));
}

void TstKeys::checkDockFromStatusPanel()
{
    Rig r;
    QLabel* panel = r.w->checks()->panel();
    QCOMPARE(panel->text(), QStringLiteral("検査: -")); // nothing to check yet
    r.w->openAtStart(kSample);
    QCOMPARE(panel->text(), QStringLiteral("検査: 合格"));
    QTest::mouseClick(panel, Qt::LeftButton);
    QDockWidget* dock = r.w->checks()->dock();
    QVERIFY(dock && dock->isVisible() && r.w->checks()->window()->isVisible());
    QCOMPARE(r.w->dockWidgetArea(dock), Qt::RightDockWidgetArea);
    // Beside the drawing, not over it, and narrower, once the window has
    // laid the dock out (its contents may demand more than it was given).
    QCoreApplication::processEvents();
    const QRect pic(r.w->picture()->mapTo(r.w.get(), QPoint(0, 0)), r.w->picture()->size());
    QVERIFY(!dock->isFloating() && dock->geometry().left() >= pic.right());
    QVERIFY2(pic.width() > dock->width(),
             qPrintable(QStringLiteral("drawing %1, dock %2").arg(pic.width()).arg(dock->width())));
    // Closed, it marks nothing any more.
    r.w->checks()->window()->table()->selectRow(0);
    dock->close();
    QVERIFY(r.w->checks()->marks().isEmpty());
}

void TstKeys::emptyBlockGuidance()
{
    Rig r;
    const QImage img = r.picture();
    const int hint = countColour(img, Palette::Hint);
    QVERIFY(hint > 50);
    // In the middle: nothing of it in the top third.
    QCOMPARE(countColour(img.copy(0, 0, img.width(), img.height() / 3), Palette::Hint), 0);
    r.w->openAtStart(kSample);
    QCOMPARE(countColour(r.picture(), Palette::Hint), 0);
    r.w->menuItem(QStringLiteral("mnuFileNew"))->trigger();
    QCOMPARE(countColour(r.picture(), Palette::Hint), hint);
}

void TstKeys::printPreviewSize()
{
    Rig r;
    QSize size;
    QPrintPreviewWidget::ZoomMode zoom = QPrintPreviewWidget::CustomZoom;
    r.prompts.onExec = [&](QDialog& d) {
        size = d.size();
        zoom = d.findChild<QPrintPreviewWidget*>()->zoomMode();
        return int(QDialog::Rejected);
    };
    r.w->menuItem(QStringLiteral("mnuFilePreview"))->trigger();
    QCOMPARE(size, r.w->screen()->availableSize() * 2 / 3);
    QCOMPARE(zoom, QPrintPreviewWidget::FitToWidth);
}

void TstKeys::hoverMarksThePick_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QPoint>("offset"); // from the target, pixels
    QTest::addColumn<QString>("number");
    QTest::newRow("join, near point 2") << "mnuLineIn" << QPoint(8, 8) << "点 2";
    QTest::newRow("point delete, near point 2") << "mnuPointDel" << QPoint(-12, 5) << "点 2";
    QTest::newRow("point delete, 25 px away") << "mnuPointDel" << QPoint(25, 0) << "";
    QTest::newRow("segment delete, near segment 1") << "mnuLineDel" << QPoint(0, -15) << "線分 1";
    QTest::newRow("segment delete, 30 px away") << "mnuLineDel" << QPoint(0, -30) << "";
}

void TstKeys::hoverMarksThePick()
{
    QFETCH(QString, mode);
    QFETCH(QPoint, offset);
    QFETCH(QString, number);
    Rig r;
    // Point 2 at the lower right; segment 1 along the bottom, its middle the target.
    setBlock(r, QStringLiteral("0,0 10,0 10,10"), QStringLiteral("1-2 2-3"));
    const bool segment = mode == QLatin1String("mnuLineDel");
    const QPoint target = SectionPainter::toScreen(r.w->view(), segment ? 5 : 10, 0);
    r.w->menuItem(mode)->trigger();
    r.mouse(QEvent::MouseMove, target + offset, Qt::NoButton, Qt::NoButton);
    // The mark: cyan on the ring round the point, or over the segment.
    const QPoint probe = target + (segment ? QPoint(0, 1) : QPoint(6, 0));
    QCOMPARE(r.w->picture()->grab().toImage().pixelColor(probe) == Palette::Gravity,
             !number.isEmpty());
    QVERIFY(r.w->panelText(2).startsWith(QStringLiteral("X = ")));
    QCOMPARE(r.w->panelText(2).section(QStringLiteral("  "), 2), number);
    // The click still picks the nearest, however far.
    r.mouse(QEvent::MouseButtonPress, target + offset, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(mode == QLatin1String("mnuLineIn") ? r.mod->NewLine[0]
             : segment                          ? r.mod->SelLine[0]
                                                : r.mod->SelPnt[0],
             qint16(segment ? 1 : 2));
    QEvent leave(QEvent::Leave); // the pointer goes elsewhere, and the mark with it
    QApplication::sendEvent(r.w->picture(), &leave);
    QVERIFY(r.w->picture()->grab().toImage().pixelColor(probe) != Palette::Gravity);
}

QTEST_MAIN(TstKeys)
#include "tst_keys.moc"

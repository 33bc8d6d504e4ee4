#include "common/blocktext.h"
#include "common/mainwindowrig.h"
#include "dialogs/checkwindow.h"
#include "dialogs/form9.h"
#include "document/blockfile.h"
#include "mainwindow/checkcommands.h"
#include "view/sectionpainter.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>

namespace {

const QString kSample = QStringLiteral(MRB_SAMPLES_DIR "/block_8t.csv");

// Opens a copy of the 8 t sample kept in the rig's folder, so that saving
// over it harms nothing.
QString openCopy(Rig& r, const QString& folder = {})
{
    const QString dir = folder.isEmpty() ? r.exe.path() : folder;
    const QString copy = dir + QStringLiteral("/block_8t.csv");
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
    void redoKeysBringSegmentBack_data();
    void redoKeysBringSegmentBack();
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
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+N") << int(Qt::Key_N) << ctrl << "new";
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << ctrl << "open";
    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << int(ctrl | Qt::ShiftModifier)
                                  << "saveDialog";
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << "help";
    QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << ctrl << "zoomIn";
    QTest::newRow("Ctrl++") << int(Qt::Key_Plus) << ctrl << "zoomIn";
    QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << ctrl << "zoomOut";
    QTest::newRow("Ctrl+0") << int(Qt::Key_0) << ctrl << "showAll";
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << "h-";
    QTest::newRow("Right") << int(Qt::Key_Right) << 0 << "h+";
    QTest::newRow("Up") << int(Qt::Key_Up) << 0 << "v-";
    QTest::newRow("Down") << int(Qt::Key_Down) << 0 << "v+";
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << "modeEnd";
}

void TstKeys::keysDoTheirCommands()
{
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(QString, effect);
    Rig r;
    r.w->openAtStart(kSample);
    r.activate();
    ViewState& v = r.w->view();
    const ViewState fitted = v;
    if (effect == QLatin1String("showAll"))
        r.w->zoomAtCentre(3);
    if (effect == QLatin1String("modeEnd"))
        r.w->menuItem(QStringLiteral("mnuLineIn"))->trigger();
    // The world point at the centre of the drawing area.
    const QPoint centre(r.w->picture()->width() / 2, r.w->picture()->height() / 2);
    double cx = 0, cy = 0;
    GzToKz(v, centre.x(), centre.y(), cx, cy);

    QTest::keyClick(r.w.get(), Qt::Key(key), Qt::KeyboardModifiers(mods));

    if (effect == QLatin1String("new")) {
        QCOMPARE(r.mod->BlkData.PntCnt, qint16(0));
        QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定"));
    } else if (effect == QLatin1String("open")) {
        QCOMPARE(r.prompts.kind(QStringLiteral("exec")), QStringList{"Form9"});
    } else if (effect == QLatin1String("saveDialog")) {
        QCOMPARE(r.prompts.kind(QStringLiteral("saveFile")).size(), 1);
    } else if (effect == QLatin1String("help")) {
        QCOMPARE(r.prompts.errors().size(), 1); // nothing installed: where it looked
        QVERIFY(r.prompts.errors()[0].startsWith(QStringLiteral("ヘルプが見つかりません")));
    } else if (effect.startsWith(QLatin1String("zoom"))) {
        const double factor = effect == QLatin1String("zoomIn") ? 1.25 : 0.75;
        QVERIFY(qAbs(v.Dan_scl - fitted.Dan_scl * factor) < 1e-9 * fitted.Dan_scl);
        double x = 0, y = 0;
        GzToKz(v, centre.x(), centre.y(), x, y);
        QVERIFY(qAbs(x - cx) < 2 / v.Dan_scl && qAbs(y - cy) < 2 / v.Dan_scl);
    } else if (effect == QLatin1String("showAll")) {
        QCOMPARE(v.Dan_scl, fitted.Dan_scl);
        QCOMPARE(v.Dan_xmin, fitted.Dan_xmin);
    } else if (effect.startsWith(u'h') || effect.startsWith(u'v')) {
        // One arrow step of the bar, and the view moved with it.
        QScrollBar* bar = effect.startsWith(u'h') ? r.w->hScroll() : r.w->vScroll();
        const int step = effect.endsWith(u'+') ? 2 : -2;
        QCOMPARE(bar->value(), 50 + step);
        if (effect.startsWith(u'h'))
            QCOMPARE(v.Dan_xmin > fitted.Dan_xmin, step > 0);
        else
            QCOMPARE(v.Dan_ymin<fitted.Dan_ymin, step> 0); // down shows lower parts
    } else if (effect == QLatin1String("modeEnd")) {
        QCOMPARE(r.w->modes().state().Disp_mode, DispMode::Idle);
    } else {
        QFAIL("unknown effect");
    }
}

void TstKeys::redoKeysBringSegmentBack_data()
{
    QTest::addColumn<int>("mods");
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+Y") << int(Qt::ControlModifier) << int(Qt::Key_Y);
    QTest::newRow("Ctrl+Shift+Z") << int(Qt::ControlModifier | Qt::ShiftModifier) << int(Qt::Key_Z);
}

void TstKeys::redoKeysBringSegmentBack()
{
    QFETCH(int, mods);
    QFETCH(int, key);
    Rig r;
    setBlock(r, QStringLiteral("0,0 10,0 10,5"), {});
    r.activate();
    // Join 1-2 with the mouse, then Ctrl+Z takes it back.
    const BlkRec& b = r.mod->BlkData;
    r.w->menuItem(QStringLiteral("mnuLineIn"))->trigger();
    for (int i : {1, 2})
        r.mouse(QEvent::MouseButtonPress,
                SectionPainter::toScreen(r.w->view(), b.PntX[i], b.PntY[i]), Qt::LeftButton,
                Qt::LeftButton);
    QCOMPARE(segmentsText(b), QStringLiteral("1-2"));
    QTest::keyClick(r.w.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(b.LineCnt, qint16(0));
    QTest::keyClick(r.w.get(), Qt::Key(key), Qt::KeyboardModifiers(mods));
    QCOMPARE(segmentsText(b), QStringLiteral("1-2"));
    // Drawn again: white half-way between its points.
    const QPoint mid = (SectionPainter::toScreen(r.w->view(), 0, 0) +
                        SectionPainter::toScreen(r.w->view(), 10, 0)) /
                       2;
    QCOMPARE(r.picture().pixelColor(mid), Palette::Fore);
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
        file = openCopy(r, kind == QLatin1String("gone") ? sub.path() : QString());
        QVERIFY(!file.isEmpty());
    }
    deleteAllSegments(r);
    QVERIFY(r.w->isWindowModified());
    QVERIFY(r.shownTitle().endsWith(u'*'));
    if (kind == QLatin1String("gone"))
        QVERIFY(sub.remove());
    r.activate();
    QTest::keyClick(r.w.get(), Qt::Key_S, Qt::ControlModifier);

    if (kind == QLatin1String("gone")) {
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
    // A second Ctrl+S writes the same file again, still without asking.
    QTest::keyClick(r.w.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(r.prompts.kind(QStringLiteral("saveFile")).size(),
             kind == QLatin1String("untitled") ? 1 : 0);
}

void TstKeys::captionShowsModification()
{
    Rig r;
    QVERIFY(!r.w->isWindowModified());
    r.w->openAtStart(kSample);
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - block_8t"));
    deleteAllSegments(r);
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - block_8t*"));
    // Changed back by undo: the Part's caption again.
    r.activate();
    QTest::keyClick(r.w.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定 - block_8t"));
    // New with いいえ for the untitled block being edited.
    deleteAllSegments(r);
    r.prompts.yesNoCancelAnswers << Prompts::Answer::No;
    r.w->menuItem(QStringLiteral("mnuFileNew"))->trigger();
    QCOMPARE(r.shownTitle(), QStringLiteral("直立消波ブロック設定"));
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
    const QSize size(700, 520);
    {
        Rig first(size, places);
        first.w->move(40, 30);
        first.w->Toolbar1_ButtonClick(QStringLiteral("Grid"));
        if (maximised) {
            first.w->showMaximized();
            QTRY_VERIFY(first.w->isMaximized());
        }
        QVERIFY(first.w->close());
    }
    ScriptedPrompts prompts;
    auto mod = std::make_unique<Module1>();
    auto blk = std::make_unique<basMr_Blk>();
    frmMain second(*mod, *blk, places, &prompts);
    QVERIFY(second.geometryRestored());
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QVERIFY(second.gridOn());
    QVERIFY(second.toolbarButton(QStringLiteral("Grid"))->isChecked());
    QCOMPARE(second.isMaximized(), maximised);
    if (!maximised)
        QCOMPARE(second.size(), size);
    // Nothing remembered yet: the first start keeps its own size.
    QTemporaryDir freshCfg;
    frmMain fresh(*mod, *blk, {exe.path() + u'/', freshCfg.path() + u'/', QString()}, &prompts);
    QVERIFY(!fresh.geometryRestored());
    QVERIFY(!fresh.gridOn());
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
    QVERIFY(dock && dock->isVisible());
    QCOMPARE(r.w->dockWidgetArea(dock), Qt::RightDockWidgetArea);
    QVERIFY(!dock->isFloating());
    QVERIFY(r.w->checks()->window()->isVisible());
    // Beside the drawing, not over it.
    const QRect pic(r.w->picture()->mapTo(r.w.get(), QPoint(0, 0)), r.w->picture()->size());
    QVERIFY(!dock->geometry().intersects(pic));
    QVERIFY(dock->geometry().left() >= pic.right());
    QVERIFY(pic.width() > dock->width());
    // Closed, it marks nothing any more.
    r.w->checks()->window()->table()->selectRow(0);
    dock->close();
    QVERIFY(r.w->checks()->marks().isEmpty());
}

void TstKeys::emptyBlockGuidance()
{
    Rig r;
    QImage img = r.picture();
    const int hint = countColour(img, Palette::Hint);
    QVERIFY(hint > 50);
    // The text sits in the middle: none of it in the top or bottom third.
    for (int y = 0; y < img.height() / 3; ++y)
        for (int x = 0; x < img.width(); ++x)
            QVERIFY(img.pixelColor(x, y) != Palette::Hint &&
                    img.pixelColor(x, img.height() - 1 - y) != Palette::Hint);
    r.w->openAtStart(kSample);
    QCOMPARE(countColour(r.picture(), Palette::Hint), 0);
    r.w->menuItem(QStringLiteral("mnuFileNew"))->trigger();
    QCOMPARE(countColour(r.picture(), Palette::Hint), hint);
}

void TstKeys::printPreviewSize()
{
    Rig r;
    r.w->openAtStart(kSample);
    QSize size;
    QPrintPreviewWidget::ZoomMode zoom = QPrintPreviewWidget::CustomZoom;
    r.prompts.onExec = [&](QDialog& d) {
        size = d.size();
        if (auto* p = d.findChild<QPrintPreviewWidget*>())
            zoom = p->zoomMode();
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
    const ViewState& v = r.w->view();
    const bool segment = mode == QLatin1String("mnuLineDel");
    const QPoint target =
        segment ? SectionPainter::toScreen(v, 5, 0) : SectionPainter::toScreen(v, 10, 0);
    r.w->menuItem(mode)->trigger();
    const QPoint at = target + offset;
    r.mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);

    const QImage shown = r.w->picture()->grab().toImage();
    // The mark: cyan on the ring round the point, or over the segment.
    const QPoint probe = segment ? target + QPoint(0, 1) : target + QPoint(6, 0);
    const bool marked = shown.pixelColor(probe) == Palette::Gravity;
    QCOMPARE(marked, !number.isEmpty());
    if (number.isEmpty())
        QVERIFY(!r.w->panelText(2).contains(QStringLiteral("点")) &&
                !r.w->panelText(2).contains(QStringLiteral("線分")));
    else
        QVERIFY2(r.w->panelText(2).endsWith(QStringLiteral("  ") + number),
                 qPrintable(r.w->panelText(2)));
    QVERIFY(r.w->panelText(2).startsWith(QStringLiteral("X = ")));
    // The click still picks the nearest, however far.
    r.mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    if (mode == QLatin1String("mnuLineIn"))
        QCOMPARE(r.mod->NewLine[0], qint16(2));
    else if (segment)
        QCOMPARE(r.mod->SelLineCnt, qint16(1));
    else
        QCOMPARE(r.mod->SelPntCnt, qint16(1));
    // Leaving the mode takes the mark away.
    r.w->menuItem(QStringLiteral("mnuEditEsc"))->trigger();
    QVERIFY(r.w->picture()->grab().toImage().pixelColor(target + QPoint(6, 0)) != Palette::Gravity);
}

QTEST_MAIN(TstKeys)
#include "tst_keys.moc"

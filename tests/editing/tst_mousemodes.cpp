#include "common/blocktext.h"
#include "document/module1.h"
#include "editing/guidance.h"
#include "editing/mousemodes.h"
#include "editing/undostack.h"
#include "view/viewstate.h"

#include <QTest>

#include <memory>

namespace {

// Records what the modes ask of their window.
class FakeHost : public MouseModesHost
{
public:
    QString guidance = QStringLiteral("(unset)");
    QString position;
    int refreshes = 0;
    int bandChanges = 0;
    int zoomCursor = -1; // -1 never set, 0 default, 1 magnifier
    EditEnables enables;
    int enableCalls = 0;
    QString zoomCall; // "K xa ya xb yb", "S ...", "C sw kx ky"

    void showGuidance(const QString& text) override { guidance = text; }
    void showPosition(const QString& text) override { position = text; }
    void refresh() override { ++refreshes; }
    void bandChanged() override { ++bandChanges; }
    void setZoomCursor(bool on) override { zoomCursor = on ? 1 : 0; }
    void setEditEnabled(const EditEnables& e) override
    {
        enables = e;
        ++enableCalls;
    }
    void Kakudai_disp(qint16 a, qint16 b, qint16 c, qint16 d) override
    {
        zoomCall = QStringLiteral("K %1 %2 %3 %4").arg(a).arg(b).arg(c).arg(d);
    }
    void Shukusho_disp(qint16 a, qint16 b, qint16 c, qint16 d) override
    {
        zoomCall = QStringLiteral("S %1 %2 %3 %4").arg(a).arg(b).arg(c).arg(d);
    }
    void clickZoom(qint16 sw, double kx, double ky) override
    {
        zoomCall = QStringLiteral("C %1 %2 %3").arg(sw).arg(kx, 0, 'f', 3).arg(ky, 0, 'f', 3);
    }

    // Boxes shown, as "confirm:text" or "error:text"; OK unless told otherwise.
    QStringList boxes;
    QList<bool> answers;
    const Module1* mod = nullptr;
    bool undoEnabled = false;
    bool confirm(const QString& text) override
    {
        boxes << QStringLiteral("confirm:") + text;
        return answers.isEmpty() || answers.takeFirst();
    }
    void showError(const QString& text) override { boxes << QStringLiteral("error:") + text; }
    void undoChanged() override { undoEnabled = mod->UndoCnt > 0; }
    void selectionChanged() override { ++refreshes; }
};

// A view of 400 × 300 pixels at 10 px/m with its top-left corner at world (0, 30).
ViewState testView()
{
    ViewState v;
    v.Gz_xmax = 400;
    v.Gz_ymax = 300;
    v.Dan_scl = 10;
    v.Dan_xmin = 0;
    v.Dan_xmax = 40;
    v.Dan_ymin = 0;
    v.Dan_ymax = 30;
    v.Dan_xc = 20;
    v.Dan_yc = 15;
    return v;
}

struct Rig
{
    std::unique_ptr<Module1> mod = std::make_unique<Module1>();
    ViewState view = testView();
    FakeHost host;
    MouseModes modes{*mod, view, host};
    const InteractionState& st() const { return modes.state(); }
};

// Points 1..4 at pixels (50, 50), (150, 50), (150, 150), (50, 150) of the
// test view, joined 1-2 and 2-3, in a named block with a layer, so that undo
// can be seen to restore everything.
void editBlock(Rig& r)
{
    r.mod->BlkData =
        blockFromText(QStringLiteral("5,25 15,25 15,15 5,15"), QStringLiteral("1-2 2-3"));
    r.mod->BlkData.Name = QStringLiteral("試験");
    r.mod->BlkData.LyrCnt = 1;
    r.mod->BlkData.LyrH[0] = 2;
    r.host.mod = r.mod.get();
    r.modes.Menu_Enable(); // as the window's load does
}

// Mode commands; "L x y" / "R" a button down, "M x y" a move; "undo" with
// the window's reset after it; "full" fills the segment table; "nopoints"
// and "nosegs" empty tables as the point editor could.
void run(Rig& r, const QStringList& steps)
{
    for (const QString& step : steps) {
        const QStringList a = step.split(u' ');
        const double x = a.value(1).toDouble();
        const double y = a.value(2).toDouble();
        BlkRec& b = r.mod->BlkData;
        if (a[0] == u"join")
            r.modes.enterJoin();
        else if (a[0] == u"segdel")
            r.modes.enterLineDelete();
        else if (a[0] == u"pntdel")
            r.modes.enterPointDelete();
        else if (a[0] == u"L" || a[0] == u"R")
            r.modes.Picture1_MouseDown(a[0] == u"L" ? MouseButton::Left : MouseButton::Right, x, y);
        else if (a[0] == u"M")
            r.modes.Picture1_MouseMove(0, x, y);
        else if (a[0] == u"undo") {
            Undo_Pop(*r.mod);
            r.modes.afterUndo();
        } else if (a[0] == u"full") {
            b = blockFromText(QStringLiteral("5,25 15,25 15,15 5,15"),
                              QStringLiteral("1-2 ").repeated(BlkRec::LineLast));
        } else {
            b.LineCnt = 0;
            b.PntCnt = a[0] == u"nopoints" ? 0 : b.PntCnt;
            r.modes.Menu_Enable();
        }
    }
}

// "mode/stage m<message> a<anchor> <band> [segments] p<points> u[undo names]
// L[selected segments] P[selected points]".
QString summary(const Rig& r)
{
    const BlkRec& b = r.mod->BlkData;
    int msg = 8;
    while (msg > 0 && Disp_MessageText(qint16(msg)) != r.host.guidance)
        --msg;
    QStringList undo;
    for (int i = 0; i < r.mod->UndoCnt; ++i)
        undo << r.mod->UndoName[i];
    const auto list = [](const auto& a, int n) {
        QStringList out;
        for (int k = 0; k < n; ++k)
            out << QString::number(a[k]);
        return out.join(u' ');
    };
    const QPoint to = r.modes.bandTo();
    const QString band = r.modes.bandKind() == MouseModes::BandKind::Line
                             ? QStringLiteral("line>%1,%2").arg(to.x()).arg(to.y())
                             : QStringLiteral("-");
    return QStringLiteral("%1/%2 m%3 a%4,%5 %6 [%7] p%8 u[%9] L[%10] P[%11]")
        .arg(r.st().Disp_mode)
        .arg(r.st().Mouse_sw)
        .arg(msg)
        .arg(r.st().Mouse_xa)
        .arg(r.st().Mouse_ya)
        .arg(band, b.LineCnt > 10 ? QStringLiteral("%1 segments").arg(b.LineCnt) : segmentsText(b))
        .arg(b.PntCnt)
        .arg(undo.join(u' '), list(r.mod->SelLine, r.mod->SelLineCnt),
             list(r.mod->SelPnt, r.mod->SelPntCnt));
}

const QString kLinesQ = QStringLiteral("confirm:選択中の線分を削除しますか？");
const QString kPointsQ =
    QStringLiteral("confirm:選択中の点を削除しますか？\r\n結線されている線分も削除します。");

} // namespace

class TstMouseModes : public QObject
{
    Q_OBJECT
private slots:
    void messages_data();
    void messages();
    void idleIgnoresButtons();
    void coordinateReadout();
    void enterZoomMode_data();
    void enterZoomMode();
    void dragZooms_data();
    void dragZooms();
    void bandFollowsOnlyWithLeftHeld();
    void rightClickInStageOneKeepsMode();
    void rightClickInStageZeroLeavesMode();
    void otherButtonsDoNothing();
    void raberResetWhileIdleDoesNothing();
    void raberResetLeavesZoomMode();
    void scrollReanchorsLiveBand();
    void menuEnable_data();
    void menuEnable();
    void unknownToolbarKeyGoesIdle();
    void editModes_data();
    void editModes();
    void undoRestoresRecord_data();
    void undoRestoresRecord();
};

void TstMouseModes::messages_data()
{
    QTest::addColumn<int>("no");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << QString();
    QTest::newRow("1") << 1 << QStringLiteral("結線開始点の選択。(マウス右：選択終了)");
    QTest::newRow("2") << 2 << QStringLiteral("結線終了点の選択。(マウス右：結線開始点選択へ)");
    QTest::newRow("3") << 3 << QStringLiteral("削除線分の選択。同一線指定で解除(マウス右：削除)");
    QTest::newRow("4") << 4
                       << QStringLiteral(
                              "拡大 左クリック１点拡大、左ドラッグ領域指定 (マウス右：拡大終了)");
    QTest::newRow("5") << 5 << QStringLiteral("拡大領域2点目指定");
    QTest::newRow("6") << 6
                       << QStringLiteral(
                              "縮小 左クリック１点縮小、左ドラッグ領域指定 (マウス右：縮小終了)");
    QTest::newRow("7") << 7 << QStringLiteral("縮小領域2点目指定");
    QTest::newRow("8") << 8 << QStringLiteral("削除点の選択。同一点指定で解除(マウス右：削除)");
    QTest::newRow("9") << 9 << QString();
    QTest::newRow("-1") << -1 << QString();
}

void TstMouseModes::messages()
{
    QFETCH(int, no);
    QFETCH(QString, text);
    Rig r;
    r.modes.Disp_Message(qint16(no));
    QCOMPARE(r.host.guidance, text);
}

void TstMouseModes::idleIgnoresButtons()
{
    Rig r;
    r.modes.Picture1_MouseDown(MouseButton::Left, 10, 10);
    r.modes.Picture1_MouseUp(MouseButton::Left, 100, 100);
    r.modes.Picture1_MouseDown(MouseButton::Right, 10, 10);
    QCOMPARE(r.st().Disp_mode, DispMode::Idle);
    QCOMPARE(r.st().Mouse_sw, qint16(-1));
    QCOMPARE(r.host.refreshes, 0);
    QVERIFY(r.host.zoomCall.isEmpty());
    QCOMPARE(r.host.guidance, QStringLiteral("(unset)"));
}

void TstMouseModes::coordinateReadout()
{
    // Pixel (12.5, 305) is world (1.25, -0.5) in the test view.
    Rig r;
    r.modes.Picture1_MouseMove(0, 12.5 - 0.4, 305);
    QCOMPARE(r.host.position, QStringLiteral("X = 1.20  Y = -0.50"));
    r.modes.enterZoom(DispMode::ZoomIn);
    r.modes.Picture1_MouseMove(0, 100, 0);
    QCOMPARE(r.host.position, QStringLiteral("X = 10.00  Y = 30.00"));
}

void TstMouseModes::enterZoomMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("message");
    QTest::newRow("拡大") << int(DispMode::ZoomIn) << 4;
    QTest::newRow("縮小") << int(DispMode::ZoomOut) << 6;
}

void TstMouseModes::enterZoomMode()
{
    QFETCH(int, mode);
    QFETCH(int, message);
    Rig r;
    r.modes.enterZoom(qint16(mode));
    QCOMPARE(r.st().Disp_mode, qint16(mode));
    QCOMPARE(r.st().Mouse_sw, qint16(0));
    QCOMPARE(r.host.zoomCursor, 1);
    QCOMPARE(r.host.guidance, Disp_MessageText(qint16(message)));
    QCOMPARE(r.host.refreshes, 0); // entering from idle resets nothing

    // Pressing the left button anchors the band and shows the second message.
    r.modes.Picture1_MouseDown(MouseButton::Left, 50.4, 60.6);
    QCOMPARE(r.st().Mouse_sw, qint16(1));
    QCOMPARE(r.st().Mouse_xa, qint16(50));
    QCOMPARE(r.st().Mouse_ya, qint16(61));
    QCOMPARE(r.st().Mouse_xb, qint16(50));
    QCOMPARE(r.st().Mouse_yb, qint16(61));
    QCOMPARE(r.st().Mouse_kx, 5.0);
    QCOMPARE(r.st().Mouse_ky, 30.0 - 6.1);
    QCOMPARE(r.host.guidance, Disp_MessageText(qint16(message + 1)));
    QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::None); // nothing drawn before a move
}

void TstMouseModes::dragZooms_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<QString>("call");
    // 19 pixels is a click: one step about the release point; 20 is a rectangle.
    QTest::newRow("in 19 px") << 0 << 19 << 0 << QStringLiteral("C 0 11.900 26.000");
    QTest::newRow("in 20 px") << 0 << 20 << 0 << QStringLiteral("K 100 40 120 40");
    QTest::newRow("in 12,16 = 20 px") << 0 << 12 << 16 << QStringLiteral("K 100 40 112 56");
    QTest::newRow("in 12,15 < 20 px") << 0 << 12 << 15 << QStringLiteral("C 0 11.200 24.500");
    QTest::newRow("out 19 px") << 1 << 0 << 19 << QStringLiteral("C 1 10.000 24.100");
    QTest::newRow("out 20 px") << 1 << -20 << 0 << QStringLiteral("S 100 40 80 40");
}

void TstMouseModes::dragZooms()
{
    QFETCH(int, mode);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(QString, call);
    Rig r;
    r.modes.enterZoom(qint16(mode));
    r.modes.Picture1_MouseDown(MouseButton::Left, 100, 40);
    r.modes.Picture1_MouseMove(MouseButton::Left, 100 + dx, 40 + dy);
    if (dx != 0 || dy != 0)
        QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::Rect);
    QCOMPARE(r.modes.bandTo(), QPoint(100 + dx, 40 + dy));
    r.modes.Picture1_MouseUp(MouseButton::Left, 100 + dx, 40 + dy);
    QCOMPARE(r.host.zoomCall, call);
    // The mode stays for the next gesture, with its first message.
    QCOMPARE(r.st().Disp_mode, qint16(mode));
    QCOMPARE(r.st().Mouse_sw, qint16(0));
    QCOMPARE(r.host.guidance, Disp_MessageText(qint16(mode * 2 + 4)));
    QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::None);
}

void TstMouseModes::bandFollowsOnlyWithLeftHeld()
{
    Rig r;
    r.modes.enterZoom(DispMode::ZoomIn);
    r.modes.Picture1_MouseDown(MouseButton::Left, 10, 10);
    r.modes.Picture1_MouseMove(0, 50, 60); // no button: the end follows, nothing drawn
    QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::None);
    QCOMPARE(r.st().Mouse_xb, qint16(50));
    r.modes.Picture1_MouseMove(MouseButton::Left | 4, 70, 80); // left and middle: not "left only"
    QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::None);
    r.modes.Picture1_MouseMove(MouseButton::Left, 90, 95);
    QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::Rect);
    QCOMPARE(r.modes.bandFrom(), QPoint(10, 10));
    QCOMPARE(r.modes.bandTo(), QPoint(90, 95));
}

void TstMouseModes::rightClickInStageOneKeepsMode()
{
    Rig r;
    r.modes.enterZoom(DispMode::ZoomOut);
    r.modes.Picture1_MouseDown(MouseButton::Left, 10, 10);
    r.modes.Picture1_MouseMove(MouseButton::Left, 80, 80);
    r.modes.Picture1_MouseDown(MouseButton::Right, 80, 80);
    QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::None);
    QCOMPARE(r.st().Disp_mode, DispMode::ZoomOut);
    QCOMPARE(r.st().Mouse_sw, qint16(0));
    QCOMPARE(r.host.guidance, Disp_MessageText(6));
    // The release that follows does nothing: no first corner is pending.
    r.modes.Picture1_MouseUp(MouseButton::Left, 80, 80);
    QVERIFY(r.host.zoomCall.isEmpty());
    QCOMPARE(r.host.zoomCursor, 1);
}

void TstMouseModes::rightClickInStageZeroLeavesMode()
{
    Rig r;
    r.modes.enterZoom(DispMode::ZoomIn);
    r.modes.Picture1_MouseDown(MouseButton::Right, 5, 5);
    QCOMPARE(r.st().Disp_mode, DispMode::Idle);
    QCOMPARE(r.st().Mouse_sw, qint16(-1));
    QCOMPARE(r.host.zoomCursor, 0);
    QCOMPARE(r.host.guidance, QString());
}

void TstMouseModes::otherButtonsDoNothing()
{
    Rig r;
    r.modes.enterZoom(DispMode::ZoomIn);
    r.modes.Picture1_MouseDown(4, 5, 5);                                      // middle
    r.modes.Picture1_MouseDown(MouseButton::Left | MouseButton::Right, 5, 5); // both
    QCOMPARE(r.st().Disp_mode, DispMode::ZoomIn);
    QCOMPARE(r.st().Mouse_sw, qint16(0));
    QCOMPARE(r.host.guidance, Disp_MessageText(4));
}

void TstMouseModes::raberResetWhileIdleDoesNothing()
{
    Rig r;
    r.modes.Raber_Reset();
    QCOMPARE(r.host.refreshes, 0);
    QCOMPARE(r.host.guidance, QStringLiteral("(unset)"));
    QCOMPARE(r.host.zoomCursor, -1);
}

void TstMouseModes::raberResetLeavesZoomMode()
{
    Rig r;
    r.mod->SelPntCnt = 2;
    r.mod->SelLineCnt = 3;
    r.modes.enterZoom(DispMode::ZoomIn);
    r.modes.Picture1_MouseDown(MouseButton::Left, 10, 10);
    r.modes.Picture1_MouseMove(MouseButton::Left, 60, 60);
    r.modes.Raber_Reset();
    QCOMPARE(r.st().Disp_mode, DispMode::Idle);
    QCOMPARE(r.st().Mouse_sw, qint16(-1));
    QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::None);
    QCOMPARE(r.mod->SelPntCnt, qint16(0));
    QCOMPARE(r.mod->SelLineCnt, qint16(0));
    QCOMPARE(r.host.refreshes, 1);
    QCOMPARE(r.host.guidance, QString());
    QCOMPARE(r.host.zoomCursor, 0);

    // Entering the other zoom mode from a live one goes through the reset too.
    r.modes.enterZoom(DispMode::ZoomIn);
    r.modes.Picture1_MouseDown(MouseButton::Left, 10, 10);
    r.modes.enterZoom(DispMode::ZoomOut);
    QCOMPARE(r.host.refreshes, 2);
    QCOMPARE(r.st().Disp_mode, DispMode::ZoomOut);
    QCOMPARE(r.st().Mouse_sw, qint16(0));
}

void TstMouseModes::scrollReanchorsLiveBand()
{
    Rig r;
    r.modes.enterZoom(DispMode::ZoomIn);
    r.modes.Picture1_MouseDown(MouseButton::Left, 100, 100); // world (10, 20)
    r.modes.Picture1_MouseMove(MouseButton::Left, 150, 150);
    // The view moves 2 m to the right and 1 m up.
    r.view.Dan_xmin += 2;
    r.view.Dan_xmax += 2;
    r.view.Dan_ymin += 1;
    r.view.Dan_ymax += 1;
    r.modes.viewScrolled();
    QCOMPARE(r.st().Mouse_xa, qint16(80));
    QCOMPARE(r.st().Mouse_ya, qint16(110));
    QCOMPARE(r.st().Mouse_xb, qint16(80));
    QCOMPARE(r.st().Mouse_yb, qint16(110));
    QCOMPARE(r.modes.bandKind(), MouseModes::BandKind::None);
    QCOMPARE(r.st().Mouse_sw, qint16(1));
}

void TstMouseModes::menuEnable_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("pointCmds");
    QTest::addColumn<bool>("lineCmds");
    QTest::addColumn<int>("modeAfter");
    QTest::newRow("empty, idle") << 0 << 0 << -1 << false << false << -1;
    QTest::newRow("points only") << 3 << 0 << -1 << true << false << -1;
    QTest::newRow("both") << 3 << 2 << -1 << true << true << -1;
    QTest::newRow("no lines ends mode 3") << 3 << 0 << 3 << true << false << -1;
    QTest::newRow("lines keep mode 3") << 3 << 1 << 3 << true << true << 3;
    QTest::newRow("no points ends mode 2") << 0 << 0 << 2 << false << false << -1;
    QTest::newRow("no points ends mode 4") << 0 << 1 << 4 << false << true << -1;
    QTest::newRow("points keep mode 4") << 1 << 0 << 4 << true << false << 4;
    QTest::newRow("zoom never ended") << 0 << 0 << 0 << false << false << 0;
}

void TstMouseModes::menuEnable()
{
    QFETCH(int, points);
    QFETCH(int, lines);
    QFETCH(int, mode);
    QFETCH(bool, pointCmds);
    QFETCH(bool, lineCmds);
    QFETCH(int, modeAfter);
    Rig r;
    r.mod->BlkData.PntCnt = qint16(points);
    r.mod->BlkData.LineCnt = qint16(lines);
    InteractionState& st = r.modes.state();
    st.Disp_mode = qint16(mode);
    st.Mouse_sw = mode < 0 ? -1 : 0;
    r.modes.Menu_Enable();
    QCOMPARE(r.host.enables.lineIn, pointCmds);
    QCOMPARE(r.host.enables.pointDel, pointCmds);
    QCOMPARE(r.host.enables.lineDel, lineCmds);
    QCOMPARE(r.host.enables.lineDelAll, lineCmds);
    QCOMPARE(st.Disp_mode, qint16(modeAfter));
    QCOMPARE(st.Mouse_sw, qint16(modeAfter < 0 ? -1 : 0));
    if (mode >= 0 && modeAfter < 0)
        QCOMPARE(r.host.guidance, QString());
}

void TstMouseModes::unknownToolbarKeyGoesIdle()
{
    Rig r;
    r.modes.enterZoom(DispMode::ZoomIn);
    const int refreshes = r.host.refreshes;
    r.modes.setIdle();
    QCOMPARE(r.st().Disp_mode, DispMode::Idle);
    QCOMPARE(r.st().Mouse_sw, qint16(-1));
    QCOMPARE(r.host.refreshes, refreshes);          // no reset, no repaint
    QCOMPARE(r.host.guidance, Disp_MessageText(4)); // and no message
}

void TstMouseModes::editModes_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<bool>>("answers"); // to the confirmations; OK when none left
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("boxes");
    const QList<bool> ok;
    const QList<bool> cancel{false};
    const QString far = QStringLiteral("L 30000 50"); // over 999 m from everything
    const QStringList none;
    const QString seg12 = QStringLiteral("[1-2 2-3] p4 u[]");
    const auto row = [](const char* name) { return &QTest::newRow(name); };

    *row("2/0 left, nothing in reach")
        << QStringList{"join", far} << ok << "2/0 m1 a0,0 - " + seg12 + " L[] P[]" << none;
    *row("2/0 left: start on the point")
        << QStringList{"join", "L 53 47"} << ok << "2/1 m2 a50,50 - " + seg12 + " L[] P[]" << none;
    *row("2/0 right: idle") << QStringList{"join", "R"} << ok
                            << "-1/-1 m0 a0,0 - " + seg12 + " L[] P[]" << none;
    *row("2/1 move: band") << QStringList{"join", "L 50 50", "M 120 90"} << ok
                           << "2/1 m2 a50,50 line>120,90 " + seg12 + " L[] P[]" << none;
    *row("2/1 left: joined") << QStringList{"join", "L 50 50", "M 120 90", "L 148 152"} << ok
                             << "2/1 m2 a150,150 - [1-2 2-3 1-3] p4 u[線追加] L[] P[]" << none;
    *row("2/1 left: existing, reversed")
        << QStringList{"join", "L 150 150", "L 150 50"} << ok
        << "2/1 m2 a150,50 - [1-2 2-3] p4 u[線追加] L[] P[]" << none;
    *row("2/1 left: same point") << QStringList{"join", "L 50 50", "L 52 53"} << ok
                                 << "2/1 m2 a50,50 - " + seg12 + " L[] P[]" << none;
    *row("2/1 left, nothing in reach") << QStringList{"join", "L 50 50", "M 70 70", far} << ok
                                       << "2/1 m2 a50,50 line>70,70 " + seg12 + " L[] P[]" << none;
    *row("2/1 right: start point again") << QStringList{"join", "L 50 50", "M 70 70", "R"} << ok
                                         << "2/0 m1 a50,50 - " + seg12 + " L[] P[]" << none;
    *row("chain 3-4-1, right, right")
        << QStringList{"join", "L 150 150", "L 50 150", "L 50 50", "R", "R"} << ok
        << "-1/-1 m0 a50,50 - [1-2 2-3 3-4 4-1] p4 u[線追加 線追加] L[] P[]" << none;
    *row("first segment enables") << QStringList{"nosegs", "join", "L 50 50", "L 150 50"} << ok
                                  << "2/1 m2 a150,50 - [1-2] p4 u[線追加] L[] P[]" << none;
    *row("101st segment refused") << QStringList{"full", "join", "L 150 150", "L 50 150"} << ok
                                  << "2/1 m2 a150,150 - [100 segments] p4 u[] L[] P[]"
                                  << QStringList{"error:線分は100本までしか登録できません。"};
    *row("Menu_Enable leaves mode 2") << QStringList{"join", "L 50 50", "nopoints"} << ok
                                      << "-1/-1 m0 a50,50 - [] p0 u[] L[] P[]" << none;
    *row("undo ends a pending join") << QStringList{"join", "L 50 50", "L 150 150", "M 9 9", "undo"}
                                     << ok << "2/0 m1 a150,150 - " + seg12 + " L[] P[]" << none;

    *row("3/0 left, nothing in reach")
        << QStringList{"segdel", far} << ok << "3/0 m3 a0,0 - " + seg12 + " L[] P[]" << none;
    *row("3/0 left: select") << QStringList{"segdel", "L 100 53"} << ok
                             << "3/0 m3 a0,0 - " + seg12 + " L[1] P[]" << none;
    *row("3/0 left twice: deselect") << QStringList{"segdel", "L 100 53", "L 100 48"} << ok
                                     << "3/0 m3 a0,0 - " + seg12 + " L[] P[]" << none;
    *row("3/0 beyond a common end: lower") << QStringList{"segdel", "L 160 40", "L 153 100"} << ok
                                           << "3/0 m3 a0,0 - " + seg12 + " L[1 2] P[]" << none;
    *row("3/0 right, none: idle") << QStringList{"segdel", "R"} << ok
                                  << "-1/-1 m0 a0,0 - " + seg12 + " L[] P[]" << none;
    *row("3/0 right, OK") << QStringList{"segdel", "L 153 100", "R"} << ok
                          << "3/0 m3 a0,0 - [1-2] p4 u[線削除] L[] P[]" << QStringList{kLinesQ};
    *row("3/0 right, Cancel") << QStringList{"segdel", "L 153 100", "R"} << cancel
                              << "3/0 m3 a0,0 - " + seg12 + " L[] P[]" << QStringList{kLinesQ};
    *row("last segments: idle") << QStringList{"segdel", "L 100 53", "L 153 100", "R"} << ok
                                << "-1/-1 m0 a0,0 - [] p4 u[線削除] L[] P[]"
                                << QStringList{kLinesQ};
    *row("undo brings them back") << QStringList{"segdel", "L 100 53", "L 153 100", "R", "undo"}
                                  << ok << "-1/-1 m0 a0,0 - " + seg12 + " L[] P[]"
                                  << QStringList{kLinesQ};
    *row("undo empties the selection") << QStringList{"segdel", "L 100 53", "undo"} << ok
                                       << "3/0 m3 a0,0 - " + seg12 + " L[] P[]" << none;

    *row("4/0 left, nothing in reach")
        << QStringList{"pntdel", far} << ok << "4/0 m8 a0,0 - " + seg12 + " L[] P[]" << none;
    *row("4/0 left: select") << QStringList{"pntdel", "L 148 52"} << ok
                             << "4/0 m8 a0,0 - " + seg12 + " L[] P[2]" << none;
    *row("4/0 left twice: deselect") << QStringList{"pntdel", "L 148 52", "L 151 49"} << ok
                                     << "4/0 m8 a0,0 - " + seg12 + " L[] P[]" << none;
    *row("4/0 right, none: idle") << QStringList{"pntdel", "R"} << ok
                                  << "-1/-1 m0 a0,0 - " + seg12 + " L[] P[]" << none;
    *row("4/0 right, OK") << QStringList{"pntdel", "L 50 150", "L 50 50", "R"} << ok
                          << "4/0 m8 a0,0 - [1-2] p2 u[点削除] L[] P[]" << QStringList{kPointsQ};
    *row("4/0 right, Cancel") << QStringList{"pntdel", "L 50 50", "R"} << cancel
                              << "4/0 m8 a0,0 - " + seg12 + " L[] P[]" << QStringList{kPointsQ};
    *row("last points: idle") << QStringList{"pntdel",    "L 50 50",  "L 150 50",
                                             "L 150 150", "L 50 150", "R"}
                              << ok << "-1/-1 m0 a0,0 - [] p0 u[点削除] L[] P[]"
                              << QStringList{kPointsQ};
}

void TstMouseModes::editModes()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, after);
    QFETCH(QStringList, boxes);
    Rig r;
    editBlock(r);
    r.host.answers = answers;
    run(r, steps);
    QCOMPARE(summary(r), after);
    QCOMPARE(r.host.boxes, boxes);
    // The window's buttons follow every change.
    QCOMPARE(r.host.undoEnabled, r.mod->UndoCnt > 0);
    QCOMPARE(r.host.enables, Menu_EnableRule(r.mod->BlkData));
    // Highlights: segments only while selecting segments, points only while selecting points.
    const qint16 mode = r.st().Disp_mode;
    QCOMPARE(int(r.modes.highlightedLines().size()), mode == 3 ? r.mod->SelLineCnt : 0);
    QCOMPARE(int(r.modes.highlightedPoints().size()), mode == 4 ? r.mod->SelPntCnt : 0);
}

void TstMouseModes::undoRestoresRecord_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("name");
    QTest::newRow("join") << QStringList{"join", "L 150 150", "L 50 150"} << "線追加";
    QTest::newRow("segment deletion") << QStringList{"segdel", "L 100 50", "R"} << "線削除";
    QTest::newRow("point deletion") << QStringList{"pntdel", "L 150 50", "R"} << "点削除";
}

void TstMouseModes::undoRestoresRecord()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, name);
    Rig r;
    editBlock(r);
    const BlkRec before = r.mod->BlkData;
    run(r, steps);
    QVERIFY(Blk_Differs(r.mod->BlkData, before));
    QCOMPARE(r.mod->UndoName[0], name);
    run(r, {"undo"});
    QVERIFY(!Blk_Differs(r.mod->BlkData, before));
    QVERIFY(!r.host.undoEnabled);
}

QTEST_GUILESS_MAIN(TstMouseModes)
#include "tst_mousemodes.moc"

#include "document/module1.h"
#include "editing/guidance.h"
#include "editing/mousemodes.h"
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

QTEST_GUILESS_MAIN(TstMouseModes)
#include "tst_mousemodes.moc"

#include "editing/mousemodes.h"

#include "document/numtext.h"
#include "editing/guidance.h"
#include "editing/picking.h"
#include "editing/tableedits.h"
#include "editing/undostack.h"

#include <algorithm>
#include <cmath>

namespace {

qint16 toPixel(double v)
{
    if (std::isnan(v))
        return 0;
    return qint16(std::clamp(std::round(v), -32768.0, 32767.0));
}

// A click and a release this far apart, or farther, make a rectangle.
constexpr double kDragDistance = 20.0;

// Picks search the whole drawing: only what lies farther than this from the
// click (far outside the block) is never found.
constexpr double kPickRadius = 999.0;

// Adds n to a selection list, or removes it when listed at position pos
// (later entries move one place forward). False when nothing changed.
bool toggle(std::array<qint16, Module1::SelLast + 1>& list, qint16& count, int held, qint16 n,
            qint16 pos)
{
    if (pos < 0) {
        if (held > Module1::SelLast)
            return false;
        list[held] = n;
        count = qint16(held + 1);
        return true;
    }
    for (int k = pos; k < held - 1; ++k)
        list[k] = list[k + 1];
    count = qint16(held - 1);
    return true;
}

} // namespace

MouseModes::MouseModes(Module1& mod, const ViewState& view, MouseModesHost& host)
    : mMod(mod), mView(view), mHost(host)
{
}

bool MouseModes::inZoomMode() const
{
    return mState.Disp_mode == DispMode::ZoomIn || mState.Disp_mode == DispMode::ZoomOut;
}

QPoint MouseModes::clickPosition(double x, double y) const
{
    return {toPixel(x), toPixel(y)};
}

void MouseModes::setBand(bool shown)
{
    if (mBandShown == shown)
        return;
    mBandShown = shown;
    mHost.bandChanged();
}

MouseModes::BandKind MouseModes::bandKind() const
{
    if (!mBandShown || mState.Mouse_sw != 1)
        return BandKind::None;
    if (inZoomMode())
        return BandKind::Rect;
    if (mState.Disp_mode == DispMode::Join)
        return BandKind::Line;
    return BandKind::None;
}

void MouseModes::Disp_Message(qint16 MsgNo)
{
    mHost.showGuidance(Disp_MessageText(MsgNo));
}

void MouseModes::leaveMode()
{
    setIdle();
    Disp_Message(0);
}

void MouseModes::Raber_Reset()
{
    if (mState.Disp_mode < 0 || mState.Mouse_sw < 0)
        return;
    setIdle();
    mMod.SelLineCnt = 0;
    mMod.SelPntCnt = 0;
    mHost.refresh();
    Disp_Message(0);
    mHost.setZoomCursor(false);
}

void MouseModes::Menu_Enable()
{
    const BlkRec& blk = mMod.BlkData;
    mHost.setEditEnabled(Menu_EnableRule(blk));
    if (blk.LineCnt <= 0 && mState.Disp_mode == DispMode::DeleteLines)
        leaveMode();
    if (blk.PntCnt <= 0 &&
        (mState.Disp_mode == DispMode::Join || mState.Disp_mode == DispMode::DeletePoints))
        leaveMode();
}

void MouseModes::enterZoom(qint16 mode)
{
    Raber_Reset();
    mHost.setZoomCursor(true);
    if (mode == DispMode::ZoomIn)
        enterMode(DispMode::ZoomIn, 4);
    else
        enterMode(DispMode::ZoomOut, 6);
}

void MouseModes::setIdle()
{
    setBand(false);
    setHover(-1, -1);
    mState.Mouse_sw = -1;
    mState.Disp_mode = DispMode::Idle;
}

void MouseModes::zoomDown(QPoint pos)
{
    Disp_Message(mState.Disp_mode == DispMode::ZoomIn ? 5 : 7);
    GzToKz(mView, pos.x(), pos.y(), mState.Mouse_kx, mState.Mouse_ky);
    mState.Mouse_xa = qint16(pos.x());
    mState.Mouse_ya = qint16(pos.y());
}

void MouseModes::enterMode(qint16 mode, qint16 MsgNo)
{
    mState.Disp_mode = mode;
    mState.Mouse_sw = 0;
    refreshHover(); // a pointer already over the drawing shows its pick at once
    Disp_Message(MsgNo);
}

void MouseModes::enterJoin()
{
    Raber_Reset();
    enterMode(DispMode::Join, 1);
}

void MouseModes::enterLineDelete()
{
    Raber_Reset();
    mMod.SelLineCnt = 0;
    enterMode(DispMode::DeleteLines, 3);
}

void MouseModes::enterPointDelete()
{
    Raber_Reset();
    mMod.SelPntCnt = 0;
    enterMode(DispMode::DeletePoints, 8);
}

void MouseModes::afterUndo()
{
    refreshHover(); // the numbers under the pointer may have changed
    const bool hadSelection = mMod.SelPntCnt != 0 || mMod.SelLineCnt != 0;
    mMod.SelPntCnt = 0;
    mMod.SelLineCnt = 0;
    if (mState.Disp_mode == DispMode::Join && mState.Mouse_sw == 1) {
        mState.Mouse_sw = 0;
        setBand(false);
        Disp_Message(1);
    }
    mHost.undoChanged();
    Menu_Enable();
    if (hadSelection)
        mHost.selectionChanged();
}

std::span<const qint16> MouseModes::highlightedLines() const
{
    if (mState.Disp_mode != DispMode::DeleteLines || mState.Mouse_sw < 0)
        return {};
    return {mMod.SelLine.data(), size_t(selLineCount(mMod))};
}

std::span<const qint16> MouseModes::highlightedPoints() const
{
    if (mState.Disp_mode != DispMode::DeletePoints || mState.Mouse_sw < 0)
        return {};
    return {mMod.SelPnt.data(), size_t(selPntCount(mMod))};
}

QPoint MouseModes::pointOnScreen(qint16 k) const
{
    qint16 gx = 0;
    qint16 gy = 0;
    KzToGz(mView, mMod.BlkData.PntX[k], mMod.BlkData.PntY[k], gx, gy);
    return {gx, gy};
}

qint16 MouseModes::nearestPoint(QPoint pos) const
{
    double wx = 0;
    double wy = 0;
    GzToKz(mView, pos.x(), pos.y(), wx, wy);
    return Near_Pnt(mMod.BlkData, wx, wy, kPickRadius);
}

bool MouseModes::joinStart(QPoint pos)
{
    const qint16 c = nearestPoint(pos);
    if (c < 0)
        return false;
    mMod.NewLine[0] = c;
    const QPoint a = pointOnScreen(c); // the band starts on the point, not on the click
    mState.Mouse_xa = qint16(a.x());
    mState.Mouse_ya = qint16(a.y());
    Disp_Message(2);
    return true;
}

void MouseModes::joinEnd(QPoint pos)
{
    const qint16 c = nearestPoint(pos);
    if (c < 0)
        return; // nothing within reach: the band stays and the join goes on
    setBand(false);
    mMod.NewLine[1] = c;
    switch (Line_AddTest(mMod.BlkData, mMod.NewLine[0], c)) {
    case LineAddResult::TableFull:
        // Nothing is joined; the chain goes on from its start point.
        mState.Mouse_xb = mState.Mouse_xa;
        mState.Mouse_yb = mState.Mouse_ya;
        mHost.showError(QStringLiteral("線分は100本までしか登録できません。"));
        return;
    case LineAddResult::Added:
    case LineAddResult::AlreadyThere:
        // Joining an existing pair again still leaves an undo entry.
        Undo_Push(mMod, mMod.BlkData, QStringLiteral("線追加"));
        mHost.undoChanged();
        if (Line_Add(mMod) == LineAddResult::Added)
            mHost.refresh();
        break;
    case LineAddResult::BadEnds: // the same point twice: nothing to join
        break;
    }
    mMod.NewLine[0] = c;
    const QPoint b = pointOnScreen(c);
    mState.Mouse_xa = mState.Mouse_xb = qint16(b.x());
    mState.Mouse_ya = mState.Mouse_yb = qint16(b.y());
    mState.Mouse_sw = 1;
    Menu_Enable();
}

void MouseModes::toggleLine(QPoint pos)
{
    Disp_Message(3);
    double wx = 0;
    double wy = 0;
    GzToKz(mView, pos.x(), pos.y(), wx, wy);
    const qint16 t = Near_Line(mMod.BlkData, wx, wy, kPickRadius);
    if (t < 0)
        return;
    if (toggle(mMod.SelLine, mMod.SelLineCnt, selLineCount(mMod), t, SelLine_Find(mMod, t)))
        mHost.selectionChanged();
}

void MouseModes::togglePoint(QPoint pos)
{
    const qint16 c = nearestPoint(pos);
    if (c < 0)
        return;
    if (toggle(mMod.SelPnt, mMod.SelPntCnt, selPntCount(mMod), c, SelPnt_Find(mMod, c)))
        mHost.selectionChanged();
}

void MouseModes::deleteLines()
{
    if (mHost.confirm(QStringLiteral("選択中の線分を削除しますか？"))) {
        Undo_Push(mMod, mMod.BlkData, QStringLiteral("線削除"));
        mHost.undoChanged();
        SelLine_Del(mMod);
    }
    // Cancel drops the selection all the same.
    mMod.SelLineCnt = 0;
    refreshHover(); // the numbers under the pointer may have changed
    mHost.refresh();
    Menu_Enable();
}

void MouseModes::deletePoints()
{
    if (mHost.confirm(QStringLiteral("選択中の点を削除しますか？") + QStringLiteral("\r\n") +
                      QStringLiteral("結線されている線分も削除します。"))) {
        Undo_Push(mMod, mMod.BlkData, QStringLiteral("点削除"));
        mHost.undoChanged();
        SelPnt_Del(mMod);
    }
    mMod.SelPntCnt = 0;
    refreshHover();
    mHost.refresh();
    Menu_Enable();
}

void MouseModes::Picture1_MouseDown(int button, double x, double y)
{
    if (mState.Mouse_sw < 0) {
        if (mState.Disp_mode < 0)
            return;
        mState.Mouse_sw = 0;
    }
    if (button != MouseButton::Left && button != MouseButton::Right)
        return;
    const QPoint pos = clickPosition(x, y);
    const qint16 mode = mState.Disp_mode;

    if (mState.Mouse_sw == 0) {
        if (button == MouseButton::Left) {
            if (inZoomMode())
                zoomDown(pos);
            else if (mode == DispMode::Join && !joinStart(pos))
                return; // no point within reach: still waiting for a start point
            else if (mode == DispMode::DeleteLines)
                toggleLine(pos);
            else if (mode == DispMode::DeletePoints)
                togglePoint(pos);
            mState.Mouse_xb = mState.Mouse_xa;
            mState.Mouse_yb = mState.Mouse_ya;
            mState.Mouse_sw =
                (mode == DispMode::DeleteLines || mode == DispMode::DeletePoints) ? 0 : 1;
            setBand(false); // a fresh band: nothing is drawn until the pointer moves
        } else if (inZoomMode() || mode == DispMode::Join) {
            leaveMode();
            mHost.setZoomCursor(false);
        } else if (mode == DispMode::DeleteLines) {
            if (mMod.SelLineCnt <= 0)
                leaveMode();
            else
                deleteLines();
        } else if (mode == DispMode::DeletePoints) {
            if (mMod.SelPntCnt <= 0)
                leaveMode();
            else
                deletePoints();
        }
        return;
    }

    // Stage 1: a band is live (zoom or join modes).
    if (button == MouseButton::Left) {
        if (mode == DispMode::Join) {
            joinEnd(pos);
            return;
        }
        mState.Mouse_xb = qint16(pos.x());
        mState.Mouse_yb = qint16(pos.y());
        mState.Mouse_sw = 0;
        setBand(false);
    } else {
        mState.Mouse_sw = 0;
        setBand(false);
        Disp_Message(mode == DispMode::ZoomIn ? 4 : mode == DispMode::ZoomOut ? 6 : 1);
    }
}

void MouseModes::setHover(qint16 line, qint16 point)
{
    if (line == mHoverLine && point == mHoverPoint)
        return;
    mHoverLine = line;
    mHoverPoint = point;
    mHost.hoverChanged();
    // A number that has gone (a deletion, an undo) leaves the read-out too.
    if (!mPosition.isEmpty())
        mHost.showPosition(mPosition + hoverText());
}

void MouseModes::updateHover(QPoint pos)
{
    const qint16 mode = mState.Disp_mode;
    const bool points = mode == DispMode::Join || mode == DispMode::DeletePoints;
    if ((!points && mode != DispMode::DeleteLines) || !(mView.Dan_scl > 0)) {
        setHover(-1, -1);
        return;
    }
    double wx = 0;
    double wy = 0;
    GzToKz(mView, pos.x(), pos.y(), wx, wy);
    // The nearest within the reach is the click's pick (the nearest of all)
    // whenever that lies within the reach.
    const double reach = HoverPixels / mView.Dan_scl;
    if (points)
        setHover(-1, Near_Pnt(mMod.BlkData, wx, wy, reach));
    else
        setHover(Near_Line(mMod.BlkData, wx, wy, reach), -1);
}

QString MouseModes::hoverText() const
{
    if (mHoverPoint >= 0)
        return QStringLiteral("  点 %1").arg(mHoverPoint);
    if (mHoverLine >= 0)
        return QStringLiteral("  線分 %1").arg(mHoverLine);
    return {};
}

void MouseModes::Picture1_MouseMove(int buttons, double x, double y)
{
    double wx = 0;
    double wy = 0;
    GzToKz(mView, toPixel(x), toPixel(y), wx, wy);
    mPosition =
        QStringLiteral("X = ") + NumText::fmt00(wx) + QStringLiteral("  Y = ") + NumText::fmt00(wy);
    mPointer = clickPosition(x, y);
    mPointerIn = true;
    updateHover(mPointer);
    mHost.showPosition(mPosition + hoverText());

    if (mState.Mouse_sw != 1)
        return;
    const QPoint pos = clickPosition(x, y);
    if (pos.x() == mState.Mouse_xb && pos.y() == mState.Mouse_yb)
        return;
    const bool draws =
        (inZoomMode() && buttons == MouseButton::Left) || mState.Disp_mode == DispMode::Join;
    mState.Mouse_xb = qint16(pos.x());
    mState.Mouse_yb = qint16(pos.y());
    if (draws) {
        mBandShown = true;
        mHost.bandChanged();
    }
}

void MouseModes::zoomUp(QPoint pos)
{
    mState.Mouse_xb = qint16(pos.x());
    mState.Mouse_yb = qint16(pos.y());
    const double d = std::hypot(double(mState.Mouse_xa - mState.Mouse_xb),
                                double(mState.Mouse_ya - mState.Mouse_yb));
    setBand(false);
    if (d >= kDragDistance) {
        if (mState.Disp_mode == DispMode::ZoomIn)
            mHost.Kakudai_disp(mState.Mouse_xa, mState.Mouse_ya, mState.Mouse_xb, mState.Mouse_yb);
        else
            mHost.Shukusho_disp(mState.Mouse_xa, mState.Mouse_ya, mState.Mouse_xb, mState.Mouse_yb);
    } else {
        GzToKz(mView, mState.Mouse_xb, mState.Mouse_yb, mState.Mouse_kx, mState.Mouse_ky);
        mHost.clickZoom(mState.Disp_mode, mState.Mouse_kx, mState.Mouse_ky);
    }
    mState.Mouse_sw = 0;
    Disp_Message(qint16(mState.Disp_mode * 2 + 4));
}

void MouseModes::Picture1_MouseUp(int /*button*/, double x, double y)
{
    if (inZoomMode() && mState.Mouse_sw == 1)
        zoomUp(clickPosition(x, y));
}

void MouseModes::pointerLeft()
{
    mPointerIn = false;
    setHover(-1, -1);
}

void MouseModes::refreshHover()
{
    if (mPointerIn)
        updateHover(mPointer);
    else
        setHover(-1, -1);
}

void MouseModes::viewScrolled()
{
    refreshHover(); // what lies under the pointer moved
    if (mState.Mouse_sw != 1)
        return;
    if (inZoomMode()) {
        KzToGz(mView, mState.Mouse_kx, mState.Mouse_ky, mState.Mouse_xa, mState.Mouse_ya);
    } else if (mState.Disp_mode == DispMode::Join) {
        const int p = mMod.NewLine[0];
        if (p < 0 || p > BlkRec::PntLast)
            return;
        KzToGz(mView, mMod.BlkData.PntX[p], mMod.BlkData.PntY[p], mState.Mouse_xa, mState.Mouse_ya);
    } else {
        return;
    }
    mState.Mouse_xb = mState.Mouse_xa;
    mState.Mouse_yb = mState.Mouse_ya;
    setBand(false);
}

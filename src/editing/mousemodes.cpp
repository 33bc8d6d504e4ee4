#include "editing/mousemodes.h"

#include "document/numtext.h"
#include "editing/guidance.h"

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
    mState.Disp_mode = mode == DispMode::ZoomIn ? DispMode::ZoomIn : DispMode::ZoomOut;
    mState.Mouse_sw = 0;
    Disp_Message(mState.Disp_mode == DispMode::ZoomIn ? 4 : 6);
}

void MouseModes::setIdle()
{
    setBand(false);
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
            mState.Mouse_xb = mState.Mouse_xa;
            mState.Mouse_yb = mState.Mouse_ya;
            mState.Mouse_sw =
                (mode == DispMode::DeleteLines || mode == DispMode::DeletePoints) ? 0 : 1;
            setBand(false); // a fresh band: nothing is drawn until the pointer moves
        } else if (inZoomMode() || mode == DispMode::Join) {
            leaveMode();
            mHost.setZoomCursor(false);
        }
        return;
    }

    // Stage 1: a band is live (zoom or join modes).
    if (button == MouseButton::Left) {
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

void MouseModes::Picture1_MouseMove(int buttons, double x, double y)
{
    double wx = 0;
    double wy = 0;
    GzToKz(mView, toPixel(x), toPixel(y), wx, wy);
    mHost.showPosition(QStringLiteral("X = ") + NumText::fmt00(wx) + QStringLiteral("  Y = ") +
                       NumText::fmt00(wy));

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

void MouseModes::viewScrolled()
{
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

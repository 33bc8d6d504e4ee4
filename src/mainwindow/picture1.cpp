#include "mainwindow/picture1.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

// Buttons as a mask with 1 = left and 2 = right; the middle button gets a bit
// of its own so that "left only" tests stay exact.
int buttonMask(Qt::MouseButtons b)
{
    int m = 0;
    if (b & Qt::LeftButton)
        m |= 1;
    if (b & Qt::RightButton)
        m |= 2;
    if (b & Qt::MiddleButton)
        m |= 4;
    return m;
}

} // namespace

Picture1::Picture1(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the coordinate read-out follows the mouse in every mode
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(16, 16);
}

void Picture1::refresh()
{
    mStale = true;
    update();
}

void Picture1::updateOverlay(const QRegion& region)
{
    mOverlayPending += region;
    update(region);
}

void Picture1::render()
{
    const qreal dpr = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * dpr).toSize();
    if (mPicture.size() != device)
        mPicture = QImage(device, QImage::Format_RGB32);
    mPicture.setDevicePixelRatio(dpr);
    QPainter p(&mPicture);
    if (mRenderer)
        mRenderer(p, size());
    else
        p.fillRect(rect(), Qt::black);
    mStale = false;
    ++mRenderCount;
}

void Picture1::paintEvent(QPaintEvent* e)
{
    // Any paint reaching beyond what the band asked for (an exposure, say)
    // draws the section afresh from the data.
    const qreal dpr = devicePixelRatioF();
    const bool bandOnly = (e->region() - mOverlayPending).isEmpty();
    mOverlayPending -= e->region();
    if (mStale || !bandOnly || mPicture.size() != (QSizeF(size()) * dpr).toSize())
        render();
    QPainter p(this);
    p.drawImage(QPoint(0, 0), mPicture);
    if (mOverlay)
        mOverlay(p);
}

void Picture1::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    mStale = true;
    emit resized();
}

void Picture1::mousePressEvent(QMouseEvent* e)
{
    emit mouseDown(buttonMask(e->button()), e->position().x(), e->position().y());
}

void Picture1::mouseMoveEvent(QMouseEvent* e)
{
    emit mouseMove(buttonMask(e->buttons()), e->position().x(), e->position().y());
}

void Picture1::mouseReleaseEvent(QMouseEvent* e)
{
    emit mouseUp(buttonMask(e->button()), e->position().x(), e->position().y());
}

void Picture1::wheelEvent(QWheelEvent* e)
{
    // One step is 120 eighths of a degree; touchpads deliver it in pieces.
    mWheelRest += e->angleDelta().y();
    const int steps = mWheelRest / 120;
    mWheelRest -= steps * 120;
    if (steps != 0)
        emit wheelSteps(steps, e->position().x(), e->position().y());
    e->accept();
}

void Picture1::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    emit mouseLeft();
}

#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>

// The drawing area. Every repaint the platform asks for draws the section
// afresh from the data, as does refresh(); only a moving rubber band reuses
// the last picture (updateOverlay), so dragging costs a blit of the pixels it
// touches. Mouse events go straight to the window's handlers; the widget
// decides nothing itself.
class Picture1 : public QWidget
{
    Q_OBJECT
public:
    using Renderer = std::function<void(QPainter&, QSize)>;
    using Overlay = std::function<void(QPainter&)>;

    explicit Picture1(QWidget* parent = nullptr);

    void setRenderer(Renderer r) { mRenderer = std::move(r); }
    void setOverlay(Overlay o) { mOverlay = std::move(o); }

    // Rebuilds the picture from the data and shows it.
    void refresh();
    // Shows the last picture again in region, with the current overlay.
    void updateOverlay(const QRegion& region);

    // The last picture built, for tests and screenshots.
    const QImage& picture() const { return mPicture; }
    int renderCount() const { return mRenderCount; }

signals:
    void mouseDown(int button, double x, double y);
    void mouseMove(int buttons, double x, double y);
    void mouseUp(int button, double x, double y);
    // Whole wheel steps (positive away from the user) at a position.
    void wheelSteps(int steps, double x, double y);
    void resized();
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void render();

    Renderer mRenderer;
    Overlay mOverlay;
    QImage mPicture;
    bool mStale = true;
    QRegion mOverlayPending; // asked for by the rubber band alone
    int mRenderCount = 0;
    int mWheelRest = 0; // eighths of a degree not yet a whole step (touchpads)
};

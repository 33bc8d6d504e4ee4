#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

// The drawing area. It keeps the section picture as an image that is rebuilt
// only when the data or the view changes (refresh), so moving a rubber band
// over it costs a blit, not a full repaint. Mouse events go straight to the
// window's handlers; the widget decides nothing itself.
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
    // Shows the picture again with the current overlay (rubber band).
    void updateOverlay() { update(); }

    // The last picture built, for tests and screenshots.
    const QImage& picture() const { return mPicture; }
    int renderCount() const { return mRenderCount; }

signals:
    void mouseDown(int button, double x, double y);
    void mouseMove(int buttons, double x, double y);
    void mouseUp(int button, double x, double y);
    void resized();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void render();

    Renderer mRenderer;
    Overlay mOverlay;
    QImage mPicture;
    bool mStale = true;
    int mRenderCount = 0;
};

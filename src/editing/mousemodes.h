#pragma once

#include "document/module1.h"
#include "editing/menuenable.h"
#include "view/viewstate.h"

#include <QPoint>
#include <QString>
#include <QtGlobal>

#include <span>

// Interaction modes of the drawing area.
namespace DispMode {
constexpr qint16 Idle = -1;
constexpr qint16 ZoomIn = 0;       // 拡大
constexpr qint16 ZoomOut = 1;      // 縮小
constexpr qint16 Join = 2;         // 結線
constexpr qint16 DeleteLines = 3;  // 線分削除
constexpr qint16 DeletePoints = 4; // 点削除
} // namespace DispMode

// Mouse buttons as the handlers receive them: a mask, 1 left and 2 right.
namespace MouseButton {
constexpr int Left = 1;
constexpr int Right = 2;
} // namespace MouseButton

// The interaction state of the main window.
struct InteractionState
{
    qint16 Disp_mode = DispMode::Idle;
    qint16 Mouse_sw = -1; // -1 no mode, 0 waiting for the first click, 1 band live
    qint16 Mouse_xa = 0;  // anchor, pixels
    qint16 Mouse_ya = 0;
    qint16 Mouse_xb = 0; // moving end, pixels
    qint16 Mouse_yb = 0;
    double Mouse_kx = 0; // anchor in the world, metres
    double Mouse_ky = 0;
};

// What the mouse modes need from their window. Everything the user sees goes
// through here, so the modes run and are tested without a window.
class MouseModesHost
{
public:
    virtual ~MouseModesHost() = default;

    virtual void showGuidance(const QString& text) = 0; // status bar panel 1
    virtual void showPosition(const QString& text) = 0; // status bar panel 2
    virtual void refresh() = 0;                         // repaint the section from the data
    virtual void bandChanged() = 0;                     // the rubber band moved, appeared or went
    virtual void setZoomCursor(bool on) = 0;            // magnifier or the default arrow
    virtual void setEditEnabled(const EditEnables& e) = 0;

    // The zoom procedures of the window: rectangle zooms in pixel corners, and
    // the one-step zoom of a click about a world point.
    virtual void Kakudai_disp(qint16 gxa, qint16 gya, qint16 gxb, qint16 gyb) = 0;
    virtual void Shukusho_disp(qint16 gxa, qint16 gya, qint16 gxb, qint16 gyb) = 0;
    virtual void clickZoom(qint16 SclSw, double kx, double ky) = 0;

    // The deletion confirmation: title "確認", OK and Cancel; true for OK.
    virtual bool confirm(const QString& text) = 0;
    // An error box, title "Error".
    virtual void showError(const QString& text) = 0;
    // UndoCnt changed: the "Undo" button is enabled exactly while it is above 0.
    virtual void undoChanged() = 0;
    // A segment or point was selected or deselected: repaint the highlights.
    virtual void selectionChanged() = 0;
    // What a click would pick under the pointer changed: repaint its mark.
    virtual void hoverChanged() {}
};

// The state machine of the drawing area's mouse modes.
class MouseModes
{
public:
    enum class BandKind
    {
        None,
        Rect,
        Line
    };

    MouseModes(Module1& mod, const ViewState& view, MouseModesHost& host);

    InteractionState& state() { return mState; }
    const InteractionState& state() const { return mState; }

    // Leaves any mode: the band goes, both selections are emptied, the picture
    // is repainted and the guidance cleared. Does nothing while idle.
    void Raber_Reset();
    void Disp_Message(qint16 MsgNo);
    // Enables the editing commands from the table counts and leaves a picking
    // mode whose table has become empty.
    void Menu_Enable();

    // 拡大 (mode 0) and 縮小 (mode 1).
    void enterZoom(qint16 mode);
    // 結線 (mode 2), 線分 → 削除 (mode 3) and 点 → 削除 (mode 4).
    void enterJoin();
    void enterLineDelete();
    void enterPointDelete();
    // BlkData was replaced by an undo or redo: selections and a pending join
    // may name what no longer exists. Empties both selections, ends a pending
    // join (back to choosing its start point), updates the "Undo" button and
    // runs Menu_Enable. The window repaints afterwards.
    void afterUndo();
    // Straight to idle without reset, message or repaint.
    void setIdle();

    void Picture1_MouseDown(int button, double x, double y);
    void Picture1_MouseMove(int buttons, double x, double y);
    void Picture1_MouseUp(int button, double x, double y);

    // The view moved: a live gesture's anchor goes back on the same world
    // position (the band starts afresh with the next move), and the pick
    // under the pointer is found again.
    void viewScrolled();
    // The pointer left the drawing area: nothing is marked under it.
    void pointerLeft();

    // The rubber band to draw over the picture, if any.
    BandKind bandKind() const;
    QPoint bandFrom() const { return {mState.Mouse_xa, mState.Mouse_ya}; }
    QPoint bandTo() const { return {mState.Mouse_xb, mState.Mouse_yb}; }

    // The selection to highlight over the picture: the segments while
    // selecting segments, the points while selecting points, else nothing.
    std::span<const qint16> highlightedLines() const;
    std::span<const qint16> highlightedPoints() const;

    // In 結線 and the two deletion modes: the point or segment a left click
    // at the pointer would pick, while it lies within HoverPixels of it; -1
    // otherwise.
    qint16 hoveredPoint() const { return mHoverPoint; }
    qint16 hoveredLine() const { return mHoverLine; }
    static constexpr double HoverPixels = 20.0;

private:
    // The pick under the pointer at pos, for the mark and the read-out.
    void updateHover(QPoint pos);
    void setHover(qint16 line, qint16 point);
    void refreshHover();       // at the last pointer position, if it is over the area
    QString hoverText() const; // "  点 3", "  線分 2" or empty
    bool inZoomMode() const;
    // The common last steps of the mode commands: the mode, stage 0, its message.
    void enterMode(qint16 mode, qint16 MsgNo);
    void leaveMode();
    void setBand(bool shown);
    QPoint clickPosition(double x, double y) const;
    void zoomDown(QPoint pos);
    void zoomUp(QPoint pos);
    QPoint pointOnScreen(qint16 k) const;
    qint16 nearestPoint(QPoint pos) const;
    bool joinStart(QPoint pos); // false when no point is within reach
    void joinEnd(QPoint pos);
    void toggleLine(QPoint pos);
    void togglePoint(QPoint pos);
    void deleteLines();
    void deletePoints();

    Module1& mMod;
    const ViewState& mView;
    MouseModesHost& mHost;
    InteractionState mState;
    bool mBandShown = false;
    qint16 mHoverPoint = -1;
    qint16 mHoverLine = -1;
    QString mPosition; // the read-out's coordinates at the last move
    QPoint mPointer;   // where the pointer was last seen over the area
    bool mPointerIn = false;
};

#pragma once

#include "analysis/blockchecks.h"
#include "analysis/blockfigures.h"
#include "document/blkrec.h"
#include "view/checkmarkpainter.h"

#include <QObject>

class CheckWindow;
class QDockWidget;
class QLabel;
class QMainWindow;
class QStatusBar;

// The block check as the main window shows it: a summary in a third panel
// of the status bar, and the ブロック検査 window, docked at the right of the
// drawing, with the marks of its selected row. Both follow every change of
// the block.
class CheckCommands : public QObject
{
    Q_OBJECT
public:
    CheckCommands(const BlkRec& blk, QStatusBar* statusBar, QMainWindow* window);

    // The menu item, the toolbar button and a click on the status panel: the
    // check window, up to date.
    void mnuDispCheck_Click();
    // Runs the checks again when the block differs from the one last checked
    // (a comparison of microseconds, so it may be called at every repaint).
    void blockMaybeChanged();

    CheckMarks marks() const;
    QString summaryText() const;
    CheckWindow* window() const { return mWindow; }
    QDockWidget* dock() const { return mDock; }
    QLabel* panel() const { return mPanel; }

    // The unit weights and levels the 質量・浮力 tab computes with.
    void setFigureSettings(const FigureSettings& settings);
    const BlockFigures& figures() const { return mFigures; }

signals:
    void marksChanged();
    // 設定... pressed in the check window.
    void settingsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool sameAsChecked() const;
    void createDock();

    const BlkRec& mBlk;
    QMainWindow* mMain;
    QLabel* mPanel = nullptr;
    QDockWidget* mDock = nullptr;   // made on first use
    CheckWindow* mWindow = nullptr; // inside mDock
    BlkRec mChecked;
    bool mHaveChecked = false;
    BlockCheckReport mReport;
    FigureSettings mSettings;
    BlockFigures mFigures;
};

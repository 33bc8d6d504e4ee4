#include "mainwindow/checkcommands.h"

#include "dialogs/checkwindow.h"

#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>

#include <algorithm>

CheckCommands::CheckCommands(const BlkRec& blk, QStatusBar* statusBar, QMainWindow* window)
    : QObject(window), mBlk(blk), mMain(window)
{
    mPanel = new QLabel(statusBar);
    mPanel->setObjectName(QStringLiteral("StatusBar1_Panel3"));
    mPanel->setToolTip(QStringLiteral("ブロック検査の結果 (クリックで詳細)"));
    mPanel->setCursor(Qt::PointingHandCursor);
    mPanel->installEventFilter(this);
    // After the two classic panels, at the right end.
    statusBar->addPermanentWidget(mPanel);
    blockMaybeChanged();
}

bool CheckCommands::sameAsChecked() const
{
    if (!mHaveChecked || Blk_Differs(mBlk, mChecked))
        return false;
    // The checks also read the cumulative volumes, which the modification
    // test leaves out.
    const int n = std::clamp<int>(mBlk.LyrCnt, 0, BlkRec::LyrLast + 1);
    return std::equal(mBlk.LyrVSum.begin(), mBlk.LyrVSum.begin() + n, mChecked.LyrVSum.begin());
}

void CheckCommands::blockMaybeChanged()
{
    if (sameAsChecked())
        return;
    mChecked = mBlk;
    mHaveChecked = true;
    mReport = checkBlock(mBlk);
    mFigures = blockFigures(mBlk, mReport.section, mSettings);
    mPanel->setText(mReport.summaryText());
    if (mWindow && mWindow->isVisible()) {
        mWindow->showReport(mReport);
        mWindow->showFigures(mFigures, mSettings);
    }
}

void CheckCommands::setFigureSettings(const FigureSettings& settings)
{
    mSettings = settings;
    mFigures = blockFigures(mBlk, mReport.section, mSettings);
    if (mWindow && mWindow->isVisible())
        mWindow->showFigures(mFigures, mSettings);
}

bool CheckCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mPanel && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        mnuDispCheck_Click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CheckCommands::createDock()
{
    mDock = new QDockWidget(QStringLiteral("ブロック検査"), mMain);
    mDock->setObjectName(QStringLiteral("CheckDock"));
    // Beside the drawing, never floating over it.
    mDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    mDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    mWindow = new CheckWindow; // a window of its own until the dock adopts it
    mDock->setWidget(mWindow);
    mMain->addDockWidget(Qt::RightDockWidgetArea, mDock);
    // A third of the window: the drawing keeps the larger part.
    mMain->resizeDocks({mDock}, {mMain->width() / 3}, Qt::Horizontal);
    connect(mWindow, &CheckWindow::marksChanged, this, &CheckCommands::marksChanged);
    connect(mWindow, &CheckWindow::settingsRequested, this, &CheckCommands::settingsRequested);
    // Closing the dock takes its marks out of the drawing.
    connect(mDock, &QDockWidget::visibilityChanged, this, &CheckCommands::marksChanged);
}

void CheckCommands::mnuDispCheck_Click()
{
    if (!mDock)
        createDock();
    blockMaybeChanged();
    mWindow->showReport(mReport);
    mWindow->showFigures(mFigures, mSettings);
    mDock->show();
    mDock->raise();
}

CheckMarks CheckCommands::marks() const
{
    return mWindow && mWindow->isVisible() ? mWindow->marks() : CheckMarks{};
}

QString CheckCommands::summaryText() const
{
    return mPanel->text();
}

#include "mainwindow/checkcommands.h"

#include "dialogs/checkwindow.h"

#include <QLabel>
#include <QStatusBar>

#include <algorithm>

CheckCommands::CheckCommands(const BlkRec& blk, QStatusBar* statusBar, QWidget* window)
    : QObject(window), mBlk(blk), mParent(window)
{
    mPanel = new QLabel(statusBar);
    mPanel->setObjectName(QStringLiteral("StatusBar1_Panel3"));
    mPanel->setToolTip(QStringLiteral("ブロック検査の結果 (表示 → ブロック検査で詳細)"));
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

void CheckCommands::mnuDispCheck_Click()
{
    if (!mWindow) {
        mWindow = new CheckWindow(mParent);
        connect(mWindow, &CheckWindow::marksChanged, this, &CheckCommands::marksChanged);
        connect(mWindow, &CheckWindow::settingsRequested, this, &CheckCommands::settingsRequested);
    }
    blockMaybeChanged();
    mWindow->showReport(mReport);
    mWindow->showFigures(mFigures, mSettings);
    mWindow->show();
    mWindow->raise();
    mWindow->activateWindow();
}

CheckMarks CheckCommands::marks() const
{
    return mWindow && mWindow->isVisible() ? mWindow->marks() : CheckMarks{};
}

QString CheckCommands::summaryText() const
{
    return mPanel->text();
}

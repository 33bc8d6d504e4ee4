#include "mainwindow/editcommands.h"

#include "dialogs/form4.h"
#include "dialogs/form5.h"
#include "dialogs/prompts.h"
#include "editing/mousemodes.h"
#include "editing/tableedits.h"
#include "editing/undostack.h"

EditCommands::EditCommands(Module1& mod, MouseModes& modes, Prompts& prompts,
                           EditCommandsHost& host)
    : mMod(mod), mModes(modes), mPrompts(prompts), mHost(host)
{
}

void EditCommands::mnuPointHen_Click()
{
    mModes.Raber_Reset();
    // Whichever button closed it, the segments were re-linked to the points.
    runPointEditor(mMod, mPrompts, mHost.dialogParent(), mSettingsFile);
    mHost.refresh();
    mModes.Menu_Enable();
    mHost.undoChanged();
}

void EditCommands::mnuBlkPara_Click()
{
    mModes.Raber_Reset();
    Form5 dlg(mMod, mPrompts, mHost.dialogParent(), mSettingsFile);
    if (mFigureSettings)
        dlg.setFigureSettings(*mFigureSettings);
    if (mPrompts.exec(dlg) == QDialog::Accepted) {
        mHost.undoChanged();
        // A moved centre of gravity shows at once rather than at the next repaint.
        mHost.refresh();
    }
}

void EditCommands::mnuLineDelAll_Click()
{
    mModes.Raber_Reset();
    mMod.SelLineCnt = 0;
    mMod.SelPntCnt = 0;
    mModes.setIdle();
    mModes.Disp_Message(0);
    if (!mPrompts.okCancel(mHost.dialogParent(), QStringLiteral("確認"),
                           QStringLiteral("登録線分を全て消去します。よろしいですか？")))
        return;
    Undo_Push(mMod, mMod.BlkData, QStringLiteral("線分一括削除"));
    Line_DelAll(mMod.BlkData);
    mModes.Menu_Enable();
    mHost.refresh();
    mHost.undoChanged();
}

void EditCommands::undo()
{
    if (mMod.UndoCnt <= 0)
        return;
    Undo_Pop(mMod);
    mModes.afterUndo(); // the buttons follow the stacks there
    mHost.refresh();
}

void EditCommands::redo()
{
    if (!Redo_Available(mMod))
        return;
    Redo_Pop(mMod);
    mModes.afterUndo();
    mHost.refresh();
}

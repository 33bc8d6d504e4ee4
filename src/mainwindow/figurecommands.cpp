#include "mainwindow/figurecommands.h"

#include "dialogs/prompts.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/similardialog.h"
#include "editing/mousemodes.h"
#include "editing/undostack.h"
#include "mainwindow/checkcommands.h"
#include "mainwindow/editcommands.h"

FigureCommands::FigureCommands(Module1& mod, MouseModes& modes, Prompts& prompts,
                               EditCommandsHost& host, EditCommands& edits, CheckCommands& checks,
                               QString iniPath, QObject* parent)
    : QObject(parent), mMod(mod), mModes(modes), mPrompts(prompts), mHost(host), mChecks(checks),
      mIni(std::move(iniPath)), mSettings(readFigureSettings(mIni))
{
    edits.useFigureSettings(mSettings);
    connect(&checks, &CheckCommands::settingsRequested, this,
            &FigureCommands::mnuToolSettings_Click);
    settingsChanged();
}

void FigureCommands::mnuToolSimilar_Click()
{
    mModes.Raber_Reset();
    SimilarDialog dlg(mMod.BlkData, mSettings, mPrompts, mHost.dialogParent());
    if (mPrompts.exec(dlg) != QDialog::Accepted)
        return;
    Undo_Push(mMod, mMod.BlkData, QStringLiteral("相似形"));
    mMod.BlkData = dlg.result();
    mModes.Menu_Enable();
    mHost.undoChanged();
    mHost.refresh();
    emit blockReplaced();
}

void FigureCommands::mnuToolSettings_Click()
{
    mModes.Raber_Reset();
    SettingsDialog dlg(mSettings, mPrompts, mHost.dialogParent());
    if (mPrompts.exec(dlg) != QDialog::Accepted)
        return;
    mSettings = dlg.settings();
    settingsChanged();
    // The settings hold for this run even when they cannot be kept.
    if (!writeFigureSettings(mIni, mSettings))
        mPrompts.error(
            mHost.dialogParent(),
            QStringLiteral("設定を保存できませんでした。この設定は終了まで有効です。\n%1")
                .arg(mIni.isEmpty() ? QStringLiteral("(設定ファイルの場所がありません)") : mIni));
}

void FigureCommands::settingsChanged()
{
    mChecks.setFigureSettings(mSettings);
}

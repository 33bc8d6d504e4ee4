#pragma once

#include "document/figuresettings.h"

#include <QObject>
#include <QString>

class CheckCommands;
class EditCommands;
class EditCommandsHost;
class MouseModes;
class Prompts;
struct Module1;

// The commands of the ツール menu: 相似形で作成 (the similar block of another
// mass, one undo entry "相似形") and 設定 (unit weights and still-water
// levels, kept in the settings file). Holds the settings and hands them to
// whatever shows the figures.
class FigureCommands : public QObject
{
    Q_OBJECT
public:
    FigureCommands(Module1& mod, MouseModes& modes, Prompts& prompts, EditCommandsHost& host,
                   EditCommands& edits, CheckCommands& checks, QString iniPath,
                   QObject* parent = nullptr);

    void mnuToolSimilar_Click();
    void mnuToolSettings_Click();

    const FigureSettings& settings() const { return mSettings; }

signals:
    // The block was replaced by one of another size: the view should fit it.
    void blockReplaced();

private:
    void settingsChanged();

    Module1& mMod;
    MouseModes& mModes;
    Prompts& mPrompts;
    EditCommandsHost& mHost;
    CheckCommands& mChecks;
    QString mIni;
    FigureSettings mSettings;
};

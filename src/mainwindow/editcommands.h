#pragma once

#include "document/figuresettings.h"
#include "document/module1.h"

#include <QString>

class MouseModes;
class Prompts;
class QWidget;

// What the editing commands need of their window.
class EditCommandsHost
{
public:
    virtual ~EditCommandsHost() = default;
    virtual QWidget* dialogParent() = 0;
    virtual void refresh() = 0;     // repaint the section from the data
    virtual void undoChanged() = 0; // the undo or redo stack changed
};

// The commands that change the block outside the mouse modes: the point
// table editor, the block specification dialog, 一括削除, undo and redo.
class EditCommands
{
public:
    EditCommands(Module1& mod, MouseModes& modes, Prompts& prompts, EditCommandsHost& host);

    // The settings file (DataPathPlaces::settingsFile()) in which the point
    // table and ブロック諸元 remember their sizes; until it is given, or when
    // it is empty, they open at their smallest size each time.
    void setSettingsFile(const QString& path) { mSettingsFile = path; }

    void mnuPointHen_Click();
    void mnuBlkPara_Click();
    void mnuLineDelAll_Click();
    // The toolbar's "Undo" key (and Ctrl+Z): one step back, nothing when the
    // stack is empty.
    void undo();
    // Takes back the last undo (Ctrl+Y, Ctrl+Shift+Z).
    void redo();
    // The unit weights ブロック諸元 shows the mass with; the defaults until set.
    void useFigureSettings(const FigureSettings& s) { mFigureSettings = &s; }

private:
    Module1& mMod;
    MouseModes& mModes;
    Prompts& mPrompts;
    EditCommandsHost& mHost;
    QString mSettingsFile;
    const FigureSettings* mFigureSettings = nullptr;
};

#pragma once

#include "document/basmrblk.h"
#include "document/module1.h"

#include <QString>

class FileCommandsHost;
class Prompts;

// 点 → DXF から取込... and ﾌｧｲﾙ → DXF に出力...: the file and the choices
// asked through the prompts, the work done by the exchange functions. The
// folders last used for DXF files are remembered in the settings file (CAD
// drawings seldom live beside the block files); until then the data folder.
class DxfCommands
{
public:
    // settingsFile: the INI file of the program's settings; empty: none kept.
    DxfCommands(Module1& mod, const basMr_Blk& blk, Prompts& prompts, FileCommandsHost& host,
                const QString& settingsFile = {});

    // Replaces the points and segments of the block by a DXF drawing's
    // outline, as one undo step "DXF取込"; the 諸元 values stay.
    // True when the block was changed.
    bool mnuPointDxf_Click();
    // Writes the block as DXF in the unit the user chooses. True when written.
    bool mnuFileDxf_Click();

private:
    QString folder(const char* key) const;
    void remember(const char* key, const QString& path) const;

    Module1& mMod;
    const basMr_Blk& mBlk;
    Prompts& mPrompts;
    FileCommandsHost& mHost;
    QString mSettings;
};

#pragma once

#include "document/basmrblk.h"
#include "document/module1.h"
#include "mainwindow/fileguard.h"

#include <QString>

#include <optional>

class Prompts;
class QWidget;

// What the file commands need of their window.
class FileCommandsHost
{
public:
    virtual ~FileCommandsHost() = default;

    virtual QWidget* dialogParent() = 0;
    virtual void Raber_Reset() = 0;
    virtual void Menu_Enable() = 0;
    virtual void refresh() = 0;        // repaint the section from the data
    virtual void fitViewToBlock() = 0; // read the drawing area, Mk_Dan_xyminmax, Mk_Dan_scl
    virtual void setCaption(const QString& caption) = 0;
    virtual void undoChanged() = 0; // the undo stack was emptied
    // The block was replaced or saved: by New (path empty), an Open of path
    // or a save to path. It is not modified now.
    virtual void documentChanged(const QString& path) = 0;
};

// New, Open, Save and the save-if-modified prompt. Every file the program
// writes goes through the block writer, so a failed save leaves the old file
// as it was; the block then stays modified and nothing about it changes.
class FileCommands
{
public:
    enum ConfirmResult
    {
        Saved = 0,     // modified and saved just now
        NothingToSave, // not modified, or いいえ
        Cancelled      // キャンセル, or a cancelled or failed save
    };

    FileCommands(Module1& mod, basMr_Blk& blk, const QString& exeDir, Prompts& prompts,
                 FileCommandsHost& host);

    int Save_Confirm();
    // The save dialog: the full path chosen, or an empty text when cancelled.
    QString Save_FileDlg();

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    // 上書き保存: writes the block to the file it came from or was last saved
    // to, without the dialog; an untitled block goes through 保存 instead.
    void mnuFileOverwrite_Click();
    // The file the block came from or was last saved to; empty while untitled.
    const QString& currentFile() const { return mFile; }

    // Opens the block file at path as Open does after its dialog, with the
    // data folder set to the file's folder. False (after the failure message)
    // when it cannot be read; the block is then left as it was.
    bool openFile(const QString& path);
    // A recent file: through the save-if-modified prompt like 開く; a file
    // that has gone since is reported and dropped from the list by the caller
    // (false).
    bool openRecent(const QString& path);
    // A block recovered after a crash becomes the block being edited, untitled
    // and modified, so that nothing is overwritten without a save.
    void adoptRecovered(const BlkRec& rec);
    // The block being edited becomes a new block of its own (a similar block
    // of another mass): untitled, no longer tied to the file it came from, so
    // that 上書き保存 never writes it over the original. The next save dialog
    // proposes proposedName.
    void detachAsNew(const QString& proposedName);

    static QString captionFor(const QString& dataName); // "直立消波ブロック設定 - " + name

    // The open file's lock, stamp and watch.
    FileGuard& guard() { return mGuard; }

    // Writes the block to path, after the checks of the guard (a read-only
    // block, a file held elsewhere or changed on disk). False when nothing
    // was written.
    bool saveTo(QString path);

private:
    // The chosen file's path; nullopt when nothing was chosen.
    std::optional<QString> chooseBlock();
    void openFailed();

    Module1& mMod;
    basMr_Blk& mBlk;
    QString mExeDir;
    Prompts& mPrompts;
    FileCommandsHost& mHost;
    QString mFile;
    QString mProposedName; // for the save dialog of a detached, untitled block
    FileGuard mGuard;
};

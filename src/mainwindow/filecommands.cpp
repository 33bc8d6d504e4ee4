#include "mainwindow/filecommands.h"

#include "dialogs/form9.h"
#include "dialogs/prompts.h"
#include "document/blockfile.h"
#include "document/datapath.h"
#include "editing/undostack.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kCsv = QStringLiteral(".csv");

// The name a block file is known by: the file's name without its ".csv".
QString nameOf(const QString& path)
{
    QString name = QFileInfo(path).fileName();
    if (name.endsWith(kCsv, Qt::CaseInsensitive))
        name.chop(kCsv.size());
    return name;
}

QString folderOf(const QString& path)
{
    return Dir_WithSlash(QFileInfo(path).absolutePath());
}

} // namespace

FileCommands::FileCommands(Module1& mod, basMr_Blk& blk, const QString& exeDir, Prompts& prompts,
                           FileCommandsHost& host)
    : mMod(mod), mBlk(blk), mExeDir(exeDir), mPrompts(prompts), mHost(host), mGuard(prompts)
{
}

QString FileCommands::captionFor(const QString& dataName)
{
    return QStringLiteral("直立消波ブロック設定 - ") + dataName;
}

QString FileCommands::Save_FileDlg()
{
    SaveFileRequest r;
    r.caption = QStringLiteral("名前を付けて保存");
    r.dir = mBlk.DataPath;
    r.name = mBlk.DataName == basMr_Blk::Untitled && !mProposedName.isEmpty() ? mProposedName
                                                                              : mBlk.DataName;
    r.filter = QStringLiteral("ブロックファイル (*.csv)");
    r.suffix = QStringLiteral("csv");
    return mPrompts.saveFile(mHost.dialogParent(), r);
}

bool FileCommands::saveTo(QString path)
{
    // Every saved block must be listed and opened again, and those are the
    // files ending in ".csv": a name typed with another extension keeps it
    // and gets ".csv" after it.
    if (!path.endsWith(kCsv, Qt::CaseInsensitive)) {
        path += kCsv;
        if (QFileInfo::exists(path) &&
            !mPrompts.yesNo(mHost.dialogParent(), QStringLiteral("保存確認"),
                            QStringLiteral("%1 は既に存在します。\n上書きしますか?")
                                .arg(QDir::toNativeSeparators(path))))
            return false;
    }
    switch (mGuard.beforeWrite(path, mHost.dialogParent())) {
    case FileGuard::Write::Go:
        break;
    case FileGuard::Write::SaveAs: {
        const QString other = Save_FileDlg();
        return !other.isEmpty() && saveTo(other);
    }
    case FileGuard::Write::Cancel:
        return false;
    }
    const BlkWriteResult w = Blk_Write(mMod.BlkData, path);
    if (!w.ok) {
        // Nothing changes: the block stays modified under its old name.
        mPrompts.error(mHost.dialogParent(), w.message);
        return false;
    }
    mBlk.DataPath = folderOf(path);
    mBlk.DataName = nameOf(path);
    mFile = path;
    mProposedName.clear();
    mMod.SelLineCnt = 0;
    mMod.SelPntCnt = 0;
    Undo_Clear(mMod);
    mHost.undoChanged();
    mHost.setCaption(captionFor(mBlk.DataName));
    mMod.SaveData = mMod.BlkData;
    mGuard.saved(path);
    mHost.documentChanged(path);
    return true;
}

int FileCommands::Save_Confirm()
{
    if (!Data_Modified(mMod))
        return NothingToSave;
    switch (mPrompts.yesNoCancel(mHost.dialogParent(), QStringLiteral("保存確認"),
                                 QStringLiteral("データが更新されています。保存しますか?"))) {
    case Prompts::Answer::Cancel:
        return Cancelled;
    case Prompts::Answer::No:
        return NothingToSave;
    case Prompts::Answer::Yes:
        break;
    }
    const QString path = Save_FileDlg();
    if (path.isEmpty())
        return Cancelled;
    // A failed save abandons whatever asked, so that nothing is lost.
    return saveTo(path) ? Saved : Cancelled;
}

void FileCommands::mnuFileNew_Click()
{
    mHost.Raber_Reset();
    if (Save_Confirm() == Cancelled)
        return;
    Blk_Clear(mMod.BlkData);
    mMod.SelLineCnt = 0;
    mMod.SelPntCnt = 0;
    Undo_Clear(mMod);
    mHost.undoChanged();
    mHost.Menu_Enable();
    mMod.SaveData = mMod.BlkData;
    mHost.refresh();
    mBlk.DataName = basMr_Blk::Untitled;
    mFile.clear();
    mProposedName.clear();
    mHost.setCaption(QStringLiteral("直立消波ブロック設定"));
    mGuard.clear();
    mHost.documentChanged({});
}

bool FileCommands::openRecent(const QString& path)
{
    mHost.Raber_Reset();
    if (Save_Confirm() == Cancelled)
        return true;
    if (!QFileInfo(path).isFile()) {
        mPrompts.information(mHost.dialogParent(), QStringLiteral("最近使ったファイル"),
                             QStringLiteral("%1 が見つかりません。\n一覧から削除します。")
                                 .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    openFile(path);
    return true;
}

void FileCommands::detachAsNew(const QString& proposedName)
{
    mGuard.clear(); // the original file is free for others again
    mFile.clear();
    mBlk.DataName = basMr_Blk::Untitled;
    mProposedName = proposedName;
    mHost.setCaption(QStringLiteral("直立消波ブロック設定"));
}

void FileCommands::adoptRecovered(const BlkRec& rec)
{
    mProposedName.clear();
    mMod.BlkData = rec;
    mBlk.DataName = basMr_Blk::Untitled;
    mFile.clear();
    mGuard.clear();
    mMod.SelLineCnt = 0;
    mMod.SelPntCnt = 0;
    Undo_Clear(mMod);
    mHost.undoChanged();
    mHost.fitViewToBlock();
    mHost.setCaption(QStringLiteral("直立消波ブロック設定"));
    mHost.Menu_Enable();
    mHost.refresh();
}

std::optional<QString> FileCommands::chooseBlock()
{
    Form9 dlg(mBlk, mExeDir, mPrompts, mHost.dialogParent());
    mPrompts.exec(dlg);
    if (dlg.BlkNm.isEmpty())
        return std::nullopt;
    // The listed path tells apart names that differ only in the case of
    // their extension.
    return dlg.BlkPath;
}

void FileCommands::openFailed()
{
    mPrompts.error(
        mHost.dialogParent(),
        QStringLiteral("直立消波ブロックのデータ形式ではありません。\r\n処理を中止します。"));
}

void FileCommands::mnuFileOpen_Click()
{
    mHost.Raber_Reset();
    if (Save_Confirm() == Cancelled)
        return;
    if (const std::optional<QString> path = chooseBlock())
        openFile(*path); // a file gone since it was listed fails there
}

bool FileCommands::openFile(const QString& path)
{
    // Read into a record of its own: a file that fails half-way must not
    // leave a mixture of two blocks that a later save could write over a
    // good file.
    BlkRec rec;
    FileStamp stamp;
    if (!Blk_ReadPath(rec, path, &stamp)) {
        openFailed();
        return false;
    }
    if (!mGuard.adopt(path, stamp, mHost.dialogParent()))
        return false; // held elsewhere, and the user left it
    mMod.BlkData = rec;
    mBlk.DataPath = folderOf(path);
    mBlk.DataName = nameOf(path);
    mFile = path;
    mProposedName.clear();
    mHost.fitViewToBlock();
    mMod.SelLineCnt = 0;
    mMod.SelPntCnt = 0;
    Undo_Clear(mMod);
    mHost.undoChanged();
    mHost.setCaption(captionFor(mBlk.DataName));
    mHost.Menu_Enable();
    mHost.refresh();
    mMod.SaveData = mMod.BlkData;
    mHost.documentChanged(path);
    return true;
}

void FileCommands::mnuFileSave_Click()
{
    mHost.Raber_Reset();
    const QString path = Save_FileDlg();
    if (path.isEmpty())
        return;
    saveTo(path);
}

void FileCommands::mnuFileOverwrite_Click()
{
    if (mBlk.DataName == basMr_Blk::Untitled || mFile.isEmpty()) {
        mnuFileSave_Click();
        return;
    }
    mHost.Raber_Reset();
    saveTo(mFile);
}

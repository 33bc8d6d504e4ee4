#include "mainwindow/dxfcommands.h"

#include "dialogs/dxfimportdialog.h"
#include "dialogs/prompts.h"
#include "document/blockfile.h"
#include "document/datapath.h"
#include "editing/undostack.h"
#include "exchange/dxfexport.h"
#include "exchange/dxfimport.h"
#include "mainwindow/filecommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kFilter = QStringLiteral("DXF ファイル (*.dxf *.DXF)");
constexpr char kImportKey[] = "DXF/ImportFolder";
constexpr char kExportKey[] = "DXF/ExportFolder";

// The file's bytes, or an empty array after the message saying why not.
bool readFile(const QString& path, QByteArray& bytes, QString& why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("ファイル %1 を開けません。\n%2")
                  .arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    if (f.size() > Dxf::MaxFileBytes) {
        why = QStringLiteral("ファイル %1 は大きすぎて読めません。")
                  .arg(QDir::toNativeSeparators(path));
        return false;
    }
    bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        why = QStringLiteral("ファイル %1 を読めません。\n%2")
                  .arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    return true;
}

} // namespace

DxfCommands::DxfCommands(Module1& mod, const basMr_Blk& blk, Prompts& prompts,
                         FileCommandsHost& host, const QString& settingsFile)
    : mMod(mod), mBlk(blk), mPrompts(prompts), mHost(host), mSettings(settingsFile)
{
}

QString DxfCommands::folder(const char* key) const
{
    if (!mSettings.isEmpty()) {
        const QString dir =
            QSettings(mSettings, QSettings::IniFormat).value(QLatin1String(key)).toString();
        if (!dir.isEmpty() && QFileInfo(dir).isDir())
            return Dir_WithSlash(dir);
    }
    return mBlk.DataPath;
}

void DxfCommands::remember(const char* key, const QString& path) const
{
    if (mSettings.isEmpty())
        return;
    QSettings s(mSettings, QSettings::IniFormat);
    s.setValue(QLatin1String(key), QFileInfo(path).absolutePath());
}

bool DxfCommands::mnuPointDxf_Click()
{
    mHost.Raber_Reset();
    QWidget* parent = mHost.dialogParent();
    const QString path = mPrompts.openFile(
        parent,
        {QStringLiteral("DXF から取込"), folder(kImportKey), {}, kFilter, QStringLiteral("dxf")});
    if (path.isEmpty())
        return false;
    remember(kImportKey, path);
    QByteArray bytes;
    QString why;
    if (!readFile(path, bytes, why)) {
        mPrompts.error(parent, why);
        return false;
    }
    const DxfReadResult read = Dxf::read(bytes, QFileInfo(path).fileName());
    if (!read.ok()) {
        mPrompts.error(parent, read.error);
        return false;
    }
    DxfImportDialog dlg(read.drawing, parent);
    if (mPrompts.exec(dlg) != QDialog::Accepted || !dlg.result().ok())
        return false;
    Undo_Push(mMod, mMod.BlkData, QStringLiteral("DXF取込"));
    Dxf::applyOutline(mMod.BlkData, dlg.result().outline);
    mMod.SelPntCnt = 0;
    mMod.SelLineCnt = 0;
    mHost.Menu_Enable();
    mHost.fitViewToBlock();
    mHost.refresh();
    mHost.undoChanged();
    return true;
}

bool DxfCommands::mnuFileDxf_Click()
{
    mHost.Raber_Reset();
    QWidget* parent = mHost.dialogParent();
    const QString caption = QStringLiteral("DXF に出力");
    const int unit =
        mPrompts.choose(parent, caption, QStringLiteral("図面の単位を選んでください。"),
                        {QStringLiteral("ミリメートル (mm)"), QStringLiteral("メートル (m)"),
                         QStringLiteral("ｷｬﾝｾﾙ")});
    if (unit != 0 && unit != 1)
        return false;
    QString path = mPrompts.saveFile(
        parent, {caption, folder(kExportKey), mBlk.DataName + QStringLiteral(".dxf"),
                 QStringLiteral("DXF ファイル (*.dxf)"), QStringLiteral("dxf")});
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".dxf");
    const DxfExportResult r =
        Dxf::exportBlock(mMod.BlkData, {unit == 0 ? DxfUnit::Millimetre : DxfUnit::Metre});
    if (!r.ok()) {
        mPrompts.error(parent, QStringLiteral("DXF に出力できません。\n") + r.error);
        return false;
    }
    const BlkWriteResult w = Blk_WriteBytes(r.bytes, path);
    if (!w.ok) {
        mPrompts.error(parent, w.message);
        return false;
    }
    remember(kExportKey, path);
    return true;
}

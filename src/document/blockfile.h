#pragma once

#include "document/basmrblk.h"
#include "document/blkrec.h"
#include "document/filestamp.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QFileDevice;
class QIODevice;

// The first line of every block file.
inline const QString kBlkHeader = QStringLiteral("#直立消波ブロック");

// Reads the block file `name` (no folder, no extension) from the data folder
// into rec. False on any failure, the file missing included; rec then keeps
// what was stored before the failure. The extension is matched whatever its case.
bool Blk_Read(const basMr_Blk& mod, BlkRec& rec, const QString& name);

// The same reader on a full path, an open device and bytes in memory. Only a
// regular file is read, and never with a wait: a FIFO, a folder or a device is
// a failed read at once. stamp, when given, gets the stamp of the file read.
bool Blk_ReadPath(BlkRec& rec, const QString& path, FileStamp* stamp = nullptr);
bool Blk_ReadDevice(BlkRec& rec, QIODevice& device);
bool Blk_ReadBytes(BlkRec& rec, QByteArrayView bytes);

// The path of block file `name` in folder dir (ending in "/"), whatever the
// case of its extension; an empty text when there is none.
QString Blk_FindFile(const QString& dir, const QString& name);

struct BlkWriteResult
{
    bool ok = false;
    QString message; // why it failed, in Japanese, fit for a message box
};

// Why text cannot go into the 名称 or 種別 line of a block file and be read back
// as it stands (what: "名称" or "種別"): a comma, since the reader ends the
// field there; a line break; or a character that cp932 cannot store, named in
// the message. An empty text when it can.
QString Blk_TextProblem(const QString& what, const QString& text);

// The bytes of the block file for rec (cp932, CR LF). Fails, naming the first
// such character, when Name or Kind holds text that cp932 cannot store.
BlkWriteResult Blk_Encode(const BlkRec& rec, QByteArray& bytes);

// Writes rec to path, replacing any existing file only once the new one is
// complete: a failed save leaves the old file as it was.
BlkWriteResult Blk_Write(const BlkRec& rec, const QString& path);
// The second half of Blk_Write: encoded bytes written the same safe way. Safe
// to call from another thread.
BlkWriteResult Blk_WriteBytes(const QByteArray& bytes, const QString& path);

// Why writing `needed` bytes to path through file failed, in Japanese: a full
// disk (Qt's resource error, or less room left than the bytes need) is named
// as such rather than with Qt's generic text.
QString Blk_WriteFailureText(const QFileDevice& file, const QString& path, qint64 needed);

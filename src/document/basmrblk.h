#pragma once

#include "document/blkrec.h"

#include <QString>

// Block-file state: the data folder, the current file name and the scratch
// record the shape-selection list reads each file into.
struct basMr_Blk
{
    static inline const QString Untitled = QStringLiteral("無題");

    QString DataPath; // always ends in "/"
    QString DataName; // without folder and extension; "無題" when untitled
    BlkRec ListData;
};

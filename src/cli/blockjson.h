#pragma once

#include "analysis/blockchecks.h"
#include "document/blkrec.h"

#include <QJsonObject>
#include <QString>

// The pieces of the subcommands' JSON lines that name a block.
namespace Cli {

// The file, its name and type and its 諸元 values.
QJsonObject specJson(const QString& path, const BlkRec& rec);

// The line of a file that could not be read: the file and why.
QJsonObject unreadableJson(const QString& path);

// A check row's key: "volume", "centroid", ..., "coordinates".
QString checkKey(CheckId id);

} // namespace Cli

#pragma once

#include "document/basmrblk.h"

#include <QString>

// Where the data-folder memory file may live: beside the executable, or, when
// that folder cannot be written (an installed program), in the user's
// configuration folder, which is then read first.
struct DataPathPlaces
{
    QString exeDir;    // the executable's folder, ending in "/"
    QString configDir; // the user's configuration folder, ending in "/"
    QString stateDir;  // where the recovery copy is kept, ending in "/"; empty: none

    // The places of the running program (needs a QCoreApplication).
    static DataPathPlaces current();

    // The settings file (recent files, window sizes, unit weights, ...): an
    // INI file in the configuration folder; empty when there is none, and the
    // program then remembers nothing between runs. Never a block file.
    QString settingsFile() const
    {
        return configDir.isEmpty() ? QString() : configDir + QStringLiteral("mrb_make.ini");
    }
};

inline constexpr char kMrDtPathName[] = "MRDTPATH";

// A folder as the program keeps folders: ending in "/".
inline QString Dir_WithSlash(const QString& dir)
{
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

// Sets mod.DataPath from the memory file, or to the executable's folder when
// there is none or it is unreadable or empty. Always ends in "/".
void DataPath_Read(basMr_Blk& mod, const DataPathPlaces& places);

// Stores mod.DataPath. Returns false when it could be written nowhere; that is
// never fatal, the program goes on (and exits) all the same.
bool DataPath_Write(const basMr_Blk& mod, const DataPathPlaces& places);

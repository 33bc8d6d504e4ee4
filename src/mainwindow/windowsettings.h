#pragma once

#include <QByteArray>
#include <QString>

// What the main window remembers between runs, in the settings file (an
// INI; with no settings file nothing is remembered): its size, place and
// maximised state as QWidget::saveGeometry gives them, and the grid switch.
struct WindowSettings
{
    QByteArray geometry; // empty: never stored
    bool grid = false;

    static WindowSettings read(const QString& iniPath);
    void write(const QString& iniPath) const;
};

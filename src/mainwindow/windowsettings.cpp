#include "mainwindow/windowsettings.h"

#include <QSettings>

namespace {
const QString kGeometryKey = QStringLiteral("MainWindow/geometry");
const QString kGridKey = QStringLiteral("MainWindow/grid");
} // namespace

WindowSettings WindowSettings::read(const QString& iniPath)
{
    WindowSettings w;
    if (iniPath.isEmpty())
        return w;
    const QSettings s(iniPath, QSettings::IniFormat);
    w.geometry = s.value(kGeometryKey).toByteArray();
    w.grid = s.value(kGridKey, false).toBool();
    return w;
}

void WindowSettings::write(const QString& iniPath) const
{
    if (iniPath.isEmpty())
        return;
    QSettings s(iniPath, QSettings::IniFormat);
    s.setValue(kGeometryKey, geometry);
    s.setValue(kGridKey, grid);
}

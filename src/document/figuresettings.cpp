#include "document/figuresettings.h"

#include <QLocale>
#include <QSettings>

#include <cmath>

namespace {

const QString kGroup = QStringLiteral("UnitWeights");
const QString kConcrete = QStringLiteral("concrete");
const QString kSeawater = QStringLiteral("seawater");
const QString kGravity = QStringLiteral("gravity");
const QString kLevels = QStringLiteral("levels");
const QString kName = QStringLiteral("name");
const QString kHeight = QStringLiteral("h");

// A number as stored: QSettings keeps it as text in an INI file, and a file
// edited by hand may hold anything.
double storedValue(const QSettings& s, const QString& key, double fallback)
{
    bool ok = false;
    const double v = s.value(key).toString().toDouble(&ok);
    return ok && figureValueUsable(v) ? v : fallback;
}

} // namespace

bool figureValueUsable(double v)
{
    return std::isfinite(v) && v > 0 && v <= 100;
}

bool levelUsable(double h)
{
    return std::isfinite(h) && std::fabs(h) <= 1000;
}

FigureSettings readFigureSettings(const QString& iniPath)
{
    FigureSettings out;
    if (iniPath.isEmpty())
        return out;
    QSettings s(iniPath, QSettings::IniFormat);
    s.beginGroup(kGroup);
    out.concrete = storedValue(s, kConcrete, FigureSettings::DefaultConcrete);
    out.seawater = storedValue(s, kSeawater, FigureSettings::DefaultSeawater);
    out.gravity = storedValue(s, kGravity, FigureSettings::DefaultGravity);
    const int n = s.beginReadArray(kLevels);
    for (int i = 0; i < n && out.levels.size() < FigureSettings::MaxLevels; ++i) {
        s.setArrayIndex(i);
        bool ok = false;
        const double h = s.value(kHeight).toString().toDouble(&ok);
        if (ok && levelUsable(h))
            out.levels.append({s.value(kName).toString(), h});
    }
    s.endArray();
    s.endGroup();
    return out;
}

bool writeFigureSettings(const QString& iniPath, const FigureSettings& f)
{
    if (iniPath.isEmpty())
        return false;
    QSettings s(iniPath, QSettings::IniFormat);
    s.beginGroup(kGroup);
    // Full precision, as text: the file is read back exactly.
    s.setValue(kConcrete, QString::number(f.concrete, 'g', QLocale::FloatingPointShortest));
    s.setValue(kSeawater, QString::number(f.seawater, 'g', QLocale::FloatingPointShortest));
    s.setValue(kGravity, QString::number(f.gravity, 'g', QLocale::FloatingPointShortest));
    s.remove(kLevels);
    s.beginWriteArray(kLevels, int(f.levels.size()));
    for (int i = 0; i < f.levels.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue(kName, f.levels[i].name);
        s.setValue(kHeight, QString::number(f.levels[i].h, 'g', QLocale::FloatingPointShortest));
    }
    s.endArray();
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

#pragma once

#include <QList>
#include <QString>

// What the engineering figures (mass, buoyancy) take from the settings file:
// the unit weights and the still-water levels. Kept in the settings file
// (group "UnitWeights"), never in a block file.

// A still-water level in the block's own coordinates: metres above y = 0.
struct WaterLevel
{
    QString name; // "H.W.L.", "L.W.L.", or empty
    double h = 0;

    bool operator==(const WaterLevel&) const = default;
};

struct FigureSettings
{
    static constexpr double DefaultConcrete = 2.30; // t/m3
    static constexpr double DefaultSeawater = 1.03; // t/m3
    static constexpr double DefaultGravity = 9.81;  // m/s2
    static constexpr int MaxLevels = 20;

    double concrete = DefaultConcrete; // density of the concrete, t/m3
    double seawater = DefaultSeawater; // density of the water, t/m3
    double gravity = DefaultGravity;   // m/s2
    QList<WaterLevel> levels;          // in the order the user keeps them

    // Unit weights in kN/m3: density times g.
    double concreteKN() const { return concrete * gravity; }
    double seawaterKN() const { return seawater * gravity; }

    bool operator==(const FigureSettings&) const = default;
};

// A density or g is usable when it is a finite number above 0 and at most
// 100; a level when it is finite and within a kilometre of y = 0.
bool figureValueUsable(double v);
bool levelUsable(double h);

// The settings from the INI file at iniPath (QSettings' INI format). What is
// missing or unusable takes its default; levels beyond MaxLevels are left out.
// An empty path gives the defaults.
FigureSettings readFigureSettings(const QString& iniPath);

// Stores s; false when the file cannot be written (or the path is empty).
bool writeFigureSettings(const QString& iniPath, const FigureSettings& s);

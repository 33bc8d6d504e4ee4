#pragma once

#include "analysis/blockchecks.h"
#include "document/blkrec.h"
#include "document/figuresettings.h"

#include <QList>
#include <QString>

#include <optional>

// The similar block of another mass: every length times s and every volume
// times s³, rounded to the file's three decimals. Makers offer each shape as
// a series of masses whose outlines are similar.

// Scale factors outside this range are refused: beyond them the block is
// either below the file's resolution or beyond any block made.
inline constexpr double kMinScaleFactor = 0.05;
inline constexpr double kMaxScaleFactor = 20.0;

// What the user asks for: a target mass in t, or the factor itself.
struct SimilarRequest
{
    enum class By
    {
        Mass,
        Factor
    };
    By by = By::Mass;
    double value = 0;
};

// A value that rounding to three decimals (or keeping the layer volumes'
// sum equal to V) moved away from the exact scaled one.
struct RoundingMove
{
    QString what; // Japanese: "B", "点 3 の Y", "層 2 の ⊿Ｖ", ...
    double exact = 0;
    double stored = 0;
    bool volume = false; // m3, else m
    double moved() const { return stored - exact; }
};

struct SimilarBlock
{
    bool ok = false;
    QString error; // Japanese, when not ok
    double factor = 1;
    double oldMass = 0; // t, ρc·V of the original and of the result
    double newMass = 0;
    BlkRec block;                // the name suggested (suggestScaledName)
    QList<RoundingMove> moves;   // in the record's order, only values that moved
    QList<CheckId> checksLost;   // passed for the original, not for the result
    bool layersAdjusted = false; // a layer volume took up the sum's difference
};

// s = (target / current)^(1/3); NaN unless both masses are above 0.
double factorForMass(double currentMass, double targetMass);

// rec scaled by factor: points, B, H, L, Gx, Gy and layer heights × factor,
// V and the layer volumes × factor³, rounded to three decimals. Layer heights
// and volumes are rounded by their running sums, so no error piles up; when
// the original's layer volumes added up to V (within the file's step), the
// largest layer then takes up what is left, so that they add up to the new V
// exactly and the cumulative column is recomputed. Name and type are kept.
// Not ok for a factor outside kMinScaleFactor..kMaxScaleFactor.
SimilarBlock scaleBlock(const BlkRec& rec, double factor);

// The whole command: the factor from the request (the mass ρc·V of the
// settings), the scaled block, its suggested name, and the checks compared.
SimilarBlock makeSimilarBlock(const BlkRec& rec, const FigureSettings& s,
                              const SimilarRequest& request);

// name with the mass in it replaced by newMass ("消波ブロック 8t型" →
// "消波ブロック 16t型"): "8t", "8.0t", "8 t", "0.5t" and full-width digits are
// found, and the form of the old one is kept (blank, decimals, width). A
// name without a mass gets " 16t" appended. The mass is written with as few
// decimals as it needs (at most two).
QString suggestScaledName(const QString& name, double newMass);

// The mass (t) that name carries, as suggestScaledName finds it: 8 for
// "消波ブロック 8t型"; nullopt when it carries none.
std::optional<double> massInName(const QString& name);

#include "analysis/similarblock.h"

#include "analysis/blockfigures.h"
#include "analysis/layervolumes.h"
#include "document/numtext.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

namespace Text {
const QString BadFactor = QStringLiteral("倍率は %1 から %2 の間で指定してください。");
const QString BadMass = QStringLiteral("目標の質量は 0 より大きい数で指定してください。");
const QString NoMass = QStringLiteral(
    "体積 V が 0 以下のため、質量から倍率を決められません。倍率で指定してください。");
} // namespace Text

// Rounds one value and records the move.
class Rounder
{
public:
    explicit Rounder(QList<RoundingMove>& moves) : mMoves(moves) {}

    double length(const QString& what, double exact) { return keep(what, exact, false); }
    double volume(const QString& what, double exact) { return keep(what, exact, true); }
    // A value already rounded (by a running sum) whose exact value was another.
    void note(const QString& what, double exact, double stored, bool volume)
    {
        if (std::fabs(stored - exact) > 1e-9)
            mMoves.append({what, exact, stored, volume});
    }

private:
    double keep(const QString& what, double exact, bool volume)
    {
        const double stored = roundToFile(exact);
        note(what, exact, stored, volume);
        return stored;
    }
    QList<RoundingMove>& mMoves;
};

// Heights and volumes of the layer rows scaled by their running sums: row i
// is the difference of two rounded sums, so the rows add up to the rounded
// total whatever their number.
void scaleLayers(const BlkRec& rec, BlkRec& out, double s, Rounder& r)
{
    const int n = std::clamp<int>(rec.LyrCnt, 0, BlkRec::LyrLast + 1);
    const double s3 = s * s * s;
    double sumH = 0;
    double sumV = 0;
    double prevH = 0;
    double prevV = 0;
    for (int i = 0; i < n; ++i) {
        sumH += rec.LyrH[size_t(i)];
        sumV += rec.LyrV[size_t(i)];
        const double cumH = roundToFile(sumH * s);
        const double cumV = roundToFile(sumV * s3);
        out.LyrH[size_t(i)] = roundToFile(cumH - prevH);
        out.LyrV[size_t(i)] = roundToFile(cumV - prevV);
        r.note(QStringLiteral("層 %1 の高さ").arg(i + 1), rec.LyrH[size_t(i)] * s,
               out.LyrH[size_t(i)], false);
        prevH = cumH;
        prevV = cumV;
    }
}

void recomputeCumulative(BlkRec& b)
{
    const int n = std::clamp<int>(b.LyrCnt, 0, BlkRec::LyrLast + 1);
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += b.LyrV[size_t(i)];
        b.LyrVSum[size_t(i)] = roundToFile(sum);
    }
}

// When the original's layers added up to its V, the new ones must add up to
// the new V exactly: the largest layer takes up the difference, where it
// weighs least.
bool adjustLayers(const BlkRec& rec, BlkRec& out)
{
    const int n = std::clamp<int>(rec.LyrCnt, 0, BlkRec::LyrLast + 1);
    if (n == 0)
        return false;
    double oldSum = 0;
    for (int i = 0; i < n; ++i)
        oldSum += rec.LyrV[size_t(i)];
    if (!(std::fabs(oldSum - rec.V) <= kFileStep + 1e-9))
        return false;
    double newSum = 0;
    for (int i = 0; i < n; ++i)
        newSum += out.LyrV[size_t(i)];
    const double diff = roundToFile(out.V - newSum);
    if (diff == 0)
        return false;
    const auto largest = std::max_element(out.LyrV.begin(), out.LyrV.begin() + n);
    *largest = roundToFile(*largest + diff);
    return true;
}

void compareChecks(const BlkRec& rec, SimilarBlock& out)
{
    const BlockCheckReport before = checkBlock(rec);
    const BlockCheckReport after = checkBlock(out.block);
    for (int i = 0; i < kCheckCount; ++i) {
        if (before.rows[i].verdict == Verdict::Pass && after.rows[i].verdict != Verdict::Pass)
            out.checksLost.append(CheckId(i));
    }
}

// Full-width digits and point as ASCII, and back.
QString toAscii(QString text)
{
    for (QChar& c : text) {
        if (c >= QChar(0xFF10) && c <= QChar(0xFF19))
            c = QChar(u'0' + (c.unicode() - 0xFF10));
        else if (c == QChar(0xFF0E))
            c = u'.';
    }
    return text;
}

QString toFullWidth(QString text)
{
    for (QChar& c : text) {
        if (c >= u'0' && c <= u'9')
            c = QChar(0xFF10 + (c.unicode() - u'0'));
        else if (c == u'.')
            c = QChar(0xFF0E);
    }
    return text;
}

// The mass with as few decimals as it needs (at most two), at least as many
// as the old one had.
QString massText(double mass, int minDecimals)
{
    QString t = NumText::fixed(mass, 2);
    while (t.endsWith(u'0') && t.indexOf(u'.') >= 0 && t.size() - t.indexOf(u'.') - 1 > minDecimals)
        t.chop(1);
    if (t.endsWith(u'.'))
        t.chop(1);
    if (minDecimals > 2)
        t = NumText::fixed(mass, minDecimals);
    return t;
}

// The first mass in a name: a number (ASCII or full-width digits) followed
// by t, not part of a longer number or word.
QRegularExpressionMatch findMass(const QString& name)
{
    static const QRegularExpression mass(QStringLiteral(
        "(?<![0-9０-９.．A-Za-zＡ-Ｚａ-ｚ])([0-9０-９]+(?:[.．][0-9０-９]+)?)(\\s*)([tTｔＴ])"
        "(?![A-Za-zＡ-Ｚａ-ｚ])"));
    return mass.match(name);
}

} // namespace

double factorForMass(double currentMass, double targetMass)
{
    if (!(currentMass > 0) || !(targetMass > 0) || !std::isfinite(currentMass) ||
        !std::isfinite(targetMass))
        return kNoFigure;
    return std::cbrt(targetMass / currentMass);
}

SimilarBlock scaleBlock(const BlkRec& rec, double factor)
{
    SimilarBlock out;
    out.factor = factor;
    if (!(factor >= kMinScaleFactor && factor <= kMaxScaleFactor)) {
        out.error = Text::BadFactor.arg(NumText::fixed(kMinScaleFactor, 2),
                                        NumText::fixed(kMaxScaleFactor, 0));
        return out;
    }
    const double s = factor;
    const double s3 = s * s * s;
    BlkRec& b = out.block;
    b = rec;
    Rounder r(out.moves);
    b.B = r.length(QStringLiteral("B"), rec.B * s);
    b.H = r.length(QStringLiteral("H"), rec.H * s);
    b.L = r.length(QStringLiteral("L"), rec.L * s);
    b.Gx = r.length(QStringLiteral("重心 X"), rec.Gx * s);
    b.Gy = r.length(QStringLiteral("重心 Y"), rec.Gy * s);
    b.V = r.volume(QStringLiteral("V"), rec.V * s3);
    const int points = std::clamp<int>(rec.PntCnt, 0, BlkRec::PntLast);
    for (int p = 1; p <= points; ++p) {
        b.PntX[size_t(p)] = r.length(QStringLiteral("点 %1 の X").arg(p), rec.PntX[size_t(p)] * s);
        b.PntY[size_t(p)] = r.length(QStringLiteral("点 %1 の Y").arg(p), rec.PntY[size_t(p)] * s);
    }
    scaleLayers(rec, b, s, r);
    out.layersAdjusted = adjustLayers(rec, b);
    recomputeCumulative(b);
    const int n = std::clamp<int>(rec.LyrCnt, 0, BlkRec::LyrLast + 1);
    for (int i = 0; i < n; ++i)
        r.note(QStringLiteral("層 %1 の⊿Ｖ").arg(i + 1), rec.LyrV[size_t(i)] * s3,
               b.LyrV[size_t(i)], true);
    out.ok = true;
    return out;
}

SimilarBlock makeSimilarBlock(const BlkRec& rec, const FigureSettings& s,
                              const SimilarRequest& request)
{
    const double oldMass = massFigures(rec, s).mass;
    double factor = request.value;
    if (request.by == SimilarRequest::By::Mass) {
        SimilarBlock refused;
        refused.oldMass = oldMass;
        if (!(request.value > 0) || !std::isfinite(request.value)) {
            refused.error = Text::BadMass;
            return refused;
        }
        if (!(oldMass > 0)) {
            refused.error = Text::NoMass;
            return refused;
        }
        factor = factorForMass(oldMass, request.value);
    }
    SimilarBlock out = scaleBlock(rec, factor);
    out.oldMass = oldMass;
    if (!out.ok)
        return out;
    out.newMass = massFigures(out.block, s).mass;
    // The name carries the mass asked for, not the rounded one it came to.
    const double named = request.by == SimilarRequest::By::Mass ? request.value : out.newMass;
    out.block.Name = suggestScaledName(rec.Name, named);
    compareChecks(rec, out);
    return out;
}

std::optional<double> massInName(const QString& name)
{
    const QRegularExpressionMatch m = findMass(name);
    if (!m.hasMatch())
        return std::nullopt;
    return toAscii(m.captured(1)).toDouble();
}

QString suggestScaledName(const QString& name, double newMass)
{
    const QRegularExpressionMatch m = findMass(name);
    if (!m.hasMatch()) {
        const QString appended = massText(newMass, 0) + u't';
        return name.isEmpty() ? appended : name + u' ' + appended;
    }
    const QString old = toAscii(m.captured(1));
    // "8.0t" writes its decimals by choice, "0.5t" because it needs them.
    const int dot = int(old.indexOf(u'.'));
    const int decimals = dot < 0 || !old.endsWith(u'0') ? 0 : int(old.size()) - dot - 1;
    QString number = massText(newMass, decimals);
    const bool fullWidth = m.captured(1).front().unicode() >= 0xFF10;
    if (fullWidth)
        number = toFullWidth(number);
    QString out = name;
    out.replace(m.capturedStart(1), m.capturedLength(1), number);
    return out;
}

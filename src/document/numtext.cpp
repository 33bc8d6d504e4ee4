#include "document/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The numeric prefix of a text as plain ASCII for from_chars (empty when the
// text starts with no number), with what is needed to tell an overflow from an
// underflow when from_chars reports the value out of range.
struct Prefix
{
    std::string text;
    bool anyNonZero = false;
    long long exponent = 0;  // value of the exponent part
    long long leadScale = 0; // position of the first non-zero digit: 0 = units
};

Prefix scanNumber(QStringView s)
{
    Prefix p;
    qsizetype i = 0;
    auto at = [&](qsizetype k) { return k < s.size() ? s[k] : QChar(); };
    while (isBlank(at(i)))
        ++i;
    if (at(i) == u'+' || at(i) == u'-') {
        if (at(i) == u'-')
            p.text += '-';
        ++i;
    }
    qsizetype intDigits = 0;
    bool seenNonZero = false;
    bool any = false;
    while (isDigit(at(i))) {
        p.text += char(at(i).unicode());
        if (at(i) != u'0' && !seenNonZero) {
            seenNonZero = true;
            intDigits = 0;
        }
        if (seenNonZero)
            ++intDigits;
        any = true;
        ++i;
    }
    if (seenNonZero)
        p.leadScale = intDigits - 1;
    if (at(i) == u'.') {
        p.text += '.';
        ++i;
        long long frac = 0;
        while (isDigit(at(i))) {
            ++frac;
            if (at(i) != u'0' && !seenNonZero) {
                seenNonZero = true;
                p.leadScale = -frac;
            }
            p.text += char(at(i).unicode());
            any = true;
            ++i;
        }
    }
    if (!any) {
        p.text.clear();
        return p;
    }
    p.anyNonZero = seenNonZero;
    // Exponent: taken only when at least one digit follows the letter.
    if (at(i) == u'e' || at(i) == u'E') {
        qsizetype k = i + 1;
        std::string e = "e";
        if (at(k) == u'+' || at(k) == u'-') {
            if (at(k) == u'-')
                e += '-';
            ++k;
        }
        if (isDigit(at(k))) {
            long long ev = 0;
            while (isDigit(at(k))) {
                e += char(at(k).unicode());
                ev = std::min<long long>(ev * 10 + (at(k).unicode() - u'0'), 1'000'000'000);
                ++k;
            }
            p.exponent = e.size() > 1 && e[1] == '-' ? -ev : ev;
            p.text += e;
        }
    }
    return p;
}

std::optional<double> valueOf(QStringView s)
{
    const Prefix p = scanNumber(s);
    if (p.text.empty() || !p.anyNonZero)
        return 0.0;
    double v = 0;
    const char* first = p.text.data();
    const char* last = first + p.text.size();
    const auto res = std::from_chars(first, last, v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small is zero; too large cannot be held.
        if (p.leadScale + p.exponent < 0)
            return 0.0;
        return std::nullopt;
    }
    if (res.ec != std::errc() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// The full-width and half-width forms block and the ideographic space: what
// an input method's full-width mode types in place of ASCII.
bool isWidthForm(QChar c)
{
    return c == u'\u3000' || (c >= u'\uFF01' && c <= u'\uFFEF');
}

bool isMinusLike(QChar c)
{
    switch (c.unicode()) {
    case 0x2010: // hyphen
    case 0x2011: // non-breaking hyphen
    case 0x2012: // figure dash
    case 0x2013: // en dash
    case 0x2212: // minus sign
    case 0xFE63: // small hyphen-minus
    case 0x30FC: // ー, the minus key in a Japanese input mode (ｰ folds to it)
        return true;
    default:
        return false;
    }
}

// Folded, and the blanks gone wherever they stood, the exponent included
// ("1 e 3"): as if not typed.
QString packedEntry(QStringView text)
{
    const QString folded = NumText::foldWidth(text);
    QString packed;
    packed.reserve(folded.size());
    for (QChar c : folded) {
        if (!isBlank(c))
            packed += c;
    }
    return packed;
}

} // namespace

namespace NumText {

std::optional<double> fieldValue(QStringView field)
{
    return valueOf(field);
}

QString foldWidth(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        // A run of full-width forms is normalised as a whole, so that a
        // half-width katakana and its voiced mark become one letter.
        qsizetype end = i;
        while (end < text.size() && isWidthForm(text[end]))
            ++end;
        if (end > i) {
            out += text.sliced(i, end - i).toString().normalized(QString::NormalizationForm_KC);
            i = end;
        } else {
            out += text[i++];
        }
    }
    for (QChar& c : out) {
        if (isMinusLike(c))
            c = u'-';
        else if (c == u'\u3002') // 。 typed for the decimal key in a Japanese input mode
            c = u'.';
    }
    return out;
}

std::optional<double> typedValue(QStringView text)
{
    return valueOf(packedEntry(text));
}

std::optional<double> typedEntry(QStringView text)
{
    const QString packed = packedEntry(text);
    if (packed.isEmpty())
        return 0.0;
    if (scanNumber(packed).text.empty())
        return std::nullopt;
    return valueOf(packed);
}

std::optional<qint16> toShort(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = std::nearbyint(value); // default rounding: halves to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return qint16(r);
}

QString fixed(double v, int decimals)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    decimals = std::clamp(decimals, 0, 15);

    // The decimal value as 15 significant digits, the precision an engineer's
    // number carries; this also absorbs binary noise such as 2.0004999999....
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    std::string digits;
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            digits += *p;
    }
    // to_chars writes no terminator: parse the exponent within its output only.
    int exp10 = 0; // value = 0.d1d2... * 10^(exp10 + 1)
    const char* e = p + 1;
    if (e < res.ptr && *e == '+')
        ++e;
    std::from_chars(e, res.ptr, exp10);
    // Rounded up to 15 digits, the largest doubles would no longer read back.
    if (exp10 == 308 && digits > "179769313486231")
        digits = "179769313486231";

    // keep = number of digits that stay after rounding to `decimals` places.
    const int intDigits = exp10 + 1;
    const int keep = intDigits + decimals;
    std::string kept;
    int carryScale = intDigits; // integer digits of the kept string
    if (keep < 0) {
        kept.clear();
    } else if (keep >= int(digits.size())) {
        kept = digits + std::string(size_t(keep) - digits.size(), '0');
    } else {
        kept = digits.substr(0, size_t(keep));
        if (digits[size_t(keep)] >= '5') { // half away from zero
            int k = keep - 1;
            while (k >= 0 && kept[size_t(k)] == '9') {
                kept[size_t(k)] = '0';
                --k;
            }
            if (k >= 0) {
                ++kept[size_t(k)];
            } else {
                kept.insert(kept.begin(), '1');
                ++carryScale;
            }
        }
    }
    // Split kept into integer and fraction parts.
    std::string intPart;
    std::string fracPart;
    if (carryScale > 0) {
        intPart = kept.substr(0, size_t(std::min<int>(carryScale, int(kept.size()))));
        fracPart = kept.substr(intPart.size());
    } else {
        intPart = "0";
        fracPart = std::string(size_t(std::min(-carryScale, decimals)), '0') + kept;
    }
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size() - 1));
    if (intPart.empty())
        intPart = "0";
    fracPart.resize(size_t(decimals), '0');

    const bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (v < 0 && !zero)
        out += '-';
    out += intPart;
    if (decimals > 0) {
        out += '.';
        out += fracPart;
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

} // namespace NumText

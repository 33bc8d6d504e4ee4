#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// Numbers as the block file and the user type them, and the fixed formats the
// program shows them in. The decimal mark is always "." whatever the locale.
namespace NumText {

// The numeric value of a field of the block file: leading blanks skipped, then
// the longest prefix that forms a number (sign, digits, decimals, exponent);
// 0 when the field starts with no number. nullopt when the number is too large
// for a double (1e400): such a field is an error, never infinity.
std::optional<double> fieldValue(QStringView field);

// Typed text with its full-width forms folded to ASCII, as an input method
// leaves them: full-width digits, letters, "．", "－", "＋" and the full-width
// space (Unicode NFKC of the full-width block only, so that "²" or "①" stay
// what they are), and the marks a Japanese input mode types for the minus and
// decimal keys or a word processor pastes: "−" (U+2212), dashes and hyphens,
// "ー" and "ｰ" become "-", "。" and "｡" become ".". Half-width katakana stay
// letters. Nothing else changes, so a text without these comes back as it is.
QString foldWidth(QStringView text);

// The lenient rule for typed text: the same as fieldValue on the text folded
// by foldWidth, but blanks are ignored wherever they stand ("1 234.5" is
// 1234.5). The block file's own rule (fieldValue) folds nothing.
std::optional<double> typedValue(QStringView text);

// A typed text as a value to store: nullopt when the text, folded and without
// its blanks, does not begin with a number ("abc", "-", ".") or the number is
// too large for a double, so that such a text is refused rather than stored
// as 0. An empty text is 0, as the lenient rule has it.
std::optional<double> typedEntry(QStringView text);

// A count or point number: the value rounded to nearest, halves to even;
// nullopt outside the signed 16-bit range.
std::optional<qint16> toShort(double value);

// Fixed-point text with the given number of decimals (0..15): the decimal value
// of v (15 significant digits) rounded half away from zero, at least one
// integer digit, "-" for negatives, no grouping. A negative value that rounds
// to zero is shown without its sign. Non-finite values give "NaN" or "Inf".
QString fixed(double v, int decimals);

// The program's named formats: "0.000", "##0.000" (the same text), "0.00", "0".
inline QString fmt000(double v)
{
    return fixed(v, 3);
}
inline QString fmtHash000(double v)
{
    return fixed(v, 3);
}
inline QString fmt00(double v)
{
    return fixed(v, 2);
}
inline QString fmt0(double v)
{
    return fixed(v, 0);
}

} // namespace NumText

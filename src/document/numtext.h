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

// The lenient rule for typed text: the same as fieldValue, but blanks are
// ignored wherever they stand ("1 234.5" is 1234.5).
std::optional<double> typedValue(QStringView text);

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

#pragma once

#include <QString>
#include <QtGlobal>

// Fixed-width text for the shape-selection list. Widths are display columns,
// counted as cp932 bytes (a full-width character takes two). Kept in the core
// because it is pure text logic the list, the tests and the benchmarks share.

// value with `decimals` decimals, a leading digit always, "-" for negatives;
// "+" in front of a positive value when plus is 1; then padded with spaces to
// `width` columns, on the right when left is non-zero, else on the left.
// Never cut.
QString Num_Fmt(double value, qint16 width, qint16 decimals, qint16 plus, qint16 left);

// text padded with spaces to `width` columns, on the right when left is
// non-zero, else on the left. Never cut.
QString Str_Fmt(const QString& text, qint16 width, qint16 left);

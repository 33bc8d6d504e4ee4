#include "document/strtool.h"

#include "document/cp932.h"
#include "document/numtext.h"

QString Str_Fmt(const QString& text, qint16 width, qint16 left)
{
    const int pad = width - Cp932::displayWidth(text);
    if (pad <= 0)
        return text;
    const QString spaces(pad, u' ');
    return left != 0 ? text + spaces : spaces + text;
}

QString Num_Fmt(double value, qint16 width, qint16 decimals, qint16 plus, qint16 left)
{
    QString s = NumText::fixed(value, decimals);
    if (plus == 1 && value > 0)
        s.prepend(u'+');
    return Str_Fmt(s, width, left);
}

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The Japanese Windows code page (cp932), decoded and encoded the way Windows
// does. Neither direction ever substitutes: a byte sequence or a character
// that has no counterpart is reported as an error. The only one-way codes are
// Windows' own: the duplicated extension characters encode to one of their
// codes, and six JIS characters (¢ £ ¬ ‖ − 〜) encode to the codes of their
// full-width forms.
namespace Cp932 {

// Decodes bytes; false when they are not valid cp932 (out is then unspecified).
bool decode(QByteArrayView bytes, QString& out);

// Encodes text; false when a character has no cp932 code. badIndex (if given)
// then receives the index in text of the first such character.
bool encode(QStringView text, QByteArray& out, qsizetype* badIndex = nullptr);

// Width of the text in display columns: its length in cp932 bytes, a
// half-width character one column and a full-width one two.
int displayWidth(QStringView text);

} // namespace Cp932

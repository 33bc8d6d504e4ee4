#include "document/cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

// ICU's "windows-31j" table matches Windows on every double-byte code, but maps
// a few single bytes differently (0x1A, 0x1C and 0x7F are swapped among control
// codes; 0x80, 0xA0 and 0xFD..0xFF are unmapped). Those single bytes are handled
// here by hand and only runs of other text go through ICU.

namespace {

constexpr char kIcuName[] = "windows-31j";

bool isLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Windows' own mapping of the single bytes ICU gets wrong; 0 when b is not one.
char16_t windowsSingle(uchar b)
{
    switch (b) {
    case 0x1A:
    case 0x1C:
    case 0x7F:
    case 0x80:
        return b;
    case 0xA0:
        return 0xF8F0;
    case 0xFD:
        return 0xF8F1;
    case 0xFE:
        return 0xF8F2;
    case 0xFF:
        return 0xF8F3;
    default:
        return 0;
    }
}

// The byte Windows writes for one of those characters; 0 when c is not one.
uchar windowsSingleByte(char16_t c)
{
    switch (c) {
    case 0x1A:
    case 0x1C:
    case 0x7F:
    case 0x80:
        return uchar(c);
    case 0xF8F0:
        return 0xA0;
    case 0xF8F1:
        return 0xFD;
    case 0xF8F2:
        return 0xFE;
    case 0xF8F3:
        return 0xFF;
    default:
        return 0;
    }
}

bool decodeRun(QByteArrayView run, QString& out)
{
    if (run.isEmpty())
        return true;
    QStringDecoder dec(kIcuName, QStringConverter::Flag::Stateless);
    if (!dec.isValid())
        return false;
    QString s = dec.decode(run);
    if (dec.hasError())
        return false;
    out += s;
    return true;
}

// Characters whose JIS X 0208 mapping Windows (and Python's codec) still
// accepts when encoding, though the bytes decode to the full-width forms.
// IMEs on Linux produce some of them (the wave dash above all).
QByteArrayView jisCompatBytes(char16_t c)
{
    switch (c) {
    case 0x00A2: // ¢ -> ￠
        return "\x81\x91";
    case 0x00A3: // £ -> ￡
        return "\x81\x92";
    case 0x00AC: // ¬ -> ￢
        return "\x81\xCA";
    case 0x2016: // ‖ -> ∥
        return "\x81\x61";
    case 0x2212: // − -> －
        return "\x81\x7C";
    case 0x301C: // 〜 -> ～
        return "\x81\x60";
    default:
        return {};
    }
}

bool encodeRun(QStringView run, QByteArray& out)
{
    if (run.isEmpty())
        return true;
    QStringEncoder enc(kIcuName, QStringConverter::Flag::Stateless);
    if (!enc.isValid())
        return false;
    QByteArray b = enc.encode(run);
    if (enc.hasError())
        return false;
    // ICU maps a few private-use characters (U+F86F) to the codes of other
    // ones; only bytes that decode back to the very text are accepted.
    QString back;
    if (!Cp932::decode(b, back) || back != run)
        return false;
    out += b;
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

// Index of the first character of run that cp932 cannot hold (a surrogate
// pair counts as one character). Only used once encoding has failed.
qsizetype firstUnencodable(QStringView run)
{
    for (qsizetype i = 0; i < run.size(); ++i) {
        qsizetype len = 1;
        if (run[i].isHighSurrogate() && i + 1 < run.size() && run[i + 1].isLowSurrogate())
            len = 2;
        QByteArray scratch;
        if (!encodeRun(run.sliced(i, len), scratch))
            return i;
        i += len - 1;
    }
    return 0;
}

} // namespace

namespace Cp932 {

bool decode(QByteArrayView bytes, QString& out)
{
    if (isAscii(bytes)) {         // the usual numeric line: no converter needed
        out.resize(bytes.size()); // reuses the caller's buffer
        QChar* d = out.data();
        for (qsizetype i = 0; i < bytes.size(); ++i)
            d[i] = QLatin1Char(bytes[i]);
        return true;
    }
    out.clear();
    qsizetype runStart = 0;
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const uchar b = uchar(bytes[i]);
        if (isLeadByte(b)) {
            if (i + 1 >= n)
                return false; // a lead byte with nothing after it
            i += 2;
            continue;
        }
        const char16_t special = windowsSingle(b);
        if (special == 0) {
            ++i;
            continue;
        }
        if (!decodeRun(bytes.sliced(runStart, i - runStart), out))
            return false;
        out += QChar(special);
        ++i;
        runStart = i;
    }
    return decodeRun(bytes.sliced(runStart), out);
}

bool encode(QStringView text, QByteArray& out, qsizetype* badIndex)
{
    out.clear();
    out.reserve(text.size() * 2);
    qsizetype runStart = -1;
    // Encodes text[runStart, end) through ICU; on failure finds the culprit.
    auto flush = [&](qsizetype end) {
        if (runStart < 0)
            return true;
        const QStringView run = text.sliced(runStart, end - runStart);
        const qsizetype start = runStart;
        runStart = -1;
        if (encodeRun(run, out))
            return true;
        if (badIndex)
            *badIndex = start + firstUnencodable(run);
        return false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const uchar special = windowsSingleByte(c);
        const QByteArrayView compat = jisCompatBytes(c);
        if (c < 0x80 || special != 0) {
            if (!flush(i))
                return false;
            out += char(c < 0x80 ? uchar(c) : special);
        } else if (!compat.isEmpty()) {
            if (!flush(i))
                return false;
            out.append(compat);
        } else if (runStart < 0) {
            runStart = i;
        }
    }
    return flush(text.size());
}

int displayWidth(QStringView text)
{
    int w = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) || windowsSingleByte(c) != 0) {
            w += 1;
        } else {
            w += 2;
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                QChar::isLowSurrogate(text[i + 1].unicode()))
                ++i; // one character, one pair of columns
        }
    }
    return w;
}

} // namespace Cp932

#include "document/blockfile.h"

#include "document/cp932.h"
#include "document/linereader.h"
#include "document/numtext.h"
#include "document/regularfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

// The value of a field written the way the writer writes numbers ("-12.345",
// "7"): an optional "-", then at most 15 digits in all, with or without a
// decimal part, and nothing else. Such a value is N / 10^d with N and 10^d
// both exact doubles, and a single IEEE division rounds the quotient exactly
// as the decimal text is rounded: the same value NumText::fieldValue gives,
// without its general scan. False for every other field, which then takes the
// general rule.
bool plainValue(QStringView f, double& out)
{
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qsizetype i = 0;
    const qsizetype n = f.size();
    const bool negative = n > 0 && f[0] == u'-';
    if (negative)
        ++i;
    qint64 digits = 0;
    int count = 0;
    int decimals = -1; // -1: no decimal point seen
    const qsizetype intStart = i;
    for (; i < n; ++i) {
        const char16_t c = f[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++count > 15)
                return false;
            digits = digits * 10 + (c - u'0');
            if (decimals >= 0)
                ++decimals;
        } else if (c == u'.' && decimals < 0 && i > intStart) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (count == 0 || decimals == 0)
        return false; // nothing, or "5." with no decimals: the general rule decides
    if (digits == 0) {
        out = 0.0; // "-0.000" too: zero without a sign
        return true;
    }
    const double v = double(digits) / kPow10[decimals < 0 ? 0 : decimals];
    out = negative ? -v : v;
    return true;
}

std::optional<double> numericValue(QStringView field)
{
    double v = 0;
    if (plainValue(field, v))
        return v;
    return NumText::fieldValue(field);
}

// Reads the block file line by line into a record. Every step either stores
// what it read or reports failure; nothing indexes past the record's arrays.
class BlkReader
{
public:
    BlkReader(QIODevice& dev, BlkRec& rec) : mLines(dev), mRec(rec) {}

    bool run()
    {
        return header() && text(mRec.Name) && text(mRec.Kind) && spec() && layers() && points() &&
               lines();
    }

private:
    bool line(QString& out)
    {
        if (mLines.next(mRaw) != CrLineReader::Status::Line)
            return false;
        return Cp932::decode(mRaw, out);
    }

    // Splits a line into at most n fields, the last taking the rest; false when
    // there are fewer than n.
    bool fields(int n)
    {
        if (!line(mLine))
            return false;
        const QStringView s = mLine;
        qsizetype from = 0;
        for (int k = 0; k < n - 1; ++k) {
            const qsizetype comma = s.indexOf(u',', from);
            if (comma < 0)
                return false;
            mFields[k] = s.sliced(from, comma - from);
            from = comma + 1;
        }
        mFields[n - 1] = s.sliced(from);
        return true;
    }

    bool real(int k, double& out) const
    {
        const std::optional<double> v = numericValue(mFields[k]);
        if (!v)
            return false;
        out = *v;
        return true;
    }

    bool integer(QStringView field, qint16& out) const
    {
        const std::optional<double> v = numericValue(field);
        if (!v)
            return false;
        const std::optional<qint16> n = NumText::toShort(*v);
        if (!n)
            return false;
        out = *n;
        return true;
    }

    bool count(qint16& out) { return line(mLine) && integer(mLine, out); }

    bool header()
    {
        // Only the first nine characters count; compare the bytes they encode to,
        // so that whatever follows them need not even be valid cp932.
        static const QByteArray headerBytes = [] {
            QByteArray b;
            Cp932::encode(kBlkHeader, b);
            return b;
        }();
        return mLines.next(mRaw) == CrLineReader::Status::Line && mRaw.startsWith(headerBytes);
    }

    bool text(QString& out)
    {
        QString s;
        if (!line(s))
            return false;
        const qsizetype comma = s.indexOf(u',');
        out = comma < 0 ? s : s.left(comma);
        return true;
    }

    bool spec()
    {
        return fields(6) && real(0, mRec.B) && real(1, mRec.H) && real(2, mRec.L) &&
               real(3, mRec.V) && real(4, mRec.Gx) && real(5, mRec.Gy);
    }

    bool layers()
    {
        if (!count(mRec.LyrCnt))
            return false;
        for (int i = 0; i < mRec.LyrCnt; ++i) {
            if (i > BlkRec::LyrLast || !fields(3))
                return false;
            if (!real(0, mRec.LyrH[i]) || !real(1, mRec.LyrV[i]) || !real(2, mRec.LyrVSum[i]))
                return false;
        }
        return true;
    }

    bool points()
    {
        if (!count(mRec.PntCnt))
            return false;
        for (int i = 1; i <= mRec.PntCnt; ++i) {
            if (i > BlkRec::PntLast || !fields(2))
                return false;
            if (!real(0, mRec.PntX[i]) || !real(1, mRec.PntY[i]))
                return false;
        }
        return true;
    }

    bool lines()
    {
        if (!count(mRec.LineCnt))
            return false;
        for (int i = 1; i <= mRec.LineCnt; ++i) {
            if (i > BlkRec::LineLast || !fields(2))
                return false;
            if (!integer(mFields[0], mRec.LineSt[i]) || !integer(mFields[1], mRec.LineEd[i]))
                return false;
        }
        return true;
    }

    CrLineReader mLines;
    BlkRec& mRec;
    QByteArray mRaw;
    QString mLine; // reused line by line, so that reading allocates once
    std::array<QStringView, 6> mFields;
};

void appendLine(QByteArray& out, QByteArrayView line)
{
    out += line;
    out += "\r\n";
}

void appendNumbers(QByteArray& out, std::initializer_list<QString> values)
{
    bool first = true;
    for (const QString& v : values) {
        if (!first)
            out += ',';
        out += v.toLatin1();
        first = false;
    }
    out += "\r\n";
}

bool allFinite(const BlkRec& rec)
{
    auto finite = [](double v) { return std::isfinite(v); };
    if (!finite(rec.B) || !finite(rec.H) || !finite(rec.L) || !finite(rec.V) || !finite(rec.Gx) ||
        !finite(rec.Gy))
        return false;
    for (int i = 0; i < std::min<int>(rec.LyrCnt, BlkRec::LyrLast + 1); ++i) {
        if (!finite(rec.LyrH[i]) || !finite(rec.LyrV[i]) || !finite(rec.LyrVSum[i]))
            return false;
    }
    for (int i = 1; i <= std::min<int>(rec.PntCnt, BlkRec::PntLast); ++i) {
        if (!finite(rec.PntX[i]) || !finite(rec.PntY[i]))
            return false;
    }
    return true;
}

BlkWriteResult failure(const QString& message)
{
    return {false, message};
}

// Text for a field cp932 cannot hold, naming its first offending character.
QString unencodableMessage(const QString& what, const QString& text, qsizetype at)
{
    qsizetype len = 1;
    if (at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate())
        len = 2;
    return QStringLiteral("%1に保存できない文字「%2」(U+%3) が含まれています。\n"
                          "この文字を使わずに入力し直してください。")
        .arg(what, text.mid(at, len),
             QString::number(text.mid(at, len).toUcs4().value(0), 16)
                 .toUpper()
                 .rightJustified(4, u'0'));
}

} // namespace

QString Blk_TextProblem(const QString& what, const QString& text)
{
    if (text.contains(u','))
        return QStringLiteral("%1にカンマ「,」は使えません。\n"
                              "ファイルを読み直すとカンマから後ろが失われます。"
                              "別の文字に置き換えてください。")
            .arg(what);
    if (text.contains(u'\r') || text.contains(u'\n'))
        return QStringLiteral("%1に改行は使えません。").arg(what);
    QByteArray bytes;
    qsizetype bad = 0;
    if (!Cp932::encode(text, bytes, &bad))
        return unencodableMessage(what, text, bad);
    return {};
}

bool Blk_ReadDevice(BlkRec& rec, QIODevice& device)
{
    return BlkReader(device, rec).run();
}

bool Blk_ReadBytes(BlkRec& rec, QByteArrayView bytes)
{
    QByteArray copy = bytes.toByteArray();
    QBuffer buf(&copy);
    if (!buf.open(QIODevice::ReadOnly))
        return false;
    return Blk_ReadDevice(rec, buf);
}

bool Blk_ReadPath(BlkRec& rec, const QString& path, FileStamp* stamp)
{
    QFile f;
    if (!openRegularFile(f, path) || !Blk_ReadDevice(rec, f))
        return false;
    if (stamp)
        *stamp = FileStamp::ofOpenFile(f); // the bytes just read, from the same descriptor
    return true;
}

QString Blk_FindFile(const QString& dir, const QString& name)
{
    if (name.isEmpty() || name.contains(u'/'))
        return {};
    for (const char* ext : {".csv", ".CSV"}) {
        const QString p = dir + name + QLatin1String(ext);
        if (QFileInfo(p).isFile())
            return p;
    }
    // Any other case of the extension, such as ".Csv". Names are compared as
    // text, never used as a pattern, so "[" or "*" in a name do no harm.
    const QStringList all = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& f : all) {
        if (f.size() == name.size() + 4 && f.startsWith(name) &&
            f.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
            return dir + f;
    }
    return {};
}

bool Blk_Read(const basMr_Blk& mod, BlkRec& rec, const QString& name)
{
    return Blk_ReadPath(rec, Blk_FindFile(mod.DataPath, name));
}

BlkWriteResult Blk_Encode(const BlkRec& rec, QByteArray& out)
{
    using NumText::fmt0;
    using NumText::fmt000;
    if (rec.LyrCnt > BlkRec::LyrLast + 1 || rec.PntCnt > BlkRec::PntLast ||
        rec.LineCnt > BlkRec::LineLast)
        return failure(QStringLiteral("表の行数が上限を超えています。"));
    if (!allFinite(rec))
        return failure(QStringLiteral("数値として保存できない値が含まれています。"));

    out.clear();
    out.reserve(4096);
    QByteArray text;
    Cp932::encode(kBlkHeader, text);
    appendLine(out, text);
    // A CR would end the line early and make the file unreadable.
    if (rec.Name.contains(u'\r') || rec.Kind.contains(u'\r'))
        return failure(QStringLiteral("名称または種別に改行が含まれているため保存できません。"));
    qsizetype bad = 0;
    if (!Cp932::encode(rec.Name, text, &bad))
        return failure(unencodableMessage(QStringLiteral("名称"), rec.Name, bad));
    appendLine(out, text);
    if (!Cp932::encode(rec.Kind, text, &bad))
        return failure(unencodableMessage(QStringLiteral("種別"), rec.Kind, bad));
    appendLine(out, text);

    appendNumbers(out, {fmt000(rec.B), fmt000(rec.H), fmt000(rec.L), fmt000(rec.V), fmt000(rec.Gx),
                        fmt000(rec.Gy)});
    appendNumbers(out, {fmt0(rec.LyrCnt)});
    for (int i = 0; i < rec.LyrCnt; ++i)
        appendNumbers(out, {fmt000(rec.LyrH[i]), fmt000(rec.LyrV[i]), fmt000(rec.LyrVSum[i])});
    appendNumbers(out, {fmt0(rec.PntCnt)});
    for (int i = 1; i <= rec.PntCnt; ++i)
        appendNumbers(out, {fmt000(rec.PntX[i]), fmt000(rec.PntY[i])});
    appendNumbers(out, {fmt0(rec.LineCnt)});
    for (int i = 1; i <= rec.LineCnt; ++i)
        appendNumbers(out, {fmt0(rec.LineSt[i]), fmt0(rec.LineEd[i])});
    return {true, {}};
}

BlkWriteResult Blk_Write(const BlkRec& rec, const QString& path)
{
    QByteArray bytes;
    BlkWriteResult r = Blk_Encode(rec, bytes);
    if (!r.ok)
        return r;
    return Blk_WriteBytes(bytes, path);
}

QString Blk_WriteFailureText(const QFileDevice& file, const QString& path, qint64 needed)
{
    // Qt's own text for a full disk is strerror's, or "未知のエラー" where it
    // has none; the user is told the cause in plain words instead.
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    const bool noRoom =
        file.error() == QFileDevice::ResourceError ||
        (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < needed);
    if (noRoom)
        return QStringLiteral("ディスクの空き容量が足りません。");
    // Qt's text when it has a reason; its "Unknown error" says nothing.
    const QString qt = file.errorString();
    const bool known = file.error() != QFileDevice::NoError &&
                       file.error() != QFileDevice::UnspecifiedError &&
                       qt != QCoreApplication::translate("QIODevice", "Unknown error") &&
                       qt != QLatin1String("Unknown error");
    if (known)
        return qt;
    return QStringLiteral("書き込みが途中で止まりました (ディスクの空き容量不足など)。");
}

BlkWriteResult Blk_WriteBytes(const QByteArray& bytes, const QString& path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return failure(QStringLiteral("ファイル %1 を書き込み用に開けません。\n%2")
                           .arg(QDir::toNativeSeparators(path), f.errorString()));
    // flush() first: on a short write (a full disk) Qt sets no error, and
    // commit() would rename the truncated file over the old one (QTBUG-75077).
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        const QString why = Blk_WriteFailureText(f, path, bytes.size());
        f.cancelWriting();
        return failure(QStringLiteral("ファイル %1 に書き込めません。\n%2")
                           .arg(QDir::toNativeSeparators(path), why));
    }
    // The last bytes may meet a full disk only here, when they reach it.
    if (!f.commit())
        return failure(
            QStringLiteral("ファイル %1 を保存できません。\n%2")
                .arg(QDir::toNativeSeparators(path), Blk_WriteFailureText(f, path, bytes.size())));
    return {true, {}};
}

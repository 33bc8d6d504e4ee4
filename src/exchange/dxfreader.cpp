// Reading a DXF file into a DxfDrawing. dxflib interprets the groups; this
// file only splits the bytes into groups and guards dxflib against what it
// does not survive: its own line reader hangs on a line longer than 1024
// bytes, an LWPOLYLINE vertex count of about 2^30 overflows its buffer size,
// a bulge before the first vertex is written before its buffer, and a comment
// "dxflib" throws. So the groups are read here, with line numbers for the
// messages, checked, and handed to dxflib one by one, each through dxflib's
// group reader on a stream of its own two lines; only the sections and
// entities the import needs are handed on at all. The entities that can make
// an outline are checked when the file is read, and handed to dxflib only for
// the layers chosen (Dxf::shapesOn): a drawing of thousands of entities on
// other layers costs little more than the splitting.
#include "exchange/dxfimport.h"

#include "document/cp932.h"
#include "exchange/dxfnumbers.h"
#include "exchange/dxfshapes.h"

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using Group = DxfGroup;

// A reading failure: the line and what is wrong there.
struct Fault
{
    int line = 0;
    QString what;
    bool notDxf = false; // nothing seen yet that makes it a DXF file
};

// --- splitting ---------------------------------------------------------------

std::string_view trimmedView(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The groups of the file, or the first line that is not one.
std::optional<Fault> splitGroups(QByteArrayView bytes, std::vector<Group>& out)
{
    std::string_view rest(bytes.data(), size_t(bytes.size()));
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3); // a UTF-8 byte order mark some programs write
    int line = 0;
    auto nextLine = [&](std::string_view& l) {
        if (rest.empty())
            return false;
        const size_t nl = rest.find('\n');
        l = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        ++line;
        return true;
    };
    std::string_view codeLine, valueLine;
    while (nextLine(codeLine)) {
        const std::string code(trimmedView(codeLine));
        long long c = -1;
        if (!DxfNumbers::parseInt(code, c) || c < 0 || c > 1071) {
            if (code.empty() && rest.empty())
                break; // a blank last line
            return Fault{
                line,
                QStringLiteral("グループコード (0〜1071 の整数) であるべき行が「%1」です。")
                    .arg(QString::fromLatin1(code.substr(0, 20))),
                out.empty()};
        }
        if (!nextLine(valueLine))
            return Fault{
                line,
                QStringLiteral(
                    "グループコードの後に値の行がありません。ファイルが途中で切れています。"),
                out.empty()};
        if (valueLine.find('\0') != std::string_view::npos)
            return Fault{line, QStringLiteral("値に NUL 文字があります。"), out.empty()};
        out.push_back(Group{int(c), std::string(trimmedView(valueLine)), line - 1});
        if (c == 0 && out.back().value == "EOF")
            break; // whatever follows (an end-of-file mark, blank lines) is no drawing
    }
    return std::nullopt;
}

// --- codes and text ----------------------------------------------------------

bool isRealCode(int c)
{
    return (c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) ||
           (c >= 460 && c <= 469) || (c >= 1010 && c <= 1059);
}

bool isIntCode(int c)
{
    return (c >= 60 && c <= 79) || (c >= 90 && c <= 99) || (c >= 170 && c <= 179) ||
           (c >= 270 && c <= 289) || (c >= 370 && c <= 389) || (c >= 400 && c <= 409) ||
           (c >= 420 && c <= 429) || (c >= 440 && c <= 459) || (c >= 1060 && c <= 1071);
}

// How the file's texts are encoded.
enum class Codec
{
    Cp932,
    Utf8,
    Other,     // another Windows code page, decoded by name
    Undeclared // no $DWGCODEPAGE: UTF-8 when the bytes are that, else cp932
};

struct TextCodec
{
    Codec codec = Codec::Cp932;
    QByteArray name; // for Other: "windows-1252"
};

TextCodec codecOf(const std::string& acadver, const std::string& codepage)
{
    TextCodec t;
    // R2007 (AC1021) and later are UTF-8 whatever the code page says.
    if (acadver.size() >= 6 && acadver.compare(0, 2, "AC") == 0 && acadver.substr(2) >= "1021") {
        t.codec = Codec::Utf8;
        return t;
    }
    QByteArray cp = QByteArray::fromStdString(codepage).toUpper();
    if (cp.isEmpty())
        t.codec = Codec::Undeclared;
    if (cp.isEmpty() || cp == "ANSI_932" || cp == "DOS932")
        return t;
    if (cp.startsWith("ANSI_")) {
        t.codec = Codec::Other;
        t.name = "windows-" + cp.mid(5);
    }
    return t;
}

bool decodeWith(QStringDecoder&& dec, QByteArrayView raw, QString& out)
{
    if (!dec.isValid())
        return false;
    out = dec.decode(raw);
    return !dec.hasError();
}

// "\U+30A2" escapes, which CAD programs write for characters outside the
// code page.
QString unescapeUnicode(QString s)
{
    static const QRegularExpression re(QStringLiteral("\\\\U\\+([0-9A-Fa-f]{4})"));
    if (!s.contains(QLatin1String("\\U+"), Qt::CaseInsensitive))
        return s;
    QString out;
    qsizetype from = 0;
    for (auto it = re.globalMatch(s); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(s).sliced(from, m.capturedStart() - from);
        out += QChar(char16_t(m.captured(1).toUInt(nullptr, 16)));
        from = m.capturedEnd();
    }
    out += QStringView(s).sliced(from);
    return out;
}

// A text of the file; never fails: bytes that are not in the file's code
// page are tried as UTF-8, then taken as Latin-1.
QString decodeText(const std::string& raw, const TextCodec& t)
{
    const QByteArrayView bytes(raw.data(), qsizetype(raw.size()));
    QString s;
    bool ok = false;
    switch (t.codec) {
    case Codec::Undeclared:
        // Japanese cp932 text is almost never valid UTF-8: its lead bytes
        // 0x88..0x9F cannot start a UTF-8 character.
        ok = decodeWith(QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless),
                        bytes, s) ||
             Cp932::decode(bytes, s);
        break;
    case Codec::Cp932:
        ok = Cp932::decode(bytes, s);
        break;
    case Codec::Utf8:
        ok = decodeWith(QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless),
                        bytes, s);
        break;
    case Codec::Other:
        ok = decodeWith(QStringDecoder(t.name.constData(), QStringDecoder::Flag::Stateless), bytes,
                        s);
        break;
    }
    if (!ok && !decodeWith(QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless),
                           bytes, s))
        s = QString::fromLatin1(bytes);
    return unescapeUnicode(s);
}

// --- what dxflib reports -------------------------------------------------------

class Collector : public DL_CreationAdapter
{
public:
    int line = 0; // of the entity dxflib is completing

    std::string acadver;
    std::string codepage;
    int insunits = 0;
    std::vector<std::string> tableLayers;
    std::vector<DxfShape> shapes;
    std::vector<std::string> texts;

    void setVariableString(const std::string& key, const std::string& value, int) override
    {
        if (key == "$ACADVER")
            acadver = value;
        else if (key == "$DWGCODEPAGE")
            codepage = value;
    }
    void setVariableInt(const std::string& key, int value, int) override
    {
        if (key == "$INSUNITS")
            insunits = value;
    }
    void addLayer(const DL_LayerData& d) override { tableLayers.push_back(d.name); }

    void addLine(const DL_LineData& d) override
    {
        endPolyline();
        DxfShape& s = start(DxfShape::Kind::Line);
        s.vertices = {{d.x1, d.y1, 0}, {d.x2, d.y2, 0}};
    }
    void addArc(const DL_ArcData& d) override
    {
        endPolyline();
        DxfShape& s = start(DxfShape::Kind::Arc);
        setCircle(s, d.cx, d.cy, d.radius);
        s.startAngle = d.angle1;
        s.endAngle = d.angle2;
        if (mirrored()) { // seen from below: angles mirrored, direction reversed
            s.startAngle = 180.0 - d.angle2;
            s.endAngle = 180.0 - d.angle1;
        }
    }
    void addCircle(const DL_CircleData& d) override
    {
        endPolyline();
        DxfShape& s = start(DxfShape::Kind::Circle);
        setCircle(s, d.cx, d.cy, d.radius);
    }
    void addPolyline(const DL_PolylineData& d) override
    {
        endPolyline();
        DxfShape& s = start(DxfShape::Kind::Polyline);
        s.closed = (d.flags & 1) != 0;
        mPolyline = true;
        mPolylineMirrored = mirrored();
    }
    void addVertex(const DL_VertexData& d) override
    {
        if (!mPolyline)
            return;
        const double sign = mPolylineMirrored ? -1 : 1;
        shapes.back().vertices.push_back({sign * d.x, d.y, sign * d.bulge});
    }
    void endEntity() override { endPolyline(); }
    void endSequence() override { endPolyline(); }
    void addText(const DL_TextData& d) override { texts.push_back(d.text); }

    void endPolyline() { mPolyline = false; }

private:
    DxfShape& start(DxfShape::Kind kind)
    {
        DxfShape s;
        s.kind = kind;
        s.line = line;
        if (!planar())
            s.refusal =
                QStringLiteral(
                    "%1 行目の図形は XY 平面にありません (押し出し方向が Z 軸ではありません)。")
                    .arg(line);
        shapes.push_back(std::move(s));
        return shapes.back();
    }
    void setCircle(DxfShape& s, double cx, double cy, double r)
    {
        s.cx = mirrored() ? -cx : cx;
        s.cy = cy;
        s.radius = r;
    }
    // Entities drawn in their own plane (arcs, circles, polylines) are
    // seen from above (+Z) or from below (-Z, x mirrored); any other plane is
    // not the section's.
    bool planar() const
    {
        const double* n = extrusion->getDirection();
        return std::fabs(n[0]) < 1e-9 && std::fabs(n[1]) < 1e-9 && n[2] != 0;
    }
    bool mirrored() const { return planar() && extrusion->getDirection()[2] < 0; }

    bool mPolyline = false;
    bool mPolylineMirrored = false;
};

// --- handing groups to dxflib -------------------------------------------------

constexpr size_t kMaxFedValue = 1000; // dxflib keeps some values in 1024-byte buffers

class Feeder
{
public:
    explicit Feeder(Collector& c) : mC(c)
    {
        // in() on an empty stream sets up dxflib's reading state, which its
        // constructor leaves undefined, and reads nothing.
        std::istringstream empty;
        mDxf.in(empty, &mC);
    }

    void feed(const Group& g)
    {
        if (g.code == 999)
            return; // comments are not needed, and "dxflib" alone throws
        if (g.code == 0) {
            mC.line = mPending; // the entity dxflib completes now
            mPending = g.line;
        }
        // One group at a time through dxflib's own group reader: its handlers
        // read the group from members that only that reader sets.
        mOne.clear();
        mOne.str(std::to_string(g.code) + '\n' + g.value + '\n');
        mDxf.readDxfGroups(mOne, &mC);
    }
    void feed(const std::vector<Group>& g, size_t from, size_t to)
    {
        for (size_t i = from; i < to; ++i)
            feed(g[i]);
    }
    // Completes whatever dxflib still holds.
    void flush() { feed(Group{0, "EOF", mPending}); }

private:
    Collector& mC;
    DL_Dxf mDxf;
    std::stringstream mOne;
    int mPending = 0; // line of the entity dxflib holds until the next 0 group
};

// --- walking the sections ------------------------------------------------------

// The entities and what was counted of them, by raw layer name.
struct Found
{
    QHash<QByteArray, int> counts;                                   // entities per layer
    QHash<QByteArray, int> importable;                               // LINE .. CIRCLE per layer
    std::vector<std::string> usedLayers;                             // in the order of first use
    std::vector<std::pair<std::string, DxfSource::Entity>> entities; // raw layer, parts
};

class Walker
{
public:
    Walker(const std::vector<Group>& groups, Collector& c) : mG(groups), mFeed(c) {}

    std::optional<Fault> walk();
    Found found;

private:
    bool at(size_t i, int code, std::string_view value) const
    {
        return i < mG.size() && mG[i].code == code && mG[i].value == value;
    }
    int lastLine() const { return mG.empty() ? 1 : mG.back().line + 1; }
    std::optional<Fault> check(size_t from, size_t to) const;
    std::optional<Fault> checkAndFeed(size_t from, size_t to)
    {
        if (auto f = check(from, to))
            return f;
        mFeed.feed(mG, from, to);
        return std::nullopt;
    }
    size_t entityEnd(size_t i) const;
    std::optional<Fault> header(size_t& i);
    std::optional<Fault> tables(size_t& i);
    std::optional<Fault> entities(size_t& i);
    std::optional<Fault> skipSection(size_t& i);
    std::optional<Fault> checkLwPolyline(size_t from, size_t to) const;
    void count(const std::string& layer, bool canImport);

    const std::vector<Group>& mG;
    Feeder mFeed;
};

// Numbers must be numbers, and values short enough for dxflib's buffers.
std::optional<Fault> Walker::check(size_t from, size_t to) const
{
    for (size_t i = from; i < to; ++i) {
        const Group& g = mG[i];
        if (isRealCode(g.code)) {
            double v = 0;
            if (!DxfNumbers::parseReal(g.value, v))
                return Fault{g.line + 1, QStringLiteral("数値であるべき値が「%1」です。")
                                             .arg(QString::fromLatin1(g.value.substr(0, 20)))};
        } else if (isIntCode(g.code)) {
            long long v = 0;
            if (!DxfNumbers::parseInt(g.value, v) || v < INT32_MIN || v > INT32_MAX)
                return Fault{g.line + 1, QStringLiteral("整数であるべき値が「%1」です。")
                                             .arg(QString::fromLatin1(g.value.substr(0, 20)))};
        }
        if (g.value.size() > kMaxFedValue && g.code != 999)
            return Fault{g.line + 1, QStringLiteral("値の行が長すぎます。")};
    }
    return std::nullopt;
}

// The index of the next 0 group after i.
size_t Walker::entityEnd(size_t i) const
{
    ++i;
    while (i < mG.size() && mG[i].code != 0)
        ++i;
    return i;
}

std::optional<Fault> Walker::walk()
{
    size_t i = 0;
    bool seenSection = false;
    while (i < mG.size()) {
        const Group& g = mG[i];
        if (g.code == 999) {
            ++i;
            continue;
        }
        if (at(i, 0, "EOF")) {
            mFeed.flush();
            return std::nullopt;
        }
        if (!at(i, 0, "SECTION") || i + 1 >= mG.size() || mG[i + 1].code != 2)
            return Fault{g.line, QStringLiteral("セクション (0 SECTION) があるべきところです。"),
                         !seenSection};
        seenSection = true;
        const std::string& name = mG[i + 1].value;
        i += 2;
        std::optional<Fault> f;
        if (name == "HEADER")
            f = header(i);
        else if (name == "TABLES")
            f = tables(i);
        else if (name == "ENTITIES")
            f = entities(i);
        else
            f = skipSection(i);
        if (f)
            return f;
        ++i; // past ENDSEC
    }
    return Fault{lastLine(),
                 seenSection
                     ? QStringLiteral("最後の 0 EOF がありません。ファイルが途中で切れています。")
                     : QStringLiteral("DXF のセクションがありません。"),
                 !seenSection};
}

std::optional<Fault> Walker::skipSection(size_t& i)
{
    while (i < mG.size() && !at(i, 0, "ENDSEC")) {
        if (at(i, 0, "SECTION") || at(i, 0, "EOF"))
            break;
        ++i;
    }
    if (!at(i, 0, "ENDSEC"))
        return Fault{i < mG.size() ? mG[i].line : lastLine(),
                     QStringLiteral("セクションが閉じられていません (0 ENDSEC がありません)。")};
    return std::nullopt;
}

std::optional<Fault> Walker::header(size_t& i)
{
    const size_t from = i;
    if (auto f = skipSection(i))
        return f;
    return checkAndFeed(from, i + 1); // the ENDSEC completes the last variable
}

std::optional<Fault> Walker::tables(size_t& i)
{
    const size_t from = i;
    if (auto f = skipSection(i))
        return f;
    const size_t end = i;
    // Only the layer table is read: its records and the end of the table.
    bool inLayers = false;
    for (size_t k = from; k < end; k = entityEnd(k)) {
        if (mG[k].code != 0)
            return Fault{mG[k].line,
                         QStringLiteral("表の項目 (0 で始まる行) があるべきところです。")};
        if (mG[k].value == "TABLE") {
            inLayers = k + 1 < end && mG[k + 1].code == 2 && mG[k + 1].value == "LAYER";
            continue;
        }
        if (mG[k].value == "ENDTAB") {
            if (inLayers)
                mFeed.flush();
            inLayers = false;
            continue;
        }
        if (inLayers && mG[k].value == "LAYER") {
            if (auto f = checkAndFeed(k, entityEnd(k)))
                return f;
        }
    }
    mFeed.flush();
    return std::nullopt;
}

void Walker::count(const std::string& layer, bool canImport)
{
    const QByteArray key = QByteArray::fromStdString(layer);
    auto it = found.counts.find(key);
    if (it == found.counts.end()) {
        found.usedLayers.push_back(layer);
        it = found.counts.insert(key, 0);
    }
    ++*it;
    if (canImport)
        ++found.importable[key];
}

// dxflib sizes an LWPOLYLINE's vertex buffer by its group 90 and writes a
// bulge to the current vertex: both must agree with the vertices given.
std::optional<Fault> Walker::checkLwPolyline(size_t from, size_t to) const
{
    long long declared = -1;
    int vertices = 0;
    for (size_t k = from + 1; k < to; ++k) {
        const Group& g = mG[k];
        if (g.code == 90) {
            if (declared >= 0 || vertices > 0)
                return Fault{g.line,
                             QStringLiteral("LWPOLYLINE の頂点数 (90) の位置が正しくありません。")};
            DxfNumbers::parseInt(g.value, declared);
        } else if (g.code == 10) {
            ++vertices;
        } else if ((g.code == 20 || g.code == 30 || g.code == 42) && vertices == 0) {
            return Fault{g.line,
                         QStringLiteral("LWPOLYLINE の頂点の値が最初の頂点より前にあります。")};
        }
    }
    if (declared != vertices)
        return Fault{mG[from].line,
                     QStringLiteral("LWPOLYLINE の頂点数 (90) が %1 ですが、頂点は %2 個あります。")
                         .arg(declared)
                         .arg(vertices)};
    return std::nullopt;
}

// The layer of this program's unit note, in the file's bytes.
bool isDimensionLayer(const std::string& raw)
{
    static const std::string utf8 = QStringLiteral("寸法").toStdString();
    static const std::string sjis = [] {
        QByteArray b;
        Cp932::encode(QStringLiteral("寸法"), b);
        return b.toStdString();
    }();
    return raw == sjis || raw == utf8;
}

std::optional<Fault> Walker::entities(size_t& i)
{
    const size_t from = i;
    if (auto f = skipSection(i))
        return f;
    const size_t end = i;
    bool inPolyline = false; // a POLYLINE kept: its VERTEX and SEQEND follow it
    for (size_t k = from; k < end;) {
        const size_t next = entityEnd(k);
        const Group& g = mG[k];
        if (g.code != 0)
            return Fault{g.line, QStringLiteral("図形 (0 で始まる行) があるべきところです。")};
        std::string layer = "0";
        bool paper = false;
        int flags = 0;
        for (size_t j = k + 1; j < next; ++j) {
            if (mG[j].code == 8) {
                layer = mG[j].value;
            } else if (mG[j].code == 67) {
                paper = mG[j].value == "1";
            } else if (mG[j].code == 70) {
                long long v = 0;
                DxfNumbers::parseInt(mG[j].value, v);
                flags = int(v);
            }
        }
        const std::string& type = g.value;
        const bool sub = type == "VERTEX" || type == "SEQEND" || type == "ATTRIB";
        // A mesh is no outline; a spline's frame points are not on its curve.
        const bool mesh = type == "POLYLINE" && (flags & (16 | 64)) != 0;
        const bool shape = !paper && (type == "LINE" || type == "ARC" || type == "CIRCLE" ||
                                      type == "LWPOLYLINE" || (type == "POLYLINE" && !mesh));
        if (!sub && !paper)
            count(layer, shape);
        if (!sub)
            inPolyline = shape && type == "POLYLINE";
        if (shape) {
            if (auto f = check(k, next))
                return f;
            if (type == "LWPOLYLINE") {
                if (auto f = checkLwPolyline(k, next))
                    return f;
            }
            found.entities.push_back({layer, DxfSource::Entity{0, {{k, next}}}});
        } else if (inPolyline && (type == "SEQEND" || (type == "VERTEX" && (flags & 16) == 0))) {
            if (auto f = check(k, next))
                return f;
            found.entities.back().second.parts.push_back({k, next});
        } else if (!paper && type == "TEXT" && isDimensionLayer(layer)) {
            if (auto f = checkAndFeed(k, next)) // the unit note of this program's export
                return f;
            mFeed.flush();
        }
        if (type == "SEQEND")
            inPolyline = false;
        k = next;
    }
    return std::nullopt;
}

// --- the drawing ---------------------------------------------------------------

std::optional<DxfUnit> unitOf(const Collector& c, const TextCodec& codec)
{
    if (c.insunits == 4)
        return DxfUnit::Millimetre;
    if (c.insunits == 6)
        return DxfUnit::Metre;
    // R12 has no unit variable: this program's export says it in a text.
    for (const std::string& raw : c.texts) {
        const QString t = decodeText(raw, codec);
        if (t == QStringLiteral("単位: mm"))
            return DxfUnit::Millimetre;
        if (t == QStringLiteral("単位: m"))
            return DxfUnit::Metre;
    }
    return std::nullopt;
}

// Layers by name, whatever the case of their letters.
int layerIndex(DxfDrawing& d, QHash<QString, int>& byKey, const QString& name)
{
    const QString key = name.toCaseFolded();
    auto it = byKey.constFind(key);
    if (it != byKey.cend())
        return *it;
    d.layers.append(DxfLayerInfo{name, 0, 0});
    byKey.insert(key, int(d.layers.size()) - 1);
    return int(d.layers.size()) - 1;
}

void fillDrawing(DxfDrawing& d, const Collector& c, Found& found, std::vector<Group>&& groups)
{
    const TextCodec codec = codecOf(c.acadver, c.codepage);
    d.version = QString::fromLatin1(c.acadver);
    d.fileUnit = unitOf(c, codec);
    QHash<QString, int> byKey;
    QHash<QByteArray, int> byRaw;
    auto index = [&](const std::string& raw) {
        const QByteArray key = QByteArray::fromStdString(raw);
        auto it = byRaw.constFind(key);
        if (it != byRaw.cend())
            return *it;
        const int i = layerIndex(d, byKey, decodeText(raw, codec));
        byRaw.insert(key, i);
        return i;
    };
    for (const std::string& raw : c.tableLayers)
        index(raw);
    for (const std::string& raw : found.usedLayers) {
        const int i = index(raw);
        const QByteArray key = QByteArray::fromStdString(raw);
        d.layers[i].entities += found.counts.value(key);
        d.layers[i].importable += found.importable.value(key);
    }
    auto source = std::make_shared<DxfSource>();
    source->groups = std::move(groups);
    source->entities.reserve(found.entities.size());
    for (auto& [raw, entity] : found.entities) {
        entity.layer = index(raw);
        source->entities.push_back(std::move(entity));
    }
    d.source = std::move(source);
}

QString shownName(const QString& fileName)
{
    return fileName.isEmpty() ? QStringLiteral("(名前なし)") : fileName;
}

} // namespace

namespace Dxf {

DxfReadResult read(QByteArrayView bytes, const QString& fileName)
{
    DxfReadResult r;
    r.drawing.fileName = fileName;
    const QString name = shownName(fileName);
    if (bytes.isEmpty()) {
        r.error = QStringLiteral("「%1」は空のファイルです。").arg(name);
        return r;
    }
    if (bytes.size() > MaxFileBytes) {
        r.error = QStringLiteral("「%1」は大きすぎて読めません (%2 MB まで)。")
                      .arg(name)
                      .arg(MaxFileBytes / (1024 * 1024));
        return r;
    }
    if (bytes.startsWith(QByteArrayView("AutoCAD Binary DXF"))) {
        r.error = QStringLiteral(
                      "「%1」はバイナリ形式の DXF です。ASCII 形式の DXF で保存し直してください。")
                      .arg(name);
        return r;
    }
    std::vector<Group> groups;
    std::optional<Fault> fault = splitGroups(bytes, groups);
    Collector c;
    std::optional<Walker> w;
    if (!fault) {
        try {
            w.emplace(groups, c);
            fault = w->walk();
        } catch (...) {
            // Whatever dxflib may still throw on: the file, not the program, is at fault.
            fault = Fault{std::max(1, c.line), QStringLiteral("この位置の図形を読めません。")};
        }
    }
    if (fault) {
        r.error = fault->notDxf
                      ? QStringLiteral("「%1」は DXF ファイルではありません (%2 行目)。\n%3")
                      : QStringLiteral("「%1」は壊れています (%2 行目)。\n%3");
        r.error = r.error.arg(name).arg(fault->line).arg(fault->what);
        return r;
    }
    fillDrawing(r.drawing, c, w->found, std::move(groups));
    return r;
}

std::vector<DxfShape> shapesOn(const DxfDrawing& drawing, const QSet<int>& layers)
{
    Collector c;
    if (!drawing.source)
        return {};
    const DxfSource& src = *drawing.source;
    try {
        Feeder feed(c);
        for (const DxfSource::Entity& e : src.entities) {
            if (!layers.contains(e.layer))
                continue;
            for (auto [from, to] : e.parts)
                feed.feed(src.groups, from, to);
            feed.flush(); // the entity is complete: its shape is made now
        }
    } catch (...) {
        // Checked groups only come here; should dxflib still throw, the
        // shapes read so far are all there is.
    }
    return std::move(c.shapes);
}

QStringList defaultLayers(const DxfDrawing& drawing)
{
    const QString outline = QStringLiteral("外形");
    QStringList all;
    for (const DxfLayerInfo& l : drawing.layers) {
        if (l.name.compare(outline, Qt::CaseInsensitive) == 0)
            return {l.name};
        all << l.name;
    }
    return all;
}

DxfUnit unitFor(const DxfDrawing& drawing, DxfUnitChoice choice)
{
    switch (choice) {
    case DxfUnitChoice::Millimetre:
        return DxfUnit::Millimetre;
    case DxfUnitChoice::Metre:
        return DxfUnit::Metre;
    case DxfUnitChoice::FromFile:
        break;
    }
    return drawing.fileUnit.value_or(DxfUnit::Millimetre);
}

} // namespace Dxf

#include "cli/console.h"

#include <QDir>
#include <QJsonDocument>

#include <cmath>
#include <unistd.h>

namespace Cli {

namespace {

void writeLine(std::FILE* f, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
    std::fputc('\n', f);
}

} // namespace

void Console::out(const QString& line)
{
    writeLine(mOut, line.toUtf8());
}

void Console::err(const QString& line)
{
    done();
    std::fflush(mOut); // messages and results in the order they happened
    writeLine(mErr, line.toUtf8());
}

void Console::json(const QJsonObject& object)
{
    writeLine(mOut, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void Console::progress(const QString& text)
{
    if (!isatty(fileno(mErr)))
        return;
    const QByteArray bytes = "\r" + text.toUtf8() + "\x1b[K";
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), mErr);
    std::fflush(mErr);
    mProgressShown = true;
}

void Console::done()
{
    if (!mProgressShown)
        return;
    std::fputs("\r\x1b[K", mErr);
    mProgressShown = false;
}

QJsonValue number(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Options::Options(const QString& usage, const QString& about) : mUsage(usage), mAbout(about)
{
    mParser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    add(QCommandLineOption(
        QStringLiteral("json"),
        QStringLiteral("結果をブロックごとに 1 行の JSON で標準出力に出します。")));
    add(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                           QStringLiteral("この説明を表示して終了します。")));
}

void Options::add(const QCommandLineOption& option)
{
    mParser.addOption(option);
    mOptions.append(option);
}

QString Options::helpText() const
{
    QString s = QStringLiteral("使い方: mrb_make %1\n%2\n\nオプション:\n").arg(mUsage, mAbout);
    for (const QCommandLineOption& o : mOptions) {
        QStringList names;
        for (const QString& n : o.names())
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        QString head = names.join(QStringLiteral(", "));
        if (!o.valueName().isEmpty())
            head += u' ' + o.valueName();
        s += QStringLiteral("  %1\n      %2\n").arg(head, o.description());
    }
    return s;
}

std::optional<int> Options::parse(const QStringList& args, Console& io, int minArgs, int maxArgs)
{
    if (!mParser.parse(args))
        return usageError(io, mParser.errorText(), mUsage);
    if (mParser.isSet(QStringLiteral("help"))) {
        io.out(helpText());
        return AllWell;
    }
    const qsizetype n = mParser.positionalArguments().size();
    if (n < minArgs)
        return usageError(io, QStringLiteral("引数が足りません。"), mUsage);
    if (maxArgs >= 0 && n > maxArgs)
        return usageError(io,
                          QStringLiteral("余分な引数があります: %1")
                              .arg(mParser.positionalArguments().mid(maxArgs).join(u' ')),
                          mUsage);
    return std::nullopt;
}

int usageError(Console& io, const QString& message, const QString& usage)
{
    io.err(QStringLiteral("mrb_make: ") + message);
    io.err(QStringLiteral("使い方: mrb_make ") + usage);
    return Failed;
}

} // namespace Cli

#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

// What every subcommand shares: its exit statuses, standard output and
// standard error in UTF-8, and a parser with --json and --help.
namespace Cli {

enum Status : int
{
    AllWell = 0,   // every block passed, every file was read and written
    NeedsCare = 1, // some block calls for care
    Failed = 2     // a file could not be read or written, or a wrong command line
};

// The worse of two statuses.
inline int worse(int a, int b)
{
    return a > b ? a : b;
}

// Lines to standard output (results, JSON) and standard error (messages).
class Console
{
public:
    explicit Console(std::FILE* out = stdout, std::FILE* err = stderr) : mOut(out), mErr(err) {}

    void out(const QString& line);
    void err(const QString& line);
    // One JSON object on one line, numbers in their shortest exact form.
    void json(const QJsonObject& object);
    // A progress note that rewrites its own line, only where standard error
    // is a terminal; done() ends that line.
    void progress(const QString& text);
    void done();

private:
    std::FILE* mOut;
    std::FILE* mErr;
    bool mProgressShown = false;
};

// A real number for JSON: NaN and infinities, which JSON cannot hold, as null.
QJsonValue number(double v);

// A path as the user sees it in messages.
QString shown(const QString& path);

// A subcommand's command line: its own options, --json, --help, and the
// positional arguments.
class Options
{
public:
    // usage: what follows "mrb_make " in the usage line, e.g. "check [--json] PATH...";
    // about: one sentence on what the subcommand does.
    Options(const QString& usage, const QString& about);

    void add(const QCommandLineOption& option);
    // Parses args (starting with the subcommand's name). Returns the exit
    // status when the subcommand is to stop at once: 0 after --help, 2 after a
    // mistake, which is reported with the usage line. minArgs/maxArgs bound
    // the positional arguments (maxArgs -1: any number).
    std::optional<int> parse(const QStringList& args, Console& io, int minArgs, int maxArgs);

    bool isSet(const QString& name) const { return mParser.isSet(name); }
    QString value(const QString& name) const { return mParser.value(name); }
    QStringList values(const QString& name) const { return mParser.values(name); }
    QStringList positional() const { return mParser.positionalArguments(); }
    bool json() const { return mParser.isSet(QStringLiteral("json")); }

    QString helpText() const;

private:
    QString mUsage;
    QString mAbout;
    QCommandLineParser mParser;
    QList<QCommandLineOption> mOptions;
};

// The usage error: the message and the subcommand's usage line, status 2.
int usageError(Console& io, const QString& message, const QString& usage);

} // namespace Cli

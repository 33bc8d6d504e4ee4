#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Running the real mrb_make binary, and the independent readers its files are
// checked with, as a user runs them from a shell.

struct Run
{
    int status = -1;
    QString out;
    QString err;

    QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

// No display of any kind and no platform chosen; settings from a folder of
// the test's own (empty unless the test writes one), not the user's.
inline QProcessEnvironment headless()
{
    static QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(v));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    return env;
}

inline Run run(const QString& program, const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.setProcessEnvironment(headless());
    p.start(program, args);
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline Run mrb(const QStringList& args)
{
    return run(QStringLiteral(MRB_EXE), args);
}

// A python3 program given the arguments after it (sys.argv[1:]), run by
// Debian's python, which has python3-ezdxf (a python of one's own may not).
inline Run python(const QString& code, const QStringList& args, const QByteArray& input = {})
{
    const QString debian = QStringLiteral("/usr/bin/python3");
    return run(QFile::exists(debian) ? debian : QStringLiteral("python3"),
               QStringList{QStringLiteral("-c"), code} + args, input);
}

inline QString pdfText(const QString& path, int page)
{
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                QString::number(page), QStringLiteral("-layout"), path, QStringLiteral("-")})
        .out;
}

inline int pdfPages(const QString& path)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(run(QStringLiteral("pdfinfo"), {path}).out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

#include "cli/cli.h"

#include "cli/cataloguecommand.h"
#include "cli/checkcommand.h"
#include "cli/console.h"
#include "cli/exportcommand.h"
#include "cli/importdxfcommand.h"
#include "cli/infocommand.h"
#include "cli/scalecommand.h"
#include "cli/summarycommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <memory>

namespace Cli {

namespace {

struct Subcommand
{
    const char* name;
    const char* synopsis; // the arguments, for --help
    const char* about;    // one line, Japanese
    bool needsFonts;      // paints text: a QGuiApplication on the offscreen platform
    int (*run)(const QStringList& args, Console& io);
};

const Subcommand kSubcommands[] = {
    {"check", "[--json] PATH...",
     "ブロックファイル・フォルダを検査し、ブロックごとに判定を出します", false, &check},
    {"summary", "[--json] -o OUT.csv DIR",
     "フォルダのブロック一覧を表計算用の CSV (UTF-8、BOM 付き) に出力します", false, &summary},
    {"catalogue", "[--json] -o OUT.pdf DIR",
     "フォルダのブロック一覧と各ブロックのデータシートを 1 つの PDF に出力します", true,
     &catalogue},
    {"info", "[--water-level H]... [--json] FILE",
     "質量・重量・充填率と、水位ごとの水中体積・浮力・水中重量・浮心 (断面と層別体積表から)", false,
     &info},
    {"scale", "(--mass T | --factor S) [--json] -o OUT.csv FILE",
     "相似形のブロック (目標の質量か倍率) をブロックファイルに書きます", false, &scale},
    {"export",
     "--format sheet|pdf|svg|png|dxf [--scale 1:N] [--look drawing|screen] [--json] -o OUT FILE",
     "データシート (PDF)、断面図 (PDF・SVG・PNG)、CAD 用の DXF を書き出します", true, &exportBlock},
    {"import-dxf",
     "[--layer NAME]... [--unit mm|m] [--tolerance MM] [--keep-origin] [--json] -o OUT.csv "
     "IN.dxf",
     "DXF 図面の線から外形を取り込み、新しいブロックファイルに書きます", false, &importDxf},
};

const Subcommand* find(const char* name)
{
    if (!name)
        return nullptr;
    for (const Subcommand& s : kSubcommands) {
        if (std::strcmp(s.name, name) == 0)
            return &s;
    }
    return nullptr;
}

// Qt's own messages (the command-line parser's) in Japanese like the rest.
void installQtJapanese()
{
    static QTranslator qt;
    if (qt.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
}

// Standard error carries the program's own messages, in Japanese: Qt's notes
// on its set-up (no runtime folder on a server, say) would only confuse.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}

} // namespace

bool isSubcommand(const char* arg)
{
    return find(arg) != nullptr;
}

int run(int argc, char* argv[])
{
    const Subcommand* sub = argc > 1 ? find(argv[1]) : nullptr;
    if (!sub)
        return Failed;
    qInstallMessageHandler(quietQt);
    std::unique_ptr<QCoreApplication> app;
    if (sub->needsFonts) {
        // Fonts and painting need a platform, never a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("mrb_make"));
    installQtJapanese();
    Console io;
    const int status = sub->run(QCoreApplication::arguments().mid(1), io);
    std::fflush(stdout);
    return status;
}

QString subcommandHelp()
{
    QString s = QStringLiteral("サブコマンド (ウィンドウを開かずに実行します) / subcommands:\n");
    for (const Subcommand& c : kSubcommands) {
        s += QStringLiteral("  mrb_make %1 %2\n      %3\n")
                 .arg(QString::fromLatin1(c.name), QString::fromLatin1(c.synopsis),
                      QString::fromUtf8(c.about));
    }
    s += QStringLiteral("  各サブコマンドの説明: mrb_make <サブコマンド> --help\n"
                        "  終了コード: 0 問題なし、1 注意のあるブロックあり、"
                        "2 ファイルの読み書きの失敗・指定の誤り\n");
    return s;
}

} // namespace Cli

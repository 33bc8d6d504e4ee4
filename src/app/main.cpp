#include "cli/cli.h"
#include "document/basmrblk.h"
#include "document/datapath.h"
#include "document/module1.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/frmmain.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char kUsage[] =
    "使い方: mrb_make [ブロックファイル]\n"
    "直立消波ブロックの断面・諸元・層別体積を定義するエディタです。\n"
    "ブロックファイル (*.csv) を指定すると、起動時にそのファイルを開きます。\n"
    "\n"
    "Usage: mrb_make [block-file]\n"
    "An editor for upright wave-dissipating concrete blocks; a block file (*.csv)\n"
    "given on the command line is opened at start.\n"
    "\n"
    "  --help     この説明を表示して終了します / show this text and exit\n"
    "  --version  バージョンを表示して終了します / show the version and exit\n";

// The options that print and exit are handled before any window exists, so
// they work without a display. Returns -1 when the program is to start.
int printOnly(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            std::fputs("\n", stdout);
            std::fputs(Cli::subcommandHelp().toUtf8().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("mrb_make %s (直立消波ブロック設定)\n", MRB_VERSION);
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    // A subcommand runs without any window, so without a display.
    if (argc > 1 && Cli::isSubcommand(argv[1]))
        return Cli::run(argc, argv);
    if (const int rc = printOnly(argc, argv); rc >= 0)
        return rc;
    QApplication app(argc, argv);
    prepareApplication();

    // The block state is large (101 undo snapshots): keep it off the stack.
    auto mod = std::make_unique<Module1>();
    auto blk = std::make_unique<basMr_Blk>();
    frmMain w(*mod, *blk, DataPathPlaces::current());
    w.watchSessionEnd();
    if (!w.geometryRestored())
        w.resize(w.startSize());
    w.show();
    // Once the window is up: first what a crashed run left, then a file handed
    // over by the desktop, opened as 開く would open it. One after the other,
    // so that the file never arrives while the recovery question is open.
    const QStringList args = QApplication::arguments().mid(1);
    const QString path = args.isEmpty() ? QString() : args.constFirst();
    QTimer::singleShot(0, &w, [&w, path] {
        w.offerRecovery();
        if (!path.isEmpty())
            w.openAtStart(path);
    });
    return app.exec();
}

// Start-up to the first painted main window, built twice: as the editor's own
// window (MRB_BARE=0) and as a bare QMainWindow (MRB_BARE=1), so that
// bench/startup.sh can launch both the same way and compare.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#if !MRB_BARE
#include "document/basmrblk.h"
#include "document/datapath.h"
#include "document/module1.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/picture1.h"
#include <QTemporaryDir>
#include <memory>
#endif

namespace {

// Quits the application once the watched widget has painted.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            o->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    FirstPaint watcher;
#if MRB_BARE
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("bare"));
    w.resize(800, 600);
    w.installEventFilter(&watcher);
    w.show();
    return app.exec();
#else
    prepareApplication();
    QTemporaryDir dir; // keeps MRDTPATH out of the build folder
    auto mod = std::make_unique<Module1>();
    auto blk = std::make_unique<basMr_Blk>();
    frmMain w(*mod, *blk, DataPathPlaces{dir.path() + u'/', dir.path() + u'/', QString()});
    w.resize(800, 600);
    w.picture()->installEventFilter(&watcher); // the section itself, not just the frame
    w.show();
    return app.exec();
#endif
}
